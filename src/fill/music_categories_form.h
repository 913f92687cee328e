#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/print_line.h"
#include "fill/music_categories.h"

namespace dvx {

class ErrorReporter;

// What the music categories window (`frmMusicCategories`) does, without drawing: the list in
// its two views, the current category chosen by a letter or a click, Apply, Delete and the
// printout. The window shows what this returns and moves the focus. Main thread only.
class MusicCategoriesForm {
  public:
    static constexpr std::string_view kLegalLettersMessage = "Legal letters are A-Z and a-z";

    // `Form_Load`: the "Names" view, listed.
    MusicCategoriesForm(MusicCategories& categories, ErrorReporter& errors);

    const std::vector<ListLine>& lines() const { return m_lines; }
    CategoryView view() const { return m_view; }
    std::optional<int> current() const { return m_current; }

    // `mnuViewNames_Click`, `mnuViewLetter_Click`: the view, listed again.
    void setView(CategoryView view);
    // Lists the categories again (`LoadMusicCategories`).
    void reload();

    // `txtLetter_KeyPress` with a character (Enter is the window's own): a letter makes its
    // category current and returns true; any other key shows "Legal letters are A-Z and a-z"
    // and returns false, leaving the current category as it was.
    bool letterTyped(char key);

    // `lstName_Click`: the clicked line's category becomes current and its letter, trimmed
    // name and "Visible" flag are returned; nothing for a position outside the list (the boxes
    // keep what they showed).
    struct Shown {
        std::string letter;
        std::string name;
        bool visible = false;
    };
    std::optional<Shown> lineClicked(int position);

    // `cmdApply_Click`: writes the current category as defined with the name (cut or padded to
    // 12) and the flag, lists again and returns the position of the line just saved. Without a
    // current category nothing is written and the letter message is shown.
    std::optional<int> apply(std::string_view name, bool visible);

    // `cmdDelete_Click`: marks the current category not defined (name and flag kept), lists
    // again and returns the line to select: the deleted line's position, one up when that is
    // now past the end, nothing when the list is empty. No category is current afterwards.
    // Without a current category nothing is written and the letter message is shown.
    std::optional<int> deleteCurrent(int selectedPosition);

    // `mnuPrint_Click`: the heading "Music Categories MM-DD-YYYY" centred on 80 columns, a line
    // holding one blank, then name (12) + two blanks + letter for every line in the list's
    // order, from column 5. Empty when the list is: nothing is printed then.
    std::vector<PrintLine> printout(const LocalDateTime& today) const;

  private:
    bool refuseWithoutCurrent();

    MusicCategories& m_categories;
    ErrorReporter& m_errors;
    CategoryView m_view = CategoryView::Names;
    std::vector<ListLine> m_lines;
    std::optional<int> m_current;
};

}  // namespace dvx
