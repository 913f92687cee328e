#include "app/level_meter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace dvx {
namespace {

constexpr double kFloorDb = -60.0;
constexpr double kHoldFallPerUpdateDb = 3.0;  // 30 dB a second at ten refreshes a second

}  // namespace

int meterPosition(double db, int width) {
    const double fraction = (std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb;
    return static_cast<int>(std::lround(fraction * width));
}

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    // The bar paints every pixel of its rectangle, so the group box behind it is not painted
    // again at each move of the level.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 10);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LevelMeter::setPeak(int magnitude) {
    const double db =
        magnitude <= 0 ? kFloorDb : std::max(kFloorDb, 20.0 * std::log10(magnitude / 32768.0));
    const double hold = std::max(db, m_holdDb - kHoldFallPerUpdateDb);
    const int w = width() - 1;  // as painted, inside the frame
    const int levelBefore = meterPosition(m_levelDb, w);
    const int holdBefore = meterPosition(m_holdDb, w);
    const int level = meterPosition(db, w);
    const int holdNow = meterPosition(hold, w);
    m_levelDb = db;
    m_holdDb = hold;
    // Repaint only the stretch between where the bar and the peak mark were and where they are
    // now: a steady feed costs nothing, and a moving one sends the display a strip, not the
    // whole meter, at every refresh.
    QRect changed;
    if (level != levelBefore) {
        changed |=
            QRect(std::min(level, levelBefore), 0, std::abs(level - levelBefore) + 1, height());
    }
    if (holdNow != holdBefore) {
        changed |= QRect(std::min(holdNow, holdBefore) - 1, 0, std::abs(holdNow - holdBefore) + 3,
                         height());
    }
    if (!changed.isEmpty()) {
        update(changed);
    }
}

void LevelMeter::setThresholdDb(double db) {
    if (db != m_thresholdDb) {
        m_thresholdDb = db;
        setToolTip(std::isinf(db) ? QString("Threshold: digital silence only")
                                  : QString("Threshold %1 dBFS").arg(db, 0, 'f', 0));
        update();
    }
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(area, QColor(24, 24, 24));
    const int w = area.width();
    const int level = meterPosition(m_levelDb, w);
    const int yellow = meterPosition(-12.0, w);
    const int red = meterPosition(-3.0, w);
    auto band = [&](int from, int to, QColor colour) {
        if (to > from) {
            painter.fillRect(QRect(from, 1, to - from, area.height() - 1), colour);
        }
    };
    band(0, std::min(level, yellow), QColor(40, 200, 60));
    band(yellow, std::min(level, red), QColor(230, 200, 40));
    band(red, level, QColor(220, 50, 40));
    const int hold = meterPosition(m_holdDb, w);
    if (hold > 0) {
        painter.fillRect(QRect(hold - 1, 1, 2, area.height() - 1), Qt::white);
    }
    if (m_thresholdDb > kFloorDb) {
        // Below the floor the mark would sit on the meter's edge and mean nothing.
        const int threshold = meterPosition(m_thresholdDb, w);
        painter.fillRect(QRect(threshold - 1, 0, 3, area.height() + 1), QColor(0, 200, 255));
    }
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(area);
}

LevelScale::LevelScale(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LevelScale::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.75));
    painter.setFont(small);
    const int w = width() - 1;
    for (int db = -60; db <= 0; db += 6) {
        const int x = meterPosition(db, w);
        painter.drawLine(x, 0, x, 3);
        const QString label = QString::number(db);
        const int textWidth = painter.fontMetrics().horizontalAdvance(label);
        const int left = std::clamp(x - textWidth / 2, 0, std::max(0, w - textWidth));
        painter.drawText(left, height() - 2, label);
    }
}

}  // namespace dvx
