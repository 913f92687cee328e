#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "common/paths.h"

// The targets let every exception through, so that libFuzzer reports it: the decoders meet bad
// content with defaults and warnings, never by throwing, and the files of this data root can
// always be read and written. Only a sound file that libsndfile refuses is an expected error.
namespace dvx::fuzz {

// A data root of this process's own below the temporary folder, with the folders start-up
// makes. Made on first use, removed when the process ends normally.
const Paths& dataRoot();

// Replaces the content of the data root's file at `windowsPath` ("c:\Dorvex\MusHist") with
// `bytes` (an empty input leaves an empty file) and returns the file's path.
std::filesystem::path putFile(std::string_view windowsPath, std::span<const std::uint8_t> bytes);
std::filesystem::path putFile(std::string_view windowsPath, std::string_view bytes);

}  // namespace dvx::fuzz
