#include "library/spot_catalogue.h"

#include <cstdio>

#include "common/record_codec.h"
#include "library/catalogue_text.h"

namespace dvx {

Bytes encodeSpotRecord(const SpotRecord& record) {
    RecordWriter writer;
    writer.text(std::string(1, record.Status), 1)
        .text(record.Name, 25)
        .text(record.Talent, 3)
        .text(record.Outcue, 25)
        .text(record.Length, 5)
        .text(record.EOM, 5)
        .text(record.StartDate, 8)
        .text(record.StopDate, 8)
        .text(record.RecordDate, 8)
        .text(record.RotationRef, 4)
        .text(std::string(1, record.SpotCat), 1)
        .text("", 1);
    return writer.bytes();
}

SpotRecord decodeSpotRecord(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    SpotRecord record;
    record.Status = reader.text(1)[0];
    record.Name = reader.text(25);
    record.Talent = reader.text(3);
    record.Outcue = reader.text(25);
    record.Length = reader.text(5);
    record.EOM = reader.text(5);
    record.StartDate = reader.text(8);
    record.StopDate = reader.text(8);
    record.RecordDate = reader.text(8);
    record.RotationRef = reader.text(4);
    record.SpotCat = reader.text(1)[0];
    return record;
}

bool isSpotTaken(const SpotRecord& record) {
    return record.Status == kSpotActive || record.Status == kSpotReserved;
}

std::string newSpotName(int number) {
    return "(No Name " + zeroPadded(number, 3) + " ****)";
}

std::string spotListText(int number, const SpotRecord& record, SpotListView view) {
    char numberText[16];
    std::snprintf(numberText, sizeof numberText, "%3d", number);
    std::string name = shownText(record.Name);
    name.resize(25, ' ');
    return view == SpotListView::ByName ? name + "  " + numberText
                                        : std::string(numberText) + "  " + name;
}

SpotRecord SpotCatalogue::read(int number) const {
    return decodeSpotRecord(m_file.read(number));
}

void SpotCatalogue::write(int number, const SpotRecord& record) {
    m_file.write(number, encodeSpotRecord(record));
}

void SpotCatalogue::writeStatus(int number, char Status) {
    const std::uint8_t byte = static_cast<std::uint8_t>(Status);
    m_file.write(number, std::span<const std::uint8_t>(&byte, 1));
}

std::filesystem::path SpotCatalogue::wavePath(int number) const {
    return m_paths.resolve(std::string(Paths::kDriveLetter) + ":\\Dorvex\\Spotfile\\SF" +
                           zeroPadded(number, 4) + ".wav");
}

std::optional<int> SpotCatalogue::nextFreeNumber() const {
    const std::int64_t count = m_file.recordCount();
    int number = 1;
    while (number <= count && number <= kMaxSpotNumber && isSpotTaken(read(number))) {
        ++number;
    }
    if (number > kMaxSpotNumber) {
        return std::nullopt;
    }
    return number;
}

bool SpotCatalogue::isFreeNumber(int number) const {
    return number >= 1 && number <= kMaxSpotNumber && !isSpotTaken(read(number));
}

std::vector<SpotListLine> SpotCatalogue::activeList(SpotListView view) const {
    std::vector<SpotListLine> lines;
    const std::int64_t count = m_file.recordCount();
    for (int number = 1; number <= count; ++number) {
        const SpotRecord record = read(number);
        if (record.Status == kSpotActive) {
            lines.push_back({spotListText(number, record, view), number});
        }
    }
    return lines;
}

std::optional<std::string> SpotCatalogue::playProblem(int number) const {
    if (read(number).Status != kSpotActive) {
        return std::string(kNotActiveMessage);
    }
    std::error_code error;
    if (!std::filesystem::exists(wavePath(number), error)) {
        return std::string(kMissingSoundFileMessage);
    }
    return std::nullopt;
}

}  // namespace dvx
