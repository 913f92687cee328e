#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/data_files.h"
#include "fill/fill_selection.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "fill/rotation_files.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"
#include "support/stored_text.h"
#include "support/temp_folder.h"

namespace dvx::test {

// A data folder with the files start-up keeps open, and shorthands to fill them.
struct FillData {
    FillData() : files(openFiles(paths)) {}

    static DataFiles openFiles(const Paths& paths) {
        for (const auto& folder : {paths.spotFolder(), paths.musicFolder(), paths.logsFolder()}) {
            std::filesystem::create_directories(folder);
        }
        return DataFiles::open(paths);
    }

    FillFiles fillFiles() {
        return FillFiles{files.Spotfile,      files.Music,   files.MusRotFileOne,
                         files.MusRotFileTwo, files.MusHist, files.RFNames};
    }

    // An active music file marked for the fill, unless told otherwise.
    void addMusic(int number, const std::string& title, const std::string& artist,
                  const std::string& category, int eom, char comp = 'Y') {
        MusicRecord record;
        record.Status = kMusicActive;
        record.Title = title;
        record.Artist = artist;
        record.Category = category;
        record.Length = record.EOM = std::to_string(eom);
        record.Comp = comp;
        music.write(number, record);
    }

    void addSpot(int number, const std::string& name, int eom, const std::string& stopDate = "TFN",
                 char status = kSpotActive) {
        SpotRecord record;
        record.Status = status;
        record.Name = name;
        record.Length = record.EOM = std::to_string(eom);
        record.StartDate = "TFN";
        record.StopDate = stopDate;
        spots.write(number, record);
    }

    // Program list one (or two) holding the categories of `letters`, in order.
    void program(const std::string& letters, bool alternate = false) {
        ProgramList list(alternate ? files.MusRotFileTwo : files.MusRotFileOne);
        for (const char letter : letters) {
            list.add(*CategoryRecord(letter));
        }
    }

    // A rotation whose entries play the given spots, every day, with the given plays.
    void addRotation(int number, const std::vector<std::pair<int, int>>& spotsAndPlays,
                     std::int16_t checkDates = 0, std::int16_t checkDays = 0) {
        RotationNames(files.RFNames)
            .write(number - kRotationBase, RotationName{1, 30, "Sweepers", checkDates, checkDays});
        RotationEntryFile entries(paths, number);
        int record = 1;
        for (const auto& [spot, plays] : spotsAndPlays) {
            RotationEntry entry;
            entry.InUse = 1;
            entry.SpotNumber = static_cast<std::int16_t>(spot);
            entry.Plays = static_cast<std::int16_t>(plays);
            entry.Days.fill(1);
            entries.write(record++, entry);
        }
    }
    // Every record of the entry file of rotation `number`, in record order.
    std::vector<RotationEntry> rotationRecords(int number) {
        RotationEntryFile file(paths, number);
        std::vector<RotationEntry> all;
        for (int record = 1; record <= file.recordCount(); ++record) {
            all.push_back(file.read(record));
        }
        return all;
    }

    TempFolder root;
    Paths paths{root.path()};
    DataFiles files;
    SpotCatalogue spots{files.Spotfile, paths};
    MusicCatalogue music{files.Music, paths};
};

}  // namespace dvx::test
