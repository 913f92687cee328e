#pragma once

#include <QBoxLayout>
#include <QDialog>
#include <QMenuBar>
#include <QString>
#include <string>

#include "notify/text_encoding.h"

namespace dvx {

// The 8-bit texts of the data files (code page 1252) in and out of the windows' boxes.
inline QString fromStoredText(const std::string& text) {
    return QString::fromStdString(windows1252ToUtf8(text));
}

inline std::string toStoredText(const QString& text) {
    return utf8ToWindows1252(text.toStdString());
}

// The menu "Files" (`mnuFiles`) with "Exit" (`mnuExit`), which closes the window, at the top of
// the window's layout.
inline void addFilesMenu(QDialog* window, QBoxLayout* layout) {
    auto* menuBar = new QMenuBar(window);
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    QAction* exit = files->addAction("E&xit");
    exit->setObjectName("mnuExit");
    QObject::connect(exit, &QAction::triggered, window, &QWidget::close);
    layout->setMenuBar(menuBar);
}

}  // namespace dvx
