#include "library/music_files_form.h"

#include <gtest/gtest.h>

#include <map>

#include "common/record_codec.h"
#include "recording_rig.h"
#include "shown_sound.h"
#include "spot_files_rig.h"

namespace dvx {
namespace {

using test::Sound;

// Keeps what the form shows.
struct ShownTunes : MusicFilesView, test::ShownSound {
    std::string caption;
    std::vector<ListLine> lines;
    int selectedLine = 0;
    std::vector<ListLine> categories;
    std::map<MusicBox, std::string> boxes;
    std::string date;
    bool dateLabel = false;
    std::string label1;
    char status = ' ';
    bool boxesEditable = true;

    void setCaption(const std::string& text) override { caption = text; }
    void showList(const std::vector<ListLine>& shown) override {
        lines = shown;
        selectedLine = 0;
    }
    void selectLine(int number) override { selectedLine = number; }
    void showCategories(const std::vector<ListLine>& shown) override { categories = shown; }
    void showBox(MusicBox box, const std::string& text) override { boxes[box] = text; }
    void showDate(const std::string& text, bool labelVisible) override {
        date = text;
        dateLabel = labelVisible;
    }
    void showNumberLabel(const std::string& text) override { label1 = text; }
    void showStatus(char Status) override { status = Status; }
    void setBoxesEditable(bool editable) override { boxesEditable = editable; }

    std::vector<int> numbers() const {
        std::vector<int> result;
        for (const ListLine& line : lines) {
            result.push_back(line.itemData);
        }
        return result;
    }
};

// The music files form on a recorder of the virtual input (Monday 7 December 2026).
struct MusicRig : test::RecorderRig {
    explicit MusicRig(const Sound& feed = test::constant(0, 44100), double secondsOfDay = kNoon)
        : RecorderRig(feed, secondsOfDay) {
        form = std::make_unique<MusicFilesForm>(
            MusicFilesForm::Files{Music, MusicCat, paths}, parameters,
            LibraryDevices{clock, *backend, files, pump}, *recorder, errors, shown, shown);
    }
    void addTune(int number, const std::string& title, const std::string& artist, int seconds,
                 char status = kMusicActive) {
        MusicRecord record;
        record.Status = status;
        record.Title = title;
        record.Artist = artist;
        record.Length = record.EOM = std::to_string(seconds);
        record.Intro = "12";
        record.Comp = kFillAllowed;
        record.Recorded = "261205";
        catalogue.write(number, record);
    }
    MusicRecord tune(int number) const { return catalogue.read(number); }

    RecordFile Music{(std::filesystem::create_directories(paths.musicFolder()),
                      paths.musicFolder() / "Music.dat"),
                     kMusicRecordLength};
    RecordFile MusicCat{paths.dataFolder() / "MusicCat.dat", kCategoryRecordLength};
    MusicCatalogue catalogue{Music, paths};
    ShownTunes shown;
    std::unique_ptr<MusicFilesForm> form;
};

TEST(MusicFilesForm, ListsTheActiveTunesSortedWithoutRegardToCaseInEachLayout) {
    MusicRig rig;
    rig.addTune(1, "Zebra", "abba", 200);
    rig.addTune(2, "apple", "Mozart", 65);
    rig.addTune(3, "Mango", "ZZ Top", 600);
    rig.addTune(4, "Aaron", "Resting", 10, kMusicResting);
    rig.addTune(5, "Abel", "Archived", 10, kMusicArchive);
    rig.form->open();
    EXPECT_EQ(rig.shown.caption, "Music Files Stereo");
    EXPECT_EQ(rig.shown.numbers(), (std::vector<int>{2, 3, 1}));  // a, M, Z
    EXPECT_EQ(rig.shown.lines[0].text,
              test::padded("apple", 30) + test::padded("Mozart", 25) + "01:05  12 ");
    rig.form->setView(TuneView::Artist);
    EXPECT_EQ(rig.shown.numbers(), (std::vector<int>{1, 2, 3}));
    rig.form->setView(TuneView::Length);
    EXPECT_EQ(rig.shown.numbers(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(rig.shown.lines[0].text.substr(0, 12), "01:05  apple");

    // Showing a tune lists the categories in use, whatever their letter's case.
    MusicCategories categories(rig.MusicCat);
    categories.write(1, {1, 1, "Oldies"});
    categories.write(2, {0, 1, "Deleted"});
    categories.write(29, {1, 0, "country"});
    rig.form->select(3);
    EXPECT_EQ(rig.shown.categories,
              (std::vector<ListLine>{{"country      c", 29}, {"Oldies       A", 1}}));
    EXPECT_EQ(rig.shown.label1, "3");
    EXPECT_EQ(rig.shown.boxes[MusicBox::Length], "10:00");
    EXPECT_EQ(rig.shown.date, "12/05/26");
    EXPECT_TRUE(rig.shown.dateLabel);
    rig.form->categoryDoubleClicked(29);
    EXPECT_EQ(rig.tune(3).Category, "c ");
}

TEST(MusicFilesForm, EachEditStoresItsFieldByItsBoxRule) {
    MusicRig rig;
    rig.addTune(1, "First", "Artist", 205);
    rig.form->open();
    rig.form->boxEdited(MusicBox::Title, "Nothing shown");  // nothing shown: nothing written
    EXPECT_EQ(trimBlanks(rig.tune(1).Title), "First");
    rig.form->select(1);

    rig.form->boxEdited(MusicBox::Title, "A title longer than thirty characters");
    rig.form->boxEdited(MusicBox::Intro, "1234");
    rig.form->boxEdited(MusicBox::Comp, "N");
    rig.form->boxEdited(MusicBox::Category, "B");
    rig.form->boxEdited(MusicBox::Class, "b");
    MusicRecord stored = rig.tune(1);
    EXPECT_EQ(stored.Title, "A title longer than thirty cha");
    EXPECT_EQ(stored.Intro, "123");
    EXPECT_EQ(stored.Comp, 'N');
    EXPECT_EQ(stored.Category, "B ");
    EXPECT_EQ(stored.Class, 'B');
    EXPECT_EQ(rig.shown.boxes[MusicBox::Class], "B");
    EXPECT_TRUE(rig.errors.messages.empty());

    // Refused: a message, the field as it was and shown again.
    for (const char* text : {"ZA", "za", "[", "A1"}) {
        rig.form->boxEdited(MusicBox::Category, text);
        EXPECT_EQ(rig.tune(1).Category, "B ") << text;
        EXPECT_EQ(rig.shown.boxes[MusicBox::Category], "B") << text;
    }
    rig.form->boxEdited(MusicBox::Category, "Ya");
    EXPECT_EQ(rig.tune(1).Category, "Ya");
    rig.form->boxEdited(MusicBox::Class, "3");
    EXPECT_EQ(rig.tune(1).Class, 'B');
    EXPECT_EQ(rig.errors.messages.size(), 5u);
    rig.form->boxEdited(MusicBox::Class, "");
    EXPECT_EQ(rig.tune(1).Class, ' ');

    // Length and EOM are stored on Enter, as seconds, and shown in the clock form.
    rig.form->boxEdited(MusicBox::Length, "3:10");
    EXPECT_EQ(trimBlanks(rig.tune(1).Length), "205");
    EXPECT_EQ(rig.form->keyInBox(MusicBox::Length, BoxKey::Enter), MusicBox::EOM);
    EXPECT_EQ(trimBlanks(rig.tune(1).Length), "190");
    EXPECT_EQ(rig.shown.boxes[MusicBox::Length], "03:10");
    rig.form->boxEdited(MusicBox::EOM, "3:7x");
    EXPECT_EQ(rig.form->keyInBox(MusicBox::EOM, BoxKey::Enter), MusicBox::EOM);
    EXPECT_EQ(trimBlanks(rig.tune(1).EOM), "205");
    EXPECT_EQ(rig.shown.boxes[MusicBox::EOM], "03:25");
    EXPECT_EQ(rig.errors.messages.back(),
              "\"3:7x\" is not a time: type minutes and seconds, as 03:25.");

    // The keys walk the boxes in a ring; leaving the title downward lists it anew.
    EXPECT_EQ(rig.form->keyInBox(MusicBox::Title, BoxKey::Up), MusicBox::Class);
    EXPECT_EQ(rig.form->keyInBox(MusicBox::Class, BoxKey::Down), MusicBox::Title);
    EXPECT_EQ(rig.form->keyInBox(MusicBox::Title, BoxKey::Down), MusicBox::Artist);
    EXPECT_EQ(rig.shown.lines[0].text.substr(0, 6), "A titl");
    EXPECT_EQ(rig.shown.selectedLine, 1);
    rig.form->titleDoubleClicked();
    EXPECT_EQ(rig.tune(1).Title, std::string(30, ' '));
}

TEST(MusicFilesForm, ARecordingIsStoredAsANewEntryWithItsFields) {
    // Two seconds of quiet, three of tone, then quiet.
    const Sound feed =
        test::joined(test::joined(test::constant(0, 2 * 44100), test::sine(1000, 3 * 44100, 10000)),
                     test::constant(0, 20 * 44100));
    MusicRig rig(feed);
    rig.parameters.RecAutoStart = 1;
    rig.addTune(1, "One", "", 100);
    rig.addTune(2, "Two", "", 100);
    rig.addTune(3, "Gone", "Old artist", 100, kMusicDeleted);
    rig.form->open();
    const Bytes before = rig.Music.read(3);

    rig.form->recordClicked();
    EXPECT_EQ(rig.shown.record, "Ready");
    EXPECT_EQ(rig.shown.label1, "3");
    EXPECT_EQ(rig.shown.status, kMusicActive);
    EXPECT_EQ(rig.Music.read(3), before);  // nothing is written when it arms
    rig.clock.advanceSeconds(2.5);
    EXPECT_EQ(rig.shown.record, "Recording ");
    rig.clock.advanceSeconds(10);
    ASSERT_FALSE(rig.form->recording().isActive());  // stopped by itself

    const MusicRecord stored = rig.tune(3);
    EXPECT_EQ(stored.Status, kMusicActive);
    EXPECT_EQ(stored.Title, test::padded("(New Entry 3)", 30));
    EXPECT_EQ(stored.Length, "5    ");  // what the file holds: 3 s of tone, 2 of quiet
    EXPECT_EQ(stored.EOM, "3    ");     // the last sound
    EXPECT_EQ(stored.Drive, 'C');
    EXPECT_EQ(stored.Comp, 'Y');
    EXPECT_EQ(stored.Recorded, "261207");
    EXPECT_EQ(trimBlanks(stored.Artist), "Old artist");  // kept from the slot
    const auto wave = rig.paths.musicFolder() / "MF0003.wav";
    EXPECT_NEAR(static_cast<double>(test::readSound(wave).frames()), 5 * 44100, 2048);
    EXPECT_FALSE(std::filesystem::exists(rig.form->recording().takePath(3)));
    EXPECT_EQ(rig.shown.record, "Record");
    EXPECT_EQ(rig.shown.colours[LibraryButton::EOM], kEomBefore);
    EXPECT_EQ(rig.shown.selectedLine, 3);
    EXPECT_EQ(rig.shown.boxes[MusicBox::Title], "(New Entry 3)");
    EXPECT_EQ(rig.form->shownNumber(), 3);
    EXPECT_EQ(rig.shown.label1, "3");
}

TEST(MusicFilesForm, EditsAndDeletionReachOnlyTheTuneShownWhateverARecordingDoes) {
    MusicRig rig(test::sine(440, 30 * 44100, 8000));
    rig.addTune(1, "Shown", "", 100);
    rig.addTune(3, "Other", "", 100);
    rig.form->open();
    rig.form->select(1);
    const std::int64_t records = rig.Music.recordCount();

    // Armed for entry 2: the boxes take no edits; cancelled: they write to tune 1 again.
    rig.form->recordClicked();
    EXPECT_FALSE(rig.shown.boxesEditable);
    rig.form->boxEdited(MusicBox::Title, "While armed");
    EXPECT_EQ(rig.form->deletion()->number, 1);
    rig.form->stop();
    EXPECT_EQ(rig.Music.recordCount(), records);
    EXPECT_EQ(trimBlanks(rig.tune(1).Title), "Shown");
    EXPECT_EQ(rig.shown.label1, "1");
    rig.form->boxEdited(MusicBox::Title, "After the cancel");
    EXPECT_EQ(trimBlanks(rig.tune(1).Title), "After the cancel");
    EXPECT_EQ(rig.tune(2).Status, 0);
    EXPECT_EQ(rig.form->deletion()->file, rig.paths.musicFolder() / "MF0001.wav");

    // Another tune clicked during a recording: the take still goes to its own entry.
    rig.form->recordClicked();
    rig.form->recordClicked();
    rig.clock.advanceSeconds(1);
    rig.form->select(3);
    EXPECT_EQ(rig.shown.label1, "2");
    EXPECT_FALSE(rig.form->newEntry());  // no import while recording
    rig.clock.advanceSeconds(1);
    rig.form->stop();
    EXPECT_EQ(trimBlanks(rig.tune(3).Title), "Other");
    EXPECT_EQ(trimBlanks(rig.tune(2).Title), "(New Entry 2)");
    EXPECT_EQ(rig.form->deletion()->number, 2);

    // An import takes the next number and tells the window when it has written it.
    const auto entry = rig.form->newEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->number, 4);
    EXPECT_EQ(entry->file, rig.paths.musicFolder() / "MF0004.wav");
    rig.addTune(4, "Imported", "", 60);
    rig.form->reloadAndSelect(4);
    EXPECT_EQ(rig.shown.selectedLine, 4);
    EXPECT_EQ(rig.shown.boxes[MusicBox::Title], "Imported");
    rig.form->reloadAndSelect(0);  // after a deletion: nothing shown, nothing to delete
    EXPECT_FALSE(rig.form->deletion());

    // A number another writer takes during a recording stays theirs: the take goes on.
    rig.form->recordClicked();
    rig.form->recordClicked();
    rig.addTune(5, "Imported meanwhile", "", 60);
    rig.clock.advanceSeconds(1);
    rig.form->stop();
    EXPECT_EQ(trimBlanks(rig.tune(5).Title), "Imported meanwhile");
    EXPECT_EQ(trimBlanks(rig.tune(6).Title), "(New Entry 6)");
}

TEST(MusicFilesForm, ClosingDuringARecordingStopsTheInputAndLeavesNothingBehind) {
    MusicRig rig(test::sine(440, 30 * 44100, 8000));
    rig.addTune(1, "One", "", 100);
    rig.form->open();
    rig.form->recordClicked();
    rig.form->recordClicked();
    rig.clock.advanceSeconds(2);
    rig.form->close();
    EXPECT_FALSE(rig.form->recording().isActive());
    EXPECT_FALSE(rig.recorder->isOpen());
    EXPECT_FALSE(rig.graph->WaveIn.isOpen());
    EXPECT_EQ(rig.Music.recordCount(), 1);
    for (const auto& file : std::filesystem::directory_iterator(rig.paths.musicFolder())) {
        EXPECT_EQ(file.path().filename(), "Music.dat");
    }
    // Opened again, it records afresh into the same number.
    rig.form->open();
    rig.form->recordClicked();
    EXPECT_EQ(rig.shown.record, "Ready");
    EXPECT_EQ(rig.shown.label1, "2");
}

TEST(MusicFilesForm, PlaysWhatMayBePlayedAndMarksTheTuneInThePlayer) {
    MusicRig rig;
    rig.addTune(1, "Playable", "", 3);
    rig.addTune(2, "Not for the fill", "", 3);
    rig.addTune(3, "No file", "", 3);
    MusicRecord no = rig.tune(2);
    no.Comp = 'N';
    rig.catalogue.write(2, no);
    for (const int number : {1, 2}) {
        test::writeWithProgramWriter(rig.files, rig.catalogue.wavePath(number),
                                     test::sine(440, 3 * 44100, 8000));
    }
    rig.form->open();
    rig.form->select(2);
    rig.form->play();
    EXPECT_FALSE(rig.form->isPlaying());
    rig.form->select(3);
    rig.form->play();
    EXPECT_FALSE(rig.form->isPlaying());
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("MF0003.wav"), std::string::npos);

    rig.form->select(1);
    rig.form->play();
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayPlaying);
    rig.clock.advanceSeconds(1.2);
    EXPECT_EQ(rig.shown.time, "00:01");
    rig.form->select(3);
    rig.form->eomClicked();
    EXPECT_EQ(trimBlanks(rig.tune(1).EOM), "1");
    EXPECT_EQ(trimBlanks(rig.tune(3).EOM), "3");
    EXPECT_EQ(rig.shown.colours[LibraryButton::EOM], kEomReached);
    rig.form->stop();
    EXPECT_EQ(rig.shown.colours[LibraryButton::Play], kPlayIdle);
    EXPECT_EQ(rig.shown.time, "");
}

}  // namespace
}  // namespace dvx
