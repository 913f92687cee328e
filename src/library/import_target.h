#pragma once

#include <string_view>

#include "library/spot_recording.h"

namespace dvx {

// The library window an import window works for: the spot files window (spots) or the music
// files window (music). The library window's side implements it and hands it to the import
// window, which owns it; everything it refers to must outlive the import window. Every call
// comes on the main thread from ImportForm.
class ImportTarget {
  public:
    virtual ~ImportTarget() = default;

    // Spots or music: which catalogue an import writes, and whether "&Import to a Specific File"
    // is offered.
    virtual bool forSpots() const = 0;

    // Spots: the number reserved through "&Import to a Specific File" that the next import
    // writes into (it stays reserved until an import is stored into it or the window closes),
    // 0 for the next free number.
    virtual int specificFileNumber() const { return 0; }
    // Spots: Enter in frmSpecificFile's txtFileNumber while this import window is open.
    virtual SpecificFileAnswer reserveSpecificFile(std::string_view /*txtFileNumber*/) {
        return {};
    }
    // Spots: frmSpecificFile's OK after an answer while this import window is open: the spot
    // files window asks whether to delete the spot of the typed number.
    virtual void deleteSpecificFile(std::string_view /*txtFileNumber*/) {}
    // Music: the drive letter of new entries (`NewFileDrive`).
    virtual char newFileDrive() const { return 'C'; }

    // The import window opens (spots: the player stops, a record-log line in state 2 is
    // written).
    virtual void importWindowOpened() {}
    // A transfer into `number` has begun (spots: the spot files window's lblNumber shows it).
    virtual void importStarted(int /*number*/) {}
    // The entry of `number` is written: the library window lists it again and selects it.
    virtual void imported(int number) = 0;
    // The import window closes, or goes with the end of the run (spots: a number reserved for
    // it and never used is freed; music: a new entry nothing was imported into is dropped).
    virtual void importWindowClosed() {}
};

}  // namespace dvx
