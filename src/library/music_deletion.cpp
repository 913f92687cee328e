#include "library/music_deletion.h"

#include <system_error>

#include "common/record_codec.h"
#include "library/catalogue_text.h"
#include "library/music_catalogue.h"
#include "viewers/error_reporter.h"

namespace dvx {

std::optional<std::string> musicDeleteQuestion(const MusicCatalogue& catalogue, int number,
                                               ErrorReporter& errors) {
    try {
        return "Delete " + trimTrailingBlanks(shownText(catalogue.read(number).Title));
    } catch (const std::exception& error) {
        errors.showError(error.what());
        return std::nullopt;
    }
}

bool deleteMusicEntry(MusicCatalogue& catalogue, int number, const std::filesystem::path& file,
                      ErrorReporter& errors) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        errors.showError("Music file " + std::to_string(number) +
                         " was not deleted: its wave file " + file.string() +
                         " could not be deleted (" + error.message() + "). Nothing was changed.");
        return false;
    }
    try {
        catalogue.writeStatus(number, kMusicDeleted);
    } catch (const std::exception& failure) {
        errors.showError("The wave file of music file " + std::to_string(number) +
                         " is deleted, but its entry could not be freed: " + failure.what() +
                         ". Delete it again to finish.");
        return false;
    }
    return true;
}

}  // namespace dvx
