#include "library/specific_file_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "notify/window_helpers.h"
#include "ui/control_names.h"

namespace dvx {

SpecificFileWindow::SpecificFileWindow(Reserve reserve, QWidget* parent, DeleteTyped deleteTyped)
    : QDialog(parent), m_reserve(std::move(reserve)), m_deleteTyped(std::move(deleteTyped)) {
    setObjectName("frmSpecificFile");
    setWindowTitle("Record a Specific File");
    setAttribute(Qt::WA_DeleteOnClose);

    m_number = new QLineEdit(this);
    m_number->setObjectName("txtFileNumber");
    m_number->setMaxLength(5);
    QLabel* prompt = newLabel("Spot &number (1 to 900)", m_number);
    prompt->setObjectName("lblFileNumber");
    connect(m_number, &QLineEdit::textEdited, this, [this] { m_answered = false; });
    connect(m_number, &QLineEdit::returnPressed, this, &SpecificFileWindow::answer);

    m_label1 = new QLabel(this);
    m_label1->setObjectName("Label1");
    m_label2 = new QLabel(this);
    m_label2->setObjectName("Label2");
    m_label1->hide();
    m_label2->hide();

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("cmdOK");
    ok->setAutoDefault(false);  // Enter belongs to the box
    connect(ok, &QPushButton::clicked, this, &SpecificFileWindow::okClicked);

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(m_number);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_label1);
    layout->addWidget(m_label2);
    layout->addLayout(buttons);
}

void SpecificFileWindow::answer() {
    m_answered = true;
    const SpecificFileAnswer answer = m_reserve(toStoredText(m_number->text()));
    switch (answer.outcome) {
        case SpecificFileAnswer::Outcome::EmptyTheBox:
            m_number->clear();
            break;
        case SpecificFileAnswer::Outcome::Taken:
            m_label1->setText(fromStoredText(answer.Label1));
            m_label2->setText(fromStoredText(answer.Label2));
            m_label1->show();
            m_label2->show();
            break;
        case SpecificFileAnswer::Outcome::Reserved:
            close();
            break;
    }
}

void SpecificFileWindow::okClicked() {
    if (!m_answered && !m_number->text().trimmed().isEmpty()) {
        answer();
        return;
    }
    // The number typed, not a list's selection: the spot the answer was about.
    const std::string typed = toStoredText(m_number->text().trimmed());
    close();
    if (m_answered && m_deleteTyped && !typed.empty()) {
        m_deleteTyped(typed);
    }
}

}  // namespace dvx
