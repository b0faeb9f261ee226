// The macro editor, its delay dialog with the three slider channels, and
// the key-buffer view.
#include "assets/skin/skin.h"

#include <string>

namespace skin {

namespace {

constexpr int kMacroW = 440, kMacroH = 212;

// A check box mark: empty box, or lit with a check when hot (checked).
void CheckMark(cairo_t* cr, int w, int h, State s) {
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    Chamfer(cr, 2.5, 2.5, w - 5, h - 5, 3, 0, 3, 0);
    if (hot) GlowStroke(cr, pal::kAccent, 1, 2, 0.6);
    Source(cr, hot ? 0x2a1710 : 0x08090b);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kSteel);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (hot) DrawIcon(cr, Icon::Check, w / 2.0, h / 2.0, h * 0.75, 0xffffff, 2);
}

// The record button: a ring and a dot, lit in the accent when recording.
void RecordMark(cairo_t* cr, int w, int h, double light) {
    const double cx = w / 2.0, cy = h / 2.0, r = h / 2.0 - 2.5;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 6.2831853);
    Source(cr, 0x08090b);
    cairo_fill_preserve(cr);
    Source(cr, light > 0 ? pal::kAccent : pal::kSteel);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, r * 0.5, 0, 6.2831853);
    if (light > 0.6) GlowFill(cr, pal::kAccent, 2.5, light);
    Source(cr, light > 0 ? pal::kAccent : pal::kSteel, light > 0 ? 0.35 + 0.65 * light : 0.9);
    cairo_fill(cr);
    if (light > 0.6) {
        cairo_arc(cr, cx - r * 0.15, cy - r * 0.15, r * 0.18, 0, 6.2831853);
        Source(cr, 0xffffff, 0.8);
        cairo_fill(cr);
    }
}

void BuildMacroEditor(SkinSet& set) {
    const Bitmap& bg = set.Add("macro/macro_bg.bmp", DrawWindow(kMacroW, kMacroH, kKeyGrey, [](cairo_t* cr) {
        DialogFrame(cr, kMacroW, kMacroH, 30);
        // The key strip where the recorded events are laid out.
        Well(cr, 138, 31, 136, 172, 6);
        Source(cr, pal::kRim, 0.35);
        for (double y = 35 + 19; y < 200; y += 19) {
            cairo_move_to(cr, 143, y - 1.5);
            cairo_line_to(cr, 270, y - 1.5);
        }
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // Row strips for the buttons on both sides.
        for (int y : {75, 108}) {
            cairo_new_path(cr);
            Chamfer(cr, 20, y - 1, 112, 26, 0, 0, 6, 0);
            Source(cr, 0x0c0d10, 0.85);
            cairo_fill(cr);
        }
        for (int y : {75, 108}) {
            cairo_new_path(cr);
            Chamfer(cr, 278, y - 1, 150, 24, 0, 6, 0, 0);
            Source(cr, 0x0c0d10, 0.85);
            cairo_fill(cr);
        }
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 278, 140, 150, 1);
        cairo_fill(cr);
        // Remaining-bytes counter.
        Well(cr, 95, 146, 28, 21, 3);
        Tick(cr, 14, 150, 2, 13);
    }));
    AddPair(set, "macro/macro_02_24.bmp", "macro/macro_01_24.bmp", bg, 28, 76, 24, 24, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 24, 24, Icon::Eye, s); });
    set.Add("macro/macro_02_15.bmp", DrawControl(bg, 28, 109, 24, 24, kKeyGrey, [](cairo_t* cr) { RecordMark(cr, 24, 24, 1.0); }));
    set.Add("macro/macro_01_15.bmp", DrawControl(bg, 28, 109, 24, 24, kKeyGrey, [](cairo_t* cr) { RecordMark(cr, 24, 24, 0.0); }));
    // The blink pair while recording: full light and dimmed.
    set.Add("macro/macro_02_15_01.bmp", DrawControl(bg, 28, 109, 24, 24, kKeyGrey, [](cairo_t* cr) { RecordMark(cr, 24, 24, 1.0); }));
    set.Add("macro/macro_02_15_02.bmp", DrawControl(bg, 28, 109, 24, 24, kKeyGrey, [](cairo_t* cr) { RecordMark(cr, 24, 24, 0.25); }));
    AddPair(set, "macro/macro_02_10.bmp", "macro/macro_01_10.bmp", bg, 280, 76, 20, 20, kKeyGrey,
            [](cairo_t* cr, State s) { CheckMark(cr, 20, 20, s); });
    AddPair(set, "macro/macro_02_17.bmp", "macro/macro_01_17.bmp", bg, 280, 109, 20, 20, kKeyGrey,
            [](cairo_t* cr, State s) { CheckMark(cr, 20, 20, s); });
    AddPair(set, "macro/macro_02_20.bmp", "macro/macro_01_20.bmp", bg, 280, 146, 20, 20, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 20, 20, Icon::Check, s); });
    AddPair(set, "macro/macro_02_23.bmp", "macro/macro_01_23.bmp", bg, 280, 169, 20, 20, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 20, 20, Icon::Close, s); });
}

void BuildKeyBufferView(SkinSet& set) {
    constexpr int W = 800, H = 600;
    const Bitmap& bg = set.Add("macro/800_600.bmp", DrawWindow(W, H, kKeyGrey, [](cairo_t* cr) {
        DialogFrame(cr, W, H, 26);
        Well(cr, 10, 32, 432, 506, 8);
        Well(cr, 450, 32, 340, 506, 8);
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 24, 544, W - 48, 1);
        cairo_fill(cr);
    }));
    AddPair(set, "macro/macro_02_21.bmp", "macro/macro_01_21.bmp", bg, 320, H - 50, 160, 30, kKeyGrey,
            [](cairo_t* cr, State s) { Plate(cr, 0, 0, 160, 30, 8, s); });
}

// Delay dialog: three vertical channels of 24 x 70 at (49, 38), (115, 38),
// (183, 38); the 10-pixel thumb's centre travels from y 5 to y 65.
constexpr int kTmW = 250, kTmH = 146;
constexpr int kChannelW = 24, kChannelH = 70, kThumbW = 24, kThumbH = 10;

void DrawChannel(cairo_t* cr, int divisions) {
    const double top = kThumbH / 2.0, travel = kChannelH - kThumbH;
    Well(cr, 9, 1, 6, kChannelH - 2, 2);
    for (int k = 0; k <= divisions; ++k) {
        const double y = top + travel * k / divisions;
        const bool end = k == 0 || k == divisions;
        Source(cr, end ? pal::kAccent : pal::kSteel, end ? 1.0 : 0.8);
        cairo_rectangle(cr, 1, y - 0.5, end ? 6 : 4, 1);
        cairo_rectangle(cr, end ? 17 : 19, y - 0.5, end ? 6 : 4, 1);
        cairo_fill(cr);
    }
}

void BuildDelayDialog(SkinSet& set) {
    const int xs[3] = {49, 115, 183};
    const Bitmap& bg = set.Add("tm/time_bg.bmp", DrawWindow(kTmW, kTmH, kKeyGrey, [&](cairo_t* cr) {
        DialogFrame(cr, kTmW, kTmH, 0);
        for (int x : xs) {
            cairo_new_path(cr);
            Chamfer(cr, x - 6, 34, kChannelW + 12, kChannelH + 8, 4);
            Source(cr, 0x0c0d10, 0.85);
            cairo_fill(cr);
        }
        Well(cr, 74, 111, 18, 20, 2);
        Well(cr, 107, 111, 37, 20, 2);
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 16, 108, kTmW - 32, 1);
        cairo_fill(cr);
    }));
    // Minutes (0-10), seconds (0-59), hundredths (0-99), left to right.
    const char* names[3] = {"tm/Slide3.bmp", "tm/Slide2.bmp", "tm/Slide1.bmp"};
    const int divisions[3] = {10, 6, 10};
    for (int i = 0; i < 3; ++i)
        set.Add(names[i], DrawControl(bg, xs[i], 38, kChannelW, kChannelH, kKeyGrey, [&](cairo_t* cr) { DrawChannel(cr, divisions[i]); }));
    set.Add("tm/time_01_1.bmp", DrawOver(kThumbW, kThumbH, kKeyGrey, 0x0b0c0f, [](cairo_t* cr) {
        Chamfer(cr, 0.5, 0.5, kThumbW - 1, kThumbH - 1, 3);
        GlowStroke(cr, pal::kAccent, 1, 1.2, 0.5);
        LinearV(cr, 0, kThumbH, 0x4a525e, 0x1d2127);
        cairo_fill_preserve(cr);
        Source(cr, pal::kRimHi);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        Source(cr, pal::kAccent);
        cairo_rectangle(cr, 4, kThumbH / 2.0 - 1, kThumbW - 8, 2);
        cairo_fill(cr);
    }));
}

}  // namespace

void BuildMacroWindows(SkinSet& set) {
    BuildMacroEditor(set);
    BuildDelayDialog(set);
    BuildKeyBufferView(set);
}

}  // namespace skin
