#include "ui/main/main_model.h"

#include <algorithm>
#include <cstring>

namespace mainwin {

unsigned char* Button(ProfileRecord& record, int profile, int button) {
    return record.data() + record::ButtonOffset(record.data(), profile, button);
}

const unsigned char* Button(const ProfileRecord& record, int profile, int button) {
    return record.data() + record::ButtonOffset(record.data(), profile, button);
}

int FunctionOf(const ProfileRecord& record, int profile, int button) {
    return static_cast<int>(record::FunIdOf(Button(record, profile, button)).Code());
}

AssignResult AssignFunction(ProfileRecord& record, int profile, int button, int code) {
    const int buttons = static_cast<int>(record::ButtonNum(record.data()));
    int clicks = 0;
    for (int b = 0; b < buttons; ++b) clicks += FunctionOf(record, profile, b) == kClick;
    const int current = FunctionOf(record, profile, button);
    if (current == kClick && clicks <= 1 && code != kClick) return AssignResult::Refused;
    if (code == current) return AssignResult::Unchanged;
    unsigned char* block = Button(record, profile, button);
    std::memset(block + record::kFunID, 0, record::kButtonSize - record::kFunID);
    record::SetFunId(block, record::FunId::OfCode(static_cast<unsigned>(code)));
    return AssignResult::Changed;
}

std::size_t AbandonSize(const ProfileRecord& record) {
    const std::size_t size = record::kProfiles + record::ProfileNum(record.data()) * record::BlockSize(record.data());
    return std::min(size, record::kSize);
}

unsigned ClickDecision::OnClick(int button, unsigned doubleClickTimeMs) {
    button_ = button;
    return std::min<unsigned>(doubleClickTimeMs, kClickTimerMaxMs);
}

unsigned ClickDecision::OnDoubleClick() {
    state_ = State::DoubleClickArrived;
    return 0;
}

ClickDecision::Action ClickDecision::OnTimer() {
    if (state_ == State::DoubleClickArrived) {
        state_ = State::DoubleClickHandled;
        return Action::OpenDetail;
    }
    return state_ == State::NoDoubleClick ? Action::ToggleMenu : Action::None;
}

MenuFade::Tick MenuFade::OnTick() {
    Tick tick;
    if (holdMs_ > 0) {
        holdMs_ -= static_cast<int>(kTickMs);
        return tick;
    }
    if (Has(flags_, FadeFlags::Out)) {
        if (step_ >= 0) {
            step_ = std::min(step_, 9);
            tick.setAlpha = true;
            tick.alpha = step_ * 255 / 10;
            --step_;
            if (step_ == 6) holdMs_ = 300;  // a pause at mid fade
        }
        if (step_ < 1) {
            tick.hide = true;
            flags_ = Without(flags_, FadeFlags::Out);
            holdMs_ = 300;
        }
    } else if (Has(flags_, FadeFlags::In)) {
        if (step_ > 10) {
            flags_ = Without(flags_, FadeFlags::In);
        } else {
            tick.show = true;
            tick.setAlpha = true;
            tick.alpha = step_ * 255 / 10;
            ++step_;
        }
    } else if (Has(flags_, FadeFlags::Finish)) {
        flags_ = Without(flags_, FadeFlags::Finish);
        tick.finish = true;
    }
    return tick;
}

int DpiChoiceFromFunExt(unsigned funExt) {
    if (funExt & 0x08) return 4;
    if (funExt & 0x04) return 5;
    return funExt ? static_cast<int>(funExt) : 1;
}

unsigned FunExtFromDpiChoice(int choice) {
    if (choice == 4) return 0x08;
    if (choice == 5) return 0x04;
    return static_cast<unsigned>(choice);
}

int ButtonNumberOfSlot(const ProfileRecord& record, int slot) {
    const int buttons = static_cast<int>(record::ButtonNum(record.data()));
    int k = 0;
    while (k < buttons && record::MapEntry(record.data(), k) != static_cast<std::uint32_t>(slot)) ++k;
    return k + 1;
}

int BusyCue::FrameAt(unsigned nowMs) {
    if (nowMs - start_ < kDelayMs) return -1;
    if (painted_ > 0 && nowMs - last_ < kFrameMs) return -1;
    last_ = nowMs;
    constexpr int kTurning = kLogoCycle - 22;
    return 22 + painted_++ % kTurning;
}

}  // namespace mainwin
