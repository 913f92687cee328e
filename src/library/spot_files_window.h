#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "library/library_dialog.h"
#include "library/spot_deletion.h"
#include "library/spot_files_form.h"
#include "library/spot_recording.h"

class QAction;
class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QSlider;

namespace dvx {

class SoundControls;
class ErrorReporter;

// `frmSpotFiles` ("SpotFiles Mono" / "SpotFiles Stereo"): the spot library's working window.
// Draws what SpotFilesForm decides and forwards the controls to it. Every box writes its
// field only when the user edits it (`textEdited`), never when the program fills it.
// Main thread only.
class SpotFilesWindow : public LibraryDialog, private SpotFilesView {
    Q_OBJECT

  public:
    SpotFilesWindow(RecordFile& Spotfile, const Paths& paths, const Parameters& parameters,
                    LibraryDevices devices, ErrorReporter& errors, QWidget* parent = nullptr);
    ~SpotFilesWindow() override;

    SpotFilesForm& form() { return *m_form; }
    SpotFilesView& view() { return *this; }

    // Attaches the recording and its record log, which the window then owns, and enables the
    // recording controls; nullptr detaches them.
    void attachRecording(std::unique_ptr<SpotFilesRecording> recording);

    // What the import entries need from beyond this window; each entry is enabled once given.
    struct ImportWindows {
        // "I&mportFile": makes the import window for spots (deleted when it closes).
        std::function<QWidget*(QWidget* parent)> importFile;
        // "Record a Specific Fi&le": frmSpecificFile's answer, which with no import window
        // open arms the recording for the number.
        std::function<SpecificFileAnswer(std::string_view txtFileNumber, bool importWindowOpen)>
            reserveSpecificFile;
    };
    void attachImport(ImportWindows windows);
    bool importWindowOpen() const;

    // "Rotation File Manager": `open` shows the rotation manager (made once, owned elsewhere) and
    // returns it. The entry is enabled once given.
    void attachRotationManager(std::function<QWidget*()> open);
    // Attaches the deletion of spots (the window then owns it) and enables "&Delete", the
    // popup "Delete" and the Delete key, which ask frmDialog1 about the selected spot.
    void attachDeletion(std::unique_ptr<SpotDeletion> deletion);
    // frmSpecificFile's OK after an answer: asks frmDialog1 about the spot of the typed number
    // (refused in the error window when it is not an active spot).
    void deleteTypedSpot(std::string_view txtFileNumber);

    // `mnuPrint` on a given printer. Returns false when the job could not start.
    bool printTo(QPrinter& printer);
    // `mnuExport` into the PDF file `path`.
    bool exportTo(const QString& path);

  protected:
    void opening() override;
    void closing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // SpotFilesView
    void setCaption(const std::string& caption) override;
    void showList(const std::vector<SpotListLine>& lines) override;
    void selectLine(int number) override;
    void showBox(SpotBox box, const std::string& text) override;
    void showNumberBox(const std::string& text) override;
    void showNumberLabel(const std::string& text) override;
    void focusBox(SpotBox box) override;
    void showTimeRemaining(const std::string& text) override;
    void showLevel(const std::string& text) override;
    void showCalendar(bool visible) override;
    void setDeleteAvailable(bool available) override;
    void setOverwriteChecked(bool checked) override;

    void buildControls();
    void buildMenus(QMenuBar* menuBar);
    void fillCategoryMenu();
    std::vector<QWidget*> recordingControls() const;
    bool boxEvent(SpotBox box, QEvent* event);
    std::string todayText() const;
    void printOnSystemPrinter();
    void exportChosen();
    void openImport();
    void openSpecificFile();
    void openNormalize();
    void askToDelete(const std::optional<SpotDeleteQuestion>& question);
    void deleteSpot(int number);  // frmDialog1's DELETE

    Clock& m_clock;
    SoundFiles& m_soundFiles;
    const Paths& m_paths;
    ErrorReporter& m_errors;
    std::unique_ptr<SpotFilesForm> m_form;  // made once the controls exist
    std::unique_ptr<SpotFilesRecording> m_recording;
    ImportWindows m_importWindows;
    std::unique_ptr<SpotDeletion> m_deletion;
    // The windows this one opens; they go before it.
    QPointer<QWidget> m_importWindow;
    QPointer<QWidget> m_specificFileWindow;
    QPointer<QWidget> m_normalizeWindow;
    bool m_programSets =
        false;  // a check box, the list or the track bar is being set by the program

    QListWidget* m_list = nullptr;
    QLineEdit* m_number = nullptr;
    QLabel* m_numberLabel = nullptr;
    std::array<QLineEdit*, kSpotBoxCount> m_boxes{};
    QLabel* m_startLabel = nullptr;
    QLabel* m_stopLabel = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    std::unique_ptr<SoundControls> m_sound;  // play, pause, stop, EOM, record, Auto Start
    QCheckBox* m_overwrite = nullptr;
    QSlider* m_gain = nullptr;
    QLabel* m_timeRemaining = nullptr;
    QLabel* m_level = nullptr;
    QMenu* m_categories = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_popupDelete = nullptr;
    QAction* m_importEntry = nullptr;
    QAction* m_specificFileEntry = nullptr;
    QAction* m_rotationManagerEntry = nullptr;
    std::function<QWidget*()> m_openRotationManager;
};

}  // namespace dvx
