#pragma once

#include <QDialog>
#include <functional>

#include "viewers/system_info.h"

class QPlainTextEdit;

namespace dvx {

// `frmSystemInfo` ("System Info"), opened from About: the program's system information as
// read-only text that can be selected and copied. Read afresh each time the window is shown.
// Main thread only.
class SystemInfoWindow : public QDialog {
    Q_OBJECT

  public:
    explicit SystemInfoWindow(std::function<SystemInfo()> gather, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    std::function<SystemInfo()> m_gather;
    QPlainTextEdit* m_text;
};

}  // namespace dvx
