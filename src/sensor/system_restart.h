#pragma once

#include <string>

namespace dvx {

// Asks the operating system for a forced restart of the computer. Main thread only.
class SystemRestart {
  public:
    virtual ~SystemRestart() = default;

    // Hands the request to the system and returns at once, without waiting for the answer.
    // Returns what is known to have gone wrong: the request could not be made, or the previous
    // one was refused; empty otherwise. Does not throw.
    virtual std::string requestRestart() = 0;
};

}  // namespace dvx
