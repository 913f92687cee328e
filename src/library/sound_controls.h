#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "library/library_playback.h"

class QAction;
class QCheckBox;
class QKeyEvent;
class QLabel;
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

// The controls that play and record in a library window: "Play" (`cmdPlay`), "Pause"
// (`cmdPause`), "Stop" (`cmdStop`), "EOM" (`cmdEOM`), "Record" (`cmdRecord`), the track bar
// (`TrackBar`, milliseconds), the label of the time played or recorded, and "Auto Start"
// (`Check1`). They are made in the window, which lays them out; they show what the window's
// player and recording tell them, and hand the user's actions on. Main thread only.
class SoundControls : public PlaybackView {
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

    void setRecordButton(const std::string& caption, Rgb colour);
    void setAutoStartChecked(bool checked);  // not a user's toggle

    // PlaybackView
    void setButtonColour(LibraryButton which, Rgb colour) override;
    void setTrackBarRange(std::int64_t maximumMs) override;
    void setTrackBarPosition(std::int64_t positionMs) override;
    void showTime(const std::string& text) override;

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
