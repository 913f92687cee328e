#include "app/status_line.h"

namespace dvx {
namespace {

const char* styleOf(StatusKind kind) {
    switch (kind) {
        case StatusKind::Monitoring:
            return "background-color: rgb(0, 140, 0); color: white;";
        case StatusKind::Silence:
            return "background-color: rgb(255, 190, 0); color: black;";
        case StatusKind::Alarm:
            return "background-color: rgb(220, 30, 30); color: white;";
        case StatusKind::Filling:
            return "background-color: rgb(30, 90, 210); color: white;";
        case StatusKind::Stopped:
            break;
    }
    return "background-color: rgb(120, 120, 120); color: white;";
}

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    setObjectName("lblStatus");
    setAccessibleName("Status");
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 2.6);
    big.setBold(true);
    setFont(big);
    setMargin(6);
    setText("Stopped");
    setAccessibleDescription(text());
    setStyleSheet(styleOf(m_kind));
}

void StatusLine::showStatus(const SensorStatus& status) {
    const QString shown = QString::fromStdString(status.text);
    if (shown != text()) {
        setText(shown);
        setAccessibleDescription(shown);
    }
    if (status.kind != m_kind) {
        m_kind = status.kind;
        setStyleSheet(styleOf(status.kind));
    }
}

}  // namespace dvx
