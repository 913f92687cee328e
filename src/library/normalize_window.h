#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

#include "library/normalize_form.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

namespace dvx {

// `frmNormalize` ("Normalize"): scales one spot's wave file to the level its slider sets. Draws
// what NormalizeForm decides and forwards the controls to it. While the file is being normalised
// the window stays (it cannot be closed until the file is whole again); done, it closes and is
// deleted. Main thread only.
class NormalizeWindow : public QDialog, private NormalizeView {
    Q_OBJECT

  public:
    NormalizeWindow(Clock& clock, SoundFiles& files, ErrorReporter& errors,
                    std::filesystem::path path, QWidget* parent = nullptr);
    ~NormalizeWindow() override;

    NormalizeForm& form() { return *m_form; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape closes as the close button does

  private:
    // NormalizeView
    void showSlider(int position) override;
    void showLevel(const std::string& text) override;
    void showWorking(bool working) override;
    void closeWindow() override { close(); }

    QSlider* m_slider = nullptr;
    QLabel* m_level = nullptr;
    QProgressBar* m_gauge = nullptr;
    QPushButton* m_normalize = nullptr;
    bool m_programSets = false;
    std::unique_ptr<NormalizeForm> m_form;  // made once the controls exist
};

}  // namespace dvx
