#include "ui/controls/list_model.h"

#include <algorithm>

namespace controls {

int ScrolledTopIndex(int top, long long lines, int count) {
    if (count <= 0) return 0;
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(top) + lines, 0, count - 1));
}

VisibleRows RowsInView(int top, int count, int item_height, int client_height) {
    const int first = std::max(top, 0);
    if (item_height <= 0 || client_height <= 0 || first >= count) return {first, first - 1};
    // A row that is only partly inside the client area is still drawn.
    const long long rows = (static_cast<long long>(client_height) + item_height - 1) / item_height;
    return {first, static_cast<int>(std::min<long long>(count - 1, first + rows - 1))};
}

}  // namespace controls
