#include "emulator/mouse_tool.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "emulator/default_record.h"
#include "emulator/emulator.h"
#include "emulator/factory.h"
#include "emulator/hex.h"
#include "emulator/state_file.h"

namespace emulator {

using namespace protocol;

namespace {

bool ParseUnsigned(const std::string& text, unsigned max, unsigned& value) {
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n > max) return false;
    value = n;
    return true;
}

std::string Spaced(std::span<const std::uint8_t> bytes) {
    std::string hex = ToHex(bytes), text;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (i) text += ' ';
        text += hex.substr(i, 2);
    }
    return text;
}

int Usage(std::ostream& err) {
    err << kUsage;
    return 2;
}

bool ReadRecordFile(const std::string& path, std::vector<std::uint8_t>& record, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    // One byte more than a record is enough to tell a longer file.
    record.assign(kRecordSize + 1, 0);
    in.read(reinterpret_cast<char*>(record.data()), static_cast<std::streamsize>(record.size()));
    record.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

int Create(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // create STATE blank | default FOLDER | factory RECORD, then options
    if (args.size() < 3) return Usage(err);
    const std::string& path = args[1];
    const std::string& source = args[2];
    std::size_t next = 3;
    std::vector<std::uint8_t> record;
    std::string error;
    if (source == "default" || source == "factory") {
        if (args.size() < 4) return Usage(err);
        const bool read = source == "default" ? LoadDefaultRecord(args[3], record, error)
                                              : ReadRecordFile(args[3], record, error);
        if (!read) {
            err << error << '\n';
            return 1;
        }
        next = 4;
    } else if (source != "blank") {
        return Usage(err);
    }
    MouseState state;
    FactoryChecksum checksum = FactoryChecksum::Computed;
    for (; next < args.size(); ++next) {
        if (args[next] == "--record-dummy") {
            checksum = FactoryChecksum::AsInRecord;
            continue;
        }
        unsigned value = 0;
        if (next + 1 >= args.size() || !ParseUnsigned(args[next + 1], 255, value)) return Usage(err);
        if (args[next] == "--hardware")
            state.hardwareVersion = static_cast<std::uint8_t>(value);
        else if (args[next] == "--firmware")
            state.firmwareVersion = static_cast<std::uint8_t>(value);
        else
            return Usage(err);
        ++next;
    }
    if (source != "blank" && !SegmentsFromRecord(record, state.segments, error, checksum)) {
        err << args[3] << ": " << error << '\n';
        return 1;
    }
    if (!SaveStateFile(path, state, error)) {
        err << error << '\n';
        return 1;
    }
    out << "created " << path << '\n';
    return 0;
}

// Bytes from..to-1 of a segment, when any is not zero.
void ShowRest(std::ostream& out, const SegmentBlock& block, std::size_t segment, std::size_t from) {
    for (std::size_t i = from; i < kSegmentSize; ++i) {
        if (block[i] != 0) {
            out << "  segment " << segment << " bytes " << from << ".." << kSegmentSize - 1
                << " not zero: " << Spaced(std::span(block).subspan(from)) << '\n';
            return;
        }
    }
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err);
    MouseState state;
    std::string error;
    if (!LoadStateFile(args[1], state, error)) {
        err << error << '\n';
        return 1;
    }
    out << "hardware " << unsigned(state.hardwareVersion) << ", firmware " << unsigned(state.firmwareVersion)
        << ", active profile " << unsigned(state.activeProfile) << ", write lock "
        << (state.writeLocked ? "held" : "free") << '\n';
    const SegmentBlock& headers = state.segments[0];
    for (std::size_t p = 0; p < kProfileCount; ++p) {
        const std::uint8_t* h = &headers[p * kProfileHeaderSize];
        out << "profile " << p << ": index " << unsigned(h[0]) << ", DPI " << unsigned(h[1]) << ", poll rate "
            << unsigned(h[2]);
        const std::span<const std::uint8_t> dummy(h + kSegment0ChecksumOffset, kRecordChecksumSize);
        bool isText = dummy[4] == 0;
        for (std::size_t i = 0; i < 4; ++i) isText = isText && HexDigit(static_cast<char>(dummy[i])) >= 0;
        if (p == 0 && isText)
            out << ", checksum \"" << std::string(dummy.begin(), dummy.begin() + 4) << "\"\n";
        else
            out << ", dummy " << Spaced(dummy) << '\n';
        for (std::size_t b = 0; b < kButtonCount; ++b) {
            const std::size_t s = ButtonSegment(p, b);
            const SegmentBlock& block = state.segments[s];
            out << "  button " << b << " (segment " << s << "): index " << unsigned(block[0]) << ", function 0x"
                << ToHex(std::span(block).subspan(1, 1)) << ", parameter 0x" << ToHex(std::span(block).subspan(2, 1));
            std::size_t lastPair = 0;
            for (std::size_t k = 0; k < 16; ++k)
                if (block[3 + 2 * k] || block[4 + 2 * k]) lastPair = k + 1;
            if (lastPair) {
                out << ", keys";
                for (std::size_t k = 0; k < lastPair; ++k)
                    out << ' ' << ToHex(std::span(block).subspan(3 + 2 * k, 1)) << ':'
                        << ToHex(std::span(block).subspan(4 + 2 * k, 1));
            }
            out << '\n';
            ShowRest(out, block, s, kButtonBlockSize);
        }
    }
    ShowRest(out, headers, 0, kProfileCount * kProfileHeaderSize);
    return 0;
}

int Set(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 4) return Usage(err);
    const std::string& path = args[1];
    MouseState state;
    std::string error;
    if (!LoadStateFile(path, state, error)) {
        err << error << '\n';
        return 1;
    }
    const std::string& what = args[2];
    if (what == "segment") {
        unsigned segment = 0, offset = 0;
        if (args.size() < 6 || !ParseUnsigned(args[3], kSegmentCount - 1, segment) ||
            !ParseUnsigned(args[4], kSegmentSize - 1, offset))
            return Usage(err);
        std::string hex;
        for (std::size_t i = 5; i < args.size(); ++i)
            for (char c : args[i])
                if (c != ' ') hex += c;
        std::vector<std::uint8_t> bytes(hex.size() / 2);
        if (hex.size() % 2 || !FromHex(hex, bytes) || offset + bytes.size() > kSegmentSize) {
            err << "the bytes must be hex digits that fit in the segment from offset " << offset << '\n';
            return 1;
        }
        std::copy(bytes.begin(), bytes.end(), state.segments[segment].begin() + offset);
    } else {
        unsigned value = 0;
        const unsigned max = what == "write-lock" ? 1 : 255;
        if (args.size() != 4 || !ParseUnsigned(args[3], max, value)) return Usage(err);
        const auto byte = static_cast<std::uint8_t>(value);
        if (what == "active-profile")
            state.activeProfile = byte;
        else if (what == "hardware")
            state.hardwareVersion = byte;
        else if (what == "firmware")
            state.firmwareVersion = byte;
        else if (what == "write-lock")
            state.writeLocked = value != 0;
        else
            return Usage(err);
    }
    if (!SaveStateFile(path, state, error)) {
        err << error << '\n';
        return 1;
    }
    out << "changed " << path << '\n';
    return 0;
}

int Trace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err);
    std::string path = args[1];
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && std::filesystem::exists(path + ".trace", ec)) path += ".trace";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << path << ": cannot be read\n";
        return 1;
    }
    std::string line;
    std::uint64_t first = 0, previous = 0;
    bool any = false, allRead = true;
    char buf[64];
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto e = ParseTraceLine(line);
        if (!e) {
            out << "?? " << line << '\n';
            allRead = false;
            continue;
        }
        if (!any) first = previous = e->micros;
        any = true;
        // Time since the first report and since the one before, in ms.
        std::snprintf(buf, sizeof buf, "%12.3f ms (+%9.3f)",
                      (static_cast<double>(e->micros) - static_cast<double>(first)) / 1000.0,
                      (static_cast<double>(e->micros) - static_cast<double>(previous)) / 1000.0);
        previous = e->micros;
        out << buf << "  " << (e->isSet ? "set " : "get ") << Spaced(e->sent) << "  " << KindName(e->kind) << ' '
            << OutcomeName(e->outcome);
        if (!e->isSet && e->outcome == Outcome::Ok) out << " -> " << Spaced(e->returned);
        out << '\n';
    }
    return allRead ? 0 : 1;
}

}  // namespace

int RunMouseTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err);
    if (args[0] == "create") return Create(args, out, err);
    if (args[0] == "show") return Show(args, out, err);
    if (args[0] == "set") return Set(args, out, err);
    if (args[0] == "trace") return Trace(args, out, err);
    return Usage(err);
}

}  // namespace emulator
