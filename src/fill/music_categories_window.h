#pragma once

#include <QDialog>

#include "common/clock.h"
#include "common/record_file.h"
#include "fill/music_categories.h"
#include "fill/music_categories_form.h"
#include "viewers/error_reporter.h"

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;

namespace dvx {

// `frmMusicCategories` ("Music Categories"): names the 52 category letters. Draws what
// MusicCategoriesForm decides and moves the focus as the keys ask. Main thread only.
class MusicCategoriesWindow : public QDialog {
    Q_OBJECT

  public:
    MusicCategoriesWindow(RecordFile& MusicCat, ErrorReporter& errors, QWidget* parent = nullptr);

    // `mnuPrint_Click` on a given printer: the list's printout dated `today`. Returns false,
    // starting no print job, when the list is empty.
    bool printTo(QPrinter& printer, const LocalDateTime& today);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showLines();
    void select(std::optional<int> position);
    void emptyBoxes();
    bool letterKey(QKeyEvent* key);
    void nameKey(QKeyEvent* key);
    void printOnSystemPrinter();

    MusicCategories m_categories;
    MusicCategoriesForm m_form;
    ErrorReporter& m_errors;
    QLineEdit* m_letter = nullptr;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_visible = nullptr;
    QPushButton* m_apply = nullptr;
    QListWidget* m_list = nullptr;
};

}  // namespace dvx
