#include "ui/macro/diagnostic_lines.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "ui/macro/key_tables.h"

namespace macro {

namespace {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* fmt, ...) {
    char buf[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

// A NUL-terminated text field that may lack its NUL: never read past it.
std::string Field(const unsigned char* at, std::size_t width) {
    const char* s = reinterpret_cast<const char*>(at);
    return std::string(s, strnlen(s, width));
}

constexpr const char* kFunctionNames[] = {
    "OFF",         "Click",       "Right Button", "Middle Button", "Button_4",   "Button_5",
    "Double Click", "Switch DPI", "Select Profile", "Macro Key",   "Single Key", "Dynamic Sensitive"};

constexpr const char* kMacroKeyLine = "--------- Macro Key ---------------------------";

void DeviceLines(const unsigned char* r, std::vector<std::string>& out) {
    using namespace record;
    out.push_back(Format("VID  : %04x", Get16(r, kVendorID)));
    out.push_back(Format("PID  : %04x", Get16(r, kProductID)));
    out.push_back("DeviceType  : " + Field(r + kType, kTypeSize));
    out.push_back("nAppName    : " + Field(r + kName, kNameSize));
    out.push_back(Format("Flag        : %04lx", static_cast<unsigned long>(Get32(r, kFlag))));
    out.push_back(Format("Profile No  : %d", ProfileNum(r)));
    out.push_back(Format("Button No   : %d", ButtonNum(r)));
    // The button map and the reserved bytes after it, as 32 values.
    for (int line = 0; line < 4; ++line) {
        std::string s = line == 0 ? "Screen Btn  : " : std::string(20, ' ');
        for (int i = 0; i < 8; ++i)
            s += Format(i == 0 ? "%02u" : " %02u", Get32(r, kButtonMap + 4 * (8 * line + i)));
        out.push_back(s);
    }
}

bool ProfileFits(const unsigned char* r, unsigned p) {
    return record::ProfileOffset(r, p) + record::kHeaderSize <= record::kSize;
}
bool ButtonFits(const unsigned char* r, unsigned p, unsigned b) {
    return record::ButtonOffset(r, p, b) + record::kButtonSize <= record::kSize;
}

}  // namespace

const char* DebugFunctionName(unsigned code) {
    return code < std::size(kFunctionNames) ? kFunctionNames[code] : "Unknown";
}

std::vector<std::string> RecordTextLines(ConstRecord rec) {
    using namespace record;
    const unsigned char* r = rec.data();
    std::vector<std::string> out;
    DeviceLines(r, out);
    int segment = 1;
    for (unsigned p = 0; p < ProfileNum(r) && ProfileFits(r, p); ++p) {
        const unsigned char* h = r + ProfileOffset(r, p);
        out.push_back(Format("===============Profile: %d =======================", p));
        out.push_back(Format("Profile ID           : %d", h[kProfileIndex]));
        out.push_back(Format("DPI          : %d", h[kDPI]));
        out.push_back(Format("Sensor       : %d", h[kSensorPollRate]));
        out.push_back("CheckSum     : " + Field(h + kDummy, kDummySize));
        for (unsigned b = 0; b < ButtonNum(r) && ButtonFits(r, p, b); ++b, ++segment) {
            const unsigned char* btn = r + ButtonOffset(r, p, b);
            const FunId funID = FunIdOf(btn);
            out.push_back(Format("------------ Profile: %d, Button: %d SegmentID = %d-------------------------", p, b,
                                 segment));
            out.push_back(Format("Endpoint : %d", (btn[kBtnIndex] >> 5) & 3));
            out.push_back(Format("Button ID: %d", btn[kBtnIndex] & kButtonNumberMask));
            out.push_back(Format("Continue Click: %s", funID.ContinueClick() ? "yes" : "no"));
            out.push_back(Format("Toggle Click  : %s", funID.ToggleClick() ? "yes" : "no"));
            out.push_back(Format("Function Name : %s", DebugFunctionName(funID.Code())));
            out.push_back(Format("Function Ext  : %02xh", btn[kFunExt]));
            out.push_back(kMacroKeyLine);
            for (unsigned k = 0; k < kKeySlotCount; ++k) {
                const unsigned char* slot = btn + kKeySlots + kKeySlotSize * k;
                out.push_back(Format("  Usage ID    : %02xh         (key:%d)", slot[0], k));
                out.push_back(Format("  Make/Break  : %s", (slot[1] & kPressBit) ? " v" : " ^"));
                out.push_back(Format("  Time Base   : %s", (slot[1] & kHalfSecondBase) ? "0.5sec" : "10ms"));
                out.push_back(Format("  Time Count  : %d", slot[1] & kCountMask));
            }
            out.emplace_back();
        }
        out.emplace_back();
    }
    return out;
}

std::vector<std::string> RecordHexLines(ConstRecord rec) {
    using namespace record;
    const unsigned char* r = rec.data();
    std::vector<std::string> out;
    DeviceLines(r, out);
    int segment = 1;
    for (unsigned p = 0; p < ProfileNum(r) && ProfileFits(r, p); ++p) {
        const unsigned char* h = r + ProfileOffset(r, p);
        out.push_back(Format("===============Profile: %d =======================", p));
        for (std::size_t i = 0; i < 3; ++i) out.push_back(Format("%02x", h[i]));
        const unsigned char* d = h + kDummy;
        out.push_back(Format("%02x %02x %02x %02x %02x ", d[0], d[1], d[2], d[3], d[4]));
        for (unsigned b = 0; b < ButtonNum(r) && ButtonFits(r, p, b); ++b, ++segment) {
            const unsigned char* btn = r + ButtonOffset(r, p, b);
            out.push_back(Format("------------ Profile: %d, Button: %d SegmentID = %d-----------------", p, b, segment));
            for (std::size_t i = 0; i < 3; ++i) out.push_back(Format("%02x", btn[i]));
            out.push_back(kMacroKeyLine);
            for (unsigned k = 0; k < kKeySlotCount; ++k) {
                const unsigned char* slot = btn + kKeySlots + kKeySlotSize * k;
                out.push_back(Format("%02x  %02x       (key:%d)", slot[0], slot[1], k));
            }
            out.emplace_back();
        }
        out.emplace_back();
    }
    return out;
}

std::vector<std::string> KeyBufferLines(const MacroEditor& editor) {
    std::vector<std::string> out;
    out.push_back("   vk/Hid   Key     Usage        Min Sec mSec");
    int n = 1;
    for (const KeyEvent& e : editor.KeyBuffer()) {
        // A loaded usage without a key shows that usage; every other event
        // shows its key's usage from the table.
        const unsigned usageID = e.Key != 0 ? KeyToUsage[e.Key] : e.UsageID;
        std::string s = Format("%02d %02x(%02x)  %8s", n++, e.Key, usageID, EventText(e).c_str());
        s += (e.Kind & kKindPress) ? " MK " : "    ";
        s += (e.Kind & kKindRelease) ? " BK " : "    ";
        s += (e.Kind & kKindDelay) ? " TM " : "    ";
        out.push_back(s + Format("  %02d  %02d  %03d", e.Minutes, e.Seconds, e.Milliseconds));
    }
    out.push_back(Format("Continue Click Flag = %d", editor.ContinueClickFlag() ? 1 : 0));
    out.push_back(Format("Toggle Click Flag = %d", editor.ToggleClickFlag() ? 1 : 0));
    out.push_back(Format("CurKeyIndex = %d (Zero Base)", editor.CurKeyIndex()));
    return out;
}

std::vector<std::string> StoredButtonLines(ConstButtonBlock block) {
    std::vector<std::string> out;
    out.push_back("   Hid/vk  Key      Base   Count");
    const ConstKeySlots slots = SlotsOf(block);
    for (std::size_t k = 0; k < record::kKeySlotCount; ++k) {
        const unsigned char usageID = slots[2 * k], bits = slots[2 * k + 1];
        const unsigned char key = UsageToKey[usageID];
        const char* text = (bits & kPressBit) ? PressText[key] : ReleaseText[key];
        const std::string head = Format("%02d %02x(%02x) %8s", static_cast<int>(k + 1), usageID, key, text);
        out.push_back(Format("%s  %s  %03d ", head.c_str(), (bits & kHalfSecondBase) ? "0.50s" : "0.01s",
                             bits & kCountMask));
    }
    const record::FunId funID = record::FunIdOf(block.data());
    out.push_back(funID.ContinueClick() ? "Continue Click: On" : "Continue Click: Off");
    out.push_back(funID.ToggleClick() ? "ToggleClick Click: On" : "ToggleClick Click: Off");
    return out;
}

}  // namespace macro
