#include "library/normalize_form.h"

#include <chrono>

#include "viewers/error_reporter.h"

namespace dvx {

NormalizeForm::NormalizeForm(Clock& clock, SoundFiles& files, ErrorReporter& errors,
                             NormalizeView& view, std::filesystem::path path)
    : m_files(files),
      m_errors(errors),
      m_view(view),
      m_path(std::move(path)),
      m_poll(clock.createTimer("frmNormalize.poll", kPollMs, [this] { poll(); })) {}

NormalizeForm::~NormalizeForm() {
    waitForJob();
}

void NormalizeForm::open() {
    m_slider = kNormalizeOpenPosition;
    m_view.showSlider(m_slider);
    m_view.showLevel(normalizeLevelText(m_slider));
    m_view.showWorking(false);
}

void NormalizeForm::sliderMoved(int position) {
    m_slider = position;
    m_view.showLevel(normalizeLevelText(position));
}

void NormalizeForm::normalize() {
    if (isWorking()) {
        return;
    }
    m_view.showWorking(true);
    m_job = std::async(std::launch::async,
                       [&files = m_files, path = m_path, percent = normalizePercent(m_slider)] {
                           return NormalizeFile(files, path, percent);
                       });
    m_poll->setEnabled(true);
}

void NormalizeForm::waitForJob() const {
    if (m_job.valid()) {
        m_job.wait();
    }
}

void NormalizeForm::poll() {
    if (!m_job.valid() || m_job.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    m_poll->setEnabled(false);
    const NormalizeOutcome outcome = m_job.get();
    m_view.showWorking(false);
    if (outcome.done) {
        m_view.closeWindow();
    } else {
        m_errors.showError(outcome.message);
    }
}

}  // namespace dvx
