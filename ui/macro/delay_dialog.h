// The delay dialog's rules without its window: the three sliders that edit
// one delay event of the key buffer, and the slide-out animation beneath the
// macro editor.
#pragma once

#include <cstdint>
#include <string>

namespace macro {

// A delay as the dialog edits it.
struct DelayValue {
    int minutes = 0;
    int seconds = 0;     // 0..59
    int hundredths = 0;  // 0..99
    bool operator==(const DelayValue&) const = default;
};

std::uint32_t DelayMilliseconds(const DelayValue& v);

// The vertical sliders run from position 0 at the top to their maximum at
// the bottom; the value shown is maximum - position.
enum class Slider { Minutes, Seconds, Hundredths };
inline constexpr int kMinutesSliderId = 1183;
inline constexpr int kSecondsSliderId = 1065;
inline constexpr int kHundredthsSliderId = 1066;

int SliderMaximum(Slider s);                 // 10, 59, 99
int SliderValue(Slider s, int position);     // position clamped to the range
int SliderPosition(Slider s, int value);     // value clamped to the range
bool SliderForControl(int controlId, Slider& s);

struct SliderPositions {
    int minutes, seconds, hundredths;
    bool operator==(const SliderPositions&) const = default;
};
// Where the sliders stand for a delay (more than 10 minutes shows 10).
SliderPositions PositionsFor(const DelayValue& v);

// One slider move applied to the selected delay.
struct SliderChange {
    enum Outcome { Unchanged, Refused, Accepted } outcome;
    DelayValue value;  // the delay after the move (the old one unless accepted)
    int remainCount;   // RemainCount after the move
    int position;      // where the slider must stand (put back when refused)
};

// A move to the value the slider already has changes nothing. A move that
// would make the delay 0 is refused, and so is one that costs more bytes than
// are left (RemainCount - increase < 0); a move that gives bytes back is
// always taken.
// currentSize: what the current delay costs in the key slots when that is
// not DelaySize of its value (a stored encoding); -1 for DelaySize.
SliderChange ChangeSlider(const DelayValue& current, Slider s, int position, int remainCount, int currentSize = -1);

std::string MinutesText(const DelayValue& v);   // "%02d"
std::string SecondsText(const DelayValue& v);   // "%02d.%02d"

// Requests the macro editor makes of the dialog (PopupState 5, 6 and 7).
enum class DelayDialogRequest { None, Open, Close, Switch };

// The slide animation, one step per 30 ms timer tick. Opening moves the
// dialog down by its own height in steps of 15 pixels, closing moves it back
// up and hides it, and a switch closes, pauses 300 ms and opens again.
// Every place is the rest top (where the closed dialog sits, beneath the
// editor) plus how far it has slid out, never the window's current top: a
// request that arrives in mid-movement (an open while it still closes)
// carries on from where the dialog is and ends at its proper place.
class DelaySlide {
public:
    static constexpr unsigned kOpening = 1, kClosing = 2, kStopTimer = 4;
    static constexpr int kStep = 15;
    static constexpr int kTickMs = 30;
    static constexpr int kPauseMs = 300;
    static constexpr unsigned kTimerId = 263;

    // Sets PopupState for a request. The window then refreshes, moves the
    // dialog to Top(rest top), shows it and starts the timer.
    void Request(DelayDialogRequest r);

    struct Step {
        enum Action { Wait, MoveShown, MoveHidden, KillTimer, Idle } action;
        int top;  // new window top for the two moves
    };
    // One tick, given the rest top (the start point's y) and the window's height.
    Step Tick(int restTop, int height);
    // Where the dialog stands now: restTop + ShownHeight.
    int Top(int restTop) const { return restTop + shown_; }

    unsigned PopupState() const { return state_; }
    int ShownHeight() const { return shown_; }
    int PauseMs() const { return pause_; }

private:
    unsigned state_ = 0;
    int shown_ = 0;
    int pause_ = 0;
};

}  // namespace macro
