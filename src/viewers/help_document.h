#pragma once

#include <string>

#include "common/paths.h"

namespace dvx {

// The operator's guide written to the program folder's Help.html when that file is missing:
// what the program does, arming, the alarm, the menus and where this installation keeps its
// data. HTML in UTF-8, as the help window's rich-text box reads it.
std::string defaultHelpHtml(const Paths& paths);

}  // namespace dvx
