// The main window's rules that need no window: the single/double-click
// decision on a button label, the function menu's fade sequence, assigning
// a function to a button with the last-left-click refusal, and the
// parameters of the DPI and profile detail dialogs.
#pragma once

#include <cstddef>

#include "profile_store/record/profile_record.h"

namespace mainwin {

// Function codes: the low 5 bits of a button's FunID.
enum FunctionCode {
    kButtonOff = 0,
    kClick = 1,
    kSwitchDpi = 7,
    kSelectProfile = 8,
    kMacro = 9,
    kSingle = 10,
    kDynamicSensitive = 11,
};
inline constexpr int kClickTimerMaxMs = 500;

// The button block of button b of profile p.
unsigned char* Button(ProfileRecord& record, int profile, int button);
const unsigned char* Button(const ProfileRecord& record, int profile, int button);
int FunctionOf(const ProfileRecord& record, int profile, int button);

enum class AssignResult {
    Refused,    // the profile's last left click: nothing changed
    Changed,    // the block was reset and given the new code
    Unchanged,  // the button already had the code: parameter and key slots kept
};
// Gives function code to the button of the profile. A button that is the
// profile's only "CLICK" keeps it.
AssignResult AssignFunction(ProfileRecord& record, int profile, int button, int code);

// Abandon copies back the device section, the software section and every
// profile block: 280 + ProfileNum × (8 + ButtonNum × 35) bytes.
std::size_t AbandonSize(const ProfileRecord& record);

// The single/double-click decision. A label reports a click on every
// release and a double click on the second press, so a double click arrives
// as click, double click, click. The window runs one timer; each event says
// the timer's new period.
class ClickDecision {
public:
    enum class Action { None, ToggleMenu, OpenDetail };
    // Period of the restarted timer: min(double-click time, 500) ms.
    unsigned OnClick(int button, unsigned doubleClickTimeMs);
    // Period of the restarted timer: 0, to decide at once.
    unsigned OnDoubleClick();
    // The timer fired (and was killed): what to do for ClickButton(). Call
    // Finished() after doing it; a timer that fires while a detail dialog
    // opened here is still running does nothing.
    Action OnTimer();
    enum class State { NoDoubleClick = 0, DoubleClickArrived = 1, DoubleClickHandled = 2 };
    void Finished() { state_ = State::NoDoubleClick; }
    int ClickButton() const { return button_; }
    State CurrentState() const { return state_; }

private:
    State state_ = State::NoDoubleClick;
    int button_ = 0;
};

// What the menu's fade still has to do, in this order of precedence: fade
// out, fade in, finish.
enum class FadeFlags : int { None = 0, In = 1, Out = 2, Finish = 4 };
constexpr FadeFlags operator|(FadeFlags a, FadeFlags b) { return FadeFlags(int(a) | int(b)); }
constexpr bool Has(FadeFlags set, FadeFlags flag) { return (int(set) & int(flag)) != 0; }
constexpr FadeFlags Without(FadeFlags set, FadeFlags flag) { return FadeFlags(int(set) & ~int(flag)); }

// The function menu's fade, ticked every 30 ms, with a hold counter that
// pauses it.
class MenuFade {
public:
    static constexpr FadeFlags kFadeIn = FadeFlags::In | FadeFlags::Finish;
    static constexpr FadeFlags kFadeOut = FadeFlags::Out | FadeFlags::Finish;
    static constexpr FadeFlags kFadeOutThenIn = FadeFlags::Out | FadeFlags::In | FadeFlags::Finish;
    static constexpr unsigned kTickMs = 30;

    struct Tick {
        bool setAlpha = false;
        int alpha = 0;
        bool show = false;
        bool hide = false;
        bool finish = false;  // stop the timer; colour-key transparency instead of alpha
    };

    void Request(FadeFlags flags) { flags_ = flags; }
    void RequestFromStart(FadeFlags flags) {
        flags_ = flags;
        step_ = 0;
    }
    Tick OnTick();
    FadeFlags Flags() const { return flags_; }
    int Step() const { return step_; }
    int Hold() const { return holdMs_; }

private:
    FadeFlags flags_ = FadeFlags::None;
    int step_ = 0;
    int holdMs_ = 0;
};

// The logo shows frame 0 for the first 22 ticks of its 66-tick cycle, then
// frames 22 to 65.
inline constexpr int kLogoCycle = 66;
inline int LogoFrame(int tick) { return tick % kLogoCycle < 22 ? 0 : tick % kLogoCycle; }

// The cue of long device work, painted between its waits: work shorter than
// kDelayMs shows nothing; after that the logo spins, a new frame every
// kFrameMs, through its turning frames (22 to 65).
class BusyCue {
public:
    static constexpr unsigned kDelayMs = 300;
    static constexpr unsigned kFrameMs = 60;
    explicit BusyCue(unsigned startMs) : start_(startMs) {}
    // The frame to paint at nowMs (a millisecond clock that may wrap), or -1
    // when it is too early or the last frame painted is still current.
    int FrameAt(unsigned nowMs);
    bool Shown() const { return painted_ > 0; }

private:
    unsigned start_;
    unsigned last_ = 0;
    int painted_ = 0;
};

// DPI dialog: the option preselected for a FunExt (0..5: 400, 800, 1600,
// 2000, up, down) and the FunExt an option stores.
int DpiChoiceFromFunExt(unsigned funExt);
unsigned FunExtFromDpiChoice(int choice);
// The number shown for the selected button: 1 + the first file position
// whose ButtonMap entry names the slot (ButtonNum + 1 when none does).
int ButtonNumberOfSlot(const ProfileRecord& record, int slot);

}  // namespace mainwin
