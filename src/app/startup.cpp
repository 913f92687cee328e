#include "app/startup.h"

#include <system_error>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "settings/parameters_file.h"

namespace dvx {
namespace {

void ensureFolder(const std::filesystem::path& folder) {
    std::error_code error;
    const auto status = std::filesystem::status(folder, error);
    if (error && error != std::errc::no_such_file_or_directory) {
        throw StartupError("Cannot reach the folder " + folder.string() + ": " + error.message());
    }
    if (std::filesystem::exists(status)) {
        if (!std::filesystem::is_directory(status)) {
            throw StartupError("Cannot use " + folder.string() +
                               " as a folder: a file of that name is in the way.");
        }
        return;
    }
    if (!std::filesystem::create_directory(folder, error) && error) {
        throw StartupError("Cannot create the folder " + folder.string() + ": " + error.message());
    }
}

}  // namespace

void ensureFolders(const Paths& paths) {
    std::error_code error;
    std::filesystem::create_directories(paths.dataRoot() / std::string(Paths::kDriveLetter), error);
    for (const auto& folder :
         {paths.resolve("c:\\Program Files"), paths.programFolder(), paths.dataFolder(),
          paths.logsFolder(), paths.musicFolder(), paths.spotFolder()}) {
        ensureFolder(folder);
    }
}

StartupResult runStartup(const Paths& paths, DiskSync* sync) {
    StartupResult result;
    try {
        ensureFolders(paths);

        ConnectionLoad connection = loadConnectionSettings(paths);
        if (connection.warning) {
            result.messages.push_back(*connection.warning);
        }

        std::optional<EmailAccount> account = readEmailAccount(paths);
        if (!account) {
            result.messages.emplace_back(kEmailAccountMissingMessage);
        }

        DataFiles files = DataFiles::open(paths, sync);
        std::string facility = trimBlanks(RecordReader(files.MessageFile.read(1)).text(64));

        Parameters parameters;
        StartupLoad load = loadParametersAtStartup(paths, parameters);
        if (load.warning) {
            result.messages.push_back(*load.warning);
        }
        result.caption = load.caption;
        result.firstStart = load.firstStart;
        result.station = std::make_unique<Station>(
            Station{paths, std::move(files), std::move(facility), std::move(connection.settings),
                    account.value_or(EmailAccount{}), parameters, load.devices});
    } catch (const StartupError&) {
        throw;
    } catch (const std::exception& error) {
        throw StartupError(error.what());
    }
    return result;
}

}  // namespace dvx
