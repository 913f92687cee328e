#pragma once

#include "common/clock.h"
#include "common/record_file.h"
#include "fill/music_categories.h"
#include "fill/music_categories_form.h"
#include "ui/settings_dialog.h"
#include "viewers/error_reporter.h"

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;

namespace dvx {

// `frmMusicCategories` ("Music Categories"): names the 52 category letters. Draws what
// MusicCategoriesForm decides and moves the focus as the keys ask. The letter, name and flag
// typed stay in the window until Apply (or Save on closing, SettingsDialog); clicking a line asks
// about them first. Delete asks before it deletes. Main thread only.
class MusicCategoriesWindow : public SettingsDialog {
    Q_OBJECT

  public:
    MusicCategoriesWindow(RecordFile& MusicCat, ErrorReporter& errors, QWidget* parent = nullptr);

    // `mnuPrint_Click` on a given printer: the list's printout dated `today`. Returns false,
    // starting no print job, when the list is empty.
    bool printTo(QPrinter& printer, const LocalDateTime& today);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool applyEdits() override;
    void discardEdits() override { emptyBoxes(); }

  private:
    void showLines();
    void select(std::optional<int> position);
    void emptyBoxes();
    void lineClicked(const QString& line);
    void deleteCategory();
    bool letterKey(QKeyEvent* key);
    void nameKey(QKeyEvent* key);
    void printOnSystemPrinter();

    MusicCategories m_categories;
    MusicCategoriesForm m_form;
    ErrorReporter& m_errors;
    QLineEdit* m_letter = nullptr;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_visible = nullptr;
    QWidget* m_apply = nullptr;
    QListWidget* m_list = nullptr;
};

}  // namespace dvx
