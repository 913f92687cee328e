#pragma once

#include <filesystem>
#include <string>

#include "settings/parameters.h"

namespace dvx {

class Paths;
class SoundFiles;

// The demonstration's timing. Its feed repeats every 90 s: a few seconds of programme, 30 s of
// silence, then programme to the end of the cycle. With a dead-air delay of 3 s the alarm and
// the fill come within 10 s of the start, and the live feed is back after 34 s.
inline constexpr int kDemoCycleSeconds = 90;
inline constexpr int kDemoSilenceFrom = 4;
inline constexpr int kDemoSilenceSeconds = 30;
inline constexpr int kDemoDeadAirSeconds = 3;
inline constexpr int kDemoThreshold = 330;  // about -40 dBFS
inline constexpr int kDemoRotation = 9001;  // plays in every break slot

// Where a demonstration keeps its data: a new temporary folder, removed with this object, or
// the folder given (made when missing), which is kept. A given folder must hold nothing, so a
// demonstration never writes over a station's data. Throws StartupError.
class DemoFolder {
  public:
    explicit DemoFolder(const std::filesystem::path& given = {});
    ~DemoFolder();
    DemoFolder(const DemoFolder&) = delete;
    DemoFolder& operator=(const DemoFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

  private:
    std::filesystem::path m_path;
    bool m_temporary = false;
};

// The demonstration's feed, a sound file of one cycle: a melody of tones with its silence.
// Throws IoError.
void writeDemoFeed(const std::filesystem::path& file, SoundFiles& sounds);

// A station to try the program with, below the data root of `paths`, written as the program
// writes its own files: parameters (armed at start-up, the delay and threshold above, the
// devices chosen, the demonstration rotation in every break slot), a facility name, a music
// category and program list one playing it, three tunes and two spots made of tones, the
// rotation of the two spots, and an e-mail account so that start-up has nothing to ask.
// Throws IoError or StartupError.
void writeDemoStation(const Paths& paths, SoundFiles& sounds, const DeviceChoice& devices);

}  // namespace dvx
