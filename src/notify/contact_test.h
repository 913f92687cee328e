#pragma once

#include <functional>
#include <string>

#include "notify/contact_entry.h"

namespace dvx {

// The outcome of a test message or page sent by hand to one entry of the address book or the
// call list: whether it went out, and one line saying so or why not.
struct ContactTestResult {
    bool sent = false;
    std::string text;
};

// Runs on the main thread once the outcome is known.
using ContactTestDone = std::function<void(const ContactTestResult&)>;

// Sends one test to the entry, whatever its schedule, without waiting for the server or the
// modem; `done` runs once with the outcome, at once when the entry cannot be tried. Main thread
// only.
using ContactTester = std::function<void(const ContactEntry& entry, ContactTestDone done)>;

}  // namespace dvx
