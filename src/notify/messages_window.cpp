#include "notify/messages_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/window_helpers.h"

namespace dvx {

MessagesWindow::MessagesWindow(RecordFile& MessageFile, std::string& Facility,
                               ErrorReporter& errors, QWidget* parent)
    : SettingsDialog(parent), m_file(MessageFile, Facility), m_errors(errors) {
    setObjectName("frmMyMessages");
    setWindowTitle("My Messages");

    auto* form = new QFormLayout;
    for (int record = MessageFile::kFacilityRecord; record <= MessageFile::kLastMessageRecord;
         ++record) {
        auto* box = new QLineEdit(this);
        // The record's width: a longer box would be cut on writing, a shorter one would cut a
        // stored text when it is shown and write it back cut.
        box->setMaxLength(MessageFile::kRecordLength);
        box->setMinimumWidth(260);
        box->setObjectName(record == MessageFile::kFacilityRecord
                               ? QString("txtFacility")
                               : QString("txtMessage_%1").arg(record));
        form->addRow(record == MessageFile::kFacilityRecord ? QString("Facility")
                                                            : QString("Message %1").arg(record - 1),
                     box);
        m_boxes[static_cast<std::size_t>(record)] = box;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(newApplyButton());
    buttons->addWidget(newCloseButton());
    watchEdits({m_boxes.begin() + 1, m_boxes.end()});

    auto* layout = new QVBoxLayout(this);
    addFilesMenu(this, layout);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void MessagesWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        load();
    }
    QDialog::showEvent(event);
}

void MessagesWindow::load() {
    for (int record = MessageFile::kFacilityRecord; record <= MessageFile::kLastMessageRecord;
         ++record) {
        QLineEdit* box = m_boxes[static_cast<std::size_t>(record)];
        try {
            // Shown without the padding: a box that is full of blanks takes no typing.
            const std::string stored = m_file.text(record);
            m_stored[static_cast<std::size_t>(record)] =
                fromStoredText(record == MessageFile::kFacilityRecord ? trimBlanks(stored)
                                                                      : trimTrailingBlanks(stored));
            box->setText(m_stored[static_cast<std::size_t>(record)]);
        } catch (const IoError& error) {
            m_errors.showError(error.what());
            break;
        }
    }
    editsStored();
}

bool MessagesWindow::applyEdits() {
    for (int record = MessageFile::kFacilityRecord; record <= MessageFile::kLastMessageRecord;
         ++record) {
        const auto at = static_cast<std::size_t>(record);
        const QString text = m_boxes[at]->text();
        if (text == m_stored[at]) {
            continue;
        }
        try {
            m_file.setText(record, toStoredText(text));
        } catch (const IoError& error) {
            m_errors.showError(error.what());
            return false;
        }
        m_stored[at] = text;
    }
    return true;
}

}  // namespace dvx
