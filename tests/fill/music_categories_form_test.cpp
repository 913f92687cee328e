#include "fill/music_categories_form.h"

#include <gtest/gtest.h>

#include "fill_test_data.h"

namespace dvx {
namespace {

struct CategoriesWindow {
    test::FillData data;
    MusicCategories categories{data.files.MusicCat};
    test::RecordingErrorReporter errors;
    MusicCategoriesForm form{categories, errors};

    void save(char letter, const std::string& name, bool visible = false) {
        ASSERT_TRUE(form.letterTyped(letter));
        form.apply(name, visible);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> lines;
        for (const ListLine& line : form.lines()) {
            lines.push_back(line.text);
        }
        return lines;
    }
};

TEST(MusicCategoriesForm, ListsDefinedCategoriesSortedWithoutRegardToCase) {
    CategoriesWindow window;
    window.save('Z', "Oldies");
    window.save('a', "Ballads");
    window.save('A', "Rock");
    window.save('q', "Quiet", true);
    EXPECT_EQ(window.texts(), (std::vector<std::string>{"Ballads      a", "Oldies       Z",
                                                        "Quiet        q", "Rock         A"}));
    window.form.setView(CategoryView::Letter);
    EXPECT_EQ(window.texts(), (std::vector<std::string>{"a Ballads     ", "A Rock        ",
                                                        "q Quiet       ", "Z Oldies      "}));
    // Clicking a line shows the letter, the trimmed name and the flag; a click past the list
    // changes nothing.
    const auto shown = window.form.lineClicked(2);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->letter, "q");
    EXPECT_EQ(shown->name, "Quiet");
    EXPECT_TRUE(shown->visible);
    EXPECT_EQ(window.form.current(), 43);
    EXPECT_FALSE(window.form.lineClicked(4));
    EXPECT_EQ(window.form.current(), 43);
}

TEST(MusicCategoriesForm, ApplyAndDeleteActOnTheCurrentLetterOnly) {
    CategoriesWindow window;
    // Nothing current yet: nothing is written.
    EXPECT_EQ(window.form.apply("Rock", false), std::nullopt);
    EXPECT_EQ(window.errors.messages, std::vector<std::string>{"Legal letters are A-Z and a-z"});
    EXPECT_EQ(window.data.files.MusicCat.recordCount(), 0);

    EXPECT_FALSE(window.form.letterTyped('1'));
    EXPECT_EQ(window.errors.messages.size(), 2u);
    ASSERT_TRUE(window.form.letterTyped('B'));
    EXPECT_EQ(window.form.apply("Blues and more than twelve", true), 0);
    EXPECT_EQ(window.texts(), std::vector<std::string>{"Blues and mo B"});
    ASSERT_TRUE(window.form.letterTyped('C'));
    EXPECT_EQ(window.form.apply("Country", false), 1);

    // Deleting the last line selects the one before it, a middle line stays selected in
    // place, and deleting the only line selects nothing.
    EXPECT_EQ(window.form.deleteCurrent(1), 0);
    window.save('C', "Country");
    window.save('D', "Dance");
    EXPECT_EQ(window.form.deleteCurrent(2), 1);
    EXPECT_EQ(window.texts().size(), 2u);
    ASSERT_TRUE(window.form.letterTyped('B'));
    EXPECT_EQ(window.form.deleteCurrent(0), 0);
    ASSERT_TRUE(window.form.letterTyped('C'));
    EXPECT_EQ(window.form.deleteCurrent(0), std::nullopt);
    // A deleted record keeps its name.
    EXPECT_EQ(window.categories.read(4).InUse, 0);
    EXPECT_EQ(window.categories.read(4).Name, "Dance       ");
}

TEST(MusicCategoriesForm, PrintoutCentresTheHeadingAndPrintsNothingForAnEmptyList) {
    CategoriesWindow window;
    LocalDateTime today;
    today.year = 2026;
    today.month = 12;
    today.day = 5;
    EXPECT_TRUE(window.form.printout(today).empty());
    window.save('Z', "Oldies");
    window.save('a', "Ballads");
    window.form.setView(CategoryView::Letter);
    EXPECT_EQ(window.form.printout(today),
              (std::vector<PrintLine>{{26, "Music Categories 12-05-2026"},
                                      {0, " "},
                                      {5, "Ballads       a"},
                                      {5, "Oldies        Z"}}));
}

}  // namespace
}  // namespace dvx
