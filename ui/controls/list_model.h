// The transparent list box's scrolling and item rows without its window.
#pragma once

namespace controls {

inline constexpr int kDefaultListItemHeight = 20;

// The top index after scrolling by lines (ScrollDown: +lines, ScrollUp:
// -lines), kept within 0..count-1 whatever the line count.
int ScrolledTopIndex(int top, long long lines, int count);

// The rows an item list shows: items top..last (inclusive) of count are
// visible in a client height; last is top-1 when none is.
struct VisibleRows {
    int first;
    int last;
};
VisibleRows RowsInView(int top, int count, int item_height, int client_height);

}  // namespace controls
