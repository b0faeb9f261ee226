// The side panels' rules without windows: the level each bar and thumb
// shows, the steps of the right panel through the desktop settings, the
// pointer-speed thumb's track and drag, and the slide of both panels.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/panels/desktop_settings.h"

namespace panels {

// ---- Right panel: wheel lines and double-click time ---------------------

inline constexpr std::uint32_t kWheelMinLines = 1;
inline constexpr std::uint32_t kWheelMaxLines = 20;
inline constexpr std::uint32_t kWheelStepLines = 2;
inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFF;  // a screen per notch
inline constexpr int kWheelFrames = 10;                        // bar frames 0000..0009

inline constexpr std::uint32_t kDoubleClickMinMs = 200;
inline constexpr std::uint32_t kDoubleClickMaxMs = 900;
inline constexpr std::uint32_t kDoubleClickStepMs = 100;
inline constexpr int kDoubleClickFrames = 8;  // bar frames 0000..0007

// The wheel bar's frame: (lines - 1) / 2, so 1-2 lines show frame 0 and
// 19-20 lines frame 9. Settings beyond the bar (0 lines, more than 20, a
// screen per notch) show the nearest end.
int WheelFrame(std::uint32_t lines);
// The double-click bar's frame: 9 - ms / 100, so 200 ms shows frame 7 and
// 900 ms frame 0; times beyond the bar show the nearest end.
int DoubleClickFrame(std::uint32_t ms);

enum class Step { Down = -1, Up = 1 };

// Two lines more (Up) or fewer (Down), kept within 1..20. A screen per
// notch counts as 20 lines: it is beyond every line count, and stepping it
// by 2 would give a meaningless count near four billion.
std::uint32_t WheelLinesAfter(std::uint32_t lines, Step step);
// 100 ms longer (Up) or shorter (Down), kept within 200..900.
std::uint32_t DoubleClickTimeAfter(std::uint32_t ms, Step step);

// One step as the bar buttons make it: read the system's value, step it,
// write it, and answer the value the system then reports.
std::uint32_t StepWheelLines(DesktopSettings& settings, Step step);
std::uint32_t StepDoubleClickTime(DesktopSettings& settings, Step step);

// The record's common pointer sensitivity (XY_SensitiveRate) one step lower
// or higher, kept within 1..10.
inline constexpr int kSensitiveMin = 1;
inline constexpr int kSensitiveMax = 10;
int SensitiveRateAfter(int rate, Step step);

// ---- Left panel: pointer speed ------------------------------------------

inline constexpr int kTrackLevels = 10;
inline constexpr int kMaxLevel = kTrackLevels - 1;
inline constexpr int kThumbSize = 20;  // the square a moved thumb leaves behind

struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};

// The three thumbs of the left panel; only the pointer-speed one is shown.
enum class Thumb { PointerSpeed = 0, XRate = 1, YRate = 2 };
inline constexpr int kThumbCount = 3;

// Client positions of the panel's controls besides the tracks.
inline constexpr Point kParkedAt{200, 200};  // outside the panel while it slides
inline constexpr Point kCheckBoxAt{80, 248};
inline constexpr Point kLabelAt{25, 160};

// The thumb's top-left corner for a level (clamped to 0..9).
Point TrackPosition(Thumb thumb, int level);
// The level for the cursor's client y while the thumb is dragged. Pointer
// speed and Y rate: the first level 0..8 whose track y is not below the
// cursor, else 9. X rate: the first level from 9 down to 1 whose track y is
// not below the cursor, else 0.
int LevelFromY(Thumb thumb, int y);
// The system's pointer speed as a level: (speed - 1) / 2 within 0..9.
int PointerSpeedLevel(int speed);
// The speed a level stands for: 2 x level + 2 (2 to 20).
int SpeedForLevel(int level);

// The thumbs' levels and the drag in progress. A drag runs from a press on
// a thumb to the next release.
class ThumbDrag {
public:
    // The thumb's current level (clamped to 0..9); with withPrevious also its
    // previous level.
    void SetLevel(Thumb thumb, int level, bool withPrevious = false);
    int Level(Thumb thumb) const { return levels_[Index(thumb)]; }
    // The level before the last move, or -1 before any.
    int Previous(Thumb thumb) const { return previous_[Index(thumb)]; }

    void Press(Thumb thumb);
    std::optional<Thumb> Dragged() const { return dragged_; }

    // The cursor moved to client y during a drag: the dragged thumb's new
    // level, or nothing when there is no drag or the level stays.
    std::optional<int> Move(int clientY);

    struct Drop {
        Thumb thumb;
        int level;
        bool changed;  // the level differs from the one at the press
    };
    // The button went up: the drop of the dragged thumb, or nothing when no
    // thumb was being dragged. Ends the drag.
    std::optional<Drop> Release();

    // While a thumb is dragged, where its previous image lies (a kThumbSize
    // square), to be wiped with the panel's background.
    std::optional<Point> StaleImageAt() const;

private:
    static int Index(Thumb thumb) { return static_cast<int>(thumb); }

    int levels_[kThumbCount] = {0, 0, 0};
    int previous_[kThumbCount] = {-1, -1, -1};
    std::optional<Thumb> dragged_;
    int pressedLevel_ = 0;
};

// What a drop of the pointer-speed thumb writes: the speed for its level,
// only when the thumb was moved to another level, so a plain click on the
// thumb keeps a speed made elsewhere (an odd one, say) as it is. True when
// something was written.
bool DropPointerSpeed(DesktopSettings& settings, const ThumbDrag::Drop& drop);

// ---- The slide of both panels -------------------------------------------

inline constexpr int kRightPanelLastFrame = 60;  // 61 frames
inline constexpr int kLeftPanelLastFrame = 17;   // 18 frames
inline constexpr unsigned kSlideTimerMs = 30;

// What one tick of the slide timer asks of the window.
struct SlideStep {
    int frame = -1;              // show this background frame next (-1: none)
    bool showPanel = false;      // sliding out: the panel is shown
    bool stowControls = false;   // sliding in: controls out of sight (hidden or parked)
    bool opened = false;         // slid out: refresh, then show or place the controls
    bool closed = false;         // slid in: the panel goes away and hides
    bool stopTimer = false;
};

// The slide state (bit 1 sliding out, bit 2 sliding in, bit 4 stop the
// timer when neither is left) and the frame shown. A frame asked for is
// "pending" until the window reports it painted; no tick moves on before
// that, so a slow paint never skips frames.
class Slide {
public:
    static constexpr unsigned kOpening = 1, kClosing = 2, kStopTimer = 4;

    explicit Slide(int lastFrame) : last_(lastFrame) {}

    void Open() { state_ = kOpening | kStopTimer; }
    void Close() { state_ = kClosing | kStopTimer; }
    SlideStep Tick();
    // The frame asked for last has been painted.
    void FramePainted() { pending_ = false; }

    unsigned state() const { return state_; }
    int frame() const { return frame_; }
    bool pending() const { return pending_; }
    // Slid all the way out and not moving.
    bool IsOpen() const { return frame_ == last_ && !(state_ & (kOpening | kClosing)); }

private:
    int last_;
    unsigned state_ = 0;
    int frame_ = 0;
    bool pending_ = false;
};

}  // namespace panels
