// `dorvexia import`: sound files into the spot or music library, as the import window does,
// with the start and end found by the threshold as a whole preview would mark them.

#include <cctype>
#include <ostream>

#include "app/command_verbs.h"
#include "common/io_error.h"
#include "common/paths.h"
#include "common/system_clock.h"
#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "library/import_session.h"
#include "library/import_transfer.h"
#include "library/music_catalogue.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "notify/text_encoding.h"
#include "settings/parameters_file.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

struct ImportOptions {
    bool spots = false;
    int number = 0;
    std::optional<int> threshold;
    int fadeSeconds = 0;
    std::optional<int> autoStopSeconds;
    bool adjustLevel = false;
    std::string category;
    bool titleFromTags = false;
    bool allowDuplicates = false;
    std::vector<std::filesystem::path> files;
};

struct ParsedOptions {
    std::optional<ImportOptions> options;
    std::string error;  // empty with no options: --help
};

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    ImportOptions options;
    bool music = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::string {
            return i + 1 < arguments.size() ? arguments[++i] : std::string();
        };
        if (argument == "--help" || argument == "-h") {
            return {};
        } else if (argument == "--music") {
            music = true;
        } else if (argument == "--spot") {
            options.spots = true;
        } else if (argument == "--number") {
            const auto number = verbs::wholeNumber(value(), 1, kMaxSpotNumber);
            if (!number) {
                return {std::nullopt, "--number takes a spot number from 1 to 900"};
            }
            options.number = *number;
        } else if (argument == "--threshold") {
            options.threshold = verbs::wholeNumber(value(), 0, 32767);
            if (!options.threshold) {
                return {std::nullopt, "--threshold takes a level from 0 to 32767"};
            }
        } else if (argument == "--fade") {
            const auto seconds = verbs::wholeNumber(value(), 0, kMaxFadeSeconds);
            if (!seconds) {
                return {std::nullopt, "--fade takes whole seconds from 0 to 10"};
            }
            options.fadeSeconds = *seconds;
        } else if (argument == "--autostop") {
            options.autoStopSeconds = ParseMinSec(value());
            if (!options.autoStopSeconds || *options.autoStopSeconds <= 0) {
                return {std::nullopt, "--autostop takes a time as MM:SS, for example 00:30"};
            }
        } else if (argument == "--adjust-level") {
            options.adjustLevel = true;
        } else if (argument == "--category") {
            options.category = value();
            const bool letters = !options.category.empty() && options.category.size() <= 2 &&
                                 std::isalpha(static_cast<unsigned char>(options.category[0])) &&
                                 std::isalpha(static_cast<unsigned char>(options.category.back()));
            if (!letters) {
                return {std::nullopt, "--category takes a category letter (A-Z, a-z)"};
            }
        } else if (argument == "--title-from-tags") {
            options.titleFromTags = true;
        } else if (argument == "--allow-duplicates") {
            options.allowDuplicates = true;
        } else if (argument.rfind("--", 0) == 0) {
            return {std::nullopt, "Unknown option for import: " + argument};
        } else {
            options.files.emplace_back(argument);
        }
    }
    if (music == options.spots) {
        return {std::nullopt, "import needs one of --music and --spot"};
    }
    if (options.spots && (!options.category.empty() || options.titleFromTags)) {
        return {std::nullopt, "--category and --title-from-tags are for --music"};
    }
    if (!options.spots && options.number != 0) {
        return {std::nullopt, "--number is for --spot"};
    }
    if (options.files.empty()) {
        return {std::nullopt, "import needs at least one sound file"};
    }
    if (options.number != 0 && options.files.size() > 1) {
        return {std::nullopt, "--number takes one sound file"};
    }
    if (const auto problem = autoStopProblem(options.autoStopSeconds, options.fadeSeconds)) {
        return {std::nullopt, *problem};
    }
    return {options, {}};
}

// Messages of the record log (a line that cannot be written) go to the error stream.
class StreamErrors : public ErrorReporter {
  public:
    explicit StreamErrors(std::ostream& err) : m_err(err) {}
    void showError(std::string_view message) override { m_err << "dorvexia: " << message << "\n"; }

  private:
    std::ostream& m_err;
};

// Title and artist from the file's tags, else from a name "Artist - Title.mp3"; the catalogue's
// 8-bit text.
std::pair<std::string, std::string> titleAndArtist(const ImportSource& source) {
    if (!source.tags.title.empty()) {
        return {utf8ToWindows1252(source.tags.title), utf8ToWindows1252(source.tags.artist)};
    }
    const std::string name = source.path.stem().string();
    if (const auto dash = name.find(" - "); dash != std::string::npos && dash > 0) {
        return {utf8ToWindows1252(name.substr(dash + 3)), utf8ToWindows1252(name.substr(0, dash))};
    }
    return {};
}

int configuredThreshold(const Paths& paths) {
    if (!std::filesystem::exists(paths.dataFile("DXParams.dat"))) {
        return 0;
    }
    Parameters parameters;
    loadParametersAtStartup(paths, parameters);
    return parameters.Threshold;
}

void drawProgress(VerbIo& io, const std::string& name, int percent) {
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    io.out << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] "
           << (percent < 10    ? "  "
               : percent < 100 ? " "
                               : "")
           << percent << "%  " << name << std::flush;
}

void clearProgress(VerbIo& io) {
    io.out << "\r\033[K" << std::flush;
}

// Imports one file; true when it was stored or skipped as a duplicate.
bool importOne(const ImportOptions& options, const std::filesystem::path& path, int threshold,
               const ImportLibrary& library, VerbIo& io) {
    const std::string name = path.string();
    ImportSession session(library.files, threshold);
    if (const auto why = session.chooseSource(path)) {
        io.err << name << ": not imported: " << *why << "\n";
        return false;
    }
    session.setFadeSeconds(options.fadeSeconds);
    session.setAutoStop(options.autoStopSeconds);
    TransferPlan plan = thresholdPlan(*session.source(), threshold, options.fadeSeconds,
                                      options.autoStopSeconds, kLevelUnity);
    if (options.adjustLevel) {
        // The highest peak must be known before the first sample is written: a preview first.
        session.setAdjustLevel(true);
        session.previewWhole();
        plan = *session.planTransfer().plan;
    }
    ImportDestination destination;
    destination.library =
        options.spots ? ImportDestination::Library::Spots : ImportDestination::Library::Music;
    destination.number = options.number;
    destination.Category = options.category;
    destination.refuseDuplicates = !options.allowDuplicates;
    if (options.titleFromTags) {
        std::tie(destination.Title, destination.Artist) = titleAndArtist(*session.source());
    }
    std::string failure;
    std::unique_ptr<ImportTransfer> transfer =
        ImportTransfer::begin(plan, destination, library, failure);
    if (!transfer) {
        io.err << name << ": not imported: " << failure << "\n";
        return false;
    }
    int shown = -1;
    while (transfer->step().running) {
        if (io.stopRequested()) {
            transfer.reset();  // the number released, the partial file gone
            if (io.terminal) {
                clearProgress(io);
            }
            io.err << name << ": not imported: interrupted\n";
            return false;
        }
        if (const int percent = transfer->progress().percent(); io.terminal && percent != shown) {
            drawProgress(io, name, percent);
            shown = percent;
        }
    }
    const ImportResult result = transfer->finish();
    if (io.terminal) {
        clearProgress(io);
    }
    const char* kind = options.spots ? "spot" : "music";
    if (result.duplicateOf != 0) {
        const std::string holder = options.spots
                                       ? shownText(library.spots->read(result.duplicateOf).Name)
                                       : shownText(library.music->read(result.duplicateOf).Title);
        io.out << name << ": skipped: its sound is already " << kind << " " << result.duplicateOf
               << " \"" << holder.substr(0, holder.find_last_not_of(' ') + 1)
               << "\" (--allow-duplicates imports it again)\n";
        return true;
    }
    if (!result.stored) {
        io.err << name << ": not imported: " << result.message << "\n";
        return false;
    }
    io.out << name << " -> " << kind << " " << result.number << " \"" << result.title << "\" "
           << formatMinutes(wholeSecondsValue(result.Length)) << "\n";
    if (!result.message.empty()) {
        io.err << name << ": " << result.message << "\n";
    }
    return true;
}

}  // namespace

std::string importHelp() {
    return "Usage: dorvexia [--data-root DIR] import --music|--spot [options] FILE...\n"
           "\n"
           "Imports sound files (MP3, MP2, WAV, AU/SND, any rate) into the music or spot\n"
           "library as 16-bit 44.1 kHz wave files with their catalogue entries, as the import\n"
           "window does. The start and the end are where the sound rises above the threshold\n"
           "and last falls below it. One line per file; exit status 0 when every file was\n"
           "imported (or skipped as a duplicate), 1 when any failed. A file that fails leaves\n"
           "no entry and no wave file. May run while the monitor runs on the same data root.\n"
           "\n"
           "  --music | --spot         the library to import into\n"
           "  --number N               (spot) import into spot N, which must be free\n"
           "  --threshold T            the level that counts as sound, 0..32767 (default: the\n"
           "                           monitor's Threshold)\n"
           "  --fade SECONDS           fade out over 1..10 seconds after the end (default 0)\n"
           "  --autostop MM:SS         import this long from the start, the fade included\n"
           "  --adjust-level           bring the highest peak to 18400\n"
           "  --category LETTER        (music) the entry's category\n"
           "  --title-from-tags        (music) title and artist from the file's tags, or from a\n"
           "                           name \"Artist - Title.mp3\"\n"
           "  --allow-duplicates       import sound the catalogue already holds (by default\n"
           "                           such a file is skipped, naming the entry that holds it)\n";
}

namespace verbs {

int importVerb(const VerbArguments& arguments, SoundFiles& files, VerbIo io) {
    const ParsedOptions parsed = parseOptions(arguments.options);
    if (!parsed.options) {
        if (parsed.error.empty()) {
            io.out << importHelp();
            return 0;
        }
        io.err << "dorvexia import: " << parsed.error << "\n\n" << importHelp();
        return 2;
    }
    const ImportOptions& options = *parsed.options;
    try {
        const Paths paths(preparedDataRoot(arguments.dataRoot));
        const int threshold = options.threshold.value_or(configuredThreshold(paths));
        RecordFile catalogueFile(
            options.spots ? paths.spotFolder() / "Spotfile.dat" : paths.musicFolder() / "Music.dat",
            options.spots ? kSpotRecordLength : kMusicRecordLength);
        SystemClock clock;
        StreamErrors errors(io.err);
        SpotCatalogue spots(catalogueFile, paths);
        MusicCatalogue music(catalogueFile, paths);
        RecordLog log(paths, clock, errors);  // its last line is written when it goes
        const ImportLibrary library{files, clock, options.spots ? &spots : nullptr, &log,
                                    options.spots ? nullptr : &music};
        int failures = 0;
        for (const std::filesystem::path& path : options.files) {
            if (io.stopRequested()) {
                io.err << path.string() << ": not imported: interrupted\n";
                ++failures;
            } else if (!importOne(options, path, threshold, library, io)) {
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    } catch (const std::exception& error) {
        io.err << "dorvexia import: " << error.what() << "\n";
        return 1;
    }
}

}  // namespace verbs
}  // namespace dvx
