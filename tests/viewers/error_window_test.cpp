#include "viewers/error_window.h"

#include <gtest/gtest.h>

#include <QListWidget>

#include "common/simulated_clock.h"

namespace dvx {
namespace {

TEST(ErrorWindow, ListsEveryMessageWithItsTimeNewestFirstWithoutTakingTheFocus) {
    SimulatedClock clock(2026, 12, 7, 9 * 3600.0);
    ErrorWindow window(clock);
    ErrorReporter& errors = window;
    auto* list = window.findChild<QListWidget*>("lstMessages");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.newestMessage(), "");

    errors.showError("WaveIn Device not selected");
    clock.advanceSeconds(5);
    errors.showMessage("Reboot Computer", "Preparing to Reboot");
    clock.advanceSeconds(5);
    errors.showError("WaveIn Device not selected");
    // Text from file names and devices is shown as it is, never read as markup.
    errors.showError("Cannot open /data/<b>x</b>.wav");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "09:00:10  Cannot open /data/<b>x</b>.wav");
    EXPECT_EQ(list->item(1)->text(), "09:00:10  WaveIn Device not selected  \u00d72");
    EXPECT_EQ(list->item(2)->text(), "09:00:05  Preparing to Reboot (Reboot Computer)");
    EXPECT_EQ(window.newestMessage(), "Cannot open /data/<b>x</b>.wav");
}

}  // namespace
}  // namespace dvx
