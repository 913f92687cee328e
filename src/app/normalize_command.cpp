// `dorvexia normalize`: a spot's wave file scaled to a share of full scale, as the normalize
// window does.

#include <ostream>

#include "app/command_verbs.h"
#include "common/paths.h"
#include "library/normalize.h"
#include "library/spot_catalogue.h"

namespace dvx {

std::string normalizeHelp() {
    return "Usage: dorvexia [--data-root DIR] normalize --spot N --percent P\n"
           "\n"
           "Scales the wave file of spot N so that its loudest sample reaches P % (1..100) of\n"
           "full scale; the normalize window's slider at 9191 is 56 %. The file is replaced only\n"
           "once the new one is whole. May run while the monitor runs on the same data root.\n";
}

namespace verbs {

int normalizeVerb(const VerbArguments& arguments, SoundFiles& files, VerbIo io) {
    std::optional<int> number;
    std::optional<int> percent;
    const std::vector<std::string>& options = arguments.options;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string value = i + 1 < options.size() ? options[i + 1] : std::string();
        if (options[i] == "--help" || options[i] == "-h") {
            io.out << normalizeHelp();
            return 0;
        } else if (options[i] == "--spot" && (number = wholeNumber(value, 1, kMaxSpotNumber))) {
            ++i;
        } else if (options[i] == "--percent" && (percent = wholeNumber(value, 0, 1000))) {
            ++i;
        } else {
            io.err << "dorvexia normalize: cannot use " << options[i] << "\n\n" << normalizeHelp();
            return 2;
        }
    }
    if (!number || !percent) {
        io.err << "dorvexia normalize: needs --spot N and --percent P\n\n" << normalizeHelp();
        return 2;
    }
    try {
        const Paths paths(preparedDataRoot(arguments.dataRoot));
        RecordFile catalogueFile(paths.spotFolder() / "Spotfile.dat", kSpotRecordLength);
        const SpotCatalogue spots(catalogueFile, paths);
        if (const auto problem = spots.playProblem(*number)) {
            io.err << "spot " << *number << ": not normalised: " << *problem << "\n";
            return 1;
        }
        const NormalizeOutcome outcome = NormalizeFile(files, spots.wavePath(*number), *percent);
        if (!outcome.done) {
            io.err << "spot " << *number << ": not normalised: " << outcome.message << "\n";
            return 1;
        }
        io.out << "spot " << *number << ": peak " << outcome.peakBefore << " -> "
               << outcome.peakAfter << " (" << *percent << " % of full scale)\n";
        return 0;
    } catch (const std::exception& error) {
        io.err << "dorvexia normalize: " << error.what() << "\n";
        return 1;
    }
}

}  // namespace verbs
}  // namespace dvx
