#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <filesystem>

namespace dvx::test {

// The child of `parent` named `name`; a missing one fails the test.
template <typename T>
T* findNamed(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Typed into `box` as a person would, key by key at its cursor: each key meets the box's limits.
inline void typeKeys(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

inline void doubleClick(QWidget* target) {
    const QPointF at(4, 4);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The texts of a list's lines, top to bottom.
inline QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

// The lines of a PDF file that hold any text, as pdftotext reads them (with `-layout`, in place).
inline QStringList pdfLines(const std::filesystem::path& pdf, bool layout = true) {
    QProcess pdftotext;
    QStringList arguments{QString::fromStdString(pdf.string()), "-"};
    if (layout) {
        arguments.prepend("-layout");
    }
    pdftotext.start("pdftotext", arguments);
    pdftotext.waitForFinished(10000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput())
        .split('\n')
        .filter(QRegularExpression("\\S"));
}

}  // namespace dvx::test
