#include "viewers/printout_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "notify/window_helpers.h"

namespace dvx {

bool paintPrintout(QPrinter& printer, const std::vector<PrintLine>& lines) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(12);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int column = metrics.horizontalAdvance(QLatin1Char('0'));
    const int pageBottom = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    int y = metrics.ascent();
    for (const PrintLine& line : lines) {
        if (y + metrics.descent() > pageBottom) {
            printer.newPage();
            y = metrics.ascent();
        }
        painter.drawText(line.column * column, y, fromStoredText(line.text));
        y += metrics.lineSpacing();
    }
    return painter.end();
}

}  // namespace dvx
