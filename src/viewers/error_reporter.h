#pragma once

#include <exception>
#include <string_view>

namespace dvx {

// Where the core reports refused input, missing files and failed devices. The error window
// implements it: it shows the message at once without making anyone wait, and a new message
// replaces the one on show. Main thread only.
class ErrorReporter {
  public:
    virtual ~ErrorReporter() = default;
    virtual void showError(std::string_view message) = 0;
    // The same under another caption than "Error Message" (the restart warning uses
    // "Reboot Computer").
    virtual void showMessage(std::string_view caption, std::string_view message) {
        (void)caption;
        showError(message);
    }
};

// Runs `action`; a failure shows its description in `errors` and ends that action only.
template <typename Action>
void reportingFailures(ErrorReporter& errors, Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        errors.showError(error.what());
    }
}

}  // namespace dvx
