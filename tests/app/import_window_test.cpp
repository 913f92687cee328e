// The import window, frmSpecificFile, frmDialog11 and frmNormalize as the spot files window of
// the program opens them, on virtual devices under the simulated clock: their controls, the
// catalogue, the files and the record log as they work together.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include "app/main_window_rig.h"
#include "app/station.h"
#include "common/record_codec.h"
#include "library/normalize_window.h"
#include "library/spot_catalogue.h"
#include "platform/audio_test_support.h"
#include "support/user_input.h"
#include "viewers/error_window.h"

namespace dvx {
namespace {

struct ImportWindowRig : test::MainWindowRig {
    ImportWindowRig() {
        std::string failure;
        EXPECT_TRUE(window.startUp(failure)) << failure;
        window.station()->parameters.Threshold = 500;
        window.show();
        action("mnuSpotFiles")->trigger();
        spotFiles = window.findChild<QWidget*>("frmSpotFiles");
        std::filesystem::create_directories(sources);
    }
    template <typename T = QWidget>
    T* find(QWidget* parent, const char* name) {
        return test::findNamed<T>(parent, name);
    }
    QWidget* openImport() {
        find<QAction>(spotFiles, "ImportFile")->trigger();
        return spotFiles->findChild<QWidget*>("frmImportFile");
    }
    QWidget* openSpecificFile(QWidget* import) {
        find<QAction>(import, "mnuSpecificFile")->trigger();
        return import->findChild<QWidget*>("frmSpecificFile");
    }
    // Typed over what the box holds, then Enter.
    void enter(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        test::typeKeys(box, text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
    }
    std::filesystem::path source(const std::string& name, const test::Sound& sound) {
        test::writeSound(sources / name, sound);
        return sources / name;
    }
    // Imports the chosen file without a preview and runs the transfer to its end.
    void import(QWidget* importWindow) {
        auto* button = find<QPushButton>(importWindow, "cmdImport");
        button->click();
        for (int slice = 0; slice < 10000 && button->text() == "Cancel"; ++slice) {
            clock.advanceSeconds(0.01);
        }
    }
    static void deleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    SpotCatalogue catalogue() {
        return SpotCatalogue(window.station()->files.Spotfile, window.station()->paths);
    }
    std::string error() { return window.errorWindow().newestMessage(); }
    std::vector<std::string> spotFolderFiles() {
        std::vector<std::string> names;
        for (const auto& entry :
             std::filesystem::directory_iterator(Paths(root.path()).spotFolder())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path sources = root.path() / "sources";
    QWidget* spotFiles = nullptr;
};

TEST(ImportWindow, APreviewedSpotIsListedSelectedAndLoggedWithTheNameGivenAfter) {
    ImportWindowRig rig;
    const auto jingle = rig.source(
        "JINGLE.WAV", test::joined(test::constant(0, 2 * 44100), test::sine(440, 3 * 44100, 9000)));
    QWidget* import = rig.openImport();
    ASSERT_NE(import, nullptr);
    EXPECT_FALSE(rig.find(import, "cmdImport")->isVisible());

    rig.enter(rig.find<QLineEdit>(import, "txtFileName"), QString::fromStdString(jingle.string()));
    auto* files = rig.find<QListWidget>(import, "File1");
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->currentItem()->text(), "JINGLE.WAV");
    rig.find<QPushButton>(import, "cmdPlay")->click();
    rig.clock.advanceSeconds(1);
    EXPECT_EQ(rig.find<QLabel>(import, "lblMarks")->text(), "Start --:--.--   End --:--.--");
    rig.clock.advanceSeconds(5);
    EXPECT_TRUE(rig.find(import, "cmdImport")->isVisible());
    EXPECT_TRUE(rig.find<QLabel>(import, "lblMarks")->text().startsWith("Start 00:01.9"));

    rig.import(import);
    auto* list = rig.find<QListWidget>(rig.spotFiles, "lstSoundFile");
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_EQ(rig.find<QLabel>(rig.spotFiles, "lblNumber")->text(), "1");
    EXPECT_EQ(rig.find<QLineEdit>(rig.spotFiles, "txtName")->text(), "(No Name 001 ****)");
    EXPECT_EQ(trimBlanks(rig.catalogue().read(1).Length), "4");

    // The name typed now is the one the record log gets when the window closes.
    auto* name = rig.find<QLineEdit>(rig.spotFiles, "txtName");
    name->selectAll();
    test::typeKeys(name, "Jingle");
    const auto log = Paths(rig.root.path()).logsFolder() / "record.log";
    EXPECT_FALSE(std::filesystem::exists(log));
    rig.spotFiles->close();
    EXPECT_EQ(test::fileText(log).substr(0, 40),
              "JINGLE" + std::string(19, ' ') + "    1 " + std::string(8, ' ') + " ");
}

TEST(ImportWindow, ASpecificFileAnswersEachNumberAndAnUnusedOneIsFreedOnClosing) {
    ImportWindowRig rig;
    SpotRecord elsewhere;
    elsewhere.Status = kSpotReserved;
    elsewhere.Name = "LIVE READ";
    rig.catalogue().write(2, elsewhere);
    const auto tone = rig.source("tone.wav", test::sine(440, 44100, 9000));
    QWidget* import = rig.openImport();
    rig.enter(rig.find<QLineEdit>(import, "txtFileName"), QString::fromStdString(tone.string()));

    QWidget* specific = rig.openSpecificFile(import);
    ASSERT_NE(specific, nullptr);
    auto* number = rig.find<QLineEdit>(specific, "txtFileNumber");
    rig.enter(number, "901");
    EXPECT_EQ(number->text(), "");
    rig.enter(number, "2");
    EXPECT_EQ(rig.find<QLabel>(specific, "Label2")->text(),
              "This file is being recorded by another computer");
    // A number typed and confirmed with OK is answered as Enter would.
    number->clear();
    test::typeKeys(number, "12");
    rig.find<QPushButton>(specific, "cmdOK")->click();
    EXPECT_FALSE(specific->isVisible());
    EXPECT_EQ(rig.catalogue().read(12).Status, kSpotReserved);

    rig.import(import);
    EXPECT_EQ(rig.catalogue().read(12).Status, kSpotActive);
    EXPECT_EQ(rig.find<QLabel>(rig.spotFiles, "lblNumber")->text(), "12");
    EXPECT_EQ(rig.catalogue().read(3).Status, '\0');  // nothing else taken

    rig.enter(rig.find<QLineEdit>(rig.openSpecificFile(import), "txtFileNumber"), "14");
    EXPECT_EQ(rig.catalogue().read(14).Status, kSpotReserved);
    import->close();
    EXPECT_EQ(rig.catalogue().read(14).Status, kSpotFree);

    // From the spot files window, with no import window open, the number is armed to record.
    rig.find<QAction>(rig.spotFiles, "SpecificFile")->trigger();
    rig.enter(rig.find<QLineEdit>(rig.find(rig.spotFiles, "frmSpecificFile"), "txtFileNumber"),
              "20");
    EXPECT_EQ(rig.find<QPushButton>(rig.spotFiles, "cmdRecord")->text(), "&Ready");
    rig.find<QPushButton>(rig.spotFiles, "cmdStop")->click();
    EXPECT_EQ(rig.catalogue().read(20).Status, kSpotFree);
}

TEST(ImportWindow, ClosingMidTransferOrEndingTheRunLeavesNoReservedNumberAndNoFile) {
    ImportWindowRig rig;
    const auto bed = rig.source("bed.wav", test::constant(6000, 30 * 44100));
    const auto started = [&] {
        QWidget* import = rig.openImport();
        rig.enter(rig.find<QLineEdit>(import, "txtFileName"), QString::fromStdString(bed.string()));
        rig.find<QPushButton>(import, "cmdImport")->click();
        rig.clock.advanceSeconds(0.05);
        EXPECT_EQ(rig.catalogue().read(1).Status, kSpotReserved);
        EXPECT_GT(rig.spotFolderFiles().size(), 2u);  // the catalogues and the partial file
        return import;
    };
    started()->close();
    EXPECT_EQ(rig.catalogue().read(1).Status, kSpotFree);
    EXPECT_EQ(rig.spotFolderFiles(), (std::vector<std::string>{"RFNames.dat", "Spotfile.dat"}));
    rig.deleteClosedWindows();

    started();
    const Paths paths(rig.root.path());
    rig.window.close();  // the run ends; the windows go without their own closing handling
    RecordFile file(paths.spotFolder() / "Spotfile.dat", kSpotRecordLength);
    EXPECT_EQ(SpotCatalogue(file, paths).read(1).Status, kSpotFree);
    EXPECT_EQ(rig.spotFolderFiles(), (std::vector<std::string>{"RFNames.dat", "Spotfile.dat"}));
}

TEST(ImportWindow, DeletingASourceAsksFirstThenListsTheFolderAgain) {
    ImportWindowRig rig;
    const auto first = rig.source("a.wav", test::sine(440, 4410, 9000));
    rig.source("b.wav", test::sine(440, 4410, 9000));
    QWidget* import = rig.openImport();
    rig.enter(rig.find<QLineEdit>(import, "txtFileName"), QString::fromStdString(first.string()));
    const auto ask = [&] {
        rig.find<QAction>(import, "mnuFilePopupDelete")->trigger();
        return import->findChild<QWidget*>("frmDialog11");
    };
    QWidget* dialog = ask();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Delete " + first.string() + " ?");
    EXPECT_EQ(rig.find<QLabel>(dialog, "lblDialog1")->text(), "Are You Sure?");
    rig.find<QPushButton>(dialog, "CancelButton")->click();
    EXPECT_TRUE(std::filesystem::exists(first));
    rig.deleteClosedWindows();

    rig.find<QPushButton>(ask(), "OKButton")->click();
    EXPECT_FALSE(std::filesystem::exists(first));
    auto* files = rig.find<QListWidget>(import, "File1");
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->item(0)->text(), "b.wav");
    EXPECT_FALSE(rig.find(import, "cmdImport")->isVisible());  // its source is gone
}

TEST(NormalizeWindow, ThePopupNormalisesTheSelectedSpotAndARefusalLeavesItWhole) {
    ImportWindowRig rig;
    SpotRecord spot;
    spot.Status = kSpotActive;
    spot.Name = "SALE";
    rig.catalogue().write(1, spot);
    const auto wave = rig.catalogue().wavePath(1);
    test::writeWithProgramWriter(rig.soundFiles, wave, test::sine(440, 44100, 3000));
    rig.find<QAction>(rig.spotFiles, "mnuViewName")->trigger();

    rig.find<QAction>(rig.spotFiles, "mnuPopupNormalize")->trigger();
    EXPECT_EQ(rig.error(), "Please select a progam.");
    EXPECT_EQ(rig.spotFiles->findChild<QWidget*>("frmNormalize"), nullptr);
    rig.find<QListWidget>(rig.spotFiles, "lstSoundFile")->setCurrentRow(0);
    rig.find<QAction>(rig.spotFiles, "mnuPopupNormalize")->trigger();
    auto* normalize = rig.find<NormalizeWindow>(rig.spotFiles, "frmNormalize");
    ASSERT_NE(normalize, nullptr);
    auto* slider = rig.find<QSlider>(normalize, "Slider");
    EXPECT_EQ(slider->value(), 9191);
    EXPECT_EQ(rig.find<QLabel>(normalize, "lblLevel")->text(), "-5.02 dB");

    const auto run = [&](int position) {
        slider->setValue(position);
        rig.find<QPushButton>(normalize, "cmdNormalize")->click();
        normalize->form().waitForJob();
        rig.clock.advanceSeconds(0.1);
    };
    const std::vector<std::uint8_t> before = test::fileBytes(wave);
    run(0);
    EXPECT_NE(rig.error().find("1 to 100 %"), std::string::npos) << rig.error();
    EXPECT_TRUE(normalize->isVisible());
    EXPECT_EQ(test::fileBytes(wave), before);

    run(16384);
    EXPECT_FALSE(normalize->isVisible());
    const test::Sound after = test::readSound(wave);
    EXPECT_EQ(*std::max_element(after.samples.begin(), after.samples.end()), 32767);
    EXPECT_EQ(after.frames(), 44100u);
}

}  // namespace
}  // namespace dvx
