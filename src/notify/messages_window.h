#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "notify/message_file.h"
#include "viewers/error_reporter.h"

class QLineEdit;

namespace dvx {

// `frmMyMessages`: the facility name (`txtFacility`) and the four remote-input messages
// (`txtMessage_2`..`txtMessage_5`), each as wide as its 64-character record. Every keystroke is
// written to MessageFile.dat at once, and the facility name also to the running `Facility`.
// Main thread only.
class MessagesWindow : public QDialog {
    Q_OBJECT

  public:
    MessagesWindow(RecordFile& MessageFile, std::string& Facility, ErrorReporter& errors,
                   QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void load();
    void textEdited(int record, const QString& text);

    MessageFile m_file;
    ErrorReporter& m_errors;
    // Index = record number: 1 the facility, 2..5 the messages.
    std::array<QLineEdit*, 6> m_boxes{};
};

}  // namespace dvx
