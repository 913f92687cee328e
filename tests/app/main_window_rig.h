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
// the feed is silent, a minute of steady sound, or stretches of a steady level (then silence).
struct MainWindowRig {
    struct Stretch {
        int seconds;
        std::int16_t level;
    };
    explicit MainWindowRig(bool soundingFeed = false)
        : feedShape(soundingFeed ? std::vector<Stretch>{{60, 5000}} : std::vector<Stretch>{}) {}
    explicit MainWindowRig(std::vector<Stretch> feed) : feedShape(std::move(feed)) {}

    std::filesystem::path writeFeed() {
        if (feedShape.empty()) {
            return {};
        }
        const auto feed = root.path() / "feed.wav";
        auto writer = soundFiles.createWriter(feed, 2);
        for (const Stretch& stretch : feedShape) {
            const std::vector<std::int16_t> second(2 * 44100, stretch.level);
            for (int i = 0; i < stretch.seconds; ++i) {
                writer->write(second.data(), 44100);
            }
        }
        return feed;
    }

    std::vector<Stretch> feedShape;
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
