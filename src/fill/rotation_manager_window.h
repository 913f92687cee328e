#pragma once

#include <QDialog>
#include <array>

#include "common/clock.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "fill/rotation_manager_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;

namespace dvx {

class ErrorReporter;

// `frmRotationFileManager` ("Rotation File Manager"): makes, renames and deletes rotations and
// edits their entries. Draws what RotationManagerForm holds and forwards the controls to it.
// The pop-up menus of the two lists open on a right click and on the context-menu key (or
// Shift+F10) and act on the list's current line; Enter on a spot adds it as a double click
// does. Main thread only.
class RotationManagerWindow : public QDialog {
    Q_OBJECT

  public:
    RotationManagerWindow(RotationManagerForm::Files files, Clock& clock, ErrorReporter& errors,
                          QWidget* parent = nullptr);

    RotationManagerForm& form() { return m_form; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void buildMenus(QMenuBar* menuBar);
    void buildPopups();
    QLayout* buildBoxes();
    // Shows what the form holds now: the lists (keeping their current lines), `Label1`, the
    // note on today and the chosen entry's weekdays.
    void showForm();
    void showRotation(const RotationManagerForm::Shown& shown);
    void enableDays();
    int chosenSpot() const;
    void popUp(QListWidget* list, QMenu* menu, const QPoint& at);

    RotationManagerForm m_form;
    bool m_programSets = false;  // a box or a list is being set by the program

    QLineEdit* m_name = nullptr;
    QLineEdit* m_length = nullptr;
    QCheckBox* m_checkDates = nullptr;
    QCheckBox* m_checkDays = nullptr;
    std::array<QCheckBox*, 7> m_days{};
    QPushButton* m_apply = nullptr;
    QListWidget* m_names = nullptr;
    QListWidget* m_spots = nullptr;
    QListWidget* m_entries = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_today = nullptr;
    QMenu* m_rotationPopup = nullptr;
    QMenu* m_spotPopup = nullptr;
};

}  // namespace dvx
