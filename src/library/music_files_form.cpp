#include "library/music_files_form.h"

#include <utility>

#include "common/record_codec.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {

MusicFilesForm::MusicFilesForm(Files files, const Parameters& parameters, LibraryDevices devices,
                               RecordingAudio& recorder, ErrorReporter& errors,
                               MusicFilesView& view, SoundView& sound)
    : m_catalogue(files.Music, files.paths),
      m_categories(files.MusicCat),
      m_parameters(parameters),
      m_errors(errors),
      m_view(view),
      m_sound(sound),
      m_playback(devices, sound),
      m_timer1(devices.clock.createTimer("frmTune.Timer1", 50, [this] { tick(); })),
      m_watch(files.Music.path()),
      m_recording({devices.clock, parameters, m_catalogue, recorder, *this, errors}) {}

MusicFilesForm::~MusicFilesForm() = default;

void MusicFilesForm::guarded(const std::function<void()>& action) {
    reportingFailures(m_errors, action);
}

void MusicFilesForm::open() {
    m_open = true;
    m_recording.setAutoStart(m_parameters.RecAutoStart != 0);
    m_sound.setAutoStartChecked(m_recording.autoStart());
    m_view.setCaption(m_parameters.RecMode == 0 ? "Music Files Mono" : "Music Files Stereo");
    m_playback.showAtRest();
    m_sound.setRecordButton("Record", kRecordIdle);
    m_sound.setTrackBarEnabled(false);
    m_sound.showTime("");
    m_playback.setDevice(m_parameters.AudOutDevice);
    m_timer1->setEnabled(true);
    m_tuneView = TuneView::Title;
    clearShown();
    guarded([this] { LoadTuneList(); });
}

void MusicFilesForm::close() {
    if (!std::exchange(m_open, false)) {
        return;
    }
    m_timer1->setEnabled(false);
    guarded([this] { m_playback.close(); });
    m_recording.windowClosing();
}

void MusicFilesForm::tick() {
    // Tunes may come from elsewhere (an import on the command line): once a second the list is
    // made again when the catalogue has changed, which leaves the boxes as they are.
    if (++m_ticks % kWatchTicks == 0 && m_watch.changed()) {
        guarded([this] { LoadTuneList(); });
    }
    m_playback.tick();
}

bool MusicFilesForm::isListed(int number) const {
    return number != 0 && findItemData(m_lines, number) >= 0;
}

void MusicFilesForm::LoadTuneList() {
    m_lines.clear();
    for (int number = 1; number <= m_catalogue.recordCount(); ++number) {
        const MusicRecord record = m_catalogue.read(number);
        if (record.Status == kMusicActive) {
            m_lines.push_back({tuneListText(record, m_tuneView), number});
        }
    }
    sortListLines(m_lines);
    m_view.showList(m_lines);
    if (isListed(m_shown)) {
        m_view.selectLine(m_shown);
    }
}

void MusicFilesForm::setView(TuneView view) {
    m_tuneView = view;
    guarded([this] { LoadTuneList(); });
}

void MusicFilesForm::reloadAndSelect(int number) {
    guarded([&] {
        LoadTuneList();
        if (isListed(number)) {
            m_view.selectLine(number);
            select(number);
        } else {
            clearShown();
        }
    });
}

void MusicFilesForm::clearShown() {
    m_shown = 0;
    for (std::size_t box = 0; box < kMusicBoxCount; ++box) {
        setBox(static_cast<MusicBox>(box), "");
    }
    m_view.showDate("", false);
    m_view.showNumberLabel("");
    m_view.showStatus(' ');
    m_view.showCategories({});
    m_view.setBoxesEditable(false);  // no tune to write to
}

void MusicFilesForm::select(int number) {
    guarded([&] {
        const MusicRecord record = m_catalogue.read(number);
        m_shown = number;
        // While a recording is under way the label keeps the number it records.
        const int recording = m_recording.number();
        m_view.showNumberLabel(std::to_string(recording != 0 ? recording : number));
        LoadBoxes(record);
        m_view.setBoxesEditable(recording == 0);
    });
}

void MusicFilesForm::LoadBoxes(const MusicRecord& record) {
    for (std::size_t box = 0; box < kMusicBoxCount; ++box) {
        setBox(static_cast<MusicBox>(box), musicBoxText(record, static_cast<MusicBox>(box)));
    }
    m_view.showDate(recordedDateText(trimBlanks(shownText(record.Recorded))),
                    record.Comp == kFillAllowed);
    m_view.showStatus(record.Status);
    m_view.showCategories(m_categories.LoadMusicCategories(CategoryView::Names));
}

void MusicFilesForm::setBox(MusicBox box, const std::string& text) {
    m_boxes[index(box)] = text;
    m_view.showBox(box, text);
}

void MusicFilesForm::boxEdited(MusicBox box, const std::string& text) {
    m_boxes[index(box)] = text;
    const MusicEdit edit = musicEdit(box, text);
    switch (edit.outcome) {
        case MusicEdit::Outcome::Store:
            if (edit.value != text && box == MusicBox::Class) {
                setBox(box, edit.value);  // in upper case
            }
            guarded([&] { storeField(box, edit.value); });
            break;
        case MusicEdit::Outcome::Refuse:
            refuse(box, edit.value);
            break;
        case MusicEdit::Outcome::Wait:
            break;
    }
}

bool MusicFilesForm::storeField(MusicBox box, const std::string& value) {
    if (m_recording.isActive() || m_shown == 0) {
        return false;
    }
    rewriteRecord(m_catalogue, m_shown,
                  [&](MusicRecord& record) { setMusicField(record, box, value); });
    return true;
}

void MusicFilesForm::refuse(MusicBox box, const std::string& message) {
    m_errors.showError(message);
    guarded([&] { setBox(box, m_shown == 0 ? "" : musicBoxText(m_catalogue.read(m_shown), box)); });
}

MusicBox MusicFilesForm::keyInBox(MusicBox box, BoxKey key) {
    const auto at = static_cast<int>(index(box));
    const int count = static_cast<int>(kMusicBoxCount);
    if (key == BoxKey::Up) {
        return static_cast<MusicBox>((at + count - 1) % count);
    }
    if (key == BoxKey::Enter && (box == MusicBox::Length || box == MusicBox::EOM)) {
        const MusicEdit edit = musicTimeEntered(m_boxes[index(box)]);
        if (edit.outcome == MusicEdit::Outcome::Refuse) {
            refuse(box, edit.value);
            return box;
        }
        guarded([&] {
            if (storeField(box, edit.value)) {
                setBox(box, FormatSeconds(wholeSecondsValue(edit.value)));
            }
        });
    }
    if (box == MusicBox::Title || box == MusicBox::Artist) {
        guarded([this] { LoadTuneList(); });  // the list shows what was typed
    }
    return static_cast<MusicBox>((at + 1) % count);
}

void MusicFilesForm::titleDoubleClicked() {
    setBox(MusicBox::Title, "");
    boxEdited(MusicBox::Title, "");
}

void MusicFilesForm::categoryDoubleClicked(int category) {
    const std::string letter = CategoryLetter(category);
    if (!letter.empty()) {
        setBox(MusicBox::Category, letter);
        boxEdited(MusicBox::Category, letter);
    }
}

void MusicFilesForm::play() {
    if (m_shown == 0) {
        return;
    }
    guarded([this] {
        if (m_playback.isPausedOn(m_shown)) {
            m_playback.resume();
            return;
        }
        if (m_playback.isPlaying() && !m_playback.isPaused()) {
            return;
        }
        const MusicRecord record = m_catalogue.read(m_shown);
        if (record.Comp == 'N') {
            return;  // not for playing
        }
        m_playback.play(m_shown, m_catalogue.wavePath(m_shown, record.Drive),
                        wholeSecondsValue(record.EOM));
        m_sound.setTrackBarEnabled(true);
    });
}

void MusicFilesForm::pause() {
    m_playback.pause();
}

void MusicFilesForm::stop() {
    if (m_recording.isActive()) {
        m_recording.cmdStop();
        return;
    }
    m_playback.stop();
    m_sound.showTime("");
}

void MusicFilesForm::eomClicked() {
    if (m_recording.cmdEOM()) {
        m_sound.focusButton(LibraryButton::Stop);
        return;
    }
    guarded([this] {
        m_playback.markEom([this](int number, std::int32_t seconds) {
            rewriteRecord(m_catalogue, number,
                          [&](MusicRecord& record) { record.EOM = std::to_string(seconds); });
            if (m_shown == number) {
                setBox(MusicBox::EOM, FormatSeconds(seconds));
            }
        });
    });
}

std::optional<MusicFilesForm::Entry> MusicFilesForm::newEntry() {
    if (m_recording.isActive()) {
        return std::nullopt;
    }
    std::optional<Entry> entry;
    guarded([&] {
        const int number = m_catalogue.nextFreeNumber();
        entry = Entry{number, m_catalogue.wavePath(number, kNewFileDrive)};
        m_view.showNumberLabel(std::to_string(number));
        m_view.showStatus(kMusicActive);
    });
    return entry;
}

void MusicFilesForm::newEntryDropped() {
    reloadAndSelect(m_shown);
}

std::optional<MusicFilesForm::Entry> MusicFilesForm::deletion() const {
    if (!isListed(m_shown)) {
        return std::nullopt;
    }
    return Entry{m_shown, m_catalogue.wavePath(m_shown)};
}

void MusicFilesForm::showRecordButton(const std::string& caption, Rgb colour) {
    m_sound.setRecordButton(caption, colour);
}

void MusicFilesForm::showEomButton(Rgb colour) {
    m_sound.setButtonColour(LibraryButton::EOM, colour);
}

void MusicFilesForm::showArmed(int number) {
    m_view.showNumberLabel(std::to_string(number));
    m_view.showStatus(kMusicActive);
    m_sound.setTrackBarEnabled(false);
    m_view.setBoxesEditable(false);
}

void MusicFilesForm::showIdle(int stored) {
    m_view.setBoxesEditable(m_shown != 0);
    if (stored != 0) {
        reloadAndSelect(stored);
    } else if (m_open) {
        m_view.showNumberLabel(m_shown == 0 ? "" : std::to_string(m_shown));
        guarded(
            [this] { m_view.showStatus(m_shown == 0 ? ' ' : m_catalogue.read(m_shown).Status); });
    }
}

}  // namespace dvx
