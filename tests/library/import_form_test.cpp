#include "library/import_form.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "import_rig.h"
#include "library/record_log.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

using test::Sound;

// Keeps what the form shows.
struct ShownImport : ImportView {
    std::map<ImportControl, bool> visible;
    std::vector<std::string> files;
    std::string selectedFile;
    std::string number;

    void showControl(ImportControl control, bool shown) override { visible[control] = shown; }
    void setCaption(ImportControl, const std::string&) override {}
    void setColour(ImportControl, Rgb) override {}
    void showFolder(const std::filesystem::path&) override {}
    void showFiles(const std::vector<std::string>& names, const std::string& selected) override {
        files = names;
        selectedFile = selected;
    }
    void showFileName(const std::string&) override {}
    void showThreshold(int) override {}
    void showFadeEntries(const std::vector<std::string>&, int) override {}
    void showLevel(int) override {}
    void setTrackBarRange(std::int64_t) override {}
    void setTrackBarPosition(std::int64_t) override {}
    void showTime(const std::string&) override {}
    void showLamp(bool) override {}
    void showMarks(const std::string&) override {}
    void showGauge(int) override {}
    void showNumber(const std::string& text) override { number = text; }
    void showSpecificFileEntry(bool) override {}
};

// A library window that reserved `specific` and counts what it was told.
struct TargetProbe : ImportTarget {
    bool spots = true;
    int specific = 0;
    std::vector<int> importedNumbers;
    int closings = 0;
    bool forSpots() const override { return spots; }
    int specificFileNumber() const override { return specific; }
    void imported(int number) override { importedNumbers.push_back(number); }
    void importWindowClosed() override { ++closings; }
};

// The import form over both catalogues, with the preview on the virtual devices under the
// simulated clock.
struct FormRig : test::VirtualRig {
    FormRig() {
        for (const auto& folder : {paths.spotFolder(), paths.musicFolder(), paths.logsFolder()}) {
            std::filesystem::create_directories(folder);
        }
        parameters.Threshold = 500;
        std::filesystem::create_directories(sources);
        lastFolder = sources;
        form = std::make_unique<ImportForm>(
            ImportParts{clock, parameters, paths, spotFile, musicFile, log, *backend, files, *pump,
                        errors, lastFolder},
            target, shown);
    }
    std::string source(const std::string& name, const Sound& sound) {
        test::writeSound(sources / name, sound);
        return name;
    }
    // Steps the transfer to its end.
    void runTransfer() {
        for (int slice = 0; slice < 10000 && form->isImporting(); ++slice) {
            clock.advanceSeconds(0.01);
        }
    }

    Paths paths{folder.path()};
    std::filesystem::path sources = folder.path() / "sources";
    std::filesystem::path lastFolder;
    Parameters parameters;
    test::RecordingErrorReporter errors;
    RecordFile spotFile = test::spotCatalogueFile(paths);
    RecordFile musicFile = test::musicCatalogueFile(paths);
    SpotCatalogue spots{spotFile, paths};
    RecordLog log{paths, clock, errors};
    ShownImport shown;
    TargetProbe target;
    std::unique_ptr<ImportForm> form;
};

TEST(ImportForm, FileListTakesEverySoundFileWhateverTheCaseOfItsExtension) {
    test::TempFolder folder;
    for (const char* name : {"b.Mp3", "A.WAV", "c.mpg", "d.MP2", "e.snd", "notes.txt",
                             "old.wav.bak", "wav", "F.sNd"}) {
        test::writeSound(folder.path() / name, test::constant(0, 10));
    }
    std::filesystem::create_directories(folder.path() / "folder.wav");
    EXPECT_EQ(importableFiles(folder.path()),
              (std::vector<std::string>{"A.WAV", "b.Mp3", "c.mpg", "d.MP2", "e.snd", "F.sNd"}));
    EXPECT_TRUE(importableFiles(folder.path() / "missing").empty());
}

TEST(ImportForm, ASpecificNumberIsTakenAndMusicGetsTheNextOfItsCatalogue) {
    FormRig rig;
    const std::string tone = rig.source("tone.wav", test::sine(440, 44100, 8000));
    SpotRecord reserved;
    reserved.Status = kSpotReserved;  // by the record-a-specific-file window
    rig.spots.write(7, reserved);
    rig.target.specific = 7;
    rig.form->open();
    rig.form->fileChosen(tone);
    rig.form->importClicked();
    rig.runTransfer();
    EXPECT_EQ(rig.target.importedNumbers, std::vector<int>{7});
    EXPECT_EQ(rig.spots.read(7).Status, kSpotActive);
    EXPECT_EQ(rig.spots.read(1).Status, '\0');

    rig.target.spots = false;
    rig.target.importedNumbers.clear();
    rig.form->importClicked();
    EXPECT_EQ(rig.shown.number, "1");  // label1
    rig.runTransfer();
    EXPECT_EQ(rig.target.importedNumbers, std::vector<int>{1});
    EXPECT_TRUE(std::filesystem::exists(rig.paths.musicFolder() / "MF0001.wav"));
}

TEST(ImportForm, CancelKeepsTheSpotSoFar) {
    FormRig rig;
    const std::string bed = rig.source("bed.wav", test::constant(6000, 20 * 44100));
    rig.form->open();
    rig.form->fileChosen(bed);
    rig.form->importClicked();
    rig.clock.advanceSeconds(0.05);  // five slices: five seconds of the source
    ASSERT_TRUE(rig.form->isImporting());
    rig.form->importClicked();  // "Cancel"
    EXPECT_FALSE(rig.form->isImporting());
    EXPECT_EQ(rig.target.importedNumbers, std::vector<int>{1});
    const double kept = test::readSound(rig.spots.wavePath(1)).frames() / 44100.0;
    EXPECT_GT(kept, 3);
    EXPECT_LT(kept, 8);
}

TEST(ImportForm, BadInputIsNamedInTheErrorWindowAndChangesNothing) {
    FormRig rig;
    const std::string tone = rig.source("tone.wav", test::sine(440, 3 * 44100, 8000));
    rig.source("broken.wav", test::constant(0, 10));
    std::filesystem::resize_file(rig.sources / "broken.wav", 20);
    rig.form->open();

    rig.form->thresholdEdited("5OO");
    EXPECT_EQ(rig.errors.messages.back(), kThresholdMessage);
    EXPECT_EQ(rig.form->session().threshold(), 500);

    rig.form->fileChosen("broken.wav");
    EXPECT_FALSE(rig.shown.visible[ImportControl::Import]);
    EXPECT_EQ(rig.errors.messages.size(), 2u);

    rig.form->fileChosen(tone);
    rig.form->autoStopToggled(true);
    rig.form->timeEdited("half a minute");
    rig.form->importClicked();
    EXPECT_EQ(rig.errors.messages.back(), kAutoStopTimeMessage);
    rig.form->timeEdited("0:02");
    rig.form->fadeChosen(3);  // a fade longer than AutoStop's time
    rig.form->importClicked();
    EXPECT_NE(rig.errors.messages.back().find("longer than the fade"), std::string::npos);
    EXPECT_FALSE(rig.form->isImporting());
    EXPECT_EQ(rig.spots.recordCount(), 0);

    rig.form->fileNameEntered((rig.sources / "nothing.wav").string());
    EXPECT_NE(rig.errors.messages.back().find("nothing.wav"), std::string::npos);
    EXPECT_EQ(rig.form->sourcePath(), rig.sources / tone);
}

}  // namespace
}  // namespace dvx
