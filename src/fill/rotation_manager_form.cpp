#include "fill/rotation_manager_form.h"

#include <filesystem>
#include <system_error>

#include "common/record_codec.h"
#include "common/time_text.h"
#include "fill/rotation_editing.h"
#include "library/catalogue_text.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kLastNameRecord = kLastRotation - kRotationBase;

}  // namespace

RotationManagerForm::RotationManagerForm(Files files, Clock& clock, ErrorReporter& errors)
    : m_names(files.RFNames),
      m_spots(files.Spotfile, files.paths),
      m_paths(files.paths),
      m_clock(clock),
      m_errors(errors) {
    refresh();
}

RotationManagerForm::~RotationManagerForm() = default;

template <typename Command>
void RotationManagerForm::run(Command&& command) {
    reportingFailures(m_errors, command);
}

void RotationManagerForm::setNameOrder(ListOrder order) {
    m_nameOrder = order;
    run([&] { m_nameLines = rotationNameLines(m_names, m_nameOrder); });
}

void RotationManagerForm::setSpotOrder(ListOrder order) {
    m_spotOrder = order;
    run([&] { m_spotLines = rotationSpotLines(m_spots, m_spotOrder); });
}

void RotationManagerForm::refresh() {
    run([&] {
        m_nameLines = rotationNameLines(m_names, m_nameOrder);
        m_spotLines = rotationSpotLines(m_spots, m_spotOrder);
        listEntries();
    });
}

// `LoadRotationFile`; the chosen entry stays chosen while its record holds a live entry.
void RotationManagerForm::listEntries() {
    m_entryLines.clear();
    m_todayNote.clear();
    if (m_file && m_current) {
        RotationEntryLines lines =
            rotationEntryLines(*m_file, m_names.read(*m_current), m_spots, m_clock.now());
        m_entryLines = std::move(lines.lines);
        m_todayNote = std::move(lines.today);
    }
    if (m_entry && findItemData(m_entryLines, *m_entry) < 0) {
        m_entry.reset();
    }
    m_entryDays = {};
    if (m_file && m_entry) {
        const RotationEntry entry = m_file->read(*m_entry);
        for (std::size_t day = 0; day < m_entryDays.size(); ++day) {
            m_entryDays[day] = entry.Days[day] == 1;
        }
    }
}

// The rotation is current even when its entry file cannot be opened: it can still be deleted.
void RotationManagerForm::open(int record) {
    close();
    m_current = record;
    m_file =
        std::make_unique<RotationEntryFile>(m_paths, kRotationBase + record, m_names.diskSync());
}

void RotationManagerForm::close() {
    m_file.reset();
    m_current.reset();
    m_entry.reset();
    m_entryLines.clear();
    m_todayNote.clear();
    m_entryDays = {};
}

std::optional<RotationManagerForm::Shown> RotationManagerForm::nameChosen(int record) {
    std::optional<Shown> shown;
    run([&] {
        m_newRecord.reset();
        close();
        const RotationName name = m_names.read(record);
        m_label = trimBlanks(name.Name) + "  " + std::to_string(kRotationBase + record);
        shown = Shown{trimBlanks(name.Name), trimBlanks(FormatSeconds(name.Length)),
                      name.CheckDates == 1, name.CheckDays == 1};
        open(record);
        listEntries();
    });
    return shown;
}

bool RotationManagerForm::newRotation() {
    bool offered = false;
    run([&] {
        const int record = m_names.firstFreeRecord();
        if (record > kLastNameRecord) {
            m_errors.showError(kAllInUseMessage);
            return;
        }
        close();
        m_newRecord = record;
        m_label = std::to_string(kRotationBase + record);
        offered = true;
    });
    return offered;
}

bool RotationManagerForm::apply(std::string_view name, std::string_view length, bool checkDates,
                                bool checkDays) {
    const std::optional<int> record = m_newRecord ? m_newRecord : m_current;
    if (!record) {
        return false;
    }
    const std::optional<std::int32_t> seconds =
        trimBlanks(length).empty() ? 0 : parseClockSeconds(length);
    if (!seconds) {
        m_errors.showError(kLengthMessage);
        return false;
    }
    bool written = false;
    run([&] {
        if (m_newRecord) {
            // A rotation begins with no entries, whatever an older run left in its file.
            close();
            std::filesystem::remove(RotationPath(m_paths, kRotationBase + *record));
        }
        m_names.write(*record, RotationName{1, *seconds, std::string(name.substr(0, 25)),
                                            static_cast<std::int16_t>(checkDates ? 1 : 0),
                                            static_cast<std::int16_t>(checkDays ? 1 : 0)});
        written = true;
        m_newRecord.reset();
        m_nameLines = rotationNameLines(m_names, m_nameOrder);
        m_label = trimBlanks(name.substr(0, 25)) + "  " + std::to_string(kRotationBase + *record);
        if (m_current != record) {
            open(*record);
        }
        listEntries();
    });
    return written;
}

void RotationManagerForm::deleteRotation() {
    if (!m_current) {
        m_errors.showError(kNoneSelectedMessage);
        return;
    }
    const int record = *m_current;
    run([&] {
        // The entry file goes first: a name freed while its entries stay would hand them on to
        // the next rotation made under its number.
        std::error_code failure;
        std::filesystem::remove(RotationPath(m_paths, kRotationBase + record), failure);
        if (failure) {
            m_errors.showError(std::to_string(failure.value()) + " " + failure.message());
            return;
        }
        RotationName name = m_names.read(record);
        name.InUse = 0;
        m_names.write(record, name);
        close();
        m_label.clear();
        m_nameLines = rotationNameLines(m_names, m_nameOrder);
    });
}

void RotationManagerForm::entryChosen(int record) {
    if (m_file && findItemData(m_entryLines, record) >= 0) {
        m_entry = record;
        run([&] { listEntries(); });
    }
}

template <typename Edit>
void RotationManagerForm::editChosen(Edit&& edit) {
    if (m_file && m_entry) {
        run([&] {
            edit(*m_file, *m_entry);
            listEntries();
        });
    }
}

void RotationManagerForm::dayTicked(int day, bool ticked) {
    editChosen([&](RotationEntryFile& file, int record) {
        setRotationEntryDay(file, record, day, ticked);
    });
}

bool RotationManagerForm::refusedSpot(int spot) {
    if (spot >= 1 && spot <= kLastSingleSpot) {
        return false;
    }
    m_errors.showError("Spot " + std::to_string(spot) +
                       " cannot go into a rotation: the fill plays rotation spots 1 to " +
                       std::to_string(kLastSingleSpot) + " only.");
    return true;
}

void RotationManagerForm::addSpot(int spot) {
    if (m_file && spot != 0 && !refusedSpot(spot)) {
        run([&] {
            addRotationEntry(*m_file, spot, false);
            listEntries();
        });
    }
}

void RotationManagerForm::insertSpot(int spot) {
    if (m_entry && spot != 0 && !refusedSpot(spot)) {
        editChosen(
            [&](RotationEntryFile& file, int record) { insertRotationEntry(file, record, spot); });
    }
}

void RotationManagerForm::replaceWithSpot(int spot) {
    if (m_entry && spot != 0 && !refusedSpot(spot)) {
        editChosen([&](RotationEntryFile& file, int record) {
            replaceRotationSpot(file, record, spot, true);
        });
    }
}

void RotationManagerForm::spotDoubleClicked(int spot) {
    if (!m_file || spot == 0 || refusedSpot(spot)) {
        return;
    }
    run([&] {
        rewriteRecord(m_spots, spot, [&](SpotRecord& record) {
            record.RotationRef = std::to_string(kRotationBase + *m_current);
        });
        addRotationEntry(*m_file, spot, true);
        listEntries();
    });
}

void RotationManagerForm::copyEntry() {
    editChosen(
        [&](RotationEntryFile& file, int record) { m_clipboard = file.read(record).SpotNumber; });
}

void RotationManagerForm::cutEntry() {
    editChosen([&](RotationEntryFile& file, int record) {
        m_clipboard = file.read(record).SpotNumber;
        removeRotationEntry(file, record);
    });
}

void RotationManagerForm::deleteEntry() {
    editChosen(removeRotationEntry);
}

void RotationManagerForm::insertClipboard() {
    if (m_clipboard != 0) {
        insertSpot(m_clipboard);
    }
}

void RotationManagerForm::replaceWithClipboard() {
    if (m_entry && m_clipboard != 0 && !refusedSpot(m_clipboard)) {
        editChosen([&](RotationEntryFile& file, int record) {
            replaceRotationSpot(file, record, m_clipboard, false);
        });
    }
}

void RotationManagerForm::resetPlays() {
    if (m_file) {
        run([&] {
            resetRotationPlays(*m_file);
            listEntries();
        });
    }
}

}  // namespace dvx
