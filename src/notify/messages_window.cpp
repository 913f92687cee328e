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
    : QDialog(parent), m_file(MessageFile, Facility), m_errors(errors) {
    setObjectName("frmMyMessages");
    setWindowTitle("My Messages");
    setModal(false);

    auto* form = new QFormLayout;
    for (int record = MessageFile::kFacilityRecord; record <= MessageFile::kLastMessageRecord;
         ++record) {
        auto* box = new QLineEdit(this);
        // The record's width: a longer box would be cut on writing, a shorter one would cut a
        // stored text when it is shown and write it back cut at the next keystroke.
        box->setMaxLength(MessageFile::kRecordLength);
        box->setMinimumWidth(260);
        box->setObjectName(record == MessageFile::kFacilityRecord
                               ? QString("txtFacility")
                               : QString("txtMessage_%1").arg(record));
        // Only what the user edits is written; the program's own setText (the load) is not.
        connect(box, &QLineEdit::textEdited, this,
                [this, record](const QString& text) { textEdited(record, text); });
        form->addRow(record == MessageFile::kFacilityRecord ? QString("Facility")
                                                            : QString("Message %1").arg(record - 1),
                     box);
        m_boxes[static_cast<std::size_t>(record)] = box;
    }

    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

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
            box->setText(fromStoredText(record == MessageFile::kFacilityRecord
                                            ? trimBlanks(stored)
                                            : trimTrailingBlanks(stored)));
        } catch (const IoError& error) {
            m_errors.showError(error.what());
            return;
        }
    }
}

void MessagesWindow::textEdited(int record, const QString& text) {
    try {
        m_file.setText(record, toStoredText(text));
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
}

}  // namespace dvx
