#include "fill/rotation_manager_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "common/simulated_clock.h"
#include "fill_test_data.h"
#include "support/user_input.h"

namespace dvx {
namespace {

struct WindowRig {
    test::FillData data;
    SimulatedClock clock{2026, 12, 7, 12 * 3600.0};
    test::RecordingErrorReporter errors;
    std::unique_ptr<RotationManagerWindow> window;

    void open() {
        window = std::make_unique<RotationManagerWindow>(
            RotationManagerForm::Files{data.files.RFNames, data.files.Spotfile, data.paths}, clock,
            errors);
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    template <typename T>
    T* find(const char* name) {
        return test::findNamed<T>(window.get(), name);
    }
    void press(const char* control, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(find<QWidget>(control), &event);
    }
    // Makes the spot list's line of `spot` the current one.
    QListWidgetItem* chooseSpot(int spot) {
        auto* list = find<QListWidget>("lstSpotFile");
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->data(Qt::UserRole).toInt() == spot) {
                list->setCurrentRow(row);
                return list->item(row);
            }
        }
        ADD_FAILURE() << "spot " << spot << " is not listed";
        return nullptr;
    }
    std::vector<RotationEntry> records() { return data.rotationRecords(9001); }
};

TEST(RotationManagerWindow, MakesARotationAndAddsSpotsThroughItsControls) {
    WindowRig rig;
    rig.data.addSpot(11, "Station ID", 10);
    rig.data.addSpot(12, "Weather Sweeper", 10);
    rig.open();
    EXPECT_EQ(rig.window->windowTitle(), "Rotation File Manager");
    EXPECT_EQ(rig.find<QListWidget>("lstSpotFile")->count(), 2);

    rig.find<QPushButton>("cmdNew")->click();
    EXPECT_EQ(rig.find<QLabel>("Label1")->text(), "9001");
    rig.find<QLineEdit>("txtName")->setText("Top of Hour");
    rig.find<QLineEdit>("txtLength")->setText("0:30");
    rig.press("txtLength", Qt::Key_Return);
    EXPECT_TRUE(rig.find<QPushButton>("cmdApply")->hasFocus());
    rig.find<QPushButton>("cmdApply")->click();
    const RotationName made = RotationNames(rig.data.files.RFNames).read(1);
    EXPECT_EQ(made.InUse, 1);
    EXPECT_EQ(made.Name, test::padded("Top of Hour", 25));
    EXPECT_EQ(made.Length, 30);
    EXPECT_EQ(rig.find<QListWidget>("lstName")->currentRow(), 0);
    EXPECT_EQ(rig.find<QLabel>("Label1")->text(), "Top of Hour  9001");

    // A double click adds a spot, and so does Enter on it.
    emit rig.find<QListWidget>("lstSpotFile")->itemDoubleClicked(rig.chooseSpot(12));
    rig.chooseSpot(11);
    rig.press("lstSpotFile", Qt::Key_Return);
    ASSERT_EQ(rig.records().size(), 2u);
    EXPECT_EQ(rig.records()[0], (RotationEntry{1, 12, 0, 0, {}}));
    EXPECT_EQ(rig.records()[1], (RotationEntry{1, 11, 0, 0, {}}));
    EXPECT_EQ(rig.data.spots.read(11).RotationRef, "9001");
    EXPECT_EQ(rig.find<QListWidget>("lstRotationFile")->count(), 2);
    EXPECT_EQ(rig.find<QLabel>("lblToday")->text(), "Plays today: 2 of 2 entries");

    // The weekday boxes work on the chosen entry while "Check Days" is ticked.
    auto* monday = rig.find<QCheckBox>("chkDay1");
    rig.find<QCheckBox>("chkDays")->setChecked(true);
    EXPECT_FALSE(monday->isEnabled());
    rig.find<QListWidget>("lstRotationFile")->setCurrentRow(1);
    ASSERT_TRUE(monday->isEnabled());
    monday->setChecked(true);
    EXPECT_EQ(rig.records()[1].Days, (std::array<std::int16_t, 7>{0, 1, 0, 0, 0, 0, 0}));
    rig.find<QCheckBox>("chkDays")->setChecked(false);
    EXPECT_FALSE(monday->isEnabled());

    // Shift+F10 opens the entry's menu; its Cut acts on the chosen line.
    rig.press("lstRotationFile", Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(rig.find<QMenu>("mnuPopUpRotation")->isVisible());
    rig.find<QAction>("mnuPopUpRotationCut")->trigger();
    rig.find<QMenu>("mnuPopUpRotation")->close();
    EXPECT_EQ(rig.find<QListWidget>("lstRotationFile")->count(), 1);
    EXPECT_EQ(rig.records()[0].SpotNumber, 12);
    EXPECT_TRUE(rig.errors.messages.empty());
}

}  // namespace
}  // namespace dvx
