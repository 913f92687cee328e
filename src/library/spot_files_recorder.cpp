#include "library/spot_files_recorder.h"

#include "common/io_error.h"
#include "viewers/error_reporter.h"

namespace dvx {

SpotFilesRecorder::SpotFilesRecorder(SpotFilesForm& form, Parts parts)
    : m_form(form),
      m_log(parts.log),
      m_catalogue(parts.Spotfile, parts.paths),
      m_recorder(parts.audio, parts.soundFiles, parts.pump, parts.mainCapture),
      m_recording({parts.clock, parts.parameters, m_catalogue, parts.log, m_recorder, *this,
                   parts.errors}) {
    m_recording.setAutoStart(m_form.autoStart());
}

SpotFilesRecorder::~SpotFilesRecorder() = default;

void SpotFilesRecorder::recordClicked() {
    // The boxes as the user left them: "Auto Start" may have been set from the preferences
    // since this window was made.
    m_recording.setAutoStart(m_form.autoStart());
    m_recording.setOverwrite(m_form.overwrite());
    m_recording.cmdRecord(m_form.numberText());
}

void SpotFilesRecorder::fieldWritten(int number) {
    try {
        m_log.fieldEdited(m_catalogue.read(number).Name, number);
    } catch (const IoError&) {
        // The pending line keeps the name it had; the field itself was written.
    }
}

void SpotFilesRecorder::showRecordButton(const std::string& caption, Rgb colour) {
    m_form.sound().setRecordButton(caption, colour);
}

void SpotFilesRecorder::showEomButton(Rgb colour) {
    m_form.sound().setButtonColour(LibraryButton::EOM, colour);
}

void SpotFilesRecorder::showArmed(bool armed) {
    if (!m_form.isPlaying()) {
        m_form.sound().setTrackBarVisible(!armed);
    }
    m_form.view().setDeleteAvailable(!armed);
}

void SpotFilesRecorder::showNumberBox(int number) {
    m_form.setNumberText(std::to_string(number));
}

void SpotFilesRecorder::showNumber(int number) {
    m_form.view().showNumberLabel(std::to_string(number));
}

void SpotFilesRecorder::showElapsed(const std::string& lblTime) {
    m_form.sound().showTime(lblTime);
}

void SpotFilesRecorder::showInputPeak(int Label3) {
    m_form.view().showLevel(std::to_string(Label3));
}

void SpotFilesRecorder::recordingBegan() {
    m_form.sound().focusButton(LibraryButton::EOM);
}

}  // namespace dvx
