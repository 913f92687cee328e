#include "library/spot_files_form.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "common/record_codec.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

// Up, Down and Enter of each box, in the order of SpotBox.
constexpr SpotBox kKeyTable[kSpotBoxCount][3] = {
    {SpotBox::SpotCat, SpotBox::Talent, SpotBox::Talent},         // Name
    {SpotBox::Name, SpotBox::Outcue, SpotBox::Outcue},            // Talent
    {SpotBox::Talent, SpotBox::Length, SpotBox::Length},          // Outcue
    {SpotBox::Outcue, SpotBox::EOM, SpotBox::EOM},                // Length
    {SpotBox::Length, SpotBox::StartDate, SpotBox::StartDate},    // EOM
    {SpotBox::EOM, SpotBox::StopDate, SpotBox::StopDate},         // StartDate
    {SpotBox::StartDate, SpotBox::SpotCat, SpotBox::RecordDate},  // StopDate
    {SpotBox::StopDate, SpotBox::SpotCat, SpotBox::SpotCat},      // RecordDate
    {SpotBox::StopDate, SpotBox::Name, SpotBox::Name},            // SpotCat
};

}  // namespace

SpotFilesForm::SpotFilesForm(RecordFile& Spotfile, const Paths& paths, const Parameters& parameters,
                             LibraryDevices devices, ErrorReporter& errors, SpotFilesView& view,
                             SoundView& sound)
    : m_catalogue(Spotfile, paths),
      m_parameters(parameters),
      m_errors(errors),
      m_view(view),
      m_sound(sound),
      m_playback(devices, sound),
      m_timer1(devices.clock.createTimer("frmSpotFiles.Timer1", 50, [this] { tick(); })),
      m_watch(Spotfile.path()) {
    m_freeSpace = [folder = paths.spotFolder()]() -> std::optional<std::uintmax_t> {
        std::error_code error;
        const std::filesystem::space_info info = std::filesystem::space(folder, error);
        return error ? std::nullopt : std::optional<std::uintmax_t>(info.available);
    };
    m_playback.setOnEnded([this] { m_view.setDeleteAvailable(true); });
}

SpotFilesForm::~SpotFilesForm() = default;

void SpotFilesForm::setRecording(SpotFilesRecording* recording) {
    m_recording = recording != nullptr ? recording : &m_noRecording;
}

void SpotFilesForm::guarded(const std::function<void()>& action) {
    reportingFailures(m_errors, action);
}

void SpotFilesForm::open() {
    m_open = true;
    m_selected = 0;
    m_sentNumber = 0;
    m_dateTarget = SpotBox::StartDate;
    clearBoxes();
    setNumberText("");
    m_view.showNumberLabel("");
    m_sound.showTime("");
    m_view.showLevel("");
    m_view.showCalendar(false);
    m_sound.setTrackBarVisible(false);
    m_view.setDeleteAvailable(true);
    m_playback.showAtRest();
    m_sound.setRecordButton("Record", kRecordIdle);
    m_autoStart = m_parameters.RecAutoStart != 0;
    m_sound.setAutoStartChecked(m_autoStart);
    m_view.setCaption(m_parameters.RecMode == 0 ? "SpotFiles Mono" : "SpotFiles Stereo");
    m_playback.setDevice(m_parameters.AudOutDevice);
    m_timer1->setEnabled(true);
    m_listView = SpotListView::ByName;
    guarded([this] { LoadSpotFiles(); });
    refreshTimeRemaining();
}

void SpotFilesForm::close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_timer1->setEnabled(false);
    guarded([this] { m_playback.close(); });
    m_recording->windowClosing();
}

void SpotFilesForm::showList(std::vector<SpotListLine> lines) {
    m_lines = std::move(lines);
    m_view.showList(m_lines);
}

void SpotFilesForm::list(std::function<std::vector<SpotListLine>()> listing) {
    m_listing = std::move(listing);
    showList(m_listing());
}

void SpotFilesForm::followCatalogue() {
    // Entries may come from elsewhere (an import on the command line): the list is made again
    // as it was made, and only when its lines differ, so the boxes and what is typed in them
    // stay as they are.
    if (!m_listing || !m_watch.changed()) {
        return;
    }
    std::vector<SpotListLine> lines = m_listing();
    const auto same = [](const SpotListLine& a, const SpotListLine& b) {
        return a.number == b.number && a.text == b.text;
    };
    if (std::equal(lines.begin(), lines.end(), m_lines.begin(), m_lines.end(), same)) {
        return;
    }
    showList(std::move(lines));
    if (m_selected != 0) {
        m_view.selectLine(m_selected);
    }
}

void SpotFilesForm::LoadSpotFiles() {
    list([this] { return m_catalogue.activeList(m_listView); });
}

void SpotFilesForm::setView(SpotListView view) {
    m_listView = view;
    guarded([this] { LoadSpotFiles(); });
}

void SpotFilesForm::relist(SpotListView view) {
    guarded([this, view] { list([this, view] { return m_catalogue.activeList(view); }); });
}

void SpotFilesForm::listCategory(char SpotCat) {
    guarded([this, SpotCat] {
        list([this, SpotCat] {
            std::vector<SpotListLine> lines;
            for (int number = 1; number <= m_catalogue.recordCount(); ++number) {
                const SpotRecord record = m_catalogue.read(number);
                if (record.Status == kSpotActive &&
                    std::toupper(static_cast<unsigned char>(record.SpotCat)) == SpotCat) {
                    lines.push_back({spotListText(number, record, m_listView), number});
                }
            }
            return lines;
        });
    });
}

std::vector<char> SpotFilesForm::categoriesInUse() const {
    std::set<char> letters;
    for (int number = 1; number <= m_catalogue.recordCount(); ++number) {
        const SpotRecord record = m_catalogue.read(number);
        const auto letter = static_cast<unsigned char>(record.SpotCat);
        if (record.Status == kSpotActive && std::isgraph(letter)) {
            letters.insert(static_cast<char>(std::toupper(letter)));
        }
    }
    return {letters.begin(), letters.end()};
}

void SpotFilesForm::reloadAndSelect(int number) {
    relist(SpotListView::ByName);
    selectAndShow(number);
}

void SpotFilesForm::spotDeleted(int number) {
    relist(SpotListView::ByName);
    int above = 0;
    for (const SpotListLine& line : m_lines) {  // in record order
        if (line.number < number) {
            above = line.number;
        }
    }
    if (above != 0) {
        selectAndShow(above);
        return;
    }
    m_selected = 0;  // no box writes into the deleted entry
    clearBoxes();
    setNumberText("");
    m_view.showNumberLabel("");
}

void SpotFilesForm::selectAndShow(int number) {
    if (std::any_of(m_lines.begin(), m_lines.end(),
                    [number](const SpotListLine& line) { return line.number == number; })) {
        m_view.selectLine(number);
    }
    select(number);
}

void SpotFilesForm::select(int number) {
    guarded([this, number] {
        m_view.setDeleteAvailable(true);
        m_recording->entrySelected();
        m_selected = number;
        setNumberText(std::to_string(number));
        const SpotRecord record = m_catalogue.read(number);
        m_view.showNumberLabel(std::to_string(number));
        setBox(SpotBox::Name, trimBlanks(record.Name));
        setBox(SpotBox::Talent, trimBlanks(record.Talent));
        setBox(SpotBox::Outcue, trimBlanks(record.Outcue));
        setBox(SpotBox::Length, formatMinutes(wholeSecondsValue(record.Length)));
        setBox(SpotBox::EOM, formatMinutes(wholeSecondsValue(record.EOM)));
        setBox(SpotBox::StartDate, trimBlanks(record.StartDate));
        setBox(SpotBox::StopDate, trimBlanks(record.StopDate));
        setBox(SpotBox::RecordDate, trimBlanks(record.RecordDate));
        setBox(SpotBox::SpotCat, trimBlanks(std::string(1, record.SpotCat)));
    });
}

void SpotFilesForm::setBox(SpotBox box, const std::string& text) {
    m_boxes[index(box)] = text;
    m_view.showBox(box, text);
}

void SpotFilesForm::clearBoxes() {
    for (std::size_t box = 0; box < kSpotBoxCount; ++box) {
        setBox(static_cast<SpotBox>(box), "");
    }
}

void SpotFilesForm::boxEdited(SpotBox box, const std::string& text) {
    m_boxes[index(box)] = text;
    std::string value = text;
    if (box == SpotBox::SpotCat) {
        value = upperCase(text);
        if (value != text) {
            setBox(box, value);
        }
    }
    guarded([&] { storeField(box, value); });
}

bool SpotFilesForm::storeField(SpotBox box, const std::string& text) {
    if (recordingUnderWay() || m_selected == 0) {
        return false;
    }
    const StoredField stored = storedFieldValue(box, text);
    if (stored.yearRefused) {
        m_errors.showError(kTwoDigitYearMessage);
    }
    if (!stored.value) {
        return false;
    }
    rewriteRecord(m_catalogue, m_selected,
                  [&](SpotRecord& record) { setField(record, box, *stored.value); });
    m_recording->fieldWritten(m_selected);
    return true;
}

SpotBox SpotFilesForm::keyInBox(SpotBox box, BoxKey key) {
    if (key == BoxKey::Enter && box == SpotBox::Name) {
        if (m_selected != 0) {
            reloadAndSelect(m_selected);
        } else {
            relist(SpotListView::ByName);
        }
    } else if (key == BoxKey::Enter && box == SpotBox::StopDate && m_selected != 0) {
        guarded([this] {
            setBox(SpotBox::StopDate, trimBlanks(m_catalogue.read(m_selected).StopDate));
        });
    }
    return kKeyTable[index(box)][static_cast<std::size_t>(key)];
}

void SpotFilesForm::boxDoubleClicked(SpotBox box) {
    if (box == SpotBox::Name || box == SpotBox::Outcue) {
        setBox(box, "");
        boxEdited(box, "");
    }
}

void SpotFilesForm::numberEntered() {
    const std::int32_t number = wholeSecondsValue(m_numberText);
    if (number < 1 || number > kMaxSpotNumber) {
        return;
    }
    guarded([this, number] {
        if (m_catalogue.read(number).Status != kSpotActive) {
            return;
        }
        if (std::none_of(m_lines.begin(), m_lines.end(),
                         [number](const SpotListLine& line) { return line.number == number; })) {
            LoadSpotFiles();  // a category list without it: back to every entry
        }
        selectAndShow(number);
    });
}

void SpotFilesForm::numberDoubleClicked() {
    setNumberText("");
}

void SpotFilesForm::setNumberText(const std::string& text) {
    m_numberText = text;
    m_view.showNumberBox(text);
}

void SpotFilesForm::dateBoxClicked(SpotBox box) {
    if (box == SpotBox::StartDate || box == SpotBox::StopDate) {
        m_dateTarget = box;
    }
}

void SpotFilesForm::dateBoxDoubleClicked(SpotBox box) {
    if (box == SpotBox::StartDate || box == SpotBox::StopDate) {
        m_dateTarget = box;
        m_view.showCalendar(true);
    }
}

void SpotFilesForm::setDate(SpotBox box, const CalendarDate& date) {
    const auto text = spotDateText(date, '-');
    if (!text) {
        m_errors.showError(kTwoDigitYearMessage);
        return;
    }
    setBox(box, *text);
    guarded([&] { storeField(box, *text); });
}

void SpotFilesForm::calendarPicked(const CalendarDate& date) {
    setDate(m_dateTarget, date);
    checkDatePair(m_dateTarget);
    m_view.showCalendar(false);
}

void SpotFilesForm::checkDatePair(SpotBox picked) {
    // A stop box of "TFN", or any box that does not read as a date, raises nothing.
    const auto start = readSpotDate(m_boxes[index(SpotBox::StartDate)]);
    const auto stop = readSpotDate(m_boxes[index(SpotBox::StopDate)]);
    if (start && stop && *start > *stop) {
        m_errors.showError(picked == SpotBox::StopDate ? kStopBeforeStartMessage
                                                       : kStartAfterStopMessage);
    }
}

void SpotFilesForm::startLabelReleased(bool rightButton) {
    const auto start = readSpotDate(m_boxes[index(SpotBox::StartDate)]);
    if (start) {
        setDate(SpotBox::StartDate, addDays(*start, rightButton ? 1 : -1));
    }
}

void SpotFilesForm::stopLabelClicked() {
    setBox(SpotBox::StopDate, "TFN");
    guarded([this] { storeField(SpotBox::StopDate, "TFN"); });
}

void SpotFilesForm::play() {
    if (m_selected == 0) {
        return;
    }
    try {
        if (m_playback.isPausedOn(m_selected)) {
            m_playback.resume();
        } else {
            if (const auto problem = m_catalogue.playProblem(m_selected)) {
                m_errors.showError(*problem);
                return;
            }
            const SpotRecord record = m_catalogue.read(m_selected);
            m_playback.play(m_selected, m_catalogue.wavePath(m_selected),
                            wholeSecondsValue(record.EOM));
        }
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
        return;
    }
    m_view.setDeleteAvailable(false);
    m_sound.focusButton(LibraryButton::Stop);
    m_sound.setTrackBarVisible(true);
}

void SpotFilesForm::pause() {
    if (m_playback.isPlaying()) {
        m_playback.pause();
        m_sound.setButtonColour(LibraryButton::EOM, kEomBefore);
    }
}

void SpotFilesForm::stop() {
    if (m_playback.isPlaying()) {
        m_playback.stop();
        m_view.setDeleteAvailable(true);
        return;
    }
    m_sound.setRecordButton("Record", kRecordIdle);
    m_recording->stopRecording();
    m_view.setDeleteAvailable(true);
    setOverwrite(false);
}

void SpotFilesForm::eomClicked() {
    if (m_recording->markEom()) {
        return;
    }
    guarded([this] {
        m_playback.markEom([this](int number, std::int32_t seconds) {
            rewriteRecord(m_catalogue, number,
                          [&](SpotRecord& record) { record.EOM = std::to_string(seconds); });
            m_recording->fieldWritten(number);
            if (m_selected == number) {
                setBox(SpotBox::EOM, formatMinutes(seconds));
            }
        });
    });
}

void SpotFilesForm::trackBarMoved(std::int64_t positionMs) {
    m_playback.seek(positionMs);
}

void SpotFilesForm::tick() {
    if (++m_ticks % kWatchTicks == 0) {
        guarded([this] { followCatalogue(); });
    }
    refreshTimeRemaining();
    m_playback.tick();
    m_recording->tick();
}

void SpotFilesForm::refreshTimeRemaining() {
    // A failing disk query leaves the last figure; the next tick asks again.
    if (const auto freeBytes = m_freeSpace()) {
        m_view.showTimeRemaining(timeRemainingText(*freeBytes, m_parameters.RecMode));
    }
}

void SpotFilesForm::recordClicked() {
    m_recording->recordClicked();
}

void SpotFilesForm::gainChanged(int value) {
    m_recording->gainChanged(value);
}

void SpotFilesForm::autoStartToggled(bool checked) {
    m_autoStart = checked;
    m_recording->autoStartChanged(checked);
}

void SpotFilesForm::overwriteToggled(bool checked) {
    m_overwrite = checked;
    m_recording->overwriteChanged(checked);
}

void SpotFilesForm::setOverwrite(bool checked) {
    m_overwrite = checked;
    m_view.setOverwriteChecked(checked);
}

bool SpotFilesForm::recordingUnderWay() const {
    return m_recording->recordingUnderWay();
}

void SpotFilesForm::viewFileIndex() {
    guarded([this] {
        std::string message(kFileIndexMessage);
        for (int number = 1; number <= m_catalogue.recordCount(); ++number) {
            if (m_catalogue.read(number).Status == kSpotReserved) {
                message += std::to_string(number) + ", ";
            }
        }
        m_errors.showError(message);
    });
}

void SpotFilesForm::deleteFileIndex() {
    guarded([this] {
        for (int number = 1; number <= m_catalogue.recordCount(); ++number) {
            SpotRecord record = m_catalogue.read(number);
            if (record.Status == kSpotReserved) {
                record.Status = kSpotFree;
                m_catalogue.write(number, record);
            }
        }
    });
}

void SpotFilesForm::sendTo() {
    if (m_selected == 0) {
        m_errors.showError(kSendToMessage);
        return;
    }
    m_sentNumber = m_selected;
}

std::optional<std::filesystem::path> SpotFilesForm::normalizePath() {
    if (m_selected == 0) {
        m_errors.showError(kSelectProgramMessage);
        return std::nullopt;
    }
    return m_catalogue.wavePath(m_selected);
}

void SpotFilesForm::prepareForImport() {
    if (m_playback.isPlaying() || m_playback.isPaused()) {
        guarded([this] { m_playback.stop(); });
    }
    if (!recordingUnderWay()) {
        m_sound.setTrackBarVisible(false);
        m_view.setDeleteAvailable(false);
    }
}

std::vector<PrintLine> SpotFilesForm::printout(const std::string& date) const {
    const std::string title = "SpotFiles " + date;
    std::vector<PrintLine> lines;
    lines.push_back({0, ""});
    lines.push_back({roundHalfEven((80.0 - static_cast<double>(title.size())) / 2.0), title});
    lines.push_back({0, ""});
    int position = 0;
    for (const SpotListLine& line : m_lines) {
        const SpotRecord record = m_catalogue.read(line.number);
        std::string name = shownText(record.Name);
        name.resize(25, ' ');
        std::string outcue = shownText(record.Outcue);
        outcue.resize(25, ' ');
        char counter[16];
        std::snprintf(counter, sizeof counter, "%3d", ++position);
        lines.push_back({5, std::string(counter) + " " + name + " " + outcue + " " +
                                formatMinutes(wholeSecondsValue(record.Length)) + " " +
                                std::to_string(line.number)});
    }
    return lines;
}

}  // namespace dvx
