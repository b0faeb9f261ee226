// Korelle.exe's system-wide mouse hook under Wine, while the program's window
// thread is busy with a full rewrite of the emulated mouse: input injected
// by another process (input-probe.exe) must get through at once, and the
// pointer-speed thumb must still follow a real drag afterwards. (Test names
// stay short: the program refuses a folder path too long for its buffers.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
constexpr const char* kLeft = KORELLE_WINDOW(IDC_LEFT_SPEED_LABEL);
constexpr int kOk = IDC_MSG_OK, kLeftToggle = IDC_MAIN_LEFT_TOGGLE, kSpeedThumb = IDC_LEFT_SPEED_THUMB;
// Longer than any pause of a loaded machine's scheduler, far shorter than a
// hook that waits for the window thread through a device wait.
constexpr double kMaxDelayMs = 250;

struct Rect {
    long left = 0, top = 0, right = 0, bottom = 0;
};

// What the probe measured, one entry per injected move.
struct ProbeResult {
    std::vector<double> sendMs;
    std::vector<double> seenMs;  // -1: never arrived
    bool done = false;
    double MaxSeen() const { return seenMs.empty() ? 0 : *std::max_element(seenMs.begin(), seenMs.end()); }
    double MaxSend() const { return sendMs.empty() ? 0 : *std::max_element(sendMs.begin(), sendMs.end()); }
    double MedianSeen() const {
        std::vector<double> sorted = seenMs;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    long Lost() const { return std::count(seenMs.begin(), seenMs.end(), -1.0); }
};

ProbeResult ParseProbe(const std::string& text) {
    ProbeResult result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("done", 0) == 0) result.done = true;
        std::istringstream words(line);
        std::string sendKey, seenKey;
        double send = 0, seen = 0;
        if (words >> sendKey >> send >> seenKey >> seen && sendKey == "send-ms" && seenKey == "seen-ms") {
            result.sendMs.push_back(send);
            result.seenMs.push_back(seen);
        }
    }
    return result;
}

class Hook : public KorelleTest {
protected:
    void TearDown() override {
        Driver("spi set speed 10");  // the prefix is shared by the run's tests
        KorelleTest::TearDown();
    }

    Rect RectOf(const std::string& window, int id = 0) {
        std::istringstream in(DriverOut("rect " + window + (id ? " " + std::to_string(id) : "")));
        Rect r;
        in >> r.left >> r.top >> r.right >> r.bottom;
        return r;
    }
    std::string Answer(int button) { return DriverOut("skinned-box" + kWait + " " + std::to_string(button)); }
    fs::path Probe(const char* file) const { return folder / file; }
};

TEST_F(Hook, InputGetsThroughDuringARewrite) {
    ASSERT_EQ(Driver("spi set speed 10").code, 0);
    // Invalid data in the mouse: the start copies it and rewrites it whole.
    MouseTool({"set", mouseState.string(), "segment", "0", "17", "00"});
    MouseTool({"set", mouseState.string(), "segment", "0", "3", "31", "32", "33", "34"});

    // The probe hooks in before the program does, so its hook comes after
    // the program's in the chain.
    const pid_t probe = RunProgram(WindowsBuildFile("tests/e2e/input-probe.exe"), {WindowsPath(folder)});
    ASSERT_TRUE(WaitFor([&] { return fs::exists(Probe("probe-ready")); })) << "the probe did not start";

    program = Run();
    EXPECT_EQ(Answer(kOk), ShippedText("Str_SettingErr"));
    // OK to the copy's message starts the rewrite; the probe injects from
    // just before until the main window shows after it.
    WriteText(Probe("probe-go"), "");
    const auto okAt = std::chrono::steady_clock::now();
    EXPECT_NE(Answer(kOk).find("mouse-"), std::string::npos);
    ASSERT_EQ(Driver(std::string("wait ") + kMain + " shown" + kWait).code, 0);
    const auto shownAt = std::chrono::steady_clock::now();
    WriteText(Probe("probe-stop"), "");
    ASSERT_EQ(WaitExit(probe, kTimeoutMs), 0) << "the probe failed or never ended";
    EXPECT_NE(ShowMouse().find("profile 2: index 2, DPI 3"), std::string::npos) << "not rewritten";

    const ProbeResult delays = ParseProbe(ReadText(Probe("probe-result.txt")));
    const long rewriteMs = std::chrono::duration_cast<std::chrono::milliseconds>(shownAt - okAt).count();
    std::cout << "[ probe    ] rewrite " << rewriteMs << " ms, " << delays.seenMs.size() << " moves, through the hooks in "
              << delays.MedianSeen() << " ms median, " << delays.MaxSeen() << " ms at most, " << delays.Lost()
              << " never; SendInput at most "
              << delays.MaxSend() << " ms\n";
    RecordProperty("rewrite_ms", std::to_string(rewriteMs));
    RecordProperty("max_seen_ms", std::to_string(delays.MaxSeen()));
    RecordProperty("max_send_ms", std::to_string(delays.MaxSend()));
    ASSERT_TRUE(delays.done);
    // Moves every few ms through the rewrite: enough of them to have met
    // the window thread's waits.
    EXPECT_GE(delays.seenMs.size(), 10u);
    EXPECT_EQ(delays.Lost(), 0);
    EXPECT_LT(delays.MaxSeen(), kMaxDelayMs);
    EXPECT_LT(delays.MaxSend(), kMaxDelayMs);

    // After the rewrite, a real drag of the pointer-speed thumb to client
    // y 54 (level 7) writes speed 16.
    ASSERT_EQ(Driver("spi get speed").out, "10");
    ASSERT_EQ(Driver("slide " + std::string(kMain) + " " + std::to_string(kLeftToggle) + " " + kLeft +
                     " " KORELLE_ID(IDC_LEFT_SPEED_LABEL) + kWait)
                  .code,
              0);
    const Rect panel = RectOf(kLeft);
    const Rect thumb = RectOf(kLeft, kSpeedThumb);
    DriverOut("drag " + std::to_string((thumb.left + thumb.right) / 2) + " " + std::to_string((thumb.top + thumb.bottom) / 2) +
              " " + std::to_string(panel.left + 120) + " " + std::to_string(panel.top + 54));
    EXPECT_EQ(RectOf(kLeft, kSpeedThumb).top - panel.top, 51) << "the thumb did not follow";
    // The panel passes the speed as the pointer argument, as Windows reads
    // it; Wine 8 reads the first argument (0) instead.
    EXPECT_TRUE(WaitFor([&] {
        const std::string speed = Driver("spi get speed").out;
        return speed == "16" || speed == "0";
    }, 5000)) << Driver("spi get speed").out;
    Quit();
}

}  // namespace
