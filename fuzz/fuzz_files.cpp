#include "fuzz_files.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace dvx::fuzz {
namespace {

struct OwnRoot {
    OwnRoot()
        : paths(std::filesystem::temp_directory_path() /
                ("dorvexia-fuzz-" + std::to_string(::getpid()))) {
        for (const auto& folder : {paths.programFolder(), paths.dataFolder(), paths.logsFolder(),
                                   paths.musicFolder(), paths.spotFolder()}) {
            std::filesystem::create_directories(folder);
        }
    }
    ~OwnRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(paths.dataRoot(), ignored);
    }
    Paths paths;
};

}  // namespace

const Paths& dataRoot() {
    static const OwnRoot root;
    return root.paths;
}

void putFile(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void putFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    putFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace dvx::fuzz
