// A spot being recorded through the spot files window when the program ends, on virtual devices
// under the simulated clock. (A whole recording through the window is the end-to-end test
// tests/e2e/spot_record_test.py.)
#include <gtest/gtest.h>

#include <QPushButton>

#include "app/main_window_rig.h"
#include "app/station.h"
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
};

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
