// Music.hash, the hashes of the imported sound, as the import looks a hash up and records one.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "library/audio_hash.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    fuzz::putFile("c:\\Dorvex\\Music\\Music.hash", {data, size});
    AudioHashIndex index(fuzz::dataRoot().musicFolder() / "Music.dat");
    const auto holdsAny = [](int, std::uintmax_t) { return true; };
    index.holder("0123456789abcdef0123456789abcdef", holdsAny);
    index.record("0123456789abcdef0123456789abcdef", 7, 1024);
    return 0;
}
