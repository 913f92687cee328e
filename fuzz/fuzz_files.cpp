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

std::filesystem::path putFile(std::string_view windowsPath, std::string_view bytes) {
    const std::filesystem::path path = dataRoot().resolve(windowsPath);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return path;
}

std::filesystem::path putFile(std::string_view windowsPath, std::span<const std::uint8_t> bytes) {
    return putFile(windowsPath,
                   std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace dvx::fuzz
