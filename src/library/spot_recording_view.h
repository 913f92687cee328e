#pragma once

#include <string>

#include "library/button_colours.h"

namespace dvx {

// What a recording shows in the spot files window. The window implements it; every call comes
// on the main thread from SpotRecording.
class SpotRecordingView {
  public:
    virtual ~SpotRecordingView() = default;

    // cmdRecord's caption and colour: "Record", "Ready" or "Recording ".
    virtual void showRecordButton(const std::string& caption, Rgb colour) = 0;
    virtual void showEomButton(Rgb colour) = 0;  // cmdEOM
    // Armed: the track bar is hidden (unless a spot plays), "&Delete" and the popup "Delete"
    // are unavailable. Back to idle: they are available again and the track bar shows.
    virtual void showArmed(bool armed) = 0;
    virtual void showNumberBox(int number) = 0;  // txtNumber
    virtual void showNumber(int number) = 0;     // lblNumber
    // txtName, txtTalent, txtOutcue, txtLength, txtEOM, txtStartDate, txtStopDate,
    // txtRecordDate and txtSpotCat are emptied. The recording state is set by then, so the
    // boxes write nothing back.
    virtual void clearBoxes() = 0;
    virtual void showElapsed(const std::string& lblTime) = 0;
    virtual void showInputPeak(int Label3) = 0;  // the left peak of the last buffer
    virtual void focusEom() = 0;                 // the focus goes to cmdEOM
    virtual void setOverwriteChecked(bool Check2) = 0;
    // Spot `number` was stored: the list is rebuilt by name and the entry selected, which runs
    // the selection (and so RecordLog::entrySelected()).
    virtual void recordingStored(int number) = 0;
};

}  // namespace dvx
