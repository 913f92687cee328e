#include "app/demo_station.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <system_error>
#include <vector>

#include "app/data_files.h"
#include "app/startup.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "fill/rotation_files.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"
#include "notify/message_file.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"
#include "settings/email_account.h"
#include "settings/parameter_records.h"

namespace dvx {
namespace {

constexpr int kAmplitude = 8000;  // about -12 dBFS: far above the threshold

// Notes of `noteSeconds` each, mono at the working rate; every note rises and falls over a few
// milliseconds so that the tones do not click.
std::vector<std::int16_t> melody(const std::vector<double>& hertz, double noteSeconds) {
    const auto noteFrames = static_cast<std::size_t>(noteSeconds * kSampleRate);
    const std::size_t ramp = kSampleRate / 50;
    std::vector<std::int16_t> samples;
    samples.reserve(hertz.size() * noteFrames);
    for (const double pitch : hertz) {
        for (std::size_t i = 0; i < noteFrames; ++i) {
            const double edge = static_cast<double>(std::min({i, noteFrames - 1 - i, ramp})) /
                                static_cast<double>(ramp);
            const double phase =
                2 * std::numbers::pi * pitch * static_cast<double>(i) / kSampleRate;
            samples.push_back(
                static_cast<std::int16_t>(std::lround(kAmplitude * edge * std::sin(phase))));
        }
    }
    return samples;
}

void writeSound(SoundFiles& sounds, const std::filesystem::path& file,
                const std::vector<std::int16_t>& samples) {
    const auto writer = sounds.createWriter(file, 1);
    writer->write(samples.data(), static_cast<int>(samples.size()));
    writer->flush();
}

struct Tune {
    const char* title;
    const char* artist;
    std::vector<double> notes;  // half a second each
};

// Three tunes of eight seconds: short enough that the fill winds down soon after the feed is
// back.
const std::vector<Tune>& demoTunes() {
    static const std::vector<Tune> tunes = {
        {"Sine Serenade",
         "The Oscillators",
         {523, 659, 784, 1047, 784, 659, 523, 392, 440, 523, 659, 880, 659, 523, 440, 523}},
        {"Waltz in A Minor Tone",
         "Sine Wave Trio",
         {440, 523, 659, 523, 440, 330, 392, 494, 587, 494, 392, 294, 330, 440, 330, 220}},
        {"Pentatonic Drift",
         "Demo Ensemble",
         {392, 440, 587, 659, 784, 659, 587, 440, 392, 330, 294, 330, 392, 440, 392, 392}},
    };
    return tunes;
}

struct Spot {
    const char* name;
    std::vector<double> notes;  // half a second each
};

const std::vector<Spot>& demoSpots() {
    static const std::vector<Spot> spots = {
        {"Station ID Chime", {880, 1175, 1397, 1760, 1397, 1175, 880, 1175, 1760, 1760}},
        {"Weather Sponsor", {660, 660, 990, 990, 880, 740, 660, 0, 660, 990}},
    };
    return spots;
}

void writeParameters(const Paths& paths, const DeviceChoice& devices) {
    ParameterFile file(paths);
    file.write(kDeadAirSecondsRecord, kDemoDeadAirSeconds);
    file.write(kNetInDeviceRecord, devices.NetInDevice);
    file.write(kOut1DeviceRecord, devices.Out1Device);
    file.write(kOut2DeviceRecord, devices.Out2Device);
    file.write(7, kDemoThreshold);
    for (int slot = 29; slot <= 34; ++slot) {  // the event slots of both programs
        file.write(slot, kDemoRotation);
    }
    file.write(kNetOutDeviceRecord, devices.NetOutDevice);
    file.write(72, 1);  // AutoRun: armed at start-up
}

void writeLibrary(const Paths& paths, SoundFiles& sounds) {
    DataFiles files = DataFiles::open(paths);
    std::string facility;
    MessageFile(files.MessageFile, facility)
        .setText(MessageFile::kFacilityRecord, "Dorvexia Demo FM");

    MusicCategories(files.MusicCat).write(*CategoryRecord('A'), MusicCategory{1, 1, "Demo Tunes"});
    ProgramList(files.MusRotFileOne).add(*CategoryRecord('A'));
    ProgramList(files.MusRotFileTwo).add(*CategoryRecord('A'));

    MusicCatalogue music(files.Music, paths);
    int number = 0;
    for (const Tune& tune : demoTunes()) {
        MusicRecord record;
        record.Status = kMusicActive;
        record.Title = tune.title;
        record.Artist = tune.artist;
        record.Album = "Dorvexia Demo";
        record.Category = "A";
        record.Length = record.EOM = std::to_string(tune.notes.size() / 2);
        record.Comp = kFillAllowed;
        music.write(++number, record);
        writeSound(sounds, music.wavePath(number), melody(tune.notes, 0.5));
    }

    SpotCatalogue spots(files.Spotfile, paths);
    RotationNames(files.RFNames)
        .write(kDemoRotation - kRotationBase, RotationName{1, 10, "Demo Breaks", 0, 0});
    RotationEntryFile rotation(paths, kDemoRotation);
    number = 0;
    for (const Spot& spot : demoSpots()) {
        SpotRecord record;
        record.Status = kSpotActive;
        record.Name = spot.name;
        record.Length = record.EOM = std::to_string(spot.notes.size() / 2);
        record.StartDate = record.StopDate = "TFN";
        record.RotationRef = std::to_string(kDemoRotation);
        spots.write(++number, record);
        writeSound(sounds, spots.wavePath(number), melody(spot.notes, 0.5));
        RotationEntry entry;
        entry.InUse = 1;
        entry.SpotNumber = static_cast<std::int16_t>(number);
        entry.Days.fill(1);
        rotation.write(number, entry);
    }
}

}  // namespace

DemoFolder::DemoFolder(const std::filesystem::path& given) {
    std::error_code error;
    if (given.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "dorvexia-demo-XXXXXX");
        if (error || ::mkdtemp(pattern.data()) == nullptr) {
            throw StartupError("Cannot make a temporary folder for the demonstration.");
        }
        m_path = pattern;
        m_temporary = true;
        return;
    }
    m_path = given;
    if (std::filesystem::exists(given, error) && !std::filesystem::is_empty(given, error)) {
        throw StartupError("The demonstration builds its station in an empty folder, and " +
                           given.string() + " is not empty.");
    }
    std::filesystem::create_directories(given, error);
    if (error) {
        throw StartupError("Cannot make the folder " + given.string() + ": " + error.message());
    }
}

DemoFolder::~DemoFolder() {
    if (m_temporary) {
        std::error_code ignored;  // a folder left behind in the temporary folder harms nothing
        std::filesystem::remove_all(m_path, ignored);
    }
}

void writeDemoFeed(const std::filesystem::path& file, SoundFiles& sounds) {
    // A calm figure of four notes, 0.4 s each, as the programme; silence where the cycle says.
    const std::vector<std::int16_t> figure = melody({392, 494, 587, 494}, 0.4);
    std::vector<std::int16_t> cycle(static_cast<std::size_t>(kDemoCycleSeconds) * kSampleRate);
    const std::size_t silentFrom = static_cast<std::size_t>(kDemoSilenceFrom) * kSampleRate;
    const std::size_t silentTo =
        static_cast<std::size_t>(kDemoSilenceFrom + kDemoSilenceSeconds) * kSampleRate;
    for (std::size_t i = 0; i < cycle.size(); ++i) {
        if (i < silentFrom || i >= silentTo) {
            cycle[i] = figure[i % figure.size()];
        }
    }
    writeSound(sounds, file, cycle);
}

void writeDemoStation(const Paths& paths, SoundFiles& sounds, const DeviceChoice& devices) {
    ensureFolders(paths);
    writeEmailAccount(paths, EmailAccount{"demo@example.org", "demo"});
    writeLibrary(paths, sounds);
    writeParameters(paths, devices);  // last: a station cut short starts as a first start
}

}  // namespace dvx
