#include "library/spot_files_form.h"

#include <gtest/gtest.h>

#include <map>

#include "common/record_codec.h"
#include "shown_sound.h"
#include "spot_files_rig.h"

namespace dvx {
namespace {

// Keeps what the form shows.
struct ShownView : SpotFilesView, test::ShownSound {
    std::string caption;
    std::vector<SpotListLine> lines;
    int selectedLine = 0;
    std::map<SpotBox, std::string> boxes;
    std::string numberBox;
    std::string timeRemaining;
    bool calendar = false;
    bool deleteAvailable = true;

    void setCaption(const std::string& text) override { caption = text; }
    void showList(const std::vector<SpotListLine>& shown) override {
        lines = shown;
        selectedLine = 0;
    }
    void selectLine(int number) override { selectedLine = number; }
    void showBox(SpotBox box, const std::string& text) override { boxes[box] = text; }
    void showNumberBox(const std::string& text) override { numberBox = text; }
    void showNumberLabel(const std::string&) override {}
    void focusBox(SpotBox) override {}
    void showTimeRemaining(const std::string& text) override { timeRemaining = text; }
    void showLevel(const std::string&) override {}
    void showCalendar(bool visible) override { calendar = visible; }
    void setDeleteAvailable(bool available) override { deleteAvailable = available; }
    void setOverwriteChecked(bool) override {}

    std::vector<int> numbers() const {
        std::vector<int> result;
        for (const SpotListLine& line : lines) {
            result.push_back(line.number);
        }
        return result;
    }
};

// A recording that is under way when told, and counts what it was told.
struct RecordingProbe : SpotFilesRecording {
    bool underWay = false;
    int selections = 0;
    int closings = 0;
    std::vector<int> written;
    bool recordingUnderWay() const override { return underWay; }
    void entrySelected() override { ++selections; }
    void fieldWritten(int number) override { written.push_back(number); }
    void windowClosing() override { ++closings; }
};

struct FormRig : test::SpotFilesRig {
    ShownView shown;
    RecordingProbe recording;
    std::unique_ptr<SpotFilesForm> form;

    void open() {
        form = std::make_unique<SpotFilesForm>(Spotfile, paths, parameters, devices(), errors,
                                               shown, shown);
        form->setRecording(&recording);
        form->setFreeSpace([] { return std::optional<std::uintmax_t>(10'000'000); });
        form->open();
    }
    SpotRecord stored(int number) { return catalogue.read(number); }
};

TEST(SpotFilesForm, ListsTheActiveSpotsByNameByNumberAndByCategory) {
    FormRig rig;
    rig.addSpot(1, "Station ID");
    rig.addSpot(2, "Reserved", 10, kSpotReserved);
    SpotRecord promo = rig.addSpot(3, "Promo");
    promo.SpotCat = 'b';
    rig.catalogue.write(3, promo);
    rig.addSpot(5, "Weather");
    rig.open();
    EXPECT_EQ(rig.shown.caption, "SpotFiles Stereo");
    EXPECT_EQ(rig.shown.numbers(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(rig.shown.lines[1].text, test::padded("Promo", 25) + "    3");

    rig.form->setView(SpotListView::ByNumber);
    EXPECT_EQ(rig.shown.lines[1].text, "  3  " + test::padded("Promo", 25));
    // A category letter is listed in upper case whatever case it was stored in.
    EXPECT_EQ(rig.form->categoriesInUse(), std::vector<char>{'B'});
    rig.form->listCategory('B');
    EXPECT_EQ(rig.shown.numbers(), std::vector<int>{3});
    EXPECT_EQ(rig.shown.lines[0].text, "  3  " + test::padded("Promo", 25));
    // The number box finds an entry the category list leaves out.
    rig.form->numberEdited("5");
    rig.form->numberEntered();
    EXPECT_EQ(rig.shown.selectedLine, 5);
    EXPECT_EQ(rig.shown.boxes[SpotBox::Name], "Weather");
}

// Spots imported from the command line while the window is open: within a second the list holds
// them, in the list's own order and filter, and what the boxes show stays as it is.
TEST(SpotFilesForm, TheListFollowsEntriesAddedElsewhere) {
    FormRig rig;
    rig.addSpot(1, "Station ID");
    rig.open();
    rig.form->select(1);
    rig.form->boxEdited(SpotBox::Length, "1:");  // being typed, not yet a time: not stored
    rig.addSpot(4, "Imported");
    rig.audio.clock.advanceSeconds(1.1);
    EXPECT_EQ(rig.shown.numbers(), (std::vector<int>{1, 4}));
    EXPECT_EQ(rig.shown.selectedLine, 1);
    EXPECT_EQ(rig.form->boxText(SpotBox::Length), "1:");

    rig.form->setView(SpotListView::ByNumber);
    rig.addSpot(2, "Second import");
    rig.audio.clock.advanceSeconds(1.1);
    EXPECT_EQ(rig.shown.lines[1].text, "  2  " + test::padded("Second import", 25));
}

TEST(SpotFilesForm, EachEditWritesItsFieldByItsBoxRules) {
    FormRig rig;
    rig.addSpot(4, "Promo");
    rig.open();
    rig.form->boxEdited(SpotBox::Name, "early");  // nothing selected: nothing written
    EXPECT_EQ(trimBlanks(rig.stored(4).Name), "Promo");
    rig.form->select(4);
    EXPECT_EQ(rig.shown.boxes[SpotBox::Length], "01:15");

    // The record is read again before each write: a field another window wrote stays.
    SpotRecord elsewhere = rig.stored(4);
    elsewhere.RotationRef = "9003";
    rig.catalogue.write(4, elsewhere);
    rig.form->boxEdited(SpotBox::Name, "spring sale, everything must go");
    rig.form->boxEdited(SpotBox::Talent, "Voices");
    rig.form->boxEdited(SpotBox::Outcue, "...at Main and Fifth");
    rig.form->boxEdited(SpotBox::Length, "1:");  // on the way to a time: left alone
    rig.form->boxEdited(SpotBox::EOM, "1:15");
    rig.form->boxEdited(SpotBox::SpotCat, "x");
    SpotRecord record = rig.stored(4);
    EXPECT_EQ(record.Name, "SPRING SALE, EVERYTHING M");
    EXPECT_EQ(record.Talent, "Voi");
    EXPECT_EQ(record.Outcue, test::padded("...at Main and Fifth", 25));
    EXPECT_EQ(record.Length, "75   ");
    EXPECT_EQ(record.EOM, "75   ");
    EXPECT_EQ(record.SpotCat, 'X');
    EXPECT_EQ(rig.shown.boxes[SpotBox::SpotCat], "X");
    EXPECT_EQ(record.RotationRef, "9003");

    // Dates: upper case, trimmed; a four-digit year is stored as two, not cut to "12/25/20".
    rig.form->boxEdited(SpotBox::StartDate, " 12/25/2026 ");
    rig.form->boxEdited(SpotBox::StopDate, "1-5-2027");
    EXPECT_EQ(rig.stored(4).StartDate, "12/25/26");
    EXPECT_EQ(rig.stored(4).StopDate, "01-05-27");
    rig.form->boxEdited(SpotBox::StopDate, " tfn");
    EXPECT_EQ(rig.stored(4).StopDate, "TFN     ");
    rig.form->boxEdited(SpotBox::StopDate, "when sold out");  // not a date: as typed, cut
    EXPECT_EQ(rig.stored(4).StopDate, "WHEN SOL");
    EXPECT_TRUE(rig.errors.messages.empty());
    // A year two digits cannot hold is refused.
    rig.form->boxEdited(SpotBox::StopDate, "12/31/2035");
    EXPECT_EQ(rig.stored(4).StopDate, "WHEN SOL");
    EXPECT_EQ(rig.errors.messages,
              std::vector<std::string>{std::string(SpotFilesForm::kTwoDigitYearMessage)});

    // The record date and anything typed while a recording is under way stay unwritten.
    const Bytes before = rig.Spotfile.read(4);
    rig.form->boxEdited(SpotBox::RecordDate, "01/01/26");
    rig.recording.underWay = true;
    rig.form->boxEdited(SpotBox::Name, "during recording");
    EXPECT_EQ(rig.Spotfile.read(4), before);
    EXPECT_EQ(rig.recording.written.size(), 9u);
    EXPECT_EQ(rig.recording.selections, 1);
}

TEST(SpotFilesForm, EnterKeysRelistReshowAndWalkTheChain) {
    FormRig rig;
    rig.addSpot(2, "Beta");
    rig.addSpot(7, "Alpha");
    rig.open();
    rig.form->setView(SpotListView::ByNumber);
    rig.form->select(7);
    rig.form->boxEdited(SpotBox::Name, "gamma");
    // Enter in the name lists by name again and selects the entry anew, as stored.
    EXPECT_EQ(rig.form->keyInBox(SpotBox::Name, BoxKey::Enter), SpotBox::Talent);
    EXPECT_EQ(rig.shown.lines[1].text, test::padded("GAMMA", 25) + "    7");
    EXPECT_EQ(rig.shown.selectedLine, 7);
    EXPECT_EQ(rig.shown.boxes[SpotBox::Name], "GAMMA");
    EXPECT_EQ(rig.recording.selections, 2);
    // Enter in the stop date shows what was stored.
    rig.form->boxEdited(SpotBox::StopDate, "4/1/2026");
    EXPECT_EQ(rig.form->keyInBox(SpotBox::StopDate, BoxKey::Enter), SpotBox::RecordDate);
    EXPECT_EQ(rig.shown.boxes[SpotBox::StopDate], "04/01/26");

    // Enter walks every box once and comes back.
    std::vector<SpotBox> walk{SpotBox::Name};
    do {
        walk.push_back(rig.form->keyInBox(walk.back(), BoxKey::Enter));
    } while (walk.back() != SpotBox::Name && walk.size() < 20);
    EXPECT_EQ(walk.size(), kSpotBoxCount + 1);
}

TEST(SpotFilesForm, NumberBoxSelectsOnlyActiveNumbers) {
    FormRig rig;
    rig.addSpot(12, "Twelve");
    rig.addSpot(4, "Held", 10, kSpotReserved);
    rig.open();
    for (const char* typed : {"901", "4", "0", "abc"}) {
        rig.form->numberEdited(typed);
        rig.form->numberEntered();
        EXPECT_EQ(rig.form->selectedNumber(), 0) << typed;
    }
    rig.form->numberEdited("12");
    rig.form->numberEntered();
    EXPECT_EQ(rig.form->selectedNumber(), 12);
    EXPECT_EQ(rig.shown.selectedLine, 12);
    rig.form->numberDoubleClicked();
    EXPECT_EQ(rig.shown.numberBox, "");
}

TEST(SpotFilesForm, CalendarAndDateLabelsWriteDatesAndCheckThePair) {
    FormRig rig;
    rig.addSpot(3, "Sale");
    rig.open();
    rig.form->select(3);
    rig.form->stopLabelClicked();
    EXPECT_EQ(rig.stored(3).StopDate, "TFN     ");
    // A start date later than a "TFN" stop date raises nothing.
    rig.form->dateBoxDoubleClicked(SpotBox::StartDate);
    EXPECT_TRUE(rig.shown.calendar);
    rig.form->calendarPicked(CalendarDate{2026, 4, 10});
    EXPECT_FALSE(rig.shown.calendar);
    EXPECT_EQ(rig.stored(3).StartDate, "04-10-26");
    EXPECT_TRUE(rig.errors.messages.empty());

    rig.form->dateBoxDoubleClicked(SpotBox::StopDate);
    rig.form->calendarPicked(CalendarDate{2026, 4, 9});
    EXPECT_EQ(rig.stored(3).StopDate, "04-09-26");
    rig.form->dateBoxClicked(SpotBox::StartDate);
    rig.form->calendarPicked(CalendarDate{2026, 4, 12});
    EXPECT_EQ(rig.errors.messages, (std::vector<std::string>{"Stop date is before start date",
                                                             "Start date is after stop date"}));

    // The "Start" label: left release a day earlier, right release a day later.
    rig.form->boxEdited(SpotBox::StartDate, "03/01/2028");
    rig.form->startLabelReleased(false);
    EXPECT_EQ(rig.stored(3).StartDate, "02-29-28");
    rig.form->startLabelReleased(true);
    rig.form->startLabelReleased(true);
    EXPECT_EQ(rig.stored(3).StartDate, "03-02-28");
    // A day past what two digits hold is refused.
    rig.form->boxEdited(SpotBox::StartDate, "12/31/29");
    rig.form->startLabelReleased(true);
    EXPECT_EQ(rig.stored(3).StartDate, "12/31/29");
    EXPECT_EQ(rig.errors.messages.size(), 3u);
}

TEST(SpotFilesForm, EomDuringPlaybackMarksTheSpotBeingPlayed) {
    FormRig rig;
    rig.addSpot(1, "First", 3);
    rig.addSpot(2, "Second", 3);
    rig.addSound(1, 3.0);
    rig.addSound(2, 3.0);
    rig.open();
    rig.form->select(1);
    rig.form->play();
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayPlaying);
    EXPECT_FALSE(rig.shown.deleteAvailable);
    EXPECT_TRUE(rig.shown.trackBarVisible);
    rig.audio.advance(1.3);
    EXPECT_EQ(rig.shown.time, "00:01");
    EXPECT_EQ(rig.shown.colours[LibraryButton::EOM], kEomBefore);

    // Another entry is selected while the first plays: the mark is the first one's.
    rig.form->select(2);
    rig.form->eomClicked();
    EXPECT_EQ(trimBlanks(rig.stored(1).EOM), "1");
    EXPECT_EQ(trimBlanks(rig.stored(2).EOM), "3");
    EXPECT_EQ(rig.shown.boxes[SpotBox::EOM], "00:03");  // the box shows the second entry
    EXPECT_EQ(rig.shown.colours[LibraryButton::EOM], kEomReached);
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.shown.colours[LibraryButton::EOM], kEomReached);  // past the new mark

    rig.form->pause();
    EXPECT_EQ(rig.shown.colours[LibraryButton::Pause], kPausePaused);
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayIdle);
    // Play with the second entry selected starts the second, not the paused first.
    rig.form->play();
    EXPECT_EQ(rig.form->playingNumber(), 2);
    EXPECT_EQ(rig.shown.colours[LibraryButton::Pause], kPauseIdle);
    rig.audio.advance(3.5);
    EXPECT_FALSE(rig.form->isPlaying());
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayIdle);
    EXPECT_EQ(rig.shown.time, "    ");
    EXPECT_TRUE(rig.shown.deleteAvailable);
    rig.form->eomClicked();  // nothing plays: nothing is marked
    EXPECT_EQ(trimBlanks(rig.stored(2).EOM), "3");
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(SpotFilesForm, PlayRefusesAMissingFileStopEndsPlaybackAndClosingSilencesIt) {
    FormRig rig;
    rig.addSpot(1, "No file");
    rig.addSpot(2, "Playable", 2);
    rig.addSound(2, 2.0);
    rig.open();
    rig.form->select(1);
    rig.form->play();
    EXPECT_EQ(rig.errors.messages,
              std::vector<std::string>{"Sound File Does Not Exist.  Delete Entry."});
    EXPECT_FALSE(rig.form->isPlaying());

    rig.form->select(2);
    rig.form->play();
    rig.audio.advance(0.5);
    rig.form->stop();
    EXPECT_FALSE(rig.form->isPlaying());
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayIdle);
    rig.audio.advance(0.1);  // the player's done event comes after the stop
    EXPECT_EQ(rig.shown.time, "    ");

    rig.form->play();
    rig.form->close();
    EXPECT_EQ(rig.recording.closings, 1);
    const auto output = rig.audio.backend->outputFile(0);
    const auto size = std::filesystem::file_size(output);
    rig.audio.advance(1.0);
    EXPECT_EQ(std::filesystem::file_size(output), size);  // nothing plays after closing
}

TEST(SpotFilesForm, TimeRemainingComesFromTheFreeSpaceAndTheChannelMode) {
    EXPECT_EQ(timeRemainingText(10'000'000, 1), "Time remaining: :00:57");
    EXPECT_EQ(timeRemainingText(10'000'000, 0), "Time remaining: :01:53");
    EXPECT_EQ(timeRemainingText(176400ull * 3725, 1), "Time remaining: 1:02:05");

    FormRig rig;
    rig.open();
    EXPECT_EQ(rig.shown.timeRemaining, "Time remaining: :00:57");
    rig.form->setFreeSpace([] { return std::optional<std::uintmax_t>(); });
    rig.audio.advance(0.2);  // a failing query leaves the last figure
    EXPECT_EQ(rig.shown.timeRemaining, "Time remaining: :00:57");
}

TEST(SpotFilesForm, FileIndexListsAndFreesReservedNumbers) {
    FormRig rig;
    rig.addSpot(1, "Kept");
    rig.addSpot(2, "Unfinished", 0, kSpotReserved);
    rig.addSpot(7, "Unfinished too", 0, kSpotReserved);
    rig.open();
    rig.form->viewFileIndex();
    EXPECT_EQ(rig.errors.messages.back(),
              "The following SpotFiles do not exist but are not available for use:  2, 7, ");
    rig.form->deleteFileIndex();
    EXPECT_EQ(rig.stored(1).Status, kSpotActive);
    EXPECT_EQ(rig.stored(2).Status, kSpotFree);
    EXPECT_EQ(rig.stored(7).Status, kSpotFree);
    EXPECT_EQ(trimBlanks(rig.stored(7).Name), "Unfinished too");

    rig.form->sendTo();
    EXPECT_EQ(rig.errors.messages.back(), "No file was selected");
}

}  // namespace
}  // namespace dvx
