#pragma once

#include <QMainWindow>

#include "common/paths.h"
#include "viewers/error_reporter.h"

class QTextEdit;

namespace dvx {

// The help window `frmHelp`: the program folder's Help.html in an editable rich-text box. The
// operator may add notes; what the box holds when the window closes is written back, so the
// notes are there next time. Main thread only.
class HelpWindow : public QMainWindow {
    Q_OBJECT

  public:
    // Loads Help.html at once, writing the default guide first when the file is missing.
    HelpWindow(const Paths& paths, ErrorReporter& errors, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void load();
    void save();

    Paths m_paths;
    std::filesystem::path m_file;
    ErrorReporter& m_errors;
    QTextEdit* m_text;
    // False when Help.html exists but could not be read: then it is never written over.
    bool m_mayWrite = true;
};

}  // namespace dvx
