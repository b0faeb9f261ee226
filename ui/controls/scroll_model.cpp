#include "ui/controls/scroll_model.h"

#include <algorithm>

namespace controls {

int MaxScrollPos(int total, int page) { return std::max(0, total - std::max(page, 0)); }

int ClampScrollPos(int pos, int total, int page) { return std::clamp(pos, 0, MaxScrollPos(total, page)); }

ThumbSpan ThumbOf(int track, const ScrollRange& r, int minLength) {
    const int max = MaxScrollPos(r.total, r.page);
    if (track <= 0 || max <= 0) return {};
    const long long proportional = static_cast<long long>(track) * std::max(r.page, 0) / r.total;
    const int length = static_cast<int>(std::clamp<long long>(proportional, std::min(minLength, track), track));
    const int travel = track - length;
    const int pos = ClampScrollPos(r.pos, r.total, r.page);
    const int start = static_cast<int>((static_cast<long long>(travel) * pos + max / 2) / max);
    return {start, length};
}

int PosForThumb(int start, int track, const ScrollRange& r, int minLength) {
    const ThumbSpan thumb = ThumbOf(track, r, minLength);
    const int travel = track - thumb.length;
    if (thumb.length == 0 || travel <= 0) return ClampScrollPos(r.pos, r.total, r.page);
    const int max = MaxScrollPos(r.total, r.page);
    const int at = std::clamp(start, 0, travel);
    return static_cast<int>((static_cast<long long>(at) * max + travel / 2) / travel);
}

TrackPart PartAt(int at, int track, const ScrollRange& r, int minLength) {
    const ThumbSpan thumb = ThumbOf(track, r, minLength);
    if (thumb.length == 0 || at < 0 || at >= track) return TrackPart::None;
    if (at < thumb.start) return TrackPart::Before;
    if (at < thumb.start + thumb.length) return TrackPart::Thumb;
    return TrackPart::After;
}

int PagedPos(const ScrollRange& r, int direction) {
    const int step = std::max(r.page, 1);
    return ClampScrollPos(r.pos + (direction < 0 ? -step : step), r.total, r.page);
}

}  // namespace controls
