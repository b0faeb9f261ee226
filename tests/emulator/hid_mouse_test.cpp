// Finding and keeping the mouse's collection among the HID interfaces, over
// a fake of the system's HID services.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "components/quillon/hid_mouse.h"

using quillon::HidAccess;
using quillon::HidCollectionInfo;
using quillon::HidHandle;
using quillon::HidMouse;
using quillon::HidSystem;
using quillon::kNoHandle;
using protocol::Report;

namespace {

constexpr std::uint16_t kVid = 0x7A3D;
constexpr std::uint16_t kPid = 0x006A;

struct FakeInterface {
    HidCollectionInfo info;
    bool refusesReadWrite = false;  // as the system does for mice and keyboards
    bool opens = true;
};

// Interfaces by path; records what the HID library does with them.
class FakeHid final : public HidSystem {
public:
    std::map<std::string, FakeInterface> interfaces;
    std::map<HidHandle, std::string> open;  // handles not yet closed
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> sent;
    std::set<std::string> failing;  // reports to these paths fail
    Report answer{};
    int enumerations = 0;

    std::vector<std::string> InterfacePaths() override {
        ++enumerations;
        std::vector<std::string> paths;
        for (const auto& [path, _] : interfaces) paths.push_back(path);
        return paths;
    }
    HidHandle Open(const std::string& path, HidAccess access) override {
        const auto it = interfaces.find(path);
        if (it == interfaces.end() || !it->second.opens) return kNoHandle;
        if (access == HidAccess::ReadWrite && it->second.refusesReadWrite) return kNoHandle;
        const HidHandle h = ++lastHandle_;
        open[h] = path;
        return h;
    }
    bool Describe(HidHandle h, HidCollectionInfo& info) override {
        const auto it = interfaces.find(open.at(h));
        if (it == interfaces.end()) return false;
        info = it->second.info;
        return true;
    }
    bool SetFeature(HidHandle h, const std::uint8_t* report, std::size_t length) override {
        const std::string& path = open.at(h);
        if (!interfaces.count(path) || failing.count(path)) return false;
        sent.emplace_back(path, std::vector<std::uint8_t>(report, report + length));
        return true;
    }
    bool GetFeature(HidHandle h, std::uint8_t* report, std::size_t length) override {
        const std::string& path = open.at(h);
        if (!interfaces.count(path) || failing.count(path) || length != answer.size()) return false;
        sent.emplace_back(path, std::vector<std::uint8_t>(report, report + length));
        std::copy(answer.begin(), answer.end(), report);
        return true;
    }
    void Close(HidHandle h) override { EXPECT_EQ(open.erase(h), 1u) << "closed twice or never opened"; }

private:
    HidHandle lastHandle_ = 100;
};

// The mouse as the system lists it: its pointer and keyboard collections,
// which the system keeps for itself, and the collection of the 8-byte
// feature reports. Around it, another maker's device with the same product
// id and a headset.
void PlugInMouse(FakeHid& hid, const std::string& prefix = "mouse") {
    hid.interfaces[prefix + "-col01"] = {{kVid, kPid, 0}, true};
    hid.interfaces[prefix + "-col02"] = {{kVid, kPid, 2}, true};
    hid.interfaces[prefix + "-col03"] = {{kVid, kPid, 8}, true};
}

class HidMouseTest : public ::testing::Test {
protected:
    HidMouseTest() {
        auto owned = std::make_unique<FakeHid>();
        hid = owned.get();
        hid->interfaces["a-other"] = {{0x1234, kPid, 8}};
        hid->interfaces["z-headset"] = {{0x0BDA, 0x4014, 8}};
        mouse = std::make_unique<HidMouse>(std::move(owned));
    }

    FakeHid* hid;
    std::unique_ptr<HidMouse> mouse;
};

TEST_F(HidMouseTest, ChoosesTheMousesEightByteFeatureCollection) {
    PlugInMouse(*hid);
    EXPECT_TRUE(mouse->IsPresent(kVid, kPid));
    EXPECT_EQ(mouse->openPath(), "mouse-col03");
    // Only the chosen collection stays open, though it refused read/write access.
    ASSERT_EQ(hid->open.size(), 1u);
    EXPECT_EQ(hid->open.begin()->second, "mouse-col03");
}

TEST_F(HidMouseTest, ExchangesReportsUnchangedAndKeepsTheCollectionOpen) {
    PlugInMouse(*hid);
    const Report lock = {0x05, 0x08, 0x01, 0x4B, 0x6F, 0x72, 0x65, 0x6C};
    EXPECT_TRUE(mouse->SetReport(kVid, kPid, lock));
    hid->answer = {0x05, 0x09, 0x03, 0, 0, 0, 0, 0};
    Report get = {0x05, 0x09, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(mouse->GetReport(kVid, kPid, get));
    EXPECT_EQ(get, hid->answer);
    ASSERT_EQ(hid->sent.size(), 2u);
    EXPECT_EQ(hid->sent[0].first, "mouse-col03");
    EXPECT_EQ(hid->sent[0].second, std::vector<std::uint8_t>(lock.begin(), lock.end()));
    EXPECT_EQ(hid->sent[1].second, (std::vector<std::uint8_t>{0x05, 0x09, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(hid->enumerations, 1);
}

TEST_F(HidMouseTest, NoMouseNoReportAndNothingLeftOpen) {
    hid->interfaces["mouse-col01"] = {{kVid, kPid, 0}, true};
    hid->interfaces["mouse-col03"] = {{kVid, kPid, 8}, true, false};  // cannot be opened at all
    hid->interfaces["mouse-col04"] = {{kVid, kPid, 9}};               // wrong length
    EXPECT_FALSE(mouse->IsPresent(kVid, kPid));
    EXPECT_FALSE(mouse->SetReport(kVid, kPid, Report{0x05}));
    EXPECT_TRUE(hid->sent.empty());
    EXPECT_TRUE(hid->open.empty());
}

TEST_F(HidMouseTest, NoticesAnUnplugAndFindsTheMouseAgainAfterReplugging) {
    PlugInMouse(*hid);
    ASSERT_TRUE(mouse->SetReport(kVid, kPid, Report{0x05, 0x09, 0x01}));
    hid->interfaces.erase("mouse-col01");
    hid->interfaces.erase("mouse-col02");
    hid->interfaces.erase("mouse-col03");
    EXPECT_FALSE(mouse->IsPresent(kVid, kPid));
    EXPECT_TRUE(hid->open.empty());
    EXPECT_FALSE(mouse->SetReport(kVid, kPid, Report{0x05, 0x09, 0x02}));
    PlugInMouse(*hid, "replugged");
    EXPECT_TRUE(mouse->SetReport(kVid, kPid, Report{0x05, 0x09, 0x03}));
    EXPECT_EQ(hid->sent.back().first, "replugged-col03");
}

TEST_F(HidMouseTest, AFailedReportIsNotRepeatedAndTheNextCallReopens) {
    PlugInMouse(*hid);
    ASSERT_TRUE(mouse->IsPresent(kVid, kPid));
    hid->failing.insert("mouse-col03");
    EXPECT_FALSE(mouse->SetReport(kVid, kPid, Report{0x05, 0x01}));
    EXPECT_TRUE(hid->open.empty());
    Report get = {0x05};
    EXPECT_FALSE(mouse->GetReport(kVid, kPid, get));
    hid->failing.clear();
    EXPECT_TRUE(mouse->SetReport(kVid, kPid, Report{0x05, 0x02}));
    ASSERT_EQ(hid->sent.size(), 1u);
    EXPECT_EQ(hid->sent[0].second[1], 0x02);
}

}  // namespace
