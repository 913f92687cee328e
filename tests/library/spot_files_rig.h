#pragma once

#include <filesystem>
#include <string>

#include "library/spot_catalogue.h"
#include "library/spot_files_form.h"
#include "platform/audio_test_support.h"
#include "settings/parameters.h"
#include "support/stored_text.h"

namespace dvx::test {

// A spot catalogue below a fresh data root, with virtual sound devices under a simulated
// clock (2026-03-02 12:00) for the window's player.
struct SpotFilesRig {
    VirtualRig audio;
    Paths paths{audio.folder.path()};
    RecordFile Spotfile{(std::filesystem::create_directories(paths.spotFolder()),
                         paths.spotFolder() / "Spotfile.dat"),
                        kSpotRecordLength};
    SpotCatalogue catalogue{Spotfile, paths};
    Parameters parameters;
    RecordingErrorReporter errors;

    SpotFilesRig() { parameters.RecMode = 1; }

    LibraryDevices devices() {
        return LibraryDevices{audio.clock, *audio.backend, audio.files, *audio.pump};
    }

    // An entry as a recording leaves it, with the name, length and status given.
    SpotRecord addSpot(int number, const std::string& name, int seconds = 75,
                       char status = kSpotActive) {
        SpotRecord record;
        record.Status = status;
        record.Name = name;
        record.Talent = "Dub";
        record.Length = record.EOM = std::to_string(seconds);
        record.StartDate = record.StopDate = record.RecordDate = "03/02/26";
        record.RotationRef = "None";
        catalogue.write(number, record);
        return record;
    }

    // The spot's wave file: `seconds` of a steady tone.
    void addSound(int number, double seconds) {
        writeWithProgramWriter(audio.files, catalogue.wavePath(number),
                               sine(440, static_cast<int>(seconds * 44100), 8000));
    }
};

}  // namespace dvx::test
