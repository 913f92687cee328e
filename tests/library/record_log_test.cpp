#include "library/record_log.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/simulated_clock.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

struct LogRig {
    LogRig() { std::filesystem::create_directories(paths.logsFolder()); }
    std::string text() const { return std::filesystem::exists(file) ? test::fileText(file) : ""; }

    test::TempFolder root;
    Paths paths{root.path()};
    SimulatedClock clock{2026, 12, 7, 14 * 3600 + 5 * 60 + 9.7};
    test::RecordingErrorReporter errors;
    std::unique_ptr<RecordLog> log = std::make_unique<RecordLog>(paths, clock, errors);
    std::filesystem::path file = log->file();
};

TEST(RecordLog, LinesHoldTheTextTheDateAndTheTime) {
    EXPECT_EQ(recordLogStoredText("PROMO", 5),
              "PROMO" + std::string(20, ' ') + "    5" + std::string(9, ' '));
    LogRig rig;
    rig.log->write(recordLogDeletedText("JINGLE", 12));
    EXPECT_EQ(rig.file, rig.root.path() / "c/Dorvex/Logs/record.log");
    EXPECT_EQ(rig.text(), "JINGLE" + std::string(19, ' ') + "   12  Deleted 12/07/26 14:05:09\r\n");
}

TEST(RecordLog, APendingLineWaitsForItsTriggerAndCarriesTheFinalName) {
    LogRig rig;
    RecordLog& log = *rig.log;
    log.setPending(recordLogStoredText("(No Name 005 ****)", 5));
    log.writeIfReady();  // arming: not yet, the entry has not been selected
    log.fieldEdited("EDITED", 5);
    EXPECT_EQ(log.state(), RecordLog::kPending);
    log.entrySelected();  // the new entry is selected: the next trigger writes
    log.fieldEdited("PROMO", 5);
    EXPECT_EQ(rig.text(), "");
    log.entrySelected();  // another entry
    EXPECT_EQ(rig.text(), recordLogStoredText("PROMO", 5) + " 12/07/26 14:05:09\r\n");
    EXPECT_EQ(log.state(), RecordLog::kNothingPending);

    // A newer line never pushes an older one out.
    log.setPending("first");
    log.setPending("second");
    EXPECT_EQ(log.pendingText(), "second");
    EXPECT_NE(rig.text().find("first 12/07/26"), std::string::npos);
}

TEST(RecordLog, APendingLineIsWrittenWhenTheWindowClosesOrTheRunEnds) {
    for (const bool selected : {false, true}) {
        LogRig rig;
        for (const char* text : {"closing", "run ends"}) {
            rig.log->setPending(text);
            if (selected) {
                rig.log->entrySelected();
            }
        }
        rig.log->windowClosing();
        rig.log->setPending("last");
        rig.log.reset();  // the main window ends the run without closing the windows
        EXPECT_EQ(rig.text(),
                  "closing 12/07/26 14:05:09\r\nrun ends 12/07/26 14:05:09\r\nlast 12/07/26 "
                  "14:05:09\r\n");
    }
}

}  // namespace
}  // namespace dvx
