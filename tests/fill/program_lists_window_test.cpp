#include "fill/program_lists_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "fill_test_data.h"
#include "settings/parameter_records.h"
#include "support/questions.h"
#include "support/user_input.h"

namespace dvx {
namespace {

struct ProgrammingRig {
    ProgrammingRig() {
        MusicCategories categories(data.files.MusicCat);
        categories.write(1, MusicCategory{1, 0, "Acoustic"});
        categories.write(2, MusicCategory{1, 0, "Blues"});
        categories.write(3, MusicCategory{1, 0, "Country"});
    }
    void open() {
        window = std::make_unique<ProgramListsWindow>(
            data.files.MusRotFileOne, data.files.MusRotFileTwo, data.files.MusicCat, data.paths,
            parameters, errors, [this](const std::string& text) { captions.push_back(text); });
        window->show();
    }
    template <typename T>
    T* find(const QString& name) {
        return test::findNamed<T>(window.get(), name);
    }
    void chooseCategory(int row) { find<QListWidget>("lstName")->setCurrentRow(row); }
    void popup(const char* action) { find<QAction>(action)->trigger(); }
    QStringList lines(const char* list) { return test::itemTexts(find<QListWidget>(list)); }
    std::vector<int> categoriesOfListOne() {
        std::vector<int> result;
        ProgramList list(data.files.MusRotFileOne);
        for (int record = 1; record <= list.recordCount(); ++record) {
            const ProgramListEntry entry = list.read(record);
            result.push_back(entry.InUse == 1 ? entry.Category : -entry.Category);
        }
        return result;  // a free record's category shows negative
    }

    test::FillData data;
    Parameters parameters;
    test::RecordingErrorReporter errors;
    std::vector<std::string> captions;
    std::unique_ptr<ProgramListsWindow> window;
};

TEST(ProgramListsWindow, PopupEditsReachTheListFilesAtOnce) {
    ProgrammingRig rig;
    rig.open();
    ASSERT_EQ(rig.lines("lstName"),
              (QStringList{"Acoustic     A", "Blues        B", "Country      C"}));

    // Without a category nothing is added, by the popup or by double-clicking "Alternate".
    rig.popup("mnuHiddenPopup1Add");
    test::doubleClick(rig.find<QListWidget>("List2")->viewport());
    EXPECT_EQ(rig.errors.messages,
              (std::vector<std::string>{"No Category Selected", "No Category Selected"}));
    EXPECT_EQ(rig.data.files.MusRotFileOne.recordCount(), 0);

    // Added by the popup, and by double-clicking "Regular" as well.
    rig.chooseCategory(0);
    rig.popup("mnuHiddenPopup1Add");
    rig.chooseCategory(1);
    rig.popup("mnuHiddenPopup1Add");
    rig.chooseCategory(0);
    test::doubleClick(rig.find<QListWidget>("list1")->viewport());
    EXPECT_EQ(rig.lines("list1"),
              (QStringList{" 1 Acoustic     A 0", " 2 Blues        B 0", " 3 Acoustic     A 0"}));
    EXPECT_EQ(rig.find<QListWidget>("list1")->currentRow(), 2);

    rig.find<QListWidget>("list1")->setCurrentRow(1);
    rig.chooseCategory(2);
    rig.popup("mnuHiddenPopup1Insert");
    EXPECT_EQ(rig.categoriesOfListOne(), (std::vector<int>{1, 3, 2, 1}));

    rig.find<QListWidget>("list1")->setCurrentRow(0);
    {
        test::AnswerQuestions no(QMessageBox::No);
        rig.popup("mnuHiddenPopup1Delete");
        EXPECT_EQ(no.asked, QStringList{"Delete line 1 of the Regular list?"});
    }
    EXPECT_EQ(rig.categoriesOfListOne(), (std::vector<int>{1, 3, 2, 1}));
    {
        test::AnswerQuestions yes(QMessageBox::Yes);
        rig.popup("mnuHiddenPopup1Delete");
    }
    EXPECT_EQ(rig.categoriesOfListOne(), (std::vector<int>{3, 2, 1, -1}));
    EXPECT_EQ(rig.find<QListWidget>("list1")->currentRow(), 0);

    // Reset clears the plays of free records too.
    ProgramList list(rig.data.files.MusRotFileOne);
    list.write(2, ProgramListEntry{1, 2, 7});
    list.write(4, ProgramListEntry{0, 1, 5});
    rig.popup("mnuHiddenPopup1Reset");
    EXPECT_EQ(list.read(2).Plays, 0);
    EXPECT_EQ(list.read(4).Plays, 0);
    EXPECT_EQ(rig.find<QAction>("mnuHiddenPopup2Reset")->text(), "Reset All Pays to 0");

    // Double-clicking "Alternate" with a category adds it to list two.
    rig.chooseCategory(1);
    test::doubleClick(rig.find<QListWidget>("List2")->viewport());
    EXPECT_EQ(rig.lines("List2"), QStringList{" 1 Blues        B 0"});
    EXPECT_EQ(rig.errors.messages.size(), 2u);
}

TEST(ProgramListsWindow, ApplyWritesTheScheduleAndSlotsAndReloadsTheSensor) {
    ProgrammingRig rig;
    {
        ParameterFile file(rig.data.paths);
        file.write(2, 0);           // alarm and fill
        file.write(8 + 1, 1);       // Monday
        file.write(15 + 1, 21600);  // 06:00:00
        file.write(22 + 1, 36000);  // 10:00:00
        file.write(28 + 2, 9001);   // regular sweeper
        file.write(28 + 3, 10088);  // "X"
    }
    rig.open();
    EXPECT_TRUE(rig.find<QCheckBox>("Check1_2")->isChecked());
    EXPECT_EQ(rig.find<QLineEdit>("txtStart_2")->text(), "06:00:00");
    EXPECT_EQ(rig.find<QLineEdit>("txtStop_2")->text(), "10:00:00");
    EXPECT_EQ(rig.find<QLineEdit>("txtEvent_2")->text(), "9001");
    EXPECT_EQ(rig.find<QLineEdit>("txtEvent_3")->text(), "X");

    test::doubleClick(rig.find<QLineEdit>("txtStart_2"));
    EXPECT_EQ(rig.find<QLineEdit>("txtStart_2")->text(), "");
    rig.find<QLineEdit>("txtStop_2")->setText("11:30:00");
    rig.find<QCheckBox>("Check1_3")->setChecked(true);
    rig.find<QLineEdit>("txtStart_3")->setText("half past");
    rig.find<QLineEdit>("txtStop_3")->setText("18:00:00");
    rig.find<QLineEdit>("txtEvent_5")->setText("800");
    rig.find<QLineEdit>("txtEvent_6")->setText("95");

    // A time that is not one is marked, and nothing is written.
    const std::string before = test::fileText(rig.data.paths.dataFile("DXParams.dat"));
    rig.find<QPushButton>("cmdApply")->click();
    EXPECT_EQ(test::fileText(rig.data.paths.dataFile("DXParams.dat")), before);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("Tuesday (\"half past\") is not a time of day"),
              std::string::npos);
    EXPECT_TRUE(rig.find<QLineEdit>("txtStart_3")->property("refused").toBool());
    EXPECT_TRUE(rig.captions.empty());

    rig.find<QLineEdit>("txtStart_3")->clear();
    EXPECT_FALSE(rig.find<QLineEdit>("txtStart_3")->property("refused").toBool());
    rig.find<QPushButton>("cmdApply")->click();
    EXPECT_EQ(rig.captions, std::vector<std::string>{"Dorvexia Alarm/Fill"});
    EXPECT_EQ(rig.parameters.AltDayEnabled[2], 1);
    EXPECT_EQ(rig.parameters.AltStart[2], 21600);  // the emptied box keeps it
    EXPECT_EQ(rig.parameters.AltStop[2], 41400);
    EXPECT_EQ(rig.parameters.AltDayEnabled[3], 1);
    EXPECT_EQ(rig.parameters.AltStart[3], 0);
    EXPECT_EQ(rig.parameters.AltStop[3], 64800);
    EXPECT_EQ(rig.parameters.ProgramEvent[2], 9001);
    EXPECT_EQ(rig.parameters.ProgramEvent[3], 0);  // a letter stores 0: music, as before
    EXPECT_EQ(rig.parameters.ProgramEvent[5], 800);
    EXPECT_EQ(rig.parameters.ProgramEvent[6], 0);
}

}  // namespace
}  // namespace dvx
