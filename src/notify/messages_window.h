#pragma once

#include <array>
#include <string>

#include "notify/message_file.h"
#include "ui/settings_dialog.h"
#include "viewers/error_reporter.h"

class QLineEdit;

namespace dvx {

// `frmMyMessages`: the facility name (`txtFacility`) and the four remote-input messages
// (`txtMessage_2`..`txtMessage_5`), each as wide as its 64-character record. The texts stay in
// the window until Apply (or Save on closing) writes the changed ones to MessageFile.dat, and the
// facility name also to the running `Facility`. Main thread only.
class MessagesWindow : public SettingsDialog {
    Q_OBJECT

  public:
    MessagesWindow(RecordFile& MessageFile, std::string& Facility, ErrorReporter& errors,
                   QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    bool applyEdits() override;

  private:
    void load();

    MessageFile m_file;
    ErrorReporter& m_errors;
    // Index = record number: 1 the facility, 2..5 the messages.
    std::array<QLineEdit*, 6> m_boxes{};
    // The texts as loaded or last written, to write only the records that changed.
    std::array<QString, 6> m_stored;
};

}  // namespace dvx
