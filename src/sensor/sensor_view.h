#pragma once

#include <string>

namespace dvx {

// What the sensor shows on the main window. The main window implements it; tests record it.
// Main thread only.
class SensorView {
  public:
    virtual ~SensorView() = default;
    virtual void showSilence(const std::string& text) = 0;  // `Label1`
    virtual void showAlarm(bool visible) = 0;               // `Shape1`
    virtual void showArmed(bool armed) = 0;                 // `cmdStart` light or dark green
    virtual void showProgram(const std::string& text) = 0;  // `Label4`
    virtual void showClock(const std::string& text) = 0;    // `lblClock`
};

}  // namespace dvx
