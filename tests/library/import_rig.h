#pragma once

#include <filesystem>
#include <string>

#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "library/import_session.h"
#include "library/import_transfer.h"
#include "library/music_catalogue.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "platform/audio_test_support.h"
#include "platform/sndfile_sound_files.h"
#include "support/temp_folder.h"

namespace dvx::test {

// `before` seconds of digital silence, `tone` seconds of a 440 Hz sine, `after` of silence.
inline Sound toneBetweenSilences(double before, double tone, double after, int amplitude = 10000,
                                 int channels = 2, int rate = 44100) {
    const auto frames = [&](double seconds) { return static_cast<int>(seconds * rate); };
    Sound sound = constant(0, frames(before), channels);
    sound.sampleRate = rate;
    sound = joined(sound, sine(440, frames(tone), amplitude, channels, rate));
    return joined(sound, constant(0, frames(after), channels));
}

inline ImportDestination toMusic() {
    ImportDestination destination;
    destination.library = ImportDestination::Library::Music;
    return destination;
}

// The spot and music catalogue files below a data root, their folders made first.
inline RecordFile spotCatalogueFile(const Paths& paths) {
    std::filesystem::create_directories(paths.spotFolder());
    return RecordFile(paths.spotFolder() / "Spotfile.dat", kSpotRecordLength);
}
inline RecordFile musicCatalogueFile(const Paths& paths) {
    std::filesystem::create_directories(paths.musicFolder());
    return RecordFile(paths.musicFolder() / "Music.dat", kMusicRecordLength);
}

// Both catalogues, the record log and the sound files under a simulated clock that reads
// Monday 7 December 2026, noon.
struct ImportRig {
    ImportRig() {
        std::filesystem::create_directories(paths.spotFolder());
        std::filesystem::create_directories(paths.musicFolder());
        std::filesystem::create_directories(paths.logsFolder());
    }

    // begin(), every step and finish(); a failed begin() as a result with its message.
    ImportResult run(const TransferPlan& plan, ImportDestination destination = {},
                     SoundFiles* through = nullptr) {
        std::string failure;
        const ImportLibrary library{through != nullptr ? *through : files, clock, &spots, &log,
                                    &music};
        auto transfer = ImportTransfer::begin(plan, destination, library, failure);
        if (!transfer) {
            ImportResult result;
            result.message = failure;
            return result;
        }
        while (transfer->step().running) {
        }
        return transfer->finish();
    }
    ImportResult runSession(ImportSession& session, ImportDestination destination = {}) {
        const PlannedTransfer planned = session.planTransfer();
        if (!planned.plan) {
            ImportResult result;
            result.message = planned.refusal;
            return result;
        }
        return run(*planned.plan, destination);
    }
    std::filesystem::path source(const std::string& name, const Sound& sound) {
        writeSound(folder.path() / name, sound);
        return folder.path() / name;
    }
    // Files in the spot and music folders besides the catalogues and their hash files.
    int strayFiles() const {
        int count = 0;
        for (const auto& folder : {paths.spotFolder(), paths.musicFolder()}) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const auto extension = entry.path().extension();
                count += extension != ".dat" && extension != ".hash" ? 1 : 0;
            }
        }
        return count;
    }

    TempFolder folder;
    Paths paths{folder.path()};
    SimulatedClock clock{2026, 12, 7, 12 * 3600.0};
    SndfileSoundFiles files;
    RecordingErrorReporter errors;
    RecordFile spotFile = spotCatalogueFile(paths);
    RecordFile musicFile = musicCatalogueFile(paths);
    SpotCatalogue spots{spotFile, paths};
    MusicCatalogue music{musicFile, paths};
    RecordLog log{paths, clock, errors};
};

}  // namespace dvx::test
