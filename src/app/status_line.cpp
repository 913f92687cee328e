#include "app/status_line.h"

namespace dvx {
namespace {

QString styleOf(StatusKind kind) {
    const StatusColour colour = statusColour(kind);
    return QString("background-color: rgb(%1, %2, %3); color: %4;")
        .arg(colour.red)
        .arg(colour.green)
        .arg(colour.blue)
        .arg(colour.darkText ? "black" : "white");
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
