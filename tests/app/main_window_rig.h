#pragma once

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "app/station.h"
#include "common/simulated_clock.h"
#include "platform/audio_factory.h"
#include "platform/sndfile_sound_files.h"
#include "support/temp_folder.h"
#include "support/user_input.h"

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

    // Starts up and shows the main window, set to record the feed: its sound passes the
    // threshold (100), two quiet seconds stop an automatic recording, recordings are stereo.
    void startToRecord() {
        std::string failure;
        EXPECT_TRUE(window.startUp(failure)) << failure;
        Parameters& parameters = window.station()->parameters;
        parameters.Threshold = 100;
        parameters.RecStopDelay = 2;
        parameters.RecMode = 1;
        window.show();
    }
    // Writes a parameters file whose records hold `values` (by record number) and zero else.
    void writeParameters(const std::map<int, char>& values) {
        std::string params(4 * 72, '\0');
        for (const auto& [record, value] : values) {
            params[4 * static_cast<std::size_t>(record - 1)] = value;
        }
        writeFile(root.path() / "c/Dorvex/DXParams.dat", params);
    }
    // Starts up with a dead-air delay of five seconds and AutoRun, not armed yet.
    void startUpToAutoRun() {
        writeParameters({{1, 5}, {72, 1}});
        std::string failure;
        ASSERT_TRUE(window.startUp(failure)) << failure;
    }
    // The same, then shows the main window and arms the sensor.
    void startArmed() {
        startUpToAutoRun();
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
        window.show();
        window.armIfAutoRun();
    }
    // The window that the menu entry `entry` opens, found by its object name `name`.
    QWidget* open(const char* entry, const char* name) {
        action(entry)->trigger();
        opened = window.findChild<QWidget*>(name);
        return opened;
    }
    // A control of the window opened last.
    template <typename T>
    T* find(const char* name) {
        return findNamed<T>(opened, name);
    }
    // Typed by the user into a box of the window opened last, key by key, over what it holds.
    void type(const char* box, const QString& text) {
        QLineEdit* edit = find<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        typeKeys(edit, text);
    }

    QWidget* opened = nullptr;
};

}  // namespace dvx::test
