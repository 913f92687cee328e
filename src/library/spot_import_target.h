#pragma once

#include <functional>

#include "library/import_target.h"

namespace dvx {

class RecordLog;
class SpotFilesForm;
class SpotRecording;

// The spot files window's side of an import: the number reserved through "&Import to a Specific
// File" (kept by the spot recording), the record-log trigger of the import window's opening, and
// the new spot listed and selected in the spot files window, and the question before deleting
// the spot typed into frmSpecificFile. Main thread only; the form, the recording and the log
// must outlive it.
class SpotImportTarget : public ImportTarget {
  public:
    using DeleteTyped = std::function<void(std::string_view txtFileNumber)>;

    SpotImportTarget(SpotFilesForm& form, SpotRecording& recording, RecordLog& log,
                     DeleteTyped deleteTyped = {})
        : m_form(form), m_recording(recording), m_log(log), m_deleteTyped(std::move(deleteTyped)) {}

    bool forSpots() const override { return true; }
    int specificFileNumber() const override;
    SpecificFileAnswer reserveSpecificFile(std::string_view txtFileNumber) override;
    void deleteSpecificFile(std::string_view txtFileNumber) override;
    void importWindowOpened() override;
    void importStarted(int number) override;
    void imported(int number) override;
    void importWindowClosed() override;

  private:
    void release(int number);  // a reservation of ours, `Status` "2", freed

    SpotFilesForm& m_form;
    SpotRecording& m_recording;
    RecordLog& m_log;
    DeleteTyped m_deleteTyped;
};

}  // namespace dvx
