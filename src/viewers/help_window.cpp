#include "viewers/help_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QTextEdit>

#include "common/io_error.h"
#include "common/text_file.h"
#include "viewers/help_document.h"

namespace dvx {
namespace {

// Help.html is a text file like the program's others: lines ended by CR LF.
std::vector<std::string> htmlLines(std::string_view html) {
    std::vector<std::string> lines;
    while (!html.empty()) {
        const std::size_t end = html.find('\n');
        lines.emplace_back(html.substr(0, end));
        html = end == std::string_view::npos ? std::string_view{} : html.substr(end + 1);
    }
    return lines;
}

}  // namespace

HelpWindow::HelpWindow(const Paths& paths, ErrorReporter& errors, QWidget* parent)
    : QMainWindow(parent),
      m_paths(paths),
      m_file(paths.programFile("Help.html")),
      m_errors(errors) {
    setObjectName("frmHelp");
    setWindowTitle("Help");

    QMenu* files = menuBar()->addMenu("&Files");
    QAction* exit = files->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    m_text = new QTextEdit(this);
    m_text->setObjectName("RichTextBox1");
    m_text->setAccessibleName("Help Text");
    m_text->setAcceptRichText(true);
    setCentralWidget(m_text);
    resize(640, 520);

    load();
}

void HelpWindow::load() {
    std::optional<std::string> html;
    try {
        html = readWholeFile(m_file);
    } catch (const IoError& error) {
        m_mayWrite = false;
        m_errors.showError(error.what());
    }
    if (!html) {
        const std::string guide = defaultHelpHtml(m_paths);
        m_text->setHtml(QString::fromStdString(guide));
        if (m_mayWrite) {
            try {
                writeTextLines(m_file, htmlLines(guide));
            } catch (const IoError& error) {
                m_errors.showError(error.what());
            }
        }
    } else {
        m_text->setHtml(QString::fromStdString(*html));
    }
    m_text->document()->setModified(false);
}

void HelpWindow::save() {
    if (!m_mayWrite || !m_text->document()->isModified()) {
        return;
    }
    try {
        writeTextLines(m_file, htmlLines(m_text->toHtml().toStdString()));
        m_text->document()->setModified(false);
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    // The window closes whether or not the text could be kept; a failure is only reported.
    save();
    event->accept();
}

}  // namespace dvx
