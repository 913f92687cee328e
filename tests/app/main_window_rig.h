#pragma once

#include <QAction>
#include <QLabel>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "common/simulated_clock.h"
#include "platform/audio_factory.h"
#include "platform/sndfile_sound_files.h"
#include "support/temp_folder.h"

namespace dvx::test {

// The main window on a simulated clock and virtual sound devices, below a fresh data root;
// the feed is silent, or a minute of steady sound.
struct MainWindowRig {
    explicit MainWindowRig(bool soundingFeed = false) : soundingFeed(soundingFeed) {}

    std::filesystem::path writeFeed() {
        if (!soundingFeed) {
            return {};
        }
        const auto feed = root.path() / "feed.wav";
        const std::vector<std::int16_t> second(2 * 44100, 5000);
        auto writer = soundFiles.createWriter(feed, 2);
        for (int i = 0; i < 60; ++i) {
            writer->write(second.data(), 44100);
        }
        return feed;
    }

    bool soundingFeed;
    TempFolder root;
    SimulatedClock clock{2026, 12, 7, 9 * 3600.0};
    SndfileSoundFiles soundFiles;
    std::unique_ptr<AudioBackend> audio = createAudioBackend(
        AudioOptions{"virtual", writeFeed(), root.path() / "out"}, clock, soundFiles);
    MainWindow window{clock, Paths(root.path()), *audio, soundFiles};

    QString text(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QAction* action(const char* name) { return window.findChild<QAction*>(name); }
};

}  // namespace dvx::test
