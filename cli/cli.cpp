#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "ui/config/config_names.h"
#include "core/startup.h"
#include "device/record_copies.h"
#include "profile_store/platform/file_replace.h"
#include "profile_store/platform/platform.h"
#include "profile_store/profiles/vantor.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/macro/key_tables.h"
#include "ui/macro/macro_codec.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using namespace record;
using protocol::Report;
using protocol::SegmentBlock;

const fs::path kDeviceFolder = fs::path("Database") / "VID7a3d_PID006a";
constexpr char kWorkingFile[] = "__working.xml";
constexpr char kDefaultFile[] = "__default.xml";
constexpr char kDeviceInfoFile[] = "__DeviceInfo.xml";
constexpr std::size_t kProfileArea = kProfiles + protocol::kProfileCount * (kHeaderSize + kButtonSize * 7);

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

// The English texts of the messages the tool can meet, for a data folder
// without a string table.
struct FallbackText {
    const char* key;
    const char* text;
};
constexpr FallbackText kFallbackTexts[] = {
    {"Str_NotFindHardware", "The mouse was not found. Please check that it is connected."},
    {"Str_SwitchErr", "Failed to switch the mouse to the selected profile."},
    {"Str_WriteHardwareErr", "Failed to write the settings to the mouse."},
    {"Str_WriteProfileErr", "Failed to prepare the mouse for writing its settings."},
    {"Str_SaveTmpProfileErr", "The current settings could not be saved on this computer."},
    {"Str_InvalidSettings", "These settings hold invalid values and were not written to the mouse."},
    {"Str_InfoErr", "Failed to read the version information from the mouse."},
    {"Str_Need1Button", "At least one button must keep the CLICK function."},
    {"Str_FunNotSupport", "This function is not supported."},
};

// ---- the HID seam, watched: progress lines and what reached the mouse ----

// What the reports of one write did: the segments whose header and nine
// data reports all succeeded, the one in progress, and the lock.
struct WriteWatch {
    std::vector<unsigned> written;
    int current = -1;      // segment whose data reports are going out
    unsigned dataSent = 0;
    bool locked = false;
    unsigned planned = 0;  // segments the write is expected to send
    std::ostream* progress = nullptr;
    bool interactive = false;
};

struct Tap {
    HidApi inner;
    WriteWatch* watch = nullptr;
};
Tap* g_tap = nullptr;

int TapExist(unsigned short v, unsigned short p, unsigned char* r) {
    return g_tap && g_tap->inner.isDeviceExist ? g_tap->inner.isDeviceExist(v, p, r) : 0;
}
int TapGet(unsigned short v, unsigned short p, unsigned char* r) {
    return g_tap && g_tap->inner.getReport ? g_tap->inner.getReport(v, p, r) : 0;
}
int TapSet(unsigned short v, unsigned short p, unsigned char* r) {
    if (!g_tap || !g_tap->inner.setReport) return 0;
    Report sent;
    std::memcpy(sent.data(), r, sent.size());
    const int ok = g_tap->inner.setReport(v, p, r);
    WriteWatch* w = g_tap->watch;
    if (!w) return ok;
    if (!ok) {
        w->current = -1;
        return ok;
    }
    // While a segment write is in progress every set is one of its data
    // reports, whatever its bytes look like.
    if (w->current >= 0) {
        if (++w->dataSent == protocol::kSegmentDataReports) {
            w->written.push_back(static_cast<unsigned>(w->current));
            w->current = -1;
        }
        return ok;
    }
    const protocol::ParsedCommand c = protocol::ParseCommand(sent);
    if (c.command == protocol::Command::WriteLockOn) w->locked = true;
    if (c.command == protocol::Command::WriteLockOff) w->locked = false;
    if (c.command == protocol::Command::SegmentWrite) {
        w->current = c.segment;
        w->dataSent = 0;
        if (w->progress && w->interactive)
            *w->progress << "\rwriting segment " << unsigned(c.segment) << " (" << w->written.size() + 1 << " of "
                         << std::max<std::size_t>(w->planned, w->written.size() + 1) << ")" << std::flush;
    }
    return ok;
}

// ---- the session: data folder, profile library, device link ----

class Messages : public MessageSink {
public:
    std::vector<std::string> keys;
    std::vector<std::string> texts;
    void ShowOk(const char* key, const char* text) override {
        keys.push_back(key);
        texts.push_back(text);
    }
    int AskYesNo(const char* key, const char* text) override {
        ShowOk(key, text);
        return 2;  // never asked by the tool's flows; No leaves the mouse alone
    }
    bool Has(const char* key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }
};

std::string Join(const std::vector<unsigned>& v) {
    std::string s;
    for (unsigned x : v) s += (s.empty() ? "" : ", ") + std::to_string(x);
    return s.empty() ? "none" : s;
}

class Session {
public:
    Session(Env& env, std::ostream& out, std::ostream& err) : env_(env), out_(out), err_(err) {}
    ~Session() {
        if (g_tap == &tap_) g_tap = nullptr;
        if (cwdChanged_) {
            std::error_code ec;
            fs::current_path(savedCwd_, ec);
        }
    }

    // Enters the data folder and makes the library objects. kOk or an exit
    // code with the reason printed.
    int Open() {
        std::error_code ec;
        savedCwd_ = fs::current_path(ec);
        const fs::path folder = env_.dataFolder.empty() ? savedCwd_ : fs::path(env_.dataFolder);
        const fs::path device = folder / kDeviceFolder;
        if (!EnsureDeviceFolder(device)) return kFileFailed;
        fs::current_path(folder, ec);
        if (ec) {
            Error("cannot enter the data folder " + folder.string() + ": " + ec.message());
            return kFileFailed;
        }
        cwdChanged_ = true;
        dataFolder_ = fs::current_path(ec);
        vantor_.reset(CreateQXClassInstance(protocol::kVendorId, protocol::kProductId));
        const std::string table = std::string("String") + platform::kPathSeparator + "English" +
                                  platform::kPathSeparator + "Korelle.xml";
        if (fs::exists(table)) strings_.reset(CreateXmlClassInstance(table.c_str()));
        if (!vantor_ || !vantor_->LoadVantorInfo(deviceRecord_.data()) ||
            ProfileNum(deviceRecord_.data()) != protocol::kProfileCount ||
            ButtonNum(deviceRecord_.data()) != protocol::kButtonCount || !MapIsPermutation(deviceRecord_.data())) {
            Error("the device description " + (kDeviceFolder / kDeviceInfoFile).string() +
                  " cannot be read or is not for 5 profiles of 7 buttons");
            return kFileFailed;
        }
        tap_.inner = env_.hid;
        g_tap = &tap_;
        DeviceLinkEnv linkEnv;
        linkEnv.hid = {TapExist, TapSet, TapGet};
        linkEnv.sleeper = env_.sleeper ? env_.sleeper : &realSleeper_;
        linkEnv.messages = &messages_;
        linkEnv.strings = strings_.get();
        linkEnv.work = &work_;
        linkEnv.saved = &saved_;
        linkEnv.curProfile = &cur_;
        linkEnv.stamp = env_.stamp;
        link_ = std::make_unique<DeviceLink>(linkEnv);
        context_.pProfile = vantor_.get();
        return kOk;
    }

    // ---- messages ----

    void Error(const std::string& text) { err_ << env_.programName << ": " << text << "\n"; }
    std::string Text(const char* key) const {
        char text[kResourceStringMax] = "";
        if (strings_ && strings_->GetResourceString(key, text, sizeof text) && text[0]) return text;
        for (const FallbackText& f : kFallbackTexts)
            if (std::strcmp(f.key, key) == 0) return f.text;
        return key;
    }
    std::string FunctionName(unsigned code) const {
        if (code >= static_cast<unsigned>(kFunctionCount)) return "UNKNOWN (" + std::to_string(code) + ")";
        char text[kResourceStringMax] = "";
        if (strings_ && strings_->GetResourceString(kFunctionNames[code].key, text, sizeof text) && text[0])
            return text;
        return kFunctionNames[code].englishDefault;
    }

    // ---- files ----

    // A record of the device section and, from the working file (or the
    // factory file when it is unusable), the software section and profiles.
    // Slot order.
    ProfileRecord WorkingRecord(bool* fromWorking = nullptr) {
        ProfileRecord r = deviceRecord_;
        ApplyButtonMap(r.data());
        const bool ok = LoadProfileFile(*vantor_, r, kWorkingFile);
        if (!ok) LoadProfileFile(*vantor_, r, kDefaultFile);
        if (fromWorking) *fromWorking = ok;
        return r;
    }

    // Loads a configuration (a name of the device folder or a path) over the
    // working record, so that whatever a file lacks stays as the user had
    // it, as the program's Load does; slot order. Prints the reason on
    // failure.
    bool LoadConfig(const std::string& arg, ProfileRecord& out) {
        std::string file;
        bool transient = false;
        if (!ResolveForLoad(arg, file, transient)) return false;
        ProfileRecord r = WorkingRecord();
        const bool ok = LoadProfileFile(*vantor_, r, file.c_str());
        if (transient) {
            std::error_code ec;
            fs::remove(fs::path(kDeviceFolder) / file, ec);
        }
        if (!ok) {
            Error("cannot load " + arg + ": not a readable profile file");
            return false;
        }
        out = r;
        return true;
    }

    // Saves the record (slot order) as a configuration; prints the reason on
    // failure. An existing file is replaced only with force.
    bool SaveConfig(const std::string& arg, const ProfileRecord& slotOrder, bool force, std::string& where) {
        ProfileRecord fileOrder = slotOrder;
        RevertButtonMap(fileOrder.data());
        if (!IsPath(arg)) {
            const std::string name = WithoutXml(arg);
            if (!config_files::IsValidName(name) || config_files::IsReservedFile(name + ".xml")) {
                Error("'" + arg + "' cannot be a configuration name (at most 27 characters, no reserved or "
                      "forbidden characters or names); nothing written");
                return false;
            }
            const std::string file = name + ".xml";
            where = (dataFolder_ / kDeviceFolder / file).string();
            if (!force && fs::exists(fs::path(kDeviceFolder) / file)) {
                Error("the configuration " + name + " exists; give --force to replace it; nothing written");
                return false;
            }
            if (!vantor_->SaveVantorProfile(fileOrder.data(), Name(file.c_str()))) {
                Error("cannot write " + where + "; nothing written");
                return false;
            }
            return true;
        }
        const fs::path target = Outside(arg);
        where = target.string();
        if (!force && fs::exists(target)) {
            Error(where + " exists; give --force to replace it; nothing written");
            return false;
        }
        // Written by the profile library into the device folder, then copied
        // beside the target and put in its place whole.
        const std::string temp = TransientName("save");
        const fs::path tempPath = fs::path(kDeviceFolder) / temp;
        const bool saved = vantor_->SaveVantorProfile(fileOrder.data(), Name(temp.c_str())) != 0;
        std::error_code ec;
        std::string content;
        if (saved) {
            std::ifstream in(tempPath, std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), {});
        }
        fs::remove(tempPath, ec);
        const std::string beside = target.string() + ".korelle-cli.tmp";
        bool ok = saved && !content.empty();
        if (ok) {
            std::ofstream outFile(beside, std::ios::binary | std::ios::trunc);
            outFile.write(content.data(), static_cast<std::streamsize>(content.size()));
            outFile.close();
            ok = outFile.good() && platform::ReplaceWithFlushed(beside.c_str(), target.string().c_str());
        }
        if (!ok) {
            fs::remove(beside, ec);
            Error("cannot write " + where + "; it was left as it was");
        }
        return ok;
    }

    // ---- the mouse ----

    bool Present() { return link_->IsDeviceExist(); }

    // Reads the 36 segments under the write lock into a record (slot order)
    // whose sections are the working record's. kOk or an exit code.
    int ReadMouse(ProfileRecord& slotOrder) {
        if (!Present()) {
            Error(Text("Str_NotFindHardware") + " Nothing was read or written.");
            return kNoMouse;
        }
        if (!link_->SetReport(protocol::WriteLockOnReport)) {
            Error("the mouse refused the write lock before reading; nothing was read or written");
            return kDeviceFailed;
        }
        ProfileRecord fileOrder = WorkingRecord();
        RevertButtonMap(fileOrder.data());
        unsigned char* r = fileOrder.data();
        SegmentBlock block;
        for (unsigned s = 0; s < protocol::kSegmentCount; ++s) {
            if (env_.interactive)
                err_ << "\rreading segment " << s + 1 << " of " << protocol::kSegmentCount << std::flush;
            else if (s == 0)
                err_ << "reading the mouse's " << protocol::kSegmentCount << " segments" << std::flush;
            if (!link_->ReadSegment(static_cast<std::uint8_t>(s), block)) {
                err_ << "\n";
                const bool released = link_->SetReport(protocol::WriteLockOffReport);
                Error("reading segment " + std::to_string(s) + " failed; nothing was written" +
                      (released ? "" : " (the mouse may keep its write lock until it is plugged in again)"));
                return kDeviceFailed;
            }
            if (s == 0) {
                for (unsigned p = 0; p < protocol::kProfileCount; ++p)
                    std::memcpy(r + ProfileOffset(r, p), block.data() + kHeaderSize * p, kHeaderSize);
            } else {
                const unsigned p = (s - 1) / protocol::kButtonCount, b = (s - 1) % protocol::kButtonCount;
                std::memcpy(r + ButtonOffset(r, p, b), block.data(), kButtonSize);
            }
        }
        err_ << (env_.interactive ? "\n" : ": done\n");
        if (!link_->SetReport(protocol::WriteLockOffReport)) {
            Error("the mouse refused to release its write lock after the read; nothing was written");
            return kDeviceFailed;
        }
        ApplyButtonMap(r);
        slotOrder = fileOrder;
        return kOk;
    }

    int ActiveProfile() { return link_->QueryActiveProfile(); }
    bool Versions(int& hardware, int& firmware) { return link_->QueryDeviceInfo(hardware, firmware) != 0; }

    // The mouse's settings were not saved by us (they differ from the working
    // file): kept as a "mouse-..." configuration before they are overwritten.
    // False when that copy could not be made.
    bool KeepCopyIfForeign(const ProfileRecord& mouse) {
        const ProfileRecord working = WorkingRecord();
        if (std::memcmp(mouse.data() + kProfiles, working.data() + kProfiles, kProfileArea - kProfiles) == 0)
            return true;
        const std::string stamp = env_.stamp ? env_.stamp() : record_copies::LocalStamp();
        const std::string name = record_copies::SaveCopy(*vantor_, mouse, record_copies::kMousePrefix, stamp);
        if (name.empty()) {
            Error("the mouse holds settings that were never saved here, and they could not be copied to " +
                  (dataFolder_ / kDeviceFolder).string() + "; nothing was written");
            return false;
        }
        record_copies::PruneCopies(*vantor_, mouse, record_copies::kMousePrefix, record_copies::kMouseCopiesKept);
        err_ << "what the mouse held was kept as the configuration " << name << " ("
             << (dataFolder_ / kDeviceFolder / (name + ".xml")).string() << ")\n";
        return true;
    }

    // Segments (file order) in which the record, as a write would send it
    // (checksum computed), differs from the mouse.
    std::vector<unsigned> ChangedSegments(ProfileRecord target, const ProfileRecord& mouse) {
        WithChecksum(target);
        ProfileRecord a = target, b = mouse;
        RevertButtonMap(a.data());
        RevertButtonMap(b.data());
        std::vector<unsigned> out;
        bool header = false;
        for (unsigned p = 0; p < protocol::kProfileCount; ++p)
            header |= std::memcmp(a.data() + ProfileOffset(a.data(), p), b.data() + ProfileOffset(a.data(), p),
                                  kHeaderSize) != 0;
        if (header) out.push_back(0);
        for (unsigned p = 0; p < protocol::kProfileCount; ++p)
            for (unsigned b2 = 0; b2 < protocol::kButtonCount; ++b2)
                if (std::memcmp(a.data() + ButtonOffset(a.data(), p, b2), b.data() + ButtonOffset(a.data(), p, b2),
                                kButtonSize) != 0)
                    out.push_back(static_cast<unsigned>(protocol::ButtonSegment(p, b2)));
        return out;
    }

    void WithChecksum(ProfileRecord& r) {
        ProfileRecord keepWork = work_;
        work_ = r;
        link_->ComputeRecordChecksum();
        r = work_;
        work_ = keepWork;
    }

    // Writes target (slot order) over what the mouse holds, as Apply does:
    // only the changed segments under the lock, the switch back to the
    // active profile, and the working file. Prints what failed and what was
    // left as it was. kOk or an exit code.
    int Write(const ProfileRecord& target, const ProfileRecord& mouse) {
        const std::vector<unsigned> planned = ChangedSegments(target, mouse);
        {
            ProfileRecord check = target;
            WithChecksum(check);
            if (!ValidateDeviceRecord(check.data())) {
                Error(Text("Str_InvalidSettings") + " Nothing was sent; the mouse and the working file were "
                      "left as they were.");
                return kInvalidData;
            }
        }
        if (!planned.empty() && !KeepCopyIfForeign(mouse)) return kFileFailed;
        cur_ = ActiveProfile();
        work_ = target;
        saved_ = mouse;
        WriteWatch watch;
        watch.planned = static_cast<unsigned>(planned.size());
        watch.progress = &err_;
        watch.interactive = env_.interactive;
        if (!env_.interactive && !planned.empty())
            err_ << "writing " << planned.size() << " segment" << (planned.size() == 1 ? "" : "s") << "\n";
        tap_.watch = &watch;
        messages_.keys.clear();
        messages_.texts.clear();
        link_->WriteToDevice(&context_);
        tap_.watch = nullptr;
        if (env_.interactive && (!watch.written.empty() || watch.current >= 0)) err_ << "\n";
        return Outcome(watch, planned);
    }

    int SwitchTo(unsigned profile) {
        cur_ = static_cast<int>(profile);
        messages_.keys.clear();
        if (link_->SwitchProfile()) return kOk;
        if (messages_.Has("Str_NotFindHardware")) {
            Error(Text("Str_NotFindHardware") + " Nothing was sent.");
            return kNoMouse;
        }
        Error(Text("Str_SwitchErr") + " The active profile was left as it was.");
        return kDeviceFailed;
    }

    ProfileRecord& deviceRecord() { return deviceRecord_; }
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }

private:
    int Outcome(WriteWatch& watch, const std::vector<unsigned>& planned) {
        const std::string written = "segments written: " + Join(watch.written);
        if (messages_.Has("Str_InvalidSettings")) {
            Error(Text("Str_InvalidSettings") + " Nothing was sent.");
            return kInvalidData;
        }
        if (messages_.Has("Str_WriteProfileErr") ||
            (messages_.Has("Str_WriteHardwareErr") && watch.written.empty() && watch.current < 0 &&
             !watch.locked)) {
            Error(Text("Str_WriteProfileErr") + " The mouse refused its write lock: nothing was written; the mouse "
                  "and the working file were left as they were.");
            return kDeviceFailed;
        }
        if (messages_.Has("Str_WriteHardwareErr")) {
            std::vector<unsigned> rest;
            for (unsigned s : planned)
                if (std::find(watch.written.begin(), watch.written.end(), s) == watch.written.end())
                    rest.push_back(s);
            const bool released = watch.locked && link_->SetReport(protocol::WriteLockOffReport);
            Error(Text("Str_WriteHardwareErr") + " " + written + "; not written: " + Join(rest) +
                  ". A segment the mouse refused keeps its old content. The working file was left as it was; "
                  "run the command again to finish." +
                  (watch.locked && !released ? " The mouse may keep its write lock until it is plugged in again."
                                             : ""));
            return kDeviceFailed;
        }
        if (messages_.Has("Str_NotFindHardware")) {
            Error(Text("Str_NotFindHardware") + " Nothing was written to the mouse; as Apply does without a "
                  "mouse, the working file now holds the new settings.");
            return kNoMouse;
        }
        if (messages_.Has("Str_SaveTmpProfileErr")) {
            Error("the mouse holds the new settings (" + written + "), but the working file could not be "
                  "written and still holds the old ones.");
            return kFileFailed;
        }
        if (messages_.Has("Str_SwitchErr")) {
            Error("the new settings were written (" + written + ") and saved, but " + Text("Str_SwitchErr"));
            return kDeviceFailed;
        }
        if (planned.empty())
            err_ << "the mouse holds these settings already; nothing was written\n";
        else
            err_ << written << "\n";
        return kOk;
    }

    bool EnsureDeviceFolder(const fs::path& device) {
        std::error_code ec;
        const bool complete = fs::exists(device / kDeviceInfoFile) && fs::exists(device / kDefaultFile);
        if (complete) return true;
        const fs::path factory = env_.factoryFolder;
        if (env_.factoryFolder.empty() || !fs::exists(factory / kDeviceInfoFile) ||
            !fs::exists(factory / kDefaultFile)) {
            Error("the data folder has no " + (device / kDeviceInfoFile).string() + " and " + kDefaultFile +
                  "; give the program folder with --data");
            return false;
        }
        fs::create_directories(device, ec);
        for (const char* f : {kDeviceInfoFile, kDefaultFile}) {
            if (fs::exists(device / f)) continue;
            fs::copy_file(factory / f, device / f, ec);
            if (ec) {
                Error("cannot set up " + device.string() + ": " + ec.message());
                return false;
            }
        }
        err_ << "set up the data folder " << device.parent_path().parent_path().string() << " with the factory files\n";
        return true;
    }

    static bool IsPath(const std::string& arg) {
        return arg.find('/') != std::string::npos || arg.find('\\') != std::string::npos;
    }
    static std::string WithoutXml(const std::string& arg) {
        if (arg.size() > 4) {
            std::string tail = arg.substr(arg.size() - 4);
            std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
            if (tail == ".xml") return arg.substr(0, arg.size() - 4);
        }
        return arg;
    }
    fs::path Outside(const std::string& arg) const {
        const fs::path p(arg);
        return (p.is_absolute() ? p : savedCwd_ / p).lexically_normal();
    }
    static std::string TransientName(const char* what) {
        static int n = 0;
        return std::string("~korelle-cli-") + what + "-" + std::to_string(++n) + ".tmp";
    }

    bool ResolveForLoad(const std::string& arg, std::string& file, bool& transient) {
        transient = false;
        if (!IsPath(arg)) {
            file = WithoutXml(arg) + ".xml";
            if (!fs::exists(fs::path(kDeviceFolder) / file)) {
                Error("no configuration " + WithoutXml(arg) + " in " + (dataFolder_ / kDeviceFolder).string() +
                      " (give a path with a folder for a file elsewhere)");
                return false;
            }
            return true;
        }
        const fs::path source = Outside(arg);
        std::error_code ec;
        if (!fs::is_regular_file(source, ec)) {
            Error("cannot read " + source.string() + ": no such file");
            return false;
        }
        file = TransientName("load");
        fs::copy_file(source, fs::path(kDeviceFolder) / file, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            Error("cannot read " + source.string() + ": " + ec.message());
            return false;
        }
        transient = true;
        return true;
    }

    Env& env_;
    std::ostream& out_;
    std::ostream& err_;
    fs::path savedCwd_, dataFolder_;
    bool cwdChanged_ = false;
    std::unique_ptr<Vantor> vantor_;
    std::unique_ptr<XmlRW> strings_;
    ProfileRecord deviceRecord_, work_, saved_;
    int cur_ = 0;
    Messages messages_;
    RealSleeper realSleeper_;
    Tap tap_;
    std::unique_ptr<DeviceLink> link_;
    DeviceContext context_;
};

// ---- describing settings ----

const char* const kDpiNames[] = {"400 dpi", "800 dpi", "1600 dpi", "2000 dpi"};
const char* const kPollingNames[] = {"100 T/S", "500 T/S", "1000 T/S"};

std::string DpiText(unsigned step) { return step < 4 ? kDpiNames[step] : "invalid"; }
std::string PollingText(unsigned index) { return index < 3 ? kPollingNames[index] : "invalid"; }

std::string KeyText(std::uint8_t usageId, bool press) {
    const std::uint8_t key = macro::UsageToKey[usageId];
    const char* text = press ? macro::PressText[key] : macro::ReleaseText[key];
    if (key && text && text[0]) return text;
    char buf[32];
    std::snprintf(buf, sizeof buf, "usage 0x%02x %s", usageId, press ? "v" : "^");
    return buf;
}

// "SWITCH DPI (up)", "SELECT PROFILE (profile 3)", "MACRO (4 steps)"...
std::string DescribeButton(const Session& s, const unsigned char* button) {
    const unsigned code = FunIdOf(button).Code();
    const unsigned ext = button[kFunExt];
    std::string text = s.FunctionName(code);
    if (code == 7) {
        if (ext == 0x08) text += " (up)";
        else if (ext == 0x04) text += " (down)";
        else if (ext <= 3) text += " (" + DpiText(ext == 0 ? 1 : ext) + ")";
        else text += " (FunExt 0x" + [&] { char b[8]; std::snprintf(b, sizeof b, "%x", ext); return std::string(b); }() + ")";
    } else if (code == 8) {
        text += ext <= 4 ? " (profile " + std::to_string(ext + 1) + ")" : " (FunExt " + std::to_string(ext) + ")";
    } else if (code == 10) {
        const unsigned char* slots = button + kKeySlots;
        text += slots[0] ? " (" + KeyText(slots[0], true).substr(0, KeyText(slots[0], true).size() - 2) + ")" : " (no key)";
    }
    if (FunIdOf(button).ContinueClick()) text += " [continue click]";
    if (FunIdOf(button).ToggleClick()) text += " [toggle click]";
    return text;
}

// The macro steps, one a line: "A v, then 120 ms".
std::vector<std::string> MacroLines(const unsigned char* button) {
    std::vector<std::string> lines;
    const auto steps = macro::DecodeMacro(macro::ConstKeySlots(button + kKeySlots, macro::kKeySlotBytes));
    for (const macro::MacroStep& st : steps)
        lines.push_back(KeyText(st.usageID, st.press) + ", then " + std::to_string(st.delay) + " ms");
    if (lines.empty()) lines.push_back("(no steps)");
    return lines;
}

void ShowProfile(Session& s, const unsigned char* r, unsigned p, bool active, std::ostream& out) {
    const unsigned char* h = r + ProfileOffset(r, p);
    out << "profile " << p + 1 << (active ? " (active)" : "") << ": DPI step " << unsigned(h[kDPI]) << " ("
        << DpiText(h[kDPI]) << "), polling " << unsigned(h[kSensorPollRate]) << " ("
        << PollingText(h[kSensorPollRate]) << ")\n";
    for (unsigned b = 0; b < ButtonNum(r); ++b) {
        const unsigned char* button = r + ButtonOffset(r, p, b);
        out << "  button " << b + 1 << ": " << DescribeButton(s, button) << "\n";
        if (FunIdOf(button).Code() == 9)
            for (const std::string& line : MacroLines(button)) out << "      " << line << "\n";
    }
}

// ---- parsing ----

bool ParseUnsigned(const std::string& text, unsigned& out) {
    if (text.empty() || text.size() > 6) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

struct Options {
    std::vector<std::string> words;
    bool force = false;
    bool help = false;
    std::string unknown;
};

Options SplitOptions(const std::vector<std::string>& args, Env& env) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--force") o.force = true;
        else if (a == "--data" && i + 1 < args.size()) env.dataFolder = args[++i];
        else if (a.rfind("--data=", 0) == 0) env.dataFolder = a.substr(7);
        else if (a.size() > 1 && a[0] == '-' && o.unknown.empty()) o.unknown = a;
        else o.words.push_back(a);
    }
    return o;
}

int Usage(Env& env, std::ostream& err, const std::string& why) {
    err << env.programName << ": " << why << "; nothing was sent\n"
        << "Try '" << env.programName << " --help'.\n";
    return kUsage;
}

// ---- commands ----

int List(Session& s, Env& env) {
    int hardware = 0, firmware = 0;
    std::vector<std::string> mice;
    if (env.listMice) {
        mice = env.listMice();
        for (const std::string& line : mice) s.out() << line << "\n";
    }
    if (!s.Present() && !mice.empty()) {
        s.Error("the mouse is attached but cannot be opened for reading and writing; give the user access to "
                "its node (assets/linux/70-korelle-mouse.rules)");
        return kNoMouse;
    }
    if (!s.Present()) {
        s.Error("no mouse found (vendor 7a3d, product 006a)");
        return kNoMouse;
    }
    s.Versions(hardware, firmware);
    s.out() << "7a3d:006a  firmware " << firmware << "  hardware " << hardware << "  active profile "
            << s.ActiveProfile() + 1 << "\n";
    return kOk;
}

int Show(Session& s) {
    ProfileRecord mouse;
    if (const int rc = s.ReadMouse(mouse); rc != kOk) return rc;
    int hardware = 0, firmware = 0;
    s.Versions(hardware, firmware);
    const int active = s.ActiveProfile();
    s.out() << "mouse 7a3d:006a, firmware " << firmware << ", hardware " << hardware << ", active profile "
            << active + 1 << "\n";
    for (unsigned p = 0; p < protocol::kProfileCount; ++p) ShowProfile(s, mouse.data(), p, int(p) == active, s.out());
    if (!ValidateDeviceRecord(mouse.data()))
        s.out() << "warning: the mouse holds invalid settings (restore a configuration to mend them)\n";
    return kOk;
}

int Backup(Session& s, const std::string& target, bool force) {
    ProfileRecord mouse;
    if (const int rc = s.ReadMouse(mouse); rc != kOk) return rc;
    std::string where;
    if (!s.SaveConfig(target, mouse, force, where)) return kFileFailed;
    s.out() << "saved the mouse's settings to " << where << "\n";
    if (!ValidateDeviceRecord(mouse.data()))
        s.err() << "warning: the mouse holds invalid settings; the file keeps them as they are\n";
    return kOk;
}

void DiffLines(Session& s, const unsigned char* file, const unsigned char* mouse, std::ostream& out) {
    for (unsigned p = 0; p < protocol::kProfileCount; ++p) {
        const unsigned char* hf = file + ProfileOffset(file, p);
        const unsigned char* hm = mouse + ProfileOffset(mouse, p);
        const std::string at = "profile " + std::to_string(p + 1);
        if (hf[kDPI] != hm[kDPI])
            out << at << ": DPI step: file " << unsigned(hf[kDPI]) << " (" << DpiText(hf[kDPI]) << "), mouse "
                << unsigned(hm[kDPI]) << " (" << DpiText(hm[kDPI]) << ")\n";
        if (hf[kSensorPollRate] != hm[kSensorPollRate])
            out << at << ": polling: file " << PollingText(hf[kSensorPollRate]) << ", mouse "
                << PollingText(hm[kSensorPollRate]) << "\n";
        if (hf[kProfileIndex] != hm[kProfileIndex])
            out << at << ": profile index: file " << unsigned(hf[kProfileIndex]) << ", mouse "
                << unsigned(hm[kProfileIndex]) << "\n";
        if (p > 0 && std::memcmp(hf + kDummy, hm + kDummy, kDummySize) != 0) out << at << ": Dummy text differs\n";
        for (unsigned b = 0; b < protocol::kButtonCount; ++b) {
            const unsigned char* bf = file + ButtonOffset(file, p, b);
            const unsigned char* bm = mouse + ButtonOffset(mouse, p, b);
            if (std::memcmp(bf, bm, kButtonSize) == 0) continue;
            const std::string df = DescribeButton(s, bf), dm = DescribeButton(s, bm);
            out << at << " button " << b + 1 << ": ";
            if (df != dm) {
                out << "file " << df << ", mouse " << dm << "\n";
            } else if (FunIdOf(bf).Code() == 9 && MacroLines(bf) != MacroLines(bm)) {
                out << "macro steps differ\n    file:  ";
                for (const std::string& l : MacroLines(bf)) out << l << "; ";
                out << "\n    mouse: ";
                for (const std::string& l : MacroLines(bm)) out << l << "; ";
                out << "\n";
            } else {
                out << "stored bytes differ (same function: " << df << ")\n";
            }
        }
    }
}

int Diff(Session& s, const std::string& config) {
    ProfileRecord file;
    if (!s.LoadConfig(config, file)) return kFileFailed;
    ProfileRecord mouse;
    if (const int rc = s.ReadMouse(mouse); rc != kOk) return rc;
    const std::vector<unsigned> segments = s.ChangedSegments(file, mouse);
    if (segments.empty()) {
        s.out() << "the mouse holds the settings of " << config << "\n";
        return kOk;
    }
    std::ostringstream lines;
    DiffLines(s, file.data(), mouse.data(), lines);
    s.out() << lines.str();
    if (lines.str().empty()) s.out() << "record checksum differs (the file's software settings differ)\n";
    s.out() << "restore would write segments: " << Join(segments) << "\n";
    return kDiffers;
}

int Restore(Session& s, const std::string& config) {
    ProfileRecord file;
    if (!s.LoadConfig(config, file)) return kFileFailed;
    {
        ProfileRecord check = file;
        s.WithChecksum(check);
        if (!ValidateDeviceRecord(check.data())) {
            s.Error(config + ": " + s.Text("Str_InvalidSettings") +
                    " Nothing was sent; the mouse and the working file were left as they were.");
            return kInvalidData;
        }
    }
    ProfileRecord mouse;
    if (const int rc = s.ReadMouse(mouse); rc != kOk) return rc;
    const int rc = s.Write(file, mouse);
    if (rc == kOk) s.out() << "restored " << config << " to the mouse\n";
    return rc;
}

// "set button P B FUNCTION [VALUE]", "set dpi P STEP", "set polling P RATE":
// every value is checked before the mouse is read or written.
int Set(Session& s, const std::vector<std::string>& w, Env& env) {
    std::string why;
    unsigned profile = 0;
    const std::string what = w.size() > 1 ? w[1] : "";
    if (what != "button" && what != "dpi" && what != "polling")
        return Usage(env, s.err(), "set what? 'button', 'dpi' or 'polling'");
    if (w.size() < 4) return Usage(env, s.err(), "set " + what + ": too few values");
    if (!ParseIndex(w[2], 5, profile, "profile", why)) return Usage(env, s.err(), why);
    unsigned button = 0, value = 0;
    ButtonFunction function;
    if (what == "button") {
        if (w.size() > 6) return Usage(env, s.err(), "set button: too many values");
        if (w.size() < 5) return Usage(env, s.err(), "set button: give PROFILE BUTTON FUNCTION [VALUE]");
        if (!ParseIndex(w[3], 7, button, "button", why)) return Usage(env, s.err(), why);
        if (!ParseButtonFunction(w[4], w.size() > 5 ? w[5] : "", function, why)) return Usage(env, s.err(), why);
    } else {
        if (w.size() > 4) return Usage(env, s.err(), "set " + what + ": too many values");
        const bool ok = what == "dpi" ? ParseDpiStep(w[3], value, why) : ParsePolling(w[3], value, why);
        if (!ok) return Usage(env, s.err(), why);
    }

    ProfileRecord mouse;
    if (const int rc = s.ReadMouse(mouse); rc != kOk) return rc;
    ProfileRecord target = mouse;
    unsigned char* r = target.data();
    unsigned char* header = r + ProfileOffset(r, profile);
    if (what == "dpi") {
        header[kDPI] = static_cast<unsigned char>(value);
    } else if (what == "polling") {
        header[kSensorPollRate] = static_cast<unsigned char>(value);
    } else {
        unsigned char* b = r + ButtonOffset(r, profile, button);
        // The last CLICK of a profile stays, as in the program's menu.
        unsigned clicks = 0;
        for (unsigned k = 0; k < ButtonNum(r); ++k) clicks += FunIdOf(r + ButtonOffset(r, profile, k)).Code() == 1;
        if (FunIdOf(b).Code() == 1 && clicks <= 1 && function.code != 1) {
            s.Error(s.Text("Str_Need1Button") + " Nothing was sent.");
            return kUsage;
        }
        // A new function starts from a clean block that keeps its BtnIndex.
        if (FunIdOf(b).Code() != function.code) std::memset(b + 1, 0, kButtonSize - 1);
        SetFunId(b, FunId::OfCode(function.code).WithClickFlags(FunIdOf(b).ContinueClick(), FunIdOf(b).ToggleClick()));
        b[kFunExt] = function.ext;
    }
    const int rc = s.Write(target, mouse);
    if (rc == kOk) s.out() << "set " << what << " of profile " << profile + 1 << "\n";
    return rc;
}

}  // namespace

// ---- values ----

bool ParseIndex(const std::string& text, unsigned max, unsigned& zeroBased, const char* what, std::string& why) {
    unsigned n = 0;
    if (!ParseUnsigned(text, n) || n < 1 || n > max) {
        why = std::string(what) + " '" + text + "' is out of range: give 1 to " + std::to_string(max);
        return false;
    }
    zeroBased = n - 1;
    return true;
}

bool ParseDpiStep(const std::string& text, unsigned& step, std::string& why) {
    unsigned n = 0;
    const bool number = ParseUnsigned(text, n);
    if (number && n >= 1 && n <= 3) step = n;
    else if (number && n == 800) step = 1;
    else if (number && n == 1600) step = 2;
    else if (number && n == 2000) step = 3;
    else {
        why = "DPI step '" + text + "' is out of range: give 1, 2 or 3 (800, 1600 or 2000 dpi)";
        return false;
    }
    return true;
}

bool ParsePolling(const std::string& text, unsigned& index, std::string& why) {
    unsigned n = 0;
    const bool number = ParseUnsigned(text, n);
    if (number && n <= 2) index = n;
    else if (number && n == 100) index = 0;
    else if (number && n == 500) index = 1;
    else if (number && n == 1000) index = 2;
    else {
        why = "polling rate '" + text + "' is out of range: give 0, 1 or 2 (100, 500 or 1000 reports a second)";
        return false;
    }
    return true;
}

bool ParseButtonFunction(const std::string& name, const std::string& value, ButtonFunction& out, std::string& why) {
    static const std::pair<const char*, unsigned> kPlain[] = {
        {"off", 0},     {"click", 1},   {"right", 2}, {"middle", 3}, {"button4", 4},
        {"button5", 5}, {"double-click", 6},
    };
    for (const auto& [n, code] : kPlain) {
        if (name != n) continue;
        if (!value.empty()) {
            why = "function '" + name + "' takes no value";
            return false;
        }
        out = {code, 0};
        return true;
    }
    if (name == "dpi") {
        static const std::pair<const char*, unsigned char> kDpi[] = {
            {"800", 1}, {"1600", 2}, {"2000", 3}, {"up", 0x08}, {"down", 0x04}};
        for (const auto& [n, ext] : kDpi)
            if (value == n) {
                out = {7, ext};
                return true;
            }
        why = "function 'dpi' takes 800, 1600, 2000, up or down, not '" + value + "'";
        return false;
    }
    if (name == "profile") {
        unsigned p = 0;
        if (!ParseIndex(value, 5, p, "profile", why)) {
            why = "function 'profile' takes a profile 1 to 5, not '" + value + "'";
            return false;
        }
        out = {8, static_cast<unsigned char>(p)};
        return true;
    }
    if (name == "macro" || name == "single") {
        why = "a " + name + " needs recorded keys: record it in Korelle and save a configuration, then restore it";
        return false;
    }
    if (name == "dynamic-sensitive") {
        why = "function 'dynamic-sensitive' is not supported";
        return false;
    }
    why = "unknown function '" + name +
          "': give off, click, right, middle, button4, button5, double-click, dpi VALUE or profile N";
    return false;
}

std::string HelpText(const std::string& p) {
    return "Usage: " + p + " [--data FOLDER] COMMAND [ARGUMENTS]\n"
           "\n"
           "Reads and writes the settings of the Korelle mouse (vendor 7a3d, product 006a).\n"
           "\n"
           "Commands:\n"
           "  list                         the attached mice, with firmware and active profile\n"
           "  show                         profiles, buttons, DPI step, polling and macros\n"
           "  backup CONFIG [--force]      save what the mouse holds as a profile file\n"
           "  restore CONFIG               write a profile file to the mouse (changed segments\n"
           "                               only) and update the working file, as Apply does\n"
           "  diff CONFIG                  what differs between a profile file and the mouse\n"
           "  set button P B FUNCTION [V]  give button B (1-7) of profile P (1-5) a function:\n"
           "                               off, click, right, middle, button4, button5,\n"
           "                               double-click, dpi 800|1600|2000|up|down, profile 1-5\n"
           "  set dpi P STEP               DPI step of profile P: 1, 2, 3 (or 800, 1600, 2000)\n"
           "  set polling P RATE           polling of profile P: 0, 1, 2 (or 100, 500, 1000)\n"
           "  switch P                     make profile P (1-5) the active one\n"
           "\n"
           "CONFIG is a configuration name of the device folder (as Korelle's Configure\n"
           "dialog saves them, e.g. 'lan-party') or the path of a profile file elsewhere\n"
           "(with a folder, e.g. ./lan-party.xml). Before the mouse is overwritten while it\n"
           "holds settings that were never saved here, they are kept as the configuration\n"
           "mouse-YYYY-MM-DD-HHMM.\n"
           "\n"
           "Options:\n"
           "  --data FOLDER  the program folder holding Database/VID7a3d_PID006a\n"
           "                 (Korelle's own folder works; default: " +
#ifdef _WIN32
           std::string("the folder of this program") +
#else
           std::string("$KORELLE_DATA, else ~/.local/share/korelle") +
#endif
           ")\n"
           "  --force        let backup replace an existing file\n"
           "  --help         this text\n"
           "\n"
           "Every value is checked before anything is sent. Exit codes: 0 done (diff: same),\n"
           "1 diff found differences, 2 bad command line or value (nothing sent), 3 no mouse,\n"
           "4 the mouse failed a report, 5 a file could not be read or written, 6 the\n"
           "settings are invalid (nothing sent), 7 Korelle.exe is running (nothing sent).\n"
           "Errors say what was left as it was.\n"
#ifndef _WIN32
           "The emulated mouse is used instead when KORELLE_EMULATOR_STATE names its state file.\n"
#endif
        ;
}

int Run(const std::vector<std::string>& args, Env& env, std::ostream& out, std::ostream& err) {
    const Options o = SplitOptions(args, env);
    if (o.help) {
        out << HelpText(env.programName);
        return kOk;
    }
    if (!o.unknown.empty()) return Usage(env, err, "unknown option '" + o.unknown + "'");
    if (o.words.empty()) return Usage(env, err, "no command given");
    const std::vector<std::string>& w = o.words;
    const std::string& command = w[0];
    auto arity = [&](std::size_t n) { return w.size() == n; };

    // The command line is checked in full before the mouse is touched.
    unsigned profile = 0;
    std::string why;
    if (command == "list" || command == "show") {
        if (!arity(1)) return Usage(env, err, command + " takes no arguments");
    } else if (command == "backup" || command == "restore" || command == "diff") {
        if (!arity(2)) return Usage(env, err, command + " takes one CONFIG");
    } else if (command == "switch") {
        if (!arity(2)) return Usage(env, err, "switch takes one profile number");
        if (!ParseIndex(w[1], 5, profile, "profile", why)) return Usage(env, err, why);
    } else if (command != "set") {
        return Usage(env, err, "unknown command '" + command + "'");
    }
    if (o.force && command != "backup") return Usage(env, err, "--force belongs to backup");

    Session s(env, out, err);
    if (const int rc = s.Open(); rc != kOk) return rc;
    if (command == "list") return List(s, env);
    if (command == "show") return Show(s);
    if (command == "backup") return Backup(s, w[1], o.force);
    if (command == "restore") return Restore(s, w[1]);
    if (command == "diff") return Diff(s, w[1]);
    if (command == "switch") {
        const int rc = s.SwitchTo(profile);
        if (rc == kOk) out << "profile " << profile + 1 << " is active\n";
        return rc;
    }
    return Set(s, w, env);
}

}  // namespace cli
