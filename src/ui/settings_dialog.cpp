#include "ui/settings_dialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "ui/refused_mark.h"

namespace dvx {

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setModal(false);
    setStyleSheet(kRefusedStyleSheet);
}

void SettingsDialog::reject() {
    if (settleEdits()) {
        QDialog::reject();
    }
}

bool SettingsDialog::settleEdits() {
    if (m_asking) {
        return false;  // the question already waits
    }
    return m_edits.mayClose({[this] { return askToSave(); }, [this] { return applyEdits(); },
                             [this] { discardEdits(); }});
}

SaveAnswer SettingsDialog::askToSave() {
    m_asking = true;
    raise();
    activateWindow();
    QMessageBox question(QMessageBox::Question, windowTitle(),
                         QString("Save changes to %1?").arg(windowTitle()),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setObjectName("msgSaveChanges");
    // Qt's captions of these three carry no access key.
    question.button(QMessageBox::Save)->setText("&Save");
    question.button(QMessageBox::Discard)->setText("&Discard");
    question.button(QMessageBox::Cancel)->setText("&Cancel");
    question.setDefaultButton(QMessageBox::Save);
    question.setEscapeButton(QMessageBox::Cancel);
    const int answer = question.exec();
    m_asking = false;
    return answer == QMessageBox::Save      ? SaveAnswer::Save
           : answer == QMessageBox::Discard ? SaveAnswer::Discard
                                            : SaveAnswer::Cancel;
}

void SettingsDialog::watchEdits(const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
        const auto edited = [this, control] {
            m_edits.edited();
            clearRefused(control);
        };
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            connect(box, &QLineEdit::textChanged, this, edited);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::toggled, this, edited);
        } else if (auto* list = qobject_cast<QAbstractItemView*>(control)) {
            connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, edited);
        }
    }
}

bool SettingsDialog::applyNow() {
    if (!applyEdits()) {
        return false;
    }
    m_edits.stored();
    return true;
}

QPushButton* SettingsDialog::newButton(const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    // Enter presses the default button, not the one that last had the focus.
    button->setAutoDefault(false);
    return button;
}

QPushButton* SettingsDialog::newApplyButton() {
    QPushButton* apply = newButton("cmdApply", "&Apply");
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &SettingsDialog::applyNow);
    return apply;
}

QPushButton* SettingsDialog::newCloseButton() {
    QPushButton* close = newButton("cmdClose", "&Close");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    return close;
}

bool SettingsDialog::confirmDeletion(const QString& what) {
    QMessageBox question(QMessageBox::Question, windowTitle(), QString("Delete %1?").arg(what),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName("msgConfirmDelete");
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

}  // namespace dvx
