// The deletion questions as the program opens them, on virtual devices under the simulated
// clock: frmDialog1 from the spot files window and from frmSpecificFile, frmDialog2 from the
// music files window, with the lists they leave behind.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "app/main_window_rig.h"
#include "app/station.h"
#include "fill/rotation_files.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"
#include "viewers/error_window.h"

namespace dvx {
namespace {

struct DeletionRig : test::MainWindowRig {
    DeletionRig() {
        std::string failure;
        EXPECT_TRUE(window.startUp(failure)) << failure;
        window.show();
    }
    Station& station() { return *window.station(); }
    SpotCatalogue spots() { return SpotCatalogue(station().files.Spotfile, station().paths); }
    void addSpot(int number, const std::string& name, char Status = kSpotActive) {
        SpotRecord record;
        record.Status = Status;
        record.Name = name;
        spots().write(number, record);
        test::writeFile(spots().wavePath(number), "RIFF");
    }
    // The question (or window) `name` that `parent` opened, and the question's lines beyond
    // "Are You Sure?".
    QWidget* question(QWidget* parent, const char* name) {
        QWidget* dialog = parent->findChild<QWidget*>(name);
        EXPECT_NE(dialog, nullptr) << name;
        return dialog;
    }
    QStringList uses(QWidget* dialog) {
        QStringList lines;
        for (QLabel* label : dialog->findChildren<QLabel*>("lblUses")) {
            lines << label->text();
        }
        return lines;
    }
    void answer(QWidget* dialog, const char* button) {
        dialog->findChild<QPushButton*>(button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void enter(QLineEdit* box, const QString& text) {
        box->setText(text);
        emit box->textEdited(text);
        emit box->returnPressed();
    }
    std::string error() { return window.errorWindow().newestMessage(); }
};

TEST(SpotDeleteDialog, DeletesTheSelectedSpotAndSelectsTheEntryAboveItWithTheListWhereItWas) {
    DeletionRig rig;
    for (int number = 1; number <= 40; ++number) {
        rig.addSpot(number, "SPOT " + std::to_string(number));
    }
    RotationNames(rig.station().files.RFNames).write(1, RotationName{1, 0, "Sweepers", 0, 0});
    RotationEntry entry;
    entry.InUse = 1;
    entry.SpotNumber = 12;
    RotationEntryFile(rig.station().paths, 9001).write(1, entry);
    rig.station().parameters.ProgramEvent[2] = 9001;

    QWidget* spotFiles = rig.open("mnuSpotFiles", "frmSpotFiles");
    auto* list = rig.find<QListWidget>("lstSoundFile");
    list->setCurrentRow(11);  // spot 12
    list->verticalScrollBar()->setValue(5);

    // CANCEL keeps everything; the rotations that use it are named first.
    rig.find<QAction>("mnuDelete")->trigger();
    QWidget* dialog = rig.question(spotFiles, "frmDialog1");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Delete SPOT 12?");
    EXPECT_EQ(rig.uses(dialog),
              (QStringList{"Used in rotations: 9001 Sweepers",
                           "Today's breaks that play it: Regular Sweeper (rotation 9001)"}));
    rig.answer(dialog, "CancelButton");
    EXPECT_EQ(rig.spots().read(12).Status, kSpotActive);

    // The Delete key asks the same; DELETE deletes.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list, &key);
    rig.answer(rig.question(spotFiles, "frmDialog1"), "OKButton");
    EXPECT_EQ(rig.spots().read(12).Status, kSpotFree);
    EXPECT_FALSE(std::filesystem::exists(rig.spots().wavePath(12)));
    EXPECT_EQ(RotationEntryFile(rig.station().paths, 9001).read(1).InUse, 0);
    EXPECT_EQ(list->count(), 39);
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toInt(), 11);
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "SPOT 11");
    EXPECT_EQ(list->verticalScrollBar()->value(), 5);

    // Deleting the first entry (through the popup) leaves nothing selected and nothing shown.
    list->verticalScrollBar()->setValue(0);
    list->setCurrentRow(0);
    rig.find<QAction>("mnuPopupDelete")->trigger();
    rig.answer(rig.question(spotFiles, "frmDialog1"), "OKButton");
    EXPECT_EQ(rig.spots().read(1).Status, kSpotFree);
    EXPECT_EQ(list->currentItem(), nullptr);
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "");
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 2);
}

TEST(SpotDeleteDialog, TheSpecificFileWindowDeletesTheNumberTypedNotTheSelection) {
    DeletionRig rig;
    rig.addSpot(1, "ONE");
    rig.addSpot(2, "TWO");
    rig.addSpot(3, "LIVE READ", kSpotReserved);
    QWidget* spotFiles = rig.open("mnuSpotFiles", "frmSpotFiles");
    rig.find<QListWidget>("lstSoundFile")->setCurrentRow(0);  // spot 1

    const auto typeAndOk = [&](const QString& number) {
        rig.find<QAction>("SpecificFile")->trigger();
        QWidget* specific = rig.question(spotFiles, "frmSpecificFile");
        rig.enter(specific->findChild<QLineEdit*>("txtFileNumber"), number);
        specific->findChild<QPushButton*>("cmdOK")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    typeAndOk("2");
    QWidget* dialog = rig.question(spotFiles, "frmDialog1");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Delete TWO?");
    rig.answer(dialog, "OKButton");
    EXPECT_EQ(rig.spots().read(2).Status, kSpotFree);
    EXPECT_EQ(rig.spots().read(1).Status, kSpotActive);

    // A number that is not an active spot is refused.
    typeAndOk("3");
    EXPECT_EQ(spotFiles->findChild<QWidget*>("frmDialog1"), nullptr);
    EXPECT_EQ(rig.error(), "Spot 3 is not an active spot: there is nothing to delete.");
    EXPECT_EQ(rig.spots().read(3).Status, kSpotReserved);
}

TEST(MusicDeleteDialog, DeletesTheShownTuneAndItsFileAndListsTheRestAgain) {
    DeletionRig rig;
    MusicCatalogue music(rig.station().files.Music, rig.station().paths);
    for (const auto& [number, title] : {std::pair(1, "ALPHA"), std::pair(2, "BETA")}) {
        MusicRecord record;
        record.Status = kMusicActive;
        record.Title = title;
        music.write(number, record);
        test::writeFile(music.wavePath(number), "RIFF");
    }
    QWidget* tunes = rig.open("mnuMusicFiles", "frmTune");
    auto* list = rig.find<QListWidget>("lstTune");
    list->setCurrentRow(1);  // BETA
    rig.find<QAction>("mnuDelete")->trigger();
    QWidget* dialog = rig.question(tunes, "frmDialog2");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Delete BETA");
    rig.answer(dialog, "OKButton");
    EXPECT_EQ(music.read(2).Status, kMusicDeleted);
    EXPECT_FALSE(std::filesystem::exists(music.wavePath(2)));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toInt(), 1);
}

}  // namespace
}  // namespace dvx
