#pragma once

#include <QListWidget>
#include <QSignalBlocker>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/box_key.h"
#include "library/library_playback.h"

class QAction;
class QCheckBox;
class QEvent;
class QGridLayout;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QWidget;

namespace dvx {

// Small makers the library windows share.
QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption);
QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text = {});
QAction* addEntry(QMenu* menu, const QString& caption, const char* objectName, bool enabled = true);
bool isEnterKey(const QKeyEvent* key);
// Up, Down or Enter pressed in a box; nothing for any other event.
std::optional<BoxKey> boxKey(const QEvent* event);

// A box of `parent` with its label in row `row` of `grid`; the label's caption names it. The box
// holds at most `maxLength` characters (0: no limit) and is wide enough for them; the user's edits
// go to `edited` as stored text, and no text the program sets does.
struct LabelledBox {
    QLabel* label;
    QLineEdit* box;
};
LabelledBox addLabelledBox(QWidget* parent, QGridLayout* grid, int row, const char* objectName,
                           const QString& labelName, const QString& caption, int maxLength,
                           std::function<void(const std::string&)> edited);

// A list of catalogue lines in the fixed-pitch font `family`, `columns` characters wide. When
// the user makes a line the current one, `chosen` gets its item data.
QListWidget* makeCatalogueList(QWidget* parent, const char* objectName, const char* family,
                               int columns, std::function<void(int)> chosen = {});
// A list of catalogue lines: each line's stored text with its item data (a record number).
// The program fills and marks it without signalling a user's choice.
void addListItem(QListWidget* list, const std::string& text, int itemData);
template <typename Line, typename ItemData>
void showListLines(QListWidget* list, const std::vector<Line>& lines, ItemData itemData) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const Line& line : lines) {
        addListItem(list, line.text, std::invoke(itemData, line));
    }
    list->setCurrentRow(-1);
}
// Makes the line of `itemData` the current one and scrolls to it (to the top when asked);
// false when no line carries it.
bool markListItem(QListWidget* list, int itemData, bool toTop);

// The controls that play and record in a library window: "Play" (`cmdPlay`), "Pause"
// (`cmdPause`), "Stop" (`cmdStop`), "EOM" (`cmdEOM`), "Record" (`cmdRecord`), the track bar
// (`TrackBar`, milliseconds), the label of the time played or recorded, and "Auto Start"
// (`Check1`). They are made in the window, which lays them out; they show what the window's
// form tells them, and hand the user's actions on. Main thread only.
class SoundControls : public SoundView {
  public:
    struct Actions {
        std::function<void()> play, pause, stop, eom, record;
        std::function<void(std::int64_t)> seek;      // the user moved the track bar
        std::function<void(bool)> autoStartToggled;  // by the user
    };

    // `timeLabel` is the object name of the time's label.
    SoundControls(QWidget* window, const char* timeLabel);

    void connectTo(Actions actions);

    QPushButton* button(LibraryButton which) const;
    QSlider* trackBar() const { return m_trackBar; }
    QLabel* timeLabel() const { return m_time; }
    QCheckBox* autoStart() const { return m_autoStart; }
    // Play, Pause, Stop and EOM, the track bar and the time, in a row.
    QHBoxLayout* playerRow() const;

    // SoundView
    void setButtonColour(LibraryButton which, Rgb colour) override;
    void setTrackBarRange(std::int64_t maximumMs) override;
    void setTrackBarPosition(std::int64_t positionMs) override;
    void showTime(const std::string& text) override;
    void setRecordButton(const std::string& caption, Rgb colour) override;
    void focusButton(LibraryButton which) override;
    void setTrackBarVisible(bool visible) override;
    void setTrackBarEnabled(bool enabled) override;
    void setAutoStartChecked(bool checked) override;

  private:
    QPushButton* m_play;
    QPushButton* m_pause;
    QPushButton* m_stop;
    QPushButton* m_eom;
    QPushButton* m_record;
    QSlider* m_trackBar;
    QLabel* m_time;
    QCheckBox* m_autoStart;
    Actions m_actions;
    bool m_programSets = false;  // the track bar or the check box is set by the program
};

}  // namespace dvx
