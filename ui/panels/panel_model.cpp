#include "ui/panels/panel_model.h"

#include <algorithm>

namespace panels {

namespace {

// Top-left thumb positions, level 0 to 9.
constexpr Point kTracks[kThumbCount][kTrackLevels] = {
    // pointer speed
    {{46, 117}, {51, 107}, {59, 96}, {67, 85}, {74, 77}, {82, 67}, {93, 58}, {102, 51}, {110, 45}, {124, 36}},
    // X rate
    {{103, 125}, {97, 145}, {97, 135}, {93, 155}, {91, 165}, {89, 175}, {87, 185}, {85, 206}, {85, 200}, {85, 195}},
    // Y rate
    {{112, 112}, {119, 104}, {120, 95}, {120, 95}, {120, 94}, {132, 79}, {135, 75}, {142, 67}, {150, 60}, {165, 50}},
};

int ClampLevel(int level) { return std::clamp(level, 0, kMaxLevel); }

}  // namespace

int WheelFrame(std::uint32_t lines) {
    if (lines == 0) return 0;
    return static_cast<int>(std::min<std::uint32_t>((lines - 1) / 2, kWheelFrames - 1));
}

int DoubleClickFrame(std::uint32_t ms) {
    const std::int64_t level = 9 - static_cast<std::int64_t>(ms / 100);
    return static_cast<int>(std::clamp<std::int64_t>(level, 0, kDoubleClickFrames - 1));
}

std::uint32_t WheelLinesAfter(std::uint32_t lines, Step step) {
    const std::int64_t from = lines == kWheelPageScroll ? kWheelMaxLines : lines;
    const std::int64_t to = from + static_cast<int>(step) * static_cast<std::int64_t>(kWheelStepLines);
    // Only the end the step moves towards binds: a count above 20 made
    // elsewhere steps down by 2 and becomes 20 when stepped up.
    if (step == Step::Up) return static_cast<std::uint32_t>(std::min<std::int64_t>(to, kWheelMaxLines));
    return static_cast<std::uint32_t>(std::max<std::int64_t>(to, kWheelMinLines));
}

std::uint32_t DoubleClickTimeAfter(std::uint32_t ms, Step step) {
    const std::int64_t to = static_cast<std::int64_t>(ms) + static_cast<int>(step) * std::int64_t{kDoubleClickStepMs};
    if (step == Step::Up) return static_cast<std::uint32_t>(std::min<std::int64_t>(to, kDoubleClickMaxMs));
    return static_cast<std::uint32_t>(std::max<std::int64_t>(to, kDoubleClickMinMs));
}

std::uint32_t StepWheelLines(DesktopSettings& settings, Step step) {
    settings.SetWheelScrollLines(WheelLinesAfter(settings.WheelScrollLines(), step));
    return settings.WheelScrollLines();
}

std::uint32_t StepDoubleClickTime(DesktopSettings& settings, Step step) {
    settings.SetDoubleClickTime(DoubleClickTimeAfter(settings.DoubleClickTime(), step));
    return settings.DoubleClickTime();
}

int SensitiveRateAfter(int rate, Step step) {
    return std::clamp(rate + static_cast<int>(step), kSensitiveMin, kSensitiveMax);
}

Point TrackPosition(Thumb thumb, int level) { return kTracks[static_cast<int>(thumb)][ClampLevel(level)]; }

int LevelFromY(Thumb thumb, int y) {
    const Point* track = kTracks[static_cast<int>(thumb)];
    if (thumb == Thumb::XRate) {
        for (int k = kMaxLevel; k >= 1; --k)
            if (track[k].y <= y) return k;
        return 0;
    }
    for (int level = 0; level < kMaxLevel; ++level)
        if (track[level].y <= y) return level;
    return kMaxLevel;
}

int PointerSpeedLevel(int speed) { return ClampLevel(speed < 1 ? 0 : (speed - 1) / 2); }

int SpeedForLevel(int level) { return 2 * ClampLevel(level) + 2; }

void ThumbDrag::SetLevel(Thumb thumb, int level, bool withPrevious) {
    levels_[Index(thumb)] = ClampLevel(level);
    if (withPrevious) previous_[Index(thumb)] = levels_[Index(thumb)];
}

void ThumbDrag::Press(Thumb thumb) {
    dragged_ = thumb;
    pressedLevel_ = Level(thumb);
}

std::optional<int> ThumbDrag::Move(int clientY) {
    if (!dragged_) return std::nullopt;
    const int i = Index(*dragged_);
    const int level = LevelFromY(*dragged_, clientY);
    if (level == levels_[i]) return std::nullopt;
    previous_[i] = levels_[i];
    levels_[i] = level;
    return level;
}

std::optional<ThumbDrag::Drop> ThumbDrag::Release() {
    if (!dragged_) return std::nullopt;
    const Thumb thumb = *dragged_;
    dragged_.reset();
    return Drop{thumb, Level(thumb), Level(thumb) != pressedLevel_};
}

std::optional<Point> ThumbDrag::StaleImageAt() const {
    if (!dragged_ || Previous(*dragged_) < 0) return std::nullopt;
    return TrackPosition(*dragged_, Previous(*dragged_));
}

bool DropPointerSpeed(DesktopSettings& settings, const ThumbDrag::Drop& drop) {
    if (drop.thumb != Thumb::PointerSpeed || !drop.changed) return false;
    settings.SetMouseSpeed(SpeedForLevel(drop.level));
    return true;
}

SlideStep Slide::Tick() {
    SlideStep step;
    if (pending_) return step;  // the last frame is not on the screen yet
    if (state_ & kClosing) {
        step.frame = frame_;
        if (frame_ < 1) {
            // A hidden window is never painted: frame 0 is taken as shown at
            // once, or the timer would wait for it for ever.
            state_ &= ~kClosing;
            step.closed = true;
        } else {
            pending_ = true;
            step.stowControls = true;
            --frame_;
        }
        return step;
    }
    if (state_ & kOpening) {
        step.frame = frame_;
        step.showPanel = true;
        pending_ = true;
        if (frame_ >= last_) {
            frame_ = last_;
            state_ &= ~kOpening;
            step.opened = true;
        } else {
            ++frame_;
        }
        return step;
    }
    if (state_ & kStopTimer) {
        state_ &= ~kStopTimer;
        step.stopTimer = true;
    }
    return step;
}

}  // namespace panels
