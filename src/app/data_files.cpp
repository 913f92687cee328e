#include "app/data_files.h"

#include <string>

namespace dvx {

DataFiles DataFiles::open(const Paths& paths, DiskSync* sync) {
    auto openAt = [&](std::size_t index) {
        const DataFileLayout& layout = kDataFileLayouts[index];
        const std::string path =
            std::string(Paths::kDriveLetter) + ":" + std::string(layout.pathOnDrive);
        return RecordFile(paths.resolve(path), layout.recordLength, sync);
    };
    // Members are initialised in declaration order, which is the start-up order.
    return DataFiles{openAt(0), openAt(1), openAt(2), openAt(3), openAt(4),
                     openAt(5), openAt(6), openAt(7), openAt(8), openAt(9)};
}

}  // namespace dvx
