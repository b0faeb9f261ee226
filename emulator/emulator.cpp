#include "emulator/emulator.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <sstream>

#include "emulator/hex.h"

namespace emulator {

namespace {

bool ParseNumber(std::string_view text, std::uint32_t& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Splits at commas; every item must be non-empty.
bool SplitList(const std::string& text, std::vector<std::string>& items) {
    items.clear();
    if (text.empty()) return true;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty()) return false;
        items.push_back(std::move(item));
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool Contains(const std::vector<std::uint32_t>& list, std::uint32_t n) {
    return std::find(list.begin(), list.end(), n) != list.end();
}

}  // namespace

bool ParseReportNumbers(const std::string& text, std::vector<std::uint32_t>& out) {
    std::vector<std::string> items;
    if (!SplitList(text, items)) return false;
    std::vector<std::uint32_t> numbers;
    for (const auto& item : items) {
        std::uint32_t n = 0;
        if (!ParseNumber(item, n) || n == 0) return false;
        numbers.push_back(n);
    }
    out = std::move(numbers);
    return true;
}

bool ParseKinds(const std::string& text, std::vector<ReportKind>& out) {
    std::vector<std::string> items;
    if (!SplitList(text, items)) return false;
    std::vector<ReportKind> kinds;
    for (const auto& item : items) {
        ReportKind kind;
        if (!KindFromName(item.c_str(), kind)) return false;
        kinds.push_back(kind);
    }
    out = std::move(kinds);
    return true;
}

bool ParseUnplugAt(const std::string& text, std::optional<std::uint32_t>& out) {
    if (text.empty()) {
        out.reset();
        return true;
    }
    std::uint32_t n = 0;
    if (!ParseNumber(text, n)) return false;
    out = n;
    return true;
}

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok: return "ok";
    case Outcome::Refused: return "refused";
    case Outcome::Injected: return "injected";
    case Outcome::Unplugged: return "unplugged";
    case Outcome::NotSaved: return "not-saved";
    }
    return "?";
}

std::string FormatTraceLine(const TraceEntry& e) {
    std::string line = std::to_string(e.micros);
    line += e.isSet ? " set " : " get ";
    line += KindName(e.kind);
    line += ' ';
    line += ToHex(e.sent);
    line += ' ';
    line += OutcomeName(e.outcome);
    if (!e.isSet && e.outcome == Outcome::Ok) {
        line += ' ';
        line += ToHex(e.returned);
    }
    return line;
}

std::optional<TraceEntry> ParseTraceLine(const std::string& line) {
    std::istringstream in(line);
    std::string micros, direction, kind, sent, outcome, returned, extra;
    if (!(in >> micros >> direction >> kind >> sent >> outcome)) return std::nullopt;
    TraceEntry e;
    const auto [end, ec] = std::from_chars(micros.data(), micros.data() + micros.size(), e.micros);
    if (ec != std::errc() || end != micros.data() + micros.size()) return std::nullopt;
    if (direction != "set" && direction != "get") return std::nullopt;
    e.isSet = direction == "set";
    if (!KindFromName(kind.c_str(), e.kind)) return std::nullopt;
    if (!FromHex(sent, e.sent)) return std::nullopt;
    bool known = false;
    for (Outcome o : {Outcome::Ok, Outcome::Refused, Outcome::Injected, Outcome::Unplugged, Outcome::NotSaved}) {
        if (outcome == OutcomeName(o)) {
            e.outcome = o;
            known = true;
        }
    }
    if (!known) return std::nullopt;
    const bool answered = !e.isSet && e.outcome == Outcome::Ok;
    if (answered && !(in >> returned && FromHex(returned, e.returned))) return std::nullopt;
    if (in >> extra) return std::nullopt;
    return e;
}

std::uint64_t SystemMicros() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

Emulator::Emulator(const MouseState& state, Faults faults, Clock clock)
    : firmware_(state), faults_(std::move(faults)), clock_(clock ? std::move(clock) : Clock(SystemMicros)) {
    if (faults_.unplugAt == 0u) unplugged_ = true;
}

Outcome Emulator::Gate(bool isSet, ReportKind kind) {
    ++reports_;
    const std::uint32_t n = isSet ? ++sets_ : ++gets_;
    if (!unplugged_ && faults_.unplugAt && reports_ >= *faults_.unplugAt) {
        unplugged_ = true;
        firmware_.PowerLoss();
    }
    if (unplugged_) return Outcome::Unplugged;
    const bool injected = Contains(isSet ? faults_.failSets : faults_.failGets, n) ||
                          std::find(faults_.failKinds.begin(), faults_.failKinds.end(), kind) != faults_.failKinds.end();
    if (injected) {
        firmware_.AbandonTransfer();
        return Outcome::Injected;
    }
    return Outcome::Ok;
}

bool Emulator::SetReport(const Report& report) {
    TraceEntry e;
    e.micros = clock_();
    e.isSet = true;
    e.kind = firmware_.KindOfSet(report);
    e.sent = report;
    e.outcome = Gate(true, e.kind);
    if (e.outcome == Outcome::Ok && !firmware_.Set(report)) e.outcome = Outcome::Refused;
    Record(e);
    return e.outcome == Outcome::Ok;
}

bool Emulator::GetReport(Report& report) {
    TraceEntry e;
    e.micros = clock_();
    e.isSet = false;
    e.kind = firmware_.KindOfGet(report);
    e.sent = report;
    e.outcome = Gate(false, e.kind);
    if (e.outcome == Outcome::Ok) {
        Report answer = report;
        if (firmware_.Get(answer)) {
            e.returned = answer;
            report = answer;
        } else {
            e.outcome = Outcome::Refused;
        }
    }
    Record(e);
    return e.outcome == Outcome::Ok;
}

void Emulator::Record(const TraceEntry& entry) {
    if (sink_)
        sink_(entry);
    else
        trace_.push_back(entry);
}

}  // namespace emulator
