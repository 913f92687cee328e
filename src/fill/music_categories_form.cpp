#include "fill/music_categories_form.h"

#include "common/record_codec.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "viewers/error_reporter.h"

namespace dvx {

MusicCategoriesForm::MusicCategoriesForm(MusicCategories& categories, ErrorReporter& errors)
    : m_categories(categories), m_errors(errors) {
    reload();
}

void MusicCategoriesForm::setView(CategoryView view) {
    m_view = view;
    reload();
}

void MusicCategoriesForm::reload() {
    m_lines = m_categories.LoadMusicCategories(m_view);
}

bool MusicCategoriesForm::letterTyped(char key) {
    const auto record = CategoryRecord(key);
    if (!record) {
        m_errors.showError(kLegalLettersMessage);
        return false;
    }
    m_current = record;
    return true;
}

std::optional<MusicCategoriesForm::Shown> MusicCategoriesForm::lineClicked(int position) {
    if (position < 0 || position >= static_cast<int>(m_lines.size())) {
        return std::nullopt;
    }
    const int record = m_lines[static_cast<std::size_t>(position)].itemData;
    m_current = record;
    const MusicCategory category = m_categories.read(record);
    return Shown{CategoryLetter(record), trimBlanks(category.Name), category.Visible == 1};
}

bool MusicCategoriesForm::refuseWithoutCurrent() {
    if (m_current) {
        return false;
    }
    m_errors.showError(kLegalLettersMessage);
    return true;
}

std::optional<int> MusicCategoriesForm::apply(std::string_view name, bool visible) {
    if (refuseWithoutCurrent()) {
        return std::nullopt;
    }
    m_categories.write(*m_current, MusicCategory{1, static_cast<std::int16_t>(visible ? 1 : 0),
                                                 std::string(name.substr(0, kCategoryNameWidth))});
    reload();
    const int position = findItemData(m_lines, *m_current);
    return position < 0 ? std::nullopt : std::optional<int>(position);
}

std::optional<int> MusicCategoriesForm::deleteCurrent(int selectedPosition) {
    if (refuseWithoutCurrent()) {
        return std::nullopt;
    }
    MusicCategory category = m_categories.read(*m_current);
    category.InUse = 0;
    m_categories.write(*m_current, category);
    m_current.reset();  // Apply cannot write it back
    reload();
    int position = selectedPosition;
    if (position > static_cast<int>(m_lines.size()) - 1) {
        --position;
    }
    return position >= 0 ? std::optional<int>(position) : std::nullopt;
}

std::vector<PrintLine> MusicCategoriesForm::printout(const LocalDateTime& today) const {
    if (m_lines.empty()) {
        return {};
    }
    const std::string heading =
        "Music Categories " + notificationDate(today.year, today.month, today.day);
    std::vector<PrintLine> lines;
    lines.push_back({roundHalfEven((80.0 - static_cast<double>(heading.size())) / 2.0), heading});
    lines.push_back({0, " "});
    for (const ListLine& line : m_lines) {
        std::string name = shownText(m_categories.read(line.itemData).Name);
        name.resize(kCategoryNameWidth, ' ');
        lines.push_back({5, name + "  " + CategoryLetter(line.itemData)});
    }
    return lines;
}

}  // namespace dvx
