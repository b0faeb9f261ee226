// korelle-uhid-mouse: the emulated mouse behind /dev/uhid, so that the
// system's HID stack (hidraw, and Wine's HID services above it) carries the
// reports to our firmware model. Same state file and trace as korelle-mouse.
//
//   korelle-uhid-mouse STATE [--trace FILE] [--control FILE]
//
// The fault variables of the emulated mouse (KORELLE_EMULATOR_FAIL_SET ...)
// apply as they do in Quillon.dll. The test drives the device by writing a
// command file (see bridge.h) at the control path, ending with a line end;
// the program carries the commands out and removes the file.
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "uhid_mouse/bridge.h"

namespace {

namespace fs = std::filesystem;
using uhid_mouse::Bridge;
using uhid_mouse::Command;

volatile std::sig_atomic_t g_stop = 0;

void Log(const std::string& text) { std::fprintf(stderr, "korelle-uhid-mouse: %s\n", text.c_str()); }

bool Send(int fd, const uhid_event& ev) {
    return write(fd, &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev);
}

class Device {
public:
    Device(int fd, Bridge& bridge) : fd_(fd), bridge_(bridge) {}

    bool Plug(std::optional<std::uint32_t> unplugAt) {
        if (created_) return true;
        std::string error;
        if (!bridge_.PowerUp(unplugAt, error)) {
            Log(error);
            return false;
        }
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        auto& c = ev.u.create2;
        std::snprintf(reinterpret_cast<char*>(c.name), sizeof c.name, "Korelle emulated mouse");
        std::snprintf(reinterpret_cast<char*>(c.phys), sizeof c.phys, "korelle-uhid-mouse");
        // A serial number of its own for every plug: Wine names the device
        // by it, and does not offer a device again under the name of one it
        // still holds as removed.
        std::snprintf(reinterpret_cast<char*>(c.uniq), sizeof c.uniq, "%d-%u", static_cast<int>(getpid()), ++plugs_);
        const auto rd = uhid_mouse::ReportDescriptor();
        c.rd_size = static_cast<__u16>(rd.size());
        std::memcpy(c.rd_data, rd.data(), rd.size());
        c.bus = 0x03;  // USB
        c.vendor = uhid_mouse::kVendorId;
        c.product = uhid_mouse::kProductId;
        c.version = 1;
        if (!Send(fd_, ev)) {
            Log(std::string("UHID_CREATE2: ") + std::strerror(errno));
            bridge_.PowerDown();
            return false;
        }
        created_ = true;
        return true;
    }

    void Unplug() {
        if (!created_) return;
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        if (!Send(fd_, ev)) Log(std::string("UHID_DESTROY: ") + std::strerror(errno));
        created_ = false;
        bridge_.PowerDown();
    }

    // One event from the kernel.
    void Handle(const uhid_event& ev) {
        if (ev.type == UHID_GET_REPORT) {
            const auto& r = ev.u.get_report;
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = r.id;
            if (r.rtype != UHID_FEATURE_REPORT) {
                reply.u.get_report_reply.err = EIO;
                Send(fd_, reply);
                return;
            }
            const auto answer = bridge_.GetFeature(r.rnum, sizeof reply.u.get_report_reply.data);
            if (!answer) return;  // muted: the request is never answered
            reply.u.get_report_reply.err = answer->ok ? 0 : EIO;
            reply.u.get_report_reply.size = static_cast<__u16>(answer->data.size());
            std::memcpy(reply.u.get_report_reply.data, answer->data.data(), answer->data.size());
            Send(fd_, reply);
        } else if (ev.type == UHID_SET_REPORT) {
            const auto& r = ev.u.set_report;
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = r.id;
            std::optional<uhid_mouse::Reply> answer;
            if (r.rtype == UHID_FEATURE_REPORT) {
                answer = bridge_.SetFeature(r.rnum, std::span<const std::uint8_t>(r.data, std::min<std::size_t>(r.size, UHID_DATA_MAX)));
                if (!answer) return;
            }
            reply.u.set_report_reply.err = answer && answer->ok ? 0 : EIO;
            Send(fd_, reply);
        } else {
            return;
        }
        // An unplug-at point was reached: the report failed, the device goes.
        if (created_ && !bridge_.present()) Unplug();
    }

    // The mode of the device's hidraw node (read-only: the user may not
    // write to it).
    // Left alone when it has the mode already: Wine takes every change of
    // the node's attributes as the device leaving and coming back.
    void SetNodeMode(mode_t mode) {
        const std::string node = HidrawNode();
        struct stat st {};
        if (node.empty() || stat(node.c_str(), &st) != 0) {
            Log("no hidraw node to change");
            return;
        }
        if ((st.st_mode & 07777) != mode && chmod(node.c_str(), mode) != 0) Log(node + ": " + std::strerror(errno));
    }

    bool created() const { return created_; }

private:
    static std::string HidrawNode() {
        char wanted[64];
        std::snprintf(wanted, sizeof wanted, "HID_ID=0003:%08X:%08X", uhid_mouse::kVendorId, uhid_mouse::kProductId);
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", ec)) {
            std::ifstream uevent(entry.path() / "device" / "uevent");
            std::stringstream text;
            text << uevent.rdbuf();
            if (text.str().find(wanted) != std::string::npos) return "/dev/" + entry.path().filename().string();
        }
        return {};
    }

    int fd_;
    Bridge& bridge_;
    bool created_ = false;
    unsigned plugs_ = 0;
};

// Carries out the commands of the control file; false after quit.
bool RunCommands(const fs::path& control, Device& device, Bridge& bridge) {
    std::ifstream in(control);
    if (!in) return true;
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    // Written in one piece, ending with a line end; anything else is still
    // being written.
    if (text.empty() || text.back() != '\n') return true;
    bool goOn = true;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const auto c = uhid_mouse::ParseCommand(line);
        if (!c) {
            Log("unknown command: " + line);
            continue;
        }
        switch (c->kind) {
            case Command::Kind::Unplug: device.Unplug(); break;
            case Command::Kind::Replug: device.Plug(std::nullopt); break;
            case Command::Kind::Reload:
                if (!device.created()) {
                    device.Plug(std::nullopt);
                } else if (std::string error; !bridge.PowerUp(std::nullopt, error)) {
                    Log(error);
                    device.Unplug();
                }
                break;
            case Command::Kind::UnplugAt:
                // The device stays as the host knows it; the count starts now.
                if (!device.created()) {
                    device.Plug(c->at);
                } else if (std::string error; !bridge.PowerUp(c->at, error)) {
                    Log(error);
                    device.Unplug();
                }
                break;
            case Command::Kind::Mute: bridge.Mute(c->muteGets, c->muteSets); break;
            case Command::Kind::Answer: bridge.Mute(false, false); break;
            case Command::Kind::ReadOnly: device.SetNodeMode(0400); break;
            case Command::Kind::ReadWrite: device.SetNodeMode(0600); break;
            case Command::Kind::Quit: goOn = false; break;
        }
    }
    std::error_code ec;
    fs::remove(control, ec);  // done: the test waits for this
    return goOn;
}

int Usage() {
    std::fprintf(stderr, "usage: korelle-uhid-mouse STATE [--trace FILE] [--control FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    emulator::EmulatorSettings settings;
    std::string error;
    const auto lookup = [&](const char* name) -> std::string {
        if (std::string(name) == emulator::kStateVariable) return argv[1];
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    if (!emulator::SettingsFromEnvironment(lookup, settings, error)) {
        Log(error);
        return 2;
    }
    fs::path control;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--trace" && i + 1 < argc) settings.tracePath = argv[++i];
        else if (a == "--control" && i + 1 < argc) control = argv[++i];
        else return Usage();
    }
    const std::optional<std::uint32_t> unplugAt = settings.faults.unplugAt;
    settings.faults.unplugAt.reset();  // counted from each plug, given with it

    const int fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        Log(std::string("/dev/uhid: ") + std::strerror(errno));
        return 1;
    }
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::signal(SIGINT, [](int) { g_stop = 1; });

    Bridge bridge(settings);
    Device device(fd, bridge);
    if (unplugAt != 0u && !device.Plug(unplugAt)) return 1;

    bool running = true;
    while (running && !g_stop) {
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, 10);
        if (n > 0 && (p.revents & POLLIN)) {
            uhid_event ev{};
            if (read(fd, &ev, sizeof ev) > 0) device.Handle(ev);
        }
        if (!control.empty() && fs::exists(control)) running = RunCommands(control, device, bridge);
    }
    device.Unplug();
    close(fd);
    return 0;
}
