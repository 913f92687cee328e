// The music files window as the main window opens it, on virtual devices under the simulated
// clock: its list, its boxes and its import entry. (What its recording does is the form's test.)
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/main_window_rig.h"
#include "app/sensor_runtime.h"
#include "app/station.h"
#include "common/record_codec.h"
#include "library/music_catalogue.h"
#include "library/music_files_window.h"

namespace dvx {
namespace {

struct MusicWindowRig : test::MainWindowRig {
    MusicWindowRig() { startToRecord(); }
    QWidget* open() { return MainWindowRig::open("mnuMusicFiles", "frmTune"); }
    MusicCatalogue catalogue() {
        return MusicCatalogue(window.station()->files.Music, window.station()->paths);
    }
    void addTune(int number, const char* title, int seconds) {
        MusicRecord record;
        record.Status = kMusicActive;
        record.Title = title;
        record.Length = record.EOM = std::to_string(seconds);
        record.Category = "ZA";  // what the box would refuse
        record.Class = 'b';      // what the box would turn to upper case
        record.Comp = kFillAllowed;
        catalogue().write(number, record);
    }
    std::vector<int> listed() {
        std::vector<int> numbers;
        auto* list = find<QListWidget>("lstTune");
        for (int row = 0; row < list->count(); ++row) {
            numbers.push_back(list->item(row)->data(Qt::UserRole).toInt());
        }
        return numbers;
    }
};

TEST(MusicFilesWindow, ListsSortedShowsWithoutWritingAndStoresWhatIsTyped) {
    MusicWindowRig rig;
    rig.addTune(1, "Zulu", 30);
    rig.addTune(2, "alpha", 200);
    rig.addTune(3, "Mike", 100);
    ASSERT_NE(rig.open(), nullptr);
    EXPECT_EQ(rig.listed(), (std::vector<int>{2, 3, 1}));  // a, M, Z
    rig.find<QAction>("mnuView_3")->trigger();
    EXPECT_EQ(rig.listed(), (std::vector<int>{1, 3, 2}));  // by length

    // Showing a tune fills the boxes and writes nothing, whatever their rules would make of it.
    RecordFile& Music = rig.window.station()->files.Music;
    const Bytes before = Music.read(2);
    rig.find<QListWidget>("lstTune")->setCurrentRow(2);
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "alpha");
    EXPECT_EQ(rig.find<QLineEdit>("txtCategory")->text(), "ZA");
    EXPECT_EQ(rig.find<QLineEdit>("txtLength")->text(), "03:20");
    EXPECT_EQ(rig.find<QLabel>("Label1")->text(), "2");
    EXPECT_EQ(Music.read(2), before);

    if (const char* folder = std::getenv("DORVEXIA_SCREENSHOT_DIR")) {
        rig.opened->grab().save(QString(folder) + "/music_files_window.png");
    }
    rig.type("txtClass", "c");
    EXPECT_EQ(rig.catalogue().read(2).Class, 'C');
    EXPECT_EQ(rig.find<QLineEdit>("txtClass")->text(), "C");
    rig.type("txtName", "Alpha Two");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(rig.find<QLineEdit>("txtName"), &enter);
    EXPECT_EQ(rig.opened->focusWidget(), rig.find<QLineEdit>("txtArtist"));
    EXPECT_TRUE(rig.find<QListWidget>("lstTune")->item(2)->text().contains("Alpha Two"));

    // "Import" announces the new entry's number and opens the import window for music; closing
    // it without an import drops the entry again, and an entry written elsewhere is shown.
    rig.find<QAction>("mnuImport")->trigger();
    EXPECT_EQ(rig.find<QLabel>("Label1")->text(), "4");
    QWidget* import = rig.opened->findChild<QWidget*>("frmImportFile");
    ASSERT_NE(import, nullptr);
    EXPECT_TRUE(import->isVisible());
    EXPECT_FALSE(import->findChild<QAction*>("mnuSpecificFile")->isVisible());  // spots only
    import->close();
    EXPECT_EQ(rig.find<QLabel>("Label1")->text(), "2");
    rig.addTune(4, "Imported", 10);
    qobject_cast<MusicFilesWindow*>(rig.opened)->reloadAndSelect(4);
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "Imported");
    EXPECT_EQ(rig.find<QListWidget>("lstTune")->currentItem()->data(Qt::UserRole).toInt(), 4);
}

}  // namespace
}  // namespace dvx
