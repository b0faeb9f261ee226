#include "emulator/state_file.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "emulator/hex.h"
#include "profile_store/platform/file_replace.h"

namespace emulator {

namespace {

constexpr std::string_view kMagic = "korelle-emulated-mouse 1";
// Larger files are not state files; they are refused before being read.
constexpr std::uintmax_t kMaxFileSize = 64 * 1024;

bool ParseByte(std::string_view text, unsigned max, std::uint8_t& value) {
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n > max) return false;
    value = static_cast<std::uint8_t>(n);
    return true;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

}  // namespace

std::string FormatState(const MouseState& state) {
    std::string text(kMagic);
    text += "\nhardware " + std::to_string(state.hardwareVersion);
    text += "\nfirmware " + std::to_string(state.firmwareVersion);
    text += "\nactive-profile " + std::to_string(state.activeProfile);
    text += "\nwrite-lock ";
    text += state.writeLocked ? "1" : "0";
    text += '\n';
    for (std::size_t s = 0; s < state.segments.size(); ++s)
        text += "segment " + std::to_string(s) + ' ' + ToHex(state.segments[s]) + '\n';
    return text;
}

bool ParseState(std::string_view text, MouseState& out, std::string& error) {
    MouseState state;
    bool seenSegment[protocol::kSegmentCount] = {};
    bool seenHardware = false, seenFirmware = false, seenActive = false, seenLock = false;
    bool first = true;
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        const auto w = Words(line);
        if (w.empty() || w[0][0] == '#') continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNo) + ": " + why;
            return false;
        };
        if (first) {
            if (w.size() != 2 || w[0] != "korelle-emulated-mouse" || w[1] != "1")
                return fail("not an emulated mouse state (expected \"" + std::string(kMagic) + "\")");
            first = false;
            continue;
        }
        auto once = [&](bool& seen) {
            if (seen) return false;
            seen = true;
            return true;
        };
        if (w[0] == "segment") {
            std::uint8_t s = 0;
            if (w.size() != 3 || !ParseByte(w[1], protocol::kSegmentCount - 1, s))
                return fail("expected \"segment <0..35> <128 hex digits>\"");
            if (!FromHex(w[2], state.segments[s])) return fail("segment " + std::to_string(s) + " needs 128 hex digits");
            if (!once(seenSegment[s])) return fail("segment " + std::to_string(s) + " appears twice");
            continue;
        }
        struct Field {
            std::string_view name;
            std::uint8_t* value;
            bool* seen;
            unsigned max;
        };
        std::uint8_t lock = 0;
        const Field fields[] = {
            {"hardware", &state.hardwareVersion, &seenHardware, 255},
            {"firmware", &state.firmwareVersion, &seenFirmware, 255},
            {"active-profile", &state.activeProfile, &seenActive, 255},
            {"write-lock", &lock, &seenLock, 1},
        };
        const Field* field = nullptr;
        for (const Field& f : fields)
            if (w[0] == f.name) field = &f;
        if (!field) return fail("unknown entry \"" + std::string(w[0]) + "\"");
        if (w.size() != 2 || !ParseByte(w[1], field->max, *field->value))
            return fail(std::string(w[0]) + " needs a number from 0 to " + std::to_string(field->max));
        if (!once(*field->seen)) return fail(std::string(w[0]) + " appears twice");
        if (field->value == &lock) state.writeLocked = lock != 0;
    }
    if (first) {
        error = "empty state";
        return false;
    }
    if (!seenHardware || !seenFirmware || !seenActive || !seenLock) {
        error = "hardware, firmware, active-profile and write-lock are all needed";
        return false;
    }
    for (std::size_t s = 0; s < protocol::kSegmentCount; ++s) {
        if (!seenSegment[s]) {
            error = "segment " + std::to_string(s) + " is missing";
            return false;
        }
    }
    out = state;
    return true;
}

bool LoadStateFile(const std::string& path, MouseState& state, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = path + ": " + ec.message();
        return false;
    }
    if (size > kMaxFileSize) {
        error = path + ": too large for a state file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        error = path + ": cannot be read";
        return false;
    }
    if (!ParseState(text.str(), state, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SaveStateFile(const std::string& path, const MouseState& state, std::string& error) {
    namespace fs = std::filesystem;
    // A name of its own for each save, so two writers never share a temporary.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string temp = path + "." + std::to_string(stamp) + "-" + std::to_string(counter++) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        const std::string text = FormatState(state);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            error = temp + ": cannot be written";
            return false;
        }
    }
    if (!platform::ReplaceWithFlushed(temp.c_str(), path.c_str())) {
        error = path + ": cannot be replaced";
        return false;
    }
    return true;
}

}  // namespace emulator
