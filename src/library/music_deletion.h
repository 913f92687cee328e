#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dvx {

class ErrorReporter;
class MusicCatalogue;

// frmDialog2's question before music entry `number` is deleted: "Delete " + its `Title`
// without blanks at the end. Nothing, with the reason in `errors`, when it cannot be read.
std::optional<std::string> musicDeleteQuestion(const MusicCatalogue& catalogue, int number,
                                               ErrorReporter& errors);

// frmDialog2's DELETE: the entry's wave file `file` (as the music files window prepared it)
// is deleted when it exists, then the entry's `Status` becomes "0". Only that byte is written,
// so whatever reached the record since the window read it (the fill's stamp, another window's
// edit) stays. A file that cannot be deleted leaves the entry as it was. Returns whether the
// entry is deleted; a failure is shown in `errors`. Main thread only.
bool deleteMusicEntry(MusicCatalogue& catalogue, int number, const std::filesystem::path& file,
                      ErrorReporter& errors);

}  // namespace dvx
