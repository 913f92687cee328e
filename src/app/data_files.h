#pragma once

#include <string_view>

#include "common/paths.h"
#include "common/record_file.h"

namespace dvx {

// The ten record files that start-up opens and that stay open for the whole run. Every part of
// the program that reads or writes one of them uses these handles; none is opened twice.
struct DataFiles {
    RecordFile CallList;
    RecordFile AddressBook;
    RecordFile MessageFile;
    RecordFile Spotfile;
    RecordFile Music;
    RecordFile MusicCat;
    RecordFile MusRotFileOne;
    RecordFile MusRotFileTwo;
    RecordFile MusHist;
    RecordFile RFNames;

    // Opens (creating when missing) the ten files in start-up order, their writes made durable
    // through `sync` where given. Throws IoError naming the file that could not be opened;
    // files opened before it are closed again.
    static DataFiles open(const Paths& paths, DiskSync* sync = nullptr);
};

// Where each file lives on the data drive and its record length, in start-up order.
struct DataFileLayout {
    std::string_view pathOnDrive;  // after the drive letter and ":"
    int recordLength;
};
inline constexpr DataFileLayout kDataFileLayouts[] = {
    {"\\Dorvex\\CallList.dat", 105},     {"\\Dorvex\\AddressBook.dat", 120},
    {"\\Dorvex\\MessageFile.dat", 64},   {"\\Dorvex\\Spotfile\\Spotfile.dat", 94},
    {"\\Dorvex\\Music\\Music.dat", 128}, {"\\Dorvex\\MusicCat.dat", 16},
    {"\\Dorvex\\MusRotFileOne", 6},      {"\\Dorvex\\MusRotFileTwo", 6},
    {"\\Dorvex\\MusHist", 12},           {"\\Dorvex\\Spotfile\\RFNames.dat", 35},
};

}  // namespace dvx
