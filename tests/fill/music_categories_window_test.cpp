#include "fill/music_categories_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "fill_test_data.h"
#include "support/questions.h"
#include "support/user_input.h"

namespace dvx {
namespace {

struct CategoriesRig {
    test::FillData data;
    test::RecordingErrorReporter errors;
    std::unique_ptr<MusicCategoriesWindow> window;

    void open() {
        window = std::make_unique<MusicCategoriesWindow>(data.files.MusicCat, errors);
        window->show();
    }
    template <typename T>
    T* find(const char* name) {
        return test::findNamed<T>(window.get(), name);
    }
    void type(const char* box, Qt::Key key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(find<QLineEdit>(box), &press);
    }
    QStringList lines() { return test::itemTexts(find<QListWidget>("lstName")); }
    void click(int row) {
        auto* list = find<QListWidget>("lstName");
        emit list->itemClicked(list->item(row));
    }
};

TEST(MusicCategoriesWindow, TypedLetterNameAndVisibleAreSavedShownAndDeleted) {
    CategoriesRig rig;
    rig.open();
    rig.type("txtLetter", Qt::Key_5, "5");
    EXPECT_EQ(rig.errors.messages, std::vector<std::string>{"Legal letters are A-Z and a-z"});
    EXPECT_EQ(rig.find<QLineEdit>("txtLetter")->text(), "");
    rig.type("txtLetter", Qt::Key_Q, "q");
    EXPECT_EQ(rig.find<QLineEdit>("txtLetter")->text(), "q");
    rig.find<QLineEdit>("txtName")->setText("Quiet Storm");
    rig.type("txtName", Qt::Key_Return);  // Enter ticks "Visible"
    EXPECT_TRUE(rig.find<QCheckBox>("Check1")->isChecked());
    rig.find<QPushButton>("cmdApply")->click();

    const MusicCategory saved = MusicCategories(rig.data.files.MusicCat).read(43);
    EXPECT_EQ(saved.InUse, 1);
    EXPECT_EQ(saved.Visible, 1);
    EXPECT_EQ(saved.Name, "Quiet Storm ");
    EXPECT_EQ(rig.data.files.MusicCat.recordCount(), 43);
    EXPECT_EQ(rig.lines(), QStringList{"Quiet Storm  q"});
    EXPECT_EQ(rig.find<QListWidget>("lstName")->currentRow(), 0);
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "");
    EXPECT_FALSE(rig.find<QCheckBox>("Check1")->isChecked());

    rig.find<QAction>("mnuViewLetter")->trigger();
    EXPECT_EQ(rig.lines(), QStringList{"q Quiet Storm "});
    rig.click(0);
    EXPECT_EQ(rig.find<QLineEdit>("txtLetter")->text(), "q");
    EXPECT_EQ(rig.find<QLineEdit>("txtName")->text(), "Quiet Storm");
    EXPECT_TRUE(rig.find<QCheckBox>("Check1")->isChecked());

    {
        test::AnswerQuestions yes(QMessageBox::Yes);
        rig.find<QPushButton>("cmdDelete")->click();
        EXPECT_EQ(yes.asked, QStringList{"Delete the category q (Quiet Storm)?"});
    }
    EXPECT_TRUE(rig.lines().isEmpty());
    EXPECT_EQ(rig.find<QListWidget>("lstName")->currentRow(), -1);
    EXPECT_EQ(MusicCategories(rig.data.files.MusicCat).read(43).InUse, 0);
    EXPECT_EQ(rig.errors.messages.size(), 1u);

    // Apply after Delete cannot bring the category back: no letter is current any more.
    rig.find<QLineEdit>("txtName")->setText("Quiet Storm");
    rig.find<QPushButton>("cmdApply")->click();
    EXPECT_EQ(MusicCategories(rig.data.files.MusicCat).read(43).InUse, 0);
    EXPECT_TRUE(rig.find<QLineEdit>("txtLetter")->property("refused").toBool());
}

}  // namespace
}  // namespace dvx
