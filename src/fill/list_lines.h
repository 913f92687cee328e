#pragma once

#include <string>
#include <vector>

namespace dvx {

// One line of a list box and its item data (a record number).
struct ListLine {
    std::string text;
    int itemData = 0;
    bool operator==(const ListLine&) const = default;
};

// Orders lines as a sorted list box keeps them: by text without regard to case, lines that
// compare equal staying in the order they were added.
void sortListLines(std::vector<ListLine>& lines);

// The position of the line carrying `itemData`, or -1.
int findItemData(const std::vector<ListLine>& lines, int itemData);

}  // namespace dvx
