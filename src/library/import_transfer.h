#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "common/clock.h"
#include "library/import_shaper.h"
#include "platform/sound_files.h"

namespace dvx {

class MusicCatalogue;
class RecordLog;
class SpotCatalogue;

// Where an import goes and what its entry carries beyond the defaults of a new entry.
struct ImportDestination {
    enum class Library { Spots, Music };
    Library library = Library::Spots;
    // Spots: a number chosen beforehand, 0 for the next free one. `numberReserved`: the
    // record-a-specific-file window reserved it (Status "2", SpotRecording::
    // takeSpecificFileNumber()); otherwise a chosen number must be free.
    int number = 0;
    bool numberReserved = false;
    // Music: the music files window's drive letter; the entry's title (empty: "(New Entry n)"),
    // artist and category letters.
    char Drive = 'C';
    std::string Title;
    std::string Artist;
    std::string Category;
    // Sound that an entry of the catalogue already holds is refused (the command line's rule).
    bool refuseDuplicates = false;
};

// The catalogues and files an import writes to. Spots need `spots` and `log`, music `music`.
struct ImportLibrary {
    SoundFiles& files;
    const Clock& clock;
    SpotCatalogue* spots = nullptr;
    RecordLog* log = nullptr;
    MusicCatalogue* music = nullptr;
};

// What an import left: an entry, or the reason there is none.
struct ImportResult {
    bool stored = false;
    int number = 0;
    std::string title;  // the stored `Name` or `Title`, trimmed
    std::int64_t lengthMs = 0;
    std::string Length;  // as stored
    std::string EOM;
    std::string message;  // why nothing was stored
    int duplicateOf = 0;  // the entry that holds the same sound, when that was why
};

// `EOM` of an imported spot: `Length` without a fade; with one, the middle of the fade written,
// (length in ms - fade in ms / 2, fraction dropped) / 1000 + 1 as a decimal number cut to five
// characters (15322 ms with a 3 s fade: "14.82").
std::string importedSpotEom(std::int64_t lengthMs, std::int64_t fadeMs);

// One import from its source into a numbered wave file and its catalogue entry.
//
// The source is opened before anything is reserved; a spot number is then reserved (Status "2")
// under the catalogue's lock, and the sound goes to a temporary file beside the wave files. The
// transfer runs in steps, each a bounded piece of work, so a window can run it in slices of its
// event loop or on a worker, and the command line can draw its progress. finish() measures the
// file written, gives it its number's name and writes the entry. A transfer that fails, is
// refused or is dropped unfinished leaves neither a reserved number nor a file.
//
// Threads: begin(), finish() and destruction on the main thread (they write the catalogue);
// step() on one thread at a time, the main thread or a worker, never during finish(); cancel()
// and progress() on any thread.
class ImportTransfer {
  public:
    static constexpr int kStepFrames = 44100;  // one second of sound per step

    struct Progress {
        std::int64_t framesRead = 0;
        std::int64_t framesTotal = 0;
        bool running = true;
        int percent() const;  // the Gauge: rounded, 0..100
    };

    // Nothing, with `failure` saying why, when the source cannot be read or no number can be
    // had; nothing is left reserved then.
    static std::unique_ptr<ImportTransfer> begin(const TransferPlan& plan,
                                                 const ImportDestination& destination,
                                                 const ImportLibrary& library,
                                                 std::string& failure);
    ~ImportTransfer();
    ImportTransfer(const ImportTransfer&) = delete;
    ImportTransfer& operator=(const ImportTransfer&) = delete;

    // The destination number (music: the one expected; finish() takes the next free one should
    // another program have taken it meanwhile).
    int number() const { return m_number; }

    // Transfers up to `frames` frames; never throws (a failure ends the transfer and finish()
    // reports it).
    Progress step(int frames = kStepFrames);
    Progress progress() const;
    // "Cancel": the next step ends the transfer. A spot keeps what was written so far as its
    // entry; music keeps nothing.
    void cancel() { m_cancelled.store(true); }

    // Once step() has stopped running (a running transfer is cancelled first).
    ImportResult finish();

  private:
    enum class State { Running, Done, Cancelled, Failed, Finished };

    ImportTransfer(const TransferPlan& plan, const ImportDestination& destination,
                   const ImportLibrary& library);
    void reserveSpot();
    void release() noexcept;  // the number and the temporary file
    ImportResult refuse(std::string message);
    std::optional<int> duplicateHolder();
    ImportResult store(std::int64_t frames);
    void storeSpot(ImportResult& result);
    void storeMusic(ImportResult& result);
    std::filesystem::path wavePath(int number) const;

    TransferPlan m_plan;
    ImportDestination m_destination;
    ImportLibrary m_library;
    int m_number = 0;
    bool m_reserved = false;  // a spot number with Status "2" that is ours to release
    std::filesystem::path m_partial;
    std::unique_ptr<SoundReader> m_reader;
    std::unique_ptr<SoundWriter> m_writer;
    std::unique_ptr<ImportShaper> m_shaper;
    std::vector<std::int16_t> m_buffer;
    State m_state = State::Running;
    std::string m_failure;
    std::atomic<bool> m_cancelled{false};
    std::atomic<std::int64_t> m_framesRead{0};
    std::atomic<bool> m_running{true};
};

}  // namespace dvx
