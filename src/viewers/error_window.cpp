#include "viewers/error_window.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <cmath>

#include "common/clock.h"
#include "common/time_text.h"
#include "ui/control_names.h"

namespace dvx {

ErrorWindow::ErrorWindow(const Clock& clock, QWidget* parent) : QWidget(parent), m_clock(clock) {
    setObjectName("frmError");

    m_list = new QListWidget(this);
    m_list->setObjectName("lstMessages");
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);  // a message never takes the focus from the operator
    m_list->setWordWrap(true);
    // Room for four lines: the panel grows no further and leaves the window's top to the status.
    m_list->setFixedHeight(m_list->fontMetrics().height() * 4 + 2 * m_list->frameWidth() + 8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(newLabel("Messages", m_list));
    layout->addWidget(m_list);
}

void ErrorWindow::showError(std::string_view message) {
    showMessage("Error Message", message);
}

void ErrorWindow::showMessage(std::string_view caption, std::string_view message) {
    const auto second = static_cast<std::int32_t>(std::floor(m_clock.now().secondsOfDay));
    m_messages.add(caption, message, formatTimeOfDay(second));
    refreshList();
}

std::string ErrorWindow::newestMessage() const {
    return m_messages.empty() ? std::string() : m_messages.entries().front().text;
}

void ErrorWindow::refreshList() {
    // Rebuilt whole: a repeat moves up from wherever it was, and the oldest may have gone.
    m_list->clear();
    for (const MessageEntry& entry : m_messages.entries()) {
        // Messages carry file names and device texts: a list item never reads them as markup.
        m_list->addItem(QString::fromStdString(entry.line()));
    }
    m_list->scrollToTop();
}

}  // namespace dvx
