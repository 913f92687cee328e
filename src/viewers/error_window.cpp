#include "viewers/error_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dvx {

ErrorWindow::ErrorWindow(QWidget* parent) : QDialog(parent, parent ? Qt::Tool : Qt::Dialog) {
    setObjectName("frmError");
    setWindowTitle("Error Message");
    setModal(false);

    m_message = new QLabel(this);
    m_message->setObjectName("lblMessage");
    // Messages carry file names and device texts: never read them as markup.
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_message->setMinimumWidth(340);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    // OK only puts the window away; the instance stays for the next message.
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    resize(400, 150);
}

void ErrorWindow::showError(std::string_view message) {
    showMessage("Error Message", message);
}

void ErrorWindow::showMessage(std::string_view caption, std::string_view message) {
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    m_message->setText(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    show();
    raise();
    activateWindow();
}

void ErrorWindow::bringToFront() {
    if (!isVisible()) {
        return;
    }
    // Only raise: taking the focus here would take it from the main window the user just chose.
    raise();
}

}  // namespace dvx
