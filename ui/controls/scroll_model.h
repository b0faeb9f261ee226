// Scrolling without windows: where a skinned scroll bar's thumb lies for a
// range, what a press or a drag on it asks for, and the horizontal offset
// of a list whose lines are wider than the list.
#pragma once

namespace controls {

// One direction of scrolling: total units of content (items or pixels),
// page of them in view, pos the first one in view.
struct ScrollRange {
    int total = 0;
    int page = 0;
    int pos = 0;
    bool operator==(const ScrollRange&) const = default;
};

// The last first-in-view position: total - page, at least 0.
int MaxScrollPos(int total, int page);
int ClampScrollPos(int pos, int total, int page);
inline bool CanScroll(const ScrollRange& r) { return MaxScrollPos(r.total, r.page) > 0; }

// The thumb in a track of track pixels: as long as the page is of the
// total (at least minLength, at most the track), placed by pos. Length 0:
// nothing to scroll, no thumb.
struct ThumbSpan {
    int start = 0;
    int length = 0;
    bool operator==(const ThumbSpan&) const = default;
};
ThumbSpan ThumbOf(int track, const ScrollRange& r, int minLength);

// The position a thumb dragged so that it starts at start stands for.
int PosForThumb(int start, int track, const ScrollRange& r, int minLength);

// What a press at pixel at of the track hits.
enum class TrackPart { None, Before, Thumb, After };
TrackPart PartAt(int at, int track, const ScrollRange& r, int minLength);

// One page towards the start (direction < 0) or the end, kept in range.
int PagedPos(const ScrollRange& r, int direction);

}  // namespace controls
