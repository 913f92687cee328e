#include "library/import_form.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

#include "common/time_text.h"
#include "settings/parameters.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

std::string lowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

// A mark as minutes, seconds and hundredths ("00:02.50"); dashes when not set.
std::string markText(std::optional<std::int64_t> ms) {
    if (!ms) {
        return "--:--.--";
    }
    const std::string hundredths = std::to_string(*ms % 1000 / 10 + 100).substr(1);
    return formatMinutes(static_cast<std::int32_t>(*ms / 1000)) + "." + hundredths;
}

// A whole number typed into a box, blanks around it allowed.
std::optional<int> typedWholeNumber(std::string_view text, int maximum) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    const int value = std::atoi(std::string(text).c_str());
    return value <= maximum ? std::optional<int>(value) : std::nullopt;
}

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    std::error_code error;
    if (home != nullptr && std::filesystem::is_directory(home, error)) {
        return home;
    }
    return "/";
}

}  // namespace

bool isImportableName(std::string_view name) {
    const std::string lower = lowerCase(name);
    for (const std::string_view extension : {".mpg", ".mp2", ".mp3", ".wav", ".snd"}) {
        if (lower.size() > extension.size() && lower.ends_with(extension)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> importableFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        const std::string name = entry->path().filename().string();
        if (isImportableName(name) && entry->is_regular_file(ignored)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lowerCase(a);
        const std::string lb = lowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

ImportForm::ImportForm(ImportParts parts, ImportTarget& target, ImportView& view)
    : m_parts(parts),
      m_target(target),
      m_view(view),
      m_spots(parts.Spotfile, parts.paths),
      m_music(parts.Music, parts.paths),
      m_session(std::make_unique<ImportSession>(parts.soundFiles, parts.parameters.Threshold)),
      m_player(parts.audio, parts.soundFiles, parts.pump),
      m_timer(parts.clock.createTimer("frmImportFile.Timer", kTimerMs, [this] { previewTick(); })),
      m_slices(
          parts.clock.createTimer("frmImportFile.transfer", kSliceMs, [this] { sliceTick(); })) {
    m_player.setTap(&m_tap);
    m_player.setOnDone([this] { playerDone(); });
}

ImportForm::~ImportForm() {
    try {
        close();
    } catch (const std::exception&) {
        // The transfer's own destructor has released what it held; nothing else is left.
    }
}

template <typename Action>
void ImportForm::guarded(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        m_parts.errors.showError(error.what());
    }
}

void ImportForm::open() {
    m_open = true;
    m_session = std::make_unique<ImportSession>(m_parts.soundFiles, m_parts.parameters.Threshold);
    m_previewing = false;
    m_trim = false;
    m_sourceName.clear();
    m_player.setDevice(m_parts.parameters.AudOutDevice);
    m_view.showSpecificFileEntry(m_target.forSpots());
    m_view.showThreshold(m_session->threshold());
    m_fadeEntries = fadeDurationEntries();
    m_view.showFadeEntries(m_fadeEntries, 0);
    m_view.showLevel(m_session->level());
    m_view.showLamp(false);
    m_view.showGauge(0);
    m_view.showNumber("");
    m_view.showFileName("");
    m_view.setColour(ImportControl::Play, kPlayIdle);
    m_view.setColour(ImportControl::FTrim, kTrimCleared);
    m_view.setCaption(ImportControl::Import, "&Import");
    m_view.setCaption(ImportControl::MarkFade, "Trim");
    for (const ImportControl hidden : {ImportControl::Gauge, ImportControl::MarkFade,
                                       ImportControl::FTrim, ImportControl::TrackBar}) {
        m_view.showControl(hidden, false);
    }
    showSourceButtons(false);
    showMarks();
    std::error_code error;
    folderChosen(std::filesystem::is_directory(m_parts.lastFolder, error) ? m_parts.lastFolder
                                                                          : homeFolder());
    m_target.importWindowOpened();
}

void ImportForm::close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_timer->setEnabled(false);
    m_slices->setEnabled(false);
    m_transfer.reset();  // dropped: its number is freed and its file removed
    m_previewing = false;
    guarded([this] {
        m_player.stop();
        m_player.setFileName({});
    });
    guarded([this] { m_target.importWindowClosed(); });
}

void ImportForm::showSourceButtons(bool shown) {
    for (const ImportControl control :
         {ImportControl::Import, ImportControl::Play, ImportControl::Stop}) {
        m_view.showControl(control, shown);
    }
}

void ImportForm::showMarks() {
    m_view.showMarks("Start " + markText(m_session->startMarkMs()) + "   End " +
                     markText(m_session->endMarkMs()));
}

void ImportForm::folderChosen(const std::filesystem::path& folder) {
    m_folder = folder;
    m_parts.lastFolder = folder;
    m_view.showFolder(folder);
    refreshFiles();
}

void ImportForm::refreshFiles() {
    m_files = importableFiles(m_folder);
    m_view.showFiles(m_files, m_sourceName);
}

std::optional<std::filesystem::path> ImportForm::sourcePath() const {
    if (!m_session->source()) {
        return std::nullopt;
    }
    return m_session->source()->path;
}

void ImportForm::fileChosen(const std::string& name) {
    if (m_previewing) {
        guarded([this] { m_player.stop(); });  // its done event ends the preview
    }
    m_sourceName = name;
    m_view.showFileName(name);
    const std::optional<std::string> problem = m_session->chooseSource(m_folder / name);
    showMarks();
    if (problem) {
        m_sourceName.clear();
        showSourceButtons(false);
        m_parts.errors.showError(*problem);
        return;
    }
    showSourceButtons(!isImporting());
}

void ImportForm::fileNameEntered(const std::string& text) {
    if (text.empty()) {
        return;
    }
    std::filesystem::path path(text);
    if (path.is_relative()) {
        path = m_folder / path;
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        folderChosen(path);
        return;
    }
    if (!std::filesystem::exists(path, error)) {
        m_parts.errors.showError("There is no file " + path.string() + ".");
        return;
    }
    folderChosen(path.parent_path());
    fileChosen(path.filename().string());
    m_view.showFiles(m_files, m_sourceName);
}

void ImportForm::deleteFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::remove(path, error) || error) {
        m_parts.errors.showError("The file " + path.string() + " could not be deleted" +
                                 (error ? ": " + error.message() : std::string()) + ".");
    } else if (sourcePath() == path) {
        forgetSource();
    }
    refreshFiles();
}

// The chosen source is gone: choosing it again finds nothing, which leaves no source.
void ImportForm::forgetSource() {
    m_session->chooseSource(m_folder / m_sourceName);
    m_sourceName.clear();
    m_view.showFileName("");
    showMarks();
    if (!m_previewing) {
        showSourceButtons(false);
    }
}

void ImportForm::thresholdEdited(const std::string& text) {
    if (text.find_first_not_of(' ') == std::string::npos) {
        return;  // being typed
    }
    if (const std::optional<int> threshold = typedWholeNumber(text, 32767)) {
        m_session->setThreshold(*threshold);
    } else {
        m_parts.errors.showError(kThresholdMessage);
    }
}

void ImportForm::fadeChosen(int index) {
    if (index < 0 || index >= static_cast<int>(m_fadeEntries.size())) {
        return;
    }
    m_session->setFadeSeconds(fadeSecondsOf(m_fadeEntries[static_cast<std::size_t>(index)]));
    m_view.setCaption(ImportControl::MarkFade,
                      m_session->fadeSeconds() == 0 ? "Trim" : "Mark Fade");
}

void ImportForm::adjustLevelToggled(bool checked) {
    m_session->setAdjustLevel(checked);
}

void ImportForm::autoStopToggled(bool checked) {
    m_autoStop = checked;
}

void ImportForm::timeEdited(const std::string& text) {
    m_timeText = text;
}

void ImportForm::levelMoved(int position) {
    m_session->setLevel(position);
}

void ImportForm::trackBarMoved(std::int64_t positionMs) {
    if (!m_previewing) {
        return;
    }
    takePreviewPeaks();
    guarded([&] { m_player.setPositionMs(positionMs); });
    m_lastPositionMs = m_player.positionMs();
    m_tap.clear();
}

void ImportForm::play() {
    if (!m_session->source() || isImporting()) {
        return;
    }
    try {
        // A new file cuts a preview that plays without a done event: this one replaces it.
        m_player.setFileName(m_session->source()->path);
        m_player.setPositionMs(m_session->startMarkMs().value_or(0));
        m_session->startPreview();
        m_lastPositionMs = m_player.positionMs();
        m_tap.clear();
        m_player.play();
    } catch (const std::exception& error) {
        m_parts.errors.showError(error.what());
        return;
    }
    m_previewing = true;
    m_timer->setEnabled(true);
    m_view.showControl(ImportControl::Gauge, false);
    m_view.setTrackBarRange(m_session->source()->lengthMs());
    m_view.showControl(ImportControl::TrackBar, true);
    m_view.showControl(ImportControl::Level, false);
    m_view.showLevel(m_session->level());
    m_view.setColour(ImportControl::Play, kPlayPlaying);
    m_view.showControl(ImportControl::Import, false);
    m_view.showControl(ImportControl::Label1, false);
    m_view.setCaption(ImportControl::MarkFade,
                      m_session->fadeSeconds() == 0 ? "Trim" : "Mark Fade");
    m_view.showControl(ImportControl::MarkFade, true);
    m_view.showControl(ImportControl::FTrim, true);
    showMarks();
}

void ImportForm::stop() {
    if (!m_previewing) {
        return;
    }
    takePreviewPeaks();
    guarded([this] { m_player.stop(); });
    m_view.setColour(ImportControl::Play, kPlayIdle);
}

void ImportForm::FTrim() {
    m_trim = !m_trim;
    m_view.setColour(ImportControl::FTrim, m_trim ? kTrimSet : kTrimCleared);
    m_session->FTrim();
    showMarks();
}

void ImportForm::markFade() {
    if (!m_previewing) {
        return;
    }
    takePreviewPeaks();
    m_session->markFade(m_player.positionMs());
    guarded([this] { m_player.stop(); });
    m_view.setColour(ImportControl::Play, kPlayIdle);
    showMarks();
}

void ImportForm::previewTick() {
    if (!m_previewing) {
        return;
    }
    takePreviewPeaks();
    const std::int64_t position = m_player.positionMs();
    m_view.setTrackBarPosition(position);
    m_view.showTime(FormatSeconds(roundHalfEven(static_cast<double>(position) / 1000.0)));
}

// The buffers played since the last reading, as one: their peaks at the frames they cover.
void ImportForm::takePreviewPeaks() {
    const std::int64_t position = m_player.positionMs();
    if (position <= m_lastPositionMs) {
        return;  // nothing played since
    }
    const LevelReading level = m_tap.levels();
    const Peaks peaks{static_cast<std::int16_t>(std::min(level.left, 32767)),
                      static_cast<std::int16_t>(std::min(level.right, 32767))};
    // The start of what was played, where a first loud reading puts the start mark; its end,
    // where every loud reading puts the end mark.
    const bool loud = m_session->previewBuffer(m_lastPositionMs, peaks);
    if (loud) {
        m_session->previewBuffer(position, peaks);
    }
    m_lastPositionMs = position;
    m_view.showLamp(loud);
    showMarks();
}

void ImportForm::playerDone() {
    if (!m_previewing || m_player.isPlaying() || m_player.isPaused()) {
        return;  // no preview, or the done event of one that a newer preview replaced
    }
    takePreviewPeaks();  // the last buffers, when the source ran out
    m_previewing = false;
    m_timer->setEnabled(false);
    m_view.showLamp(false);
    m_view.showControl(ImportControl::Level, true);
    m_view.setColour(ImportControl::Play, kPlayIdle);
    m_view.showControl(ImportControl::Import, m_session->source().has_value());
    m_view.showControl(ImportControl::Label1, true);
    m_view.showControl(ImportControl::MarkFade, false);
}

void ImportForm::importClicked() {
    if (isImporting()) {
        m_transfer->cancel();  // "Cancel": what a spot has so far is stored
        endTransfer();
        return;
    }
    if (!m_session->source() || m_previewing) {
        return;
    }
    startTransfer();
}

void ImportForm::startTransfer() {
    std::optional<int> autoStop;
    if (m_autoStop) {
        autoStop = ParseMinSec(m_timeText);
        if (!autoStop) {
            m_parts.errors.showError(kAutoStopTimeMessage);
            return;
        }
    }
    m_session->setAutoStop(autoStop);
    const PlannedTransfer planned = m_session->planTransfer();
    if (!planned.plan) {
        m_parts.errors.showError(planned.refusal);
        return;
    }
    m_view.showLevel(m_session->level());  // "Adjust Level" may have moved it

    const bool spots = m_target.forSpots();
    ImportDestination destination;
    if (spots) {
        destination.number = m_target.specificFileNumber();
        destination.numberReserved = destination.number != 0;
    } else {
        destination.library = ImportDestination::Library::Music;
        destination.Drive = m_target.newFileDrive();
    }
    const ImportLibrary library{m_parts.soundFiles, m_parts.clock, &m_spots, &m_parts.log,
                                &m_music};
    std::string failure;
    m_transfer = ImportTransfer::begin(*planned.plan, destination, library, failure);
    if (!m_transfer) {
        m_parts.errors.showError(failure);
        return;
    }
    const int number = m_transfer->number();
    m_view.showControl(ImportControl::FTrim, false);
    m_view.showControl(ImportControl::TrackBar, false);
    m_view.showControl(ImportControl::Play, false);
    m_view.showControl(ImportControl::Stop, false);
    m_view.showGauge(0);
    m_view.showControl(ImportControl::Gauge, true);
    m_view.setCaption(ImportControl::Import, "Cancel");
    m_view.showNumber(spots ? "" : std::to_string(number));
    m_target.importStarted(number);
    m_slices->setEnabled(true);
}

void ImportForm::sliceTick() {
    if (!m_transfer) {
        m_slices->setEnabled(false);
        return;
    }
    const ImportTransfer::Progress progress = m_transfer->step();
    m_view.showGauge(progress.percent());
    if (!progress.running) {
        endTransfer();
    }
}

void ImportForm::endTransfer() {
    m_slices->setEnabled(false);
    const ImportResult result = m_transfer->finish();
    m_transfer.reset();
    m_view.showGauge(0);
    m_view.showControl(ImportControl::Gauge, false);
    m_view.setCaption(ImportControl::Import, "&Import");
    const bool source = m_session->source().has_value();
    for (const ImportControl control : {ImportControl::Play, ImportControl::Stop}) {
        m_view.showControl(control, source);
    }
    m_view.showControl(ImportControl::Import, source);
    if (!result.stored) {
        m_view.showNumber("");
        m_parts.errors.showError(result.message);
        return;
    }
    if (!result.message.empty()) {
        m_parts.errors.showError(result.message);  // the entry stands; only its hash is missing
    }
    guarded([&] { m_target.imported(result.number); });
}

}  // namespace dvx
