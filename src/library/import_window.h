#pragma once

#include <QDialog>
#include <memory>

#include "library/import_form.h"

class QAction;
class QCheckBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QTreeView;

namespace dvx {

// `frmImportFile` ("Import File"): a sound file from any folder into the spot or music library,
// as its target says. Draws what ImportForm decides and forwards the controls to it; the boxes
// and lists are heard only when the user changes them. Deleted when it closes: a transfer under
// way is dropped then. Opens frmSpecificFile ("&Import to a Specific File", spots) and
// frmDialog11 (the file list's "Delete"). Main thread only.
class ImportWindow : public QDialog, private ImportView {
    Q_OBJECT

  public:
    ImportWindow(ImportParts parts, std::unique_ptr<ImportTarget> target,
                 QWidget* parent = nullptr);
    ~ImportWindow() override;

    ImportForm& form() { return *m_form; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape closes as the close button does
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // ImportView
    void showControl(ImportControl control, bool visible) override;
    void setCaption(ImportControl control, const std::string& caption) override;
    void setColour(ImportControl control, Rgb colour) override;
    void showFolder(const std::filesystem::path& folder) override;
    void showFiles(const std::vector<std::string>& names, const std::string& selected) override;
    void showFileName(const std::string& text) override;
    void showThreshold(int threshold) override;
    void showFadeEntries(const std::vector<std::string>& entries, int selected) override;
    void showLevel(int position) override;
    void setTrackBarRange(std::int64_t maximumMs) override;
    void setTrackBarPosition(std::int64_t positionMs) override;
    void showTime(const std::string& text) override;
    void showLamp(bool lit) override;
    void showMarks(const std::string& text) override;
    void showGauge(int percent) override;
    void showNumber(const std::string& text) override;
    void showSpecificFileEntry(bool visible) override;

    void buildControls();
    void buildMenus(QLayout* layout);
    QWidget* control(ImportControl which) const;
    void openSpecificFile();
    void askToDeleteFile();

    std::unique_ptr<ImportTarget> m_target;
    std::unique_ptr<ImportForm> m_form;  // made once the controls exist
    bool m_programSets = false;          // a control is being set by the program

    QFileSystemModel* m_folders = nullptr;
    QTreeView* m_dir = nullptr;
    QListWidget* m_files = nullptr;
    QLineEdit* m_fileName = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_fTrim = nullptr;
    QPushButton* m_markFade = nullptr;
    QPushButton* m_import = nullptr;
    QListWidget* m_fades = nullptr;
    QLineEdit* m_threshold = nullptr;
    QCheckBox* m_adjustLevel = nullptr;
    QCheckBox* m_autoStop = nullptr;
    QLineEdit* m_time = nullptr;
    QLabel* m_levelLabel = nullptr;
    QSlider* m_level = nullptr;
    QSlider* m_trackBar = nullptr;
    QProgressBar* m_gauge = nullptr;
    QLabel* m_lblTime = nullptr;
    QLabel* m_lamp = nullptr;
    QLabel* m_marks = nullptr;
    QLabel* m_label1 = nullptr;
    QAction* m_specificFile = nullptr;
    QMenu* m_filePopup = nullptr;
    QAction* m_fileDelete = nullptr;
};

}  // namespace dvx
