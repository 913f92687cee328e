#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "library/library_dialog.h"
#include "library/music_files_form.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace dvx {

class SoundControls;

// `frmTune` ("Music Files Mono" / "Music Files Stereo"): the music library's working window.
// Draws what MusicFilesForm decides and forwards the controls to it. Every box writes its
// field only when the user edits it (`textEdited`), never when the program fills it.
//
// The windows that come later attach themselves: the import window (and the CD copier) through
// attachImport(), which enables "Import" and hands it the number and file of the new entry;
// the music deletion dialog through attachDeletion(), which enables "Delete" and the Delete
// key and hands it the selected tune. When they have written or deleted an entry they call
// reloadAndSelect(). Main thread only.
class MusicFilesWindow : public LibraryDialog, private MusicFilesView {
    Q_OBJECT

  public:
    using EntryWindow = std::function<void(const MusicFilesForm::Entry&)>;

    // Records through `recorder` (the window keeps it).
    MusicFilesWindow(MusicFilesForm::Files files, const Parameters& parameters,
                     LibraryDevices devices, std::unique_ptr<RecordingAudio> recorder,
                     ErrorReporter& errors, QWidget* parent = nullptr);
    ~MusicFilesWindow() override;

    MusicFilesForm& form() { return *m_form; }

    // Makes the import window (owned by this window, which closes and deletes it first).
    using ImportWindowMaker = std::function<QWidget*(QWidget* parent)>;
    void attachImport(ImportWindowMaker makeImport);
    void attachDeletion(EntryWindow openDeletion);
    // Music was added (or deleted) elsewhere: listed again, `number` shown.
    void reloadAndSelect(int number) { m_form->reloadAndSelect(number); }

  protected:
    void opening() override { m_form->open(); }
    void closing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // MusicFilesView
    void setCaption(const std::string& caption) override;
    void showList(const std::vector<ListLine>& lines) override;
    void selectLine(int number) override;
    void showCategories(const std::vector<ListLine>& lines) override;
    void showBox(MusicBox box, const std::string& text) override;
    void showDate(const std::string& text, bool labelVisible) override;
    void showNumberLabel(const std::string& text) override;
    void showStatus(char Status) override;
    void setBoxesEditable(bool editable) override;

    void buildControls();
    void buildMenus(QLayout* layout);
    bool boxEvent(MusicBox box, QEvent* event);
    void openDeletion();

    std::unique_ptr<RecordingAudio> m_recorder;  // goes after the form that records with it
    std::unique_ptr<SoundControls> m_sound;      // play, pause, stop, EOM, record, Auto Start
    std::unique_ptr<MusicFilesForm> m_form;      // made once the controls exist
    ImportWindowMaker m_makeImport;
    QPointer<QWidget> m_importWindow;  // goes before the form it reports to
    EntryWindow m_openDeletion;

    QListWidget* m_tunes = nullptr;
    QListWidget* m_categories = nullptr;
    std::array<QLineEdit*, kMusicBoxCount> m_boxes{};
    QLineEdit* m_date = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_number = nullptr;
    std::array<QRadioButton*, 3> m_status{};
    QAction* m_delete = nullptr;
    QAction* m_import = nullptr;
};

}  // namespace dvx
