#pragma once

#include <filesystem>
#include <future>
#include <memory>
#include <string>

#include "common/clock.h"
#include "library/normalize.h"

namespace dvx {

class ErrorReporter;
class SoundFiles;

// What the normalize window shows. The window implements it. Main thread only.
class NormalizeView {
  public:
    virtual ~NormalizeView() = default;
    virtual void showSlider(int position) = 0;            // Slider
    virtual void showLevel(const std::string& text) = 0;  // lblLevel
    // Gauge shown while a job runs; the slider and cmdNormalize wait meanwhile.
    virtual void showWorking(bool working) = 0;
    virtual void closeWindow() = 0;
};

// What the normalize window (`frmNormalize`) does, without drawing, for the wave file the spot
// files window handed it (`normalize path`). NormalizeFile runs on a thread of its own so the
// program goes on meanwhile; a 50 ms timer collects its outcome: done closes the window, a
// refusal or failure goes to the error window and the window stays open.
//
// Main thread only (the job's own thread touches nothing but the file).
class NormalizeForm {
  public:
    static constexpr int kPollMs = 50;

    NormalizeForm(Clock& clock, SoundFiles& files, ErrorReporter& errors, NormalizeView& view,
                  std::filesystem::path path);
    // Waits for a job under way: the file is whole again, old or new, when the form is gone.
    ~NormalizeForm();
    NormalizeForm(const NormalizeForm&) = delete;
    NormalizeForm& operator=(const NormalizeForm&) = delete;

    void open();                     // the slider at 9191 and its level
    void sliderMoved(int position);  // by the user
    void normalize();                // cmdNormalize
    bool isWorking() const { return m_job.valid(); }
    // Blocks until a job under way has finished; its outcome is shown at the next poll.
    void waitForJob() const;

    const std::filesystem::path& path() const { return m_path; }
    int slider() const { return m_slider; }

  private:
    void poll();

    SoundFiles& m_files;
    ErrorReporter& m_errors;
    NormalizeView& m_view;
    const std::filesystem::path m_path;
    int m_slider = kNormalizeOpenPosition;
    std::unique_ptr<Timer> m_poll;
    std::future<NormalizeOutcome> m_job;  // last: waited for before the rest goes
};

}  // namespace dvx
