#include "fill/list_lines.h"

#include <algorithm>
#include <cctype>

namespace dvx {

void sortListLines(std::vector<ListLine>& lines) {
    std::stable_sort(lines.begin(), lines.end(), [](const ListLine& a, const ListLine& b) {
        return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(),
                                            b.text.end(), [](char x, char y) {
                                                return std::tolower(static_cast<unsigned char>(x)) <
                                                       std::tolower(static_cast<unsigned char>(y));
                                            });
    });
}

int findItemData(const std::vector<ListLine>& lines, int itemData) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].itemData == itemData) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace dvx
