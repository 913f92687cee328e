#pragma once

#include <map>
#include <string>

#include "library/library_playback.h"

namespace dvx::test {

// Keeps what a library form shows on its play and record controls.
struct ShownSound : SoundView {
    std::map<LibraryButton, Rgb> colours;
    std::string record;  // `cmdRecord`'s caption
    std::string time;
    bool trackBarVisible = false;
    bool trackBarEnabled = false;
    bool autoStart = false;

    void setButtonColour(LibraryButton button, Rgb colour) override { colours[button] = colour; }
    void setTrackBarRange(std::int64_t) override {}
    void setTrackBarPosition(std::int64_t) override {}
    void showTime(const std::string& text) override { time = text; }
    void setRecordButton(const std::string& caption, Rgb colour) override {
        record = caption;
        colours[LibraryButton::Record] = colour;
    }
    void focusButton(LibraryButton) override {}
    void setTrackBarVisible(bool visible) override { trackBarVisible = visible; }
    void setTrackBarEnabled(bool enabled) override { trackBarEnabled = enabled; }
    void setAutoStartChecked(bool checked) override { autoStart = checked; }
};

}  // namespace dvx::test
