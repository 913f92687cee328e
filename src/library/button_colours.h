#pragma once

namespace dvx {

// A colour of a button, as red, green and blue values 0..255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The colours that tell the state of the library windows' buttons.
inline constexpr Rgb kPlayIdle{0, 128, 0};  // Play: green, light green while playing
inline constexpr Rgb kPlayPlaying{128, 255, 128};
inline constexpr Rgb kPauseIdle{255, 255, 192};  // Pause: light yellow, yellow while paused
inline constexpr Rgb kPausePaused{255, 255, 0};
inline constexpr Rgb kEomBefore{0, 0, 192};        // EOM: dark blue before the mark...
inline constexpr Rgb kEomReached{0, 255, 255};     // ...cyan from it on, or once one is set
inline constexpr Rgb kRecordIdle{192, 0, 0};       // Record: "Record", dark red
inline constexpr Rgb kRecordReady{255, 255, 0};    // "Ready", yellow
inline constexpr Rgb kRecordRecording{255, 0, 0};  // "Recording ", red

}  // namespace dvx
