// A spot recorded through the spot files window the main window opens, on virtual devices under
// the simulated clock: the window's controls, the recording, the catalogue and the record log
// as they work together in the program.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/main_window_rig.h"
#include "app/station.h"
#include "common/record_codec.h"
#include "library/spot_catalogue.h"

namespace dvx {
namespace {

struct RecordingWindowRig : test::MainWindowRig {
    // Two seconds of quiet, three of sound, then quiet.
    RecordingWindowRig() : MainWindowRig(std::vector<Stretch>{{2, 0}, {3, 6000}, {10, 0}}) {}

    QWidget* openSpotFiles() {
        startToRecord();
        return open("mnuSpotFiles", "frmSpotFiles");
    }
    SpotRecord spot(int number) {
        return SpotCatalogue(window.station()->files.Spotfile, window.station()->paths)
            .read(number);
    }
    std::string recordLog() {
        const auto file = window.station()->paths.logsFolder() / "record.log";
        return std::filesystem::exists(file) ? test::fileText(file) : "";
    }
};

TEST(SpotRecordingWindow, AnAutoStartRecordingIsStoredListedNamedAndLogged) {
    RecordingWindowRig rig;
    ASSERT_NE(rig.openSpotFiles(), nullptr);
    QPushButton* record = rig.find<QPushButton>("cmdRecord");
    ASSERT_TRUE(record->isEnabled());
    rig.find<QCheckBox>("Check1")->click();  // Auto Start

    record->click();
    EXPECT_EQ(record->text(), "&Ready");
    EXPECT_EQ(rig.spot(1).Status, kSpotReserved);
    rig.clock.advanceSeconds(1.5);
    EXPECT_EQ(record->text(), "&Ready");  // still quiet
    rig.clock.advanceSeconds(1.0);
    EXPECT_EQ(record->text(), "&Recording ");
    rig.clock.advanceSeconds(6);  // the sound ends at 5 s; two quiet seconds stop it

    EXPECT_EQ(record->text(), "&Record");
    const SpotRecord stored = rig.spot(1);
    EXPECT_EQ(stored.Status, kSpotActive);
    EXPECT_EQ(trimBlanks(stored.Name), "(No Name 001 ****)");
    EXPECT_TRUE(std::filesystem::exists(rig.window.station()->paths.spotFolder() / "SF0001.wav"));
    auto* list = rig.find<QListWidget>("lstSoundFile");
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_EQ(rig.find<QLabel>("lblNumber")->text(), "1");

    // The name typed now is the one the record log gets when the window closes.
    rig.type("txtName", "Morning promo");
    EXPECT_EQ(trimBlanks(rig.spot(1).Name), "MORNING PROMO");
    EXPECT_EQ(rig.recordLog(), "");
    rig.opened->close();
    EXPECT_EQ(rig.recordLog().substr(0, 39),
              "MORNING PROMO" + std::string(12, ' ') + "    1         ");
}

TEST(SpotRecordingWindow, TheProgramEndingWithTheWindowOpenKeepsNothingHalfDone) {
    RecordingWindowRig rig;
    ASSERT_NE(rig.openSpotFiles(), nullptr);
    QPushButton* record = rig.find<QPushButton>("cmdRecord");
    record->click();  // Ready
    record->click();  // recording, by hand
    rig.clock.advanceSeconds(2);
    EXPECT_EQ(rig.spot(1).Status, kSpotReserved);

    const Paths paths(rig.root.path());
    rig.window.close();  // the run ends; the window goes without its own closing handling

    // The number is free again and nothing of the take is left.
    RecordFile file(paths.spotFolder() / "Spotfile.dat", kSpotRecordLength);
    EXPECT_FALSE(isSpotTaken(SpotCatalogue(file, paths).read(1)));
    for (const auto& entry : std::filesystem::directory_iterator(paths.spotFolder())) {
        EXPECT_EQ(entry.path().extension(), ".dat") << entry.path();  // catalogue, rotations
    }
}

}  // namespace
}  // namespace dvx
