#include "app/station_tray.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSystemTrayIcon>
#include <QWidget>
#include <vector>

namespace dvx {
namespace {

QColor iconColour(const QSystemTrayIcon& icon) {
    return icon.icon().pixmap(32, 32).toImage().pixelColor(16, 16);
}

TEST(StationTray, ShowsTheStatusColourAndTextAndTellsWhenAnAlarmBeginsAndEnds) {
    QWidget window;
    std::vector<std::string> notices;
    StationTray tray(window, true,
                     [&notices](const AlarmNotice& notice) { notices.push_back(notice.title); });
    ASSERT_NE(tray.icon(), nullptr);
    EXPECT_EQ(tray.icon()->toolTip(), "Dorvexia: Stopped");
    EXPECT_EQ(iconColour(*tray.icon()), QColor(120, 120, 120));

    SensorState state;
    state.SensorRunning = true;
    state.SilenceSeconds = 4;
    tray.show(sensorStatus(state, false), false);
    EXPECT_EQ(tray.icon()->toolTip(), "Dorvexia: Silence 4 s");
    EXPECT_EQ(iconColour(*tray.icon()), QColor(255, 190, 0));

    state.AlarmActive = true;
    for (int tick = 0; tick < 3; ++tick) {  // told once, however often the status is shown
        tray.show(sensorStatus(state, false), true);
    }
    EXPECT_EQ(iconColour(*tray.icon()), QColor(220, 30, 30));
    state.FillEnded = false;
    tray.show(sensorStatus(state, true), true);
    EXPECT_EQ(tray.icon()->toolTip(), "Dorvexia: Filling");
    EXPECT_EQ(iconColour(*tray.icon()), QColor(30, 90, 210));
    state.AlarmActive = false;
    tray.show(sensorStatus(state, true), false);
    EXPECT_EQ(notices, (std::vector<std::string>{"Dorvexia: ALARM", "Dorvexia: alarm over"}));

    // Without a tray: no icon and no notice.
    StationTray none(window, false, [&notices](const AlarmNotice&) { notices.clear(); });
    none.show(sensorStatus(state, false), true);
    EXPECT_EQ(none.icon(), nullptr);
    EXPECT_EQ(notices.size(), 2u);
}

}  // namespace
}  // namespace dvx
