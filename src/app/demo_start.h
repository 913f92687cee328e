#pragma once

#include <filesystem>

#include "app/audio_choice.h"
#include "app/command_line.h"
#include "common/clock.h"

namespace dvx {

// Readies a demonstration below `root` (a DemoFolder's): its feed, its sound devices and its
// station. The virtual input plays the feed over and over; the sound goes to the machine's
// default output through PortAudio, or, with --audio virtual or without a default output, to
// the virtual outputs (the message then says it is not heard). On failure the choice has no
// backend and its message says why.
AudioChoice startDemo(const CommandLine& options, Clock& clock, const std::filesystem::path& root);

}  // namespace dvx
