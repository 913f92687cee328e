#pragma once

#include <string>

#include "library/recording_session.h"

namespace dvx {

// What a recording shows in the spot files window, beyond what every recording shows. The
// window implements it; every call comes on the main thread from SpotRecording.
class SpotRecordingView : public RecordingView {
  public:
    // Armed: the track bar is hidden (unless a spot plays), "&Delete" and the popup "Delete"
    // are unavailable. Back to idle: they are available again and the track bar shows.
    virtual void showArmed(bool armed) = 0;
    virtual void showNumberBox(int number) = 0;  // txtNumber
    virtual void showNumber(int number) = 0;     // lblNumber
    // txtName, txtTalent, txtOutcue, txtLength, txtEOM, txtStartDate, txtStopDate,
    // txtRecordDate and txtSpotCat are emptied. The recording state is set by then, so the
    // boxes write nothing back.
    virtual void clearBoxes() = 0;
    virtual void setOverwriteChecked(bool Check2) = 0;
    // Spot `number` was stored: the list is rebuilt by name and the entry selected, which runs
    // the selection (and so RecordLog::entrySelected()).
    virtual void recordingStored(int number) = 0;
};

}  // namespace dvx
