#include "library/import_transfer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "common/io_error.h"
#include "library/audio_hash.h"
#include "library/catalogue_text.h"
#include "library/music_catalogue.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "library/spot_dates.h"
#include "platform/audio_backend.h"

namespace dvx {
namespace {

std::string trimmed(std::string_view text) {
    std::string result = shownText(text);
    result.erase(result.find_last_not_of(' ') + 1);
    return result;
}

// A file of our own beside the wave files, for the sound until it takes its number's name.
std::filesystem::path makePartialFile(const std::filesystem::path& folder) {
    std::string name = (folder / "import-XXXXXX.partial").string();
    const int fd = ::mkstemps(name.data(), 8);
    if (fd < 0) {
        throw IoError("Cannot create a file in", folder, errno);
    }
    ::fchmod(fd, 0644);  // a wave file like the others, not a private one
    ::close(fd);
    return name;
}

// Gathers the shaper's buffers into large writes: fewer system calls and header updates.
class ChunkedWriter : public SoundWriter {
  public:
    static constexpr int kChunkFrames = 65536;

    ChunkedWriter(std::unique_ptr<SoundWriter> writer) : m_writer(std::move(writer)) {
        m_pending.reserve(static_cast<std::size_t>(kChunkFrames) * m_writer->channels());
    }
    int channels() const override { return m_writer->channels(); }
    void write(const std::int16_t* samples, int frames) override {
        m_pending.insert(m_pending.end(), samples, samples + frames * channels());
        if (m_pending.size() >= static_cast<std::size_t>(kChunkFrames) * channels()) {
            drain();
        }
    }
    void flush() override {
        drain();
        m_writer->flush();
    }
    void truncate(std::int64_t frames) override {
        drain();
        m_writer->truncate(frames);
    }

  private:
    void drain() {
        if (!m_pending.empty()) {
            m_writer->write(m_pending.data(), static_cast<int>(m_pending.size()) / channels());
            m_pending.clear();
        }
    }

    std::unique_ptr<SoundWriter> m_writer;
    std::vector<std::int16_t> m_pending;
};

std::uintmax_t sizeOf(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

std::string importedSpotEom(std::int64_t lengthMs, std::int64_t fadeMs) {
    if (fadeMs <= 0) {
        return std::to_string(lengthMs / 1000 + 1);
    }
    // In thousandths of a second, so the text has no binary fraction in it.
    const std::int64_t thousandths = (2 * lengthMs - fadeMs) / 2 + 1000;
    std::string text = std::to_string(thousandths / 1000);
    if (const std::int64_t fraction = thousandths % 1000; fraction != 0) {
        std::string digits = zeroPadded(static_cast<int>(fraction), 3);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text.substr(0, 5);
}

int ImportTransfer::Progress::percent() const {
    if (framesTotal <= 0) {
        return running ? 0 : 100;
    }
    return static_cast<int>(std::clamp<std::int64_t>(
        std::llround(100.0 * static_cast<double>(framesRead) / framesTotal), 0, 100));
}

ImportTransfer::ImportTransfer(const TransferPlan& plan, const ImportDestination& destination,
                               const ImportLibrary& library)
    : m_plan(plan), m_destination(destination), m_library(library) {}

std::unique_ptr<ImportTransfer> ImportTransfer::begin(const TransferPlan& plan,
                                                      const ImportDestination& destination,
                                                      const ImportLibrary& library,
                                                      std::string& failure) {
    std::unique_ptr<ImportTransfer> transfer(new ImportTransfer(plan, destination, library));
    const bool spots = destination.library == ImportDestination::Library::Spots;
    try {
        // The source first: a file that cannot be read takes no number.
        transfer->m_reader = library.files.openReader(plan.source, plan.channels);
        if (transfer->m_reader->frames() <= 0) {
            failure = "The sound file " + plan.source.string() + " holds no sound.";
            return nullptr;
        }
        if (spots) {
            transfer->reserveSpot();
            if (transfer->m_number == 0) {
                failure = transfer->m_failure;
                return nullptr;
            }
        } else {
            transfer->m_number = library.music->nextFreeNumber();
        }
        transfer->m_partial = makePartialFile(transfer->wavePath(transfer->m_number).parent_path());
        transfer->m_writer = std::make_unique<ChunkedWriter>(
            library.files.createWriter(transfer->m_partial, plan.channels));
        transfer->m_shaper = std::make_unique<ImportShaper>(plan, *transfer->m_writer);
        transfer->m_buffer.resize(static_cast<std::size_t>(kImportBufferFrames) * plan.channels);
    } catch (const std::exception& error) {
        failure = error.what();
        transfer->release();
        return nullptr;
    }
    return transfer;
}

void ImportTransfer::reserveSpot() {
    SpotCatalogue& spots = *m_library.spots;
    const RecordFileLock lock = spots.lock();
    int number = m_destination.number;
    if (number == 0) {
        const std::optional<int> free = spots.nextFreeNumber();
        if (!free) {
            m_failure = kMaxSoundFilesMessage;
            return;
        }
        number = *free;
    }
    SpotRecord record = spots.read(number);
    const bool ours = m_destination.numberReserved && record.Status == kSpotReserved;
    if (!ours && !spots.isFreeNumber(number)) {
        m_failure =
            number < 1 || number > kMaxSpotNumber
                ? "Production File numbers may not be less than 1 or greater than 900"
                : "SpotFile " + std::to_string(number) + " " + trimmed(record.Name) + " is in use.";
        return;
    }
    record.Status = kSpotReserved;
    spots.write(number, record);
    m_number = number;
    m_reserved = true;
}

std::filesystem::path ImportTransfer::wavePath(int number) const {
    if (m_destination.library == ImportDestination::Library::Spots) {
        return m_library.spots->wavePath(number);
    }
    return m_library.music->wavePath(number, m_destination.Drive);
}

ImportTransfer::~ImportTransfer() {
    if (m_state != State::Finished) {
        release();
    }
}

void ImportTransfer::release() noexcept {
    m_writer.reset();
    if (!m_partial.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_partial, ignored);
    }
    if (m_reserved) {
        try {
            SpotCatalogue& spots = *m_library.spots;
            const RecordFileLock lock = spots.lock();
            SpotRecord record = spots.read(m_number);
            if (record.Status == kSpotReserved) {
                record.Status = kSpotFree;
                spots.write(m_number, record);
            }
            m_reserved = false;
        } catch (const std::exception&) {
            // The number stays reserved until "Delete File Index" frees it.
        }
    }
}

ImportTransfer::Progress ImportTransfer::progress() const {
    return {m_framesRead.load(), m_reader ? m_reader->frames() : 0, m_running.load()};
}

ImportTransfer::Progress ImportTransfer::step(int frames) {
    if (m_state != State::Running) {
        return progress();
    }
    try {
        for (int done = 0; done < frames; done += kImportBufferFrames) {
            if (m_cancelled.load()) {
                m_state = State::Cancelled;
                break;
            }
            const int got = m_reader->read(m_buffer.data(), kImportBufferFrames);
            if (got > 0) {
                m_shaper->take(m_buffer.data(), got);
                m_framesRead.fetch_add(got);
            }
            if (got < kImportBufferFrames) {
                m_shaper->finish();
                m_state = State::Done;
                break;
            }
        }
    } catch (const std::exception& error) {
        m_failure = error.what();
        m_state = State::Failed;
    }
    m_running.store(m_state == State::Running);
    return progress();
}

ImportResult ImportTransfer::refuse(std::string message) {
    release();
    m_state = State::Finished;
    ImportResult result;
    result.message = std::move(message);
    return result;
}

ImportResult ImportTransfer::finish() {
    if (m_state == State::Finished) {
        return refuse("The import has already finished.");
    }
    if (m_state == State::Running) {
        m_state = State::Cancelled;
        m_running.store(false);
    }
    const std::string source = m_plan.source.string();
    const bool spots = m_destination.library == ImportDestination::Library::Spots;
    if (m_state == State::Failed) {
        return refuse(m_failure + "  " + source + " was not imported.");
    }
    if (m_state == State::Cancelled && !spots) {
        return refuse("The import of " + source + " was cancelled.");
    }
    std::int64_t frames = 0;
    try {
        m_writer->flush();
        m_writer.reset();  // closed: its header is final
        frames = m_library.files.openReader(m_partial, m_plan.channels)->frames();
    } catch (const std::exception& error) {
        return refuse(std::string(error.what()) + "  " + source + " was not imported.");
    }
    if (m_state == State::Done && !m_shaper->anyLoud()) {
        return refuse("Nothing in " + source + " is louder than the threshold (" +
                      std::to_string(m_plan.threshold) + "); it was not imported.");
    }
    if (frames == 0) {
        return refuse(m_state == State::Cancelled
                          ? "The import of " + source + " was cancelled before any sound."
                          : "Nothing of " + source +
                                " lies between the start and the end; it was not imported.");
    }
    return store(frames);
}

std::optional<int> ImportTransfer::duplicateHolder() {
    const bool spots = m_destination.library == ImportDestination::Library::Spots;
    const std::filesystem::path& catalogue =
        spots ? m_library.spots->file() : m_library.music->file();
    return AudioHashIndex(catalogue).holder(m_shaper->hash(), [&](int number, std::uintmax_t size) {
        const bool taken = spots ? m_library.spots->read(number).Status == kSpotActive
                                 : isMusicTaken(m_library.music->read(number));
        return taken && number != m_number &&
               sizeOf(spots ? m_library.spots->wavePath(number)
                            : m_library.music->wavePath(number)) == size;
    });
}

ImportResult ImportTransfer::store(std::int64_t frames) {
    ImportResult result;
    result.lengthMs = framesToMs(frames);
    const bool wholeSource = m_state == State::Done;  // the hash covers the whole source
    const bool spots = m_destination.library == ImportDestination::Library::Spots;
    std::optional<int> holder;
    try {
        const RecordFileLock lock = spots ? m_library.spots->lock() : m_library.music->lock();
        if (wholeSource && m_destination.refuseDuplicates) {
            holder = duplicateHolder();
        }
        if (!holder) {
            if (spots) {
                storeSpot(result);
            } else {
                storeMusic(result);
            }
            m_state = State::Finished;
        }
        if (!holder && wholeSource) {
            AudioHashIndex(spots ? m_library.spots->file() : m_library.music->file())
                .record(m_shaper->hash(), m_number, sizeOf(wavePath(m_number)));
        }
    } catch (const std::exception& error) {
        if (m_state != State::Finished) {
            return refuse(std::string(error.what()) + "  " + m_plan.source.string() +
                          " was not imported.");
        }
        result.message = error.what();  // the entry stands; only its hash is missing
    }
    if (holder) {
        result = refuse("The sound of " + m_plan.source.string() +
                        " is already in the catalogue as number " + std::to_string(*holder) +
                        "; it was not imported again.");
        result.duplicateOf = *holder;
        return result;
    }
    if (spots) {
        m_library.log->setPending(recordLogStoredText(result.title, m_number));
    }
    result.stored = true;
    result.number = m_number;
    result.title = trimmed(result.title);
    return result;
}

void ImportTransfer::storeSpot(ImportResult& result) {
    SpotCatalogue& spots = *m_library.spots;
    const std::int64_t fadeMs = m_plan.fadeFrames > 0 ? framesToMs(m_shaper->fadeWritten()) : 0;
    std::filesystem::rename(m_partial, spots.wavePath(m_number));
    m_partial = spots.wavePath(m_number);  // removed again should the entry not be written
    SpotRecord record = spots.read(m_number);
    record.Status = kSpotActive;
    record.Name = newSpotName(m_number);
    record.StartDate = record.StopDate = record.RecordDate = spotDateText(m_library.clock.now());
    record.Talent = "Dub";
    record.Outcue.clear();
    record.RotationRef = "None";
    record.Length = std::to_string(result.lengthMs / 1000 + 1);
    record.EOM = importedSpotEom(result.lengthMs, fadeMs);
    if (record.SpotCat == '\0') {
        record.SpotCat = ' ';  // a slot never written: no category
    }
    spots.write(m_number, record);  // SpotCat stays as the slot held it
    m_reserved = false;
    m_partial.clear();
    result.title = record.Name;
    result.Length = record.Length;
    result.EOM = record.EOM;
}

void ImportTransfer::storeMusic(ImportResult& result) {
    MusicCatalogue& music = *m_library.music;
    // Nothing reserved a music number: another program may have taken it meanwhile.
    if (isMusicTaken(music.read(m_number))) {
        m_number = music.nextFreeNumber();
    }
    std::filesystem::rename(m_partial, wavePath(m_number));
    m_partial = wavePath(m_number);
    MusicRecord record = music.read(m_number);
    record.Status = kMusicActive;
    record.Title = m_destination.Title.empty() ? newMusicTitle(m_number) : m_destination.Title;
    record.Length = record.EOM = std::to_string(result.lengthMs / 1000 + 1);
    record.Recorded = recordedStamp(m_library.clock.now());
    record.Comp = kFillAllowed;
    record.Drive = m_destination.Drive;
    record.Number.clear();
    record.Cut.clear();
    record.Artist = m_destination.Artist;
    record.Album.clear();
    record.Category = m_destination.Category;
    // The fields the slot keeps; a slot never written holds blanks, not zero bytes.
    record.Intro = shownText(record.Intro);
    record.License = shownText(record.License);
    record.StyleTempo = shownText(record.StyleTempo);
    record.Class = record.Class == '\0' ? ' ' : record.Class;
    music.write(m_number, record);  // Intro, License, StyleTempo and Class stay as they were
    m_partial.clear();
    result.title = record.Title;
    result.Length = record.Length;
    result.EOM = record.EOM;
}

}  // namespace dvx
