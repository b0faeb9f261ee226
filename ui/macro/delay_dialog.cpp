#include "ui/macro/delay_dialog.h"

#include <algorithm>
#include <cstdio>

#include "ui/macro/macro_codec.h"

namespace macro {

std::uint32_t DelayMilliseconds(const DelayValue& v) {
    return static_cast<std::uint32_t>(std::max(v.minutes, 0)) * 60000u +
           static_cast<std::uint32_t>(std::max(v.seconds, 0)) * 1000u +
           static_cast<std::uint32_t>(std::max(v.hundredths, 0)) * 10u;
}

int SliderMaximum(Slider s) {
    switch (s) {
    case Slider::Minutes: return 10;
    case Slider::Seconds: return 59;
    case Slider::Hundredths: return 99;
    }
    return 0;
}

int SliderValue(Slider s, int position) {
    const int max = SliderMaximum(s);
    return max - std::clamp(position, 0, max);
}

int SliderPosition(Slider s, int value) {
    const int max = SliderMaximum(s);
    return max - std::clamp(value, 0, max);
}

bool SliderForControl(int controlId, Slider& s) {
    switch (controlId) {
    case kMinutesSliderId: s = Slider::Minutes; return true;
    case kSecondsSliderId: s = Slider::Seconds; return true;
    case kHundredthsSliderId: s = Slider::Hundredths; return true;
    }
    return false;
}

SliderPositions PositionsFor(const DelayValue& v) {
    return {SliderPosition(Slider::Minutes, v.minutes), SliderPosition(Slider::Seconds, v.seconds),
            SliderPosition(Slider::Hundredths, v.hundredths)};
}

namespace {
int& Part(DelayValue& v, Slider s) {
    switch (s) {
    case Slider::Minutes: return v.minutes;
    case Slider::Seconds: return v.seconds;
    case Slider::Hundredths: break;
    }
    return v.hundredths;
}
}  // namespace

SliderChange ChangeSlider(const DelayValue& current, Slider s, int position, int remainCount, int currentSize) {
    DelayValue next = current;
    const int value = SliderValue(s, position);
    const int old = Part(next, s);
    if (value == old) return {SliderChange::Unchanged, current, remainCount, SliderPosition(s, value)};

    const SliderChange refused{SliderChange::Refused, current, remainCount, SliderPosition(s, old)};
    Part(next, s) = value;
    if (DelayMilliseconds(next) == 0) return refused;
    const int size = currentSize >= 0 ? currentSize : DelaySize(DelayMilliseconds(current));
    const int increase = DelaySize(DelayMilliseconds(next)) - size;
    if (increase > 0 && remainCount - increase < 0) return refused;
    return {SliderChange::Accepted, next, remainCount - increase, SliderPosition(s, value)};
}

std::string MinutesText(const DelayValue& v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v.minutes);
    return buf;
}

std::string SecondsText(const DelayValue& v) {
    char hundredths[16];
    std::snprintf(hundredths, sizeof hundredths, "%02d", v.hundredths);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%s", v.seconds, hundredths);
    return buf;
}

void DelaySlide::Request(DelayDialogRequest r) {
    switch (r) {
    case DelayDialogRequest::Open: state_ = kOpening | kStopTimer; break;
    case DelayDialogRequest::Close: state_ = kClosing | kStopTimer; break;
    case DelayDialogRequest::Switch: state_ = kOpening | kClosing | kStopTimer; break;
    case DelayDialogRequest::None: break;
    }
}

DelaySlide::Step DelaySlide::Tick(int restTop, int height) {
    height = std::max(height, 0);
    shown_ = std::min(shown_, height);  // a dialog that got shorter
    if (pause_ >= 1) {
        pause_ -= kTickMs;
        return {Step::Wait, Top(restTop)};
    }
    if (state_ & kClosing) {
        if (shown_ < kStep) {
            state_ &= ~kClosing;
            shown_ = 0;
            pause_ = kPauseMs;
            return {Step::MoveHidden, restTop};
        }
        shown_ -= kStep;
        return {Step::MoveShown, Top(restTop)};
    }
    if (state_ & kOpening) {
        if (shown_ + kStep > height) {
            shown_ = height;
            state_ &= ~kOpening;
        } else {
            shown_ += kStep;
        }
        return {Step::MoveShown, Top(restTop)};
    }
    if (state_ & kStopTimer) {
        state_ &= ~kStopTimer;
        return {Step::KillTimer, Top(restTop)};
    }
    return {Step::Idle, Top(restTop)};
}

}  // namespace macro
