// The paths on which a setting could be lost or corrupted: files that lack
// parts, a working file that cannot be read, device bytes no file can carry,
// records the mouse must never get, and the copy of the mouse kept before
// the program overwrites it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/record_copies.h"
#include "emulator/factory.h"
#include "tests/device/device_fixture.h"

using namespace record;
using device_test::DeviceFixture;
using emulator::MouseState;

namespace {

namespace fs = std::filesystem;
using Keys = std::vector<std::string>;

class DataSafetyTest : public DeviceFixture {
protected:
    // The shipped defaults in slot order, with the device section.
    ProfileRecord Defaults() {
        ProfileRecord r;
        EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 1);
        EXPECT_EQ(vantor->LoadVantorProfile(r.data(), Name("__default.xml")), 1);
        ApplyButtonMap(r.data());
        return r;
    }
    // A mouse holding valid settings other than the saved ones.
    MouseState OtherValidMouse() {
        MouseState state = FactoryState();
        state.segments[0][kDummy] = '0';                              // another checksum
        state.segments[0][8 * 3 + kDPI] = 3;                          // profile 3's DPI step
        state.segments[protocol::ButtonSegment(1, 3)][kFunID] = 6;    // a double click
        state.segments[protocol::ButtonSegment(4, 6)][kFunExt] = 0x40;
        return state;
    }
    std::vector<std::string> MouseCopies() {
        std::vector<std::string> files;
        for (const auto& e : fs::directory_iterator(device)) files.push_back(e.path().filename().string());
        return record_copies::CopiesNewestFirst(record_copies::kMousePrefix, files);
    }
    void RemoveMouseCopies() {
        for (const std::string& f : MouseCopies()) fs::remove(device / f);
    }
};

// ---- loading a configuration ----

TEST_F(DataSafetyTest, AFileThatLacksProfilesKeepsThemExactlyAsTheyWere) {
    Start();
    // Profile 2 in slot order: its blocks are not in file order because the
    // shipped button map is not the identity.
    work.bytes[ButtonOffset(work.data(), 1, 2) + kFunID] = 2;
    const ProfileRecord before = work;

    std::string text = test_support::ReadFile((device / "__default.xml").string());
    const std::size_t from = text.find("<Profile2"), to = text.find("</Profile5>") + std::strlen("</Profile5>");
    ASSERT_NE(from, std::string::npos);
    text.erase(from, to - from);
    WriteDeviceFile("only-profile1.xml", text);

    ASSERT_TRUE(LoadProfileFile(*vantor, work, "only-profile1.xml"));
    const ProfileRecord defaults = Defaults();
    for (unsigned p = 0; p < 5; ++p) {
        const std::size_t at = ProfileOffset(work.data(), p), size = BlockSize(work.data());
        const ProfileRecord& expected = p == 0 ? defaults : before;
        EXPECT_EQ(0, std::memcmp(work.data() + at, expected.data() + at, size)) << "profile " << p;
    }

    // A file that cannot be read whole changes nothing.
    WriteDeviceFile("broken.xml", "<Vantor><Software><Software X_Rate=\"0x3\"/></Software><Profile1><Buttons/>");
    const ProfileRecord loaded = work;
    EXPECT_FALSE(LoadProfileFile(*vantor, work, "broken.xml"));
    EXPECT_EQ(work, loaded);
}

// ---- the working file at start ----

TEST_F(DataSafetyTest, AnUnusableWorkingFileStartsFromTheFactorySettings) {
    const struct {
        const char* what;
        const char* content;  // nullptr: missing; "<dir>": a folder in its place
    } cases[] = {{"missing", nullptr}, {"empty", ""}, {"malformed", "<Vantor><Software>"}, {"unreadable", "<dir>"}};
    for (const auto& c : cases) {
        ResetFiles();
        fs::remove(device / "__working.xml");
        const bool folder = c.content && std::string(c.content) == "<dir>";
        if (folder) fs::create_directory(device / "__working.xml");
        else if (c.content) WriteDeviceFile("__working.xml", c.content);
        Plug(FactoryState());
        Start();
        ASSERT_NE(context, nullptr) << c.what;
        const Keys expected = folder ? Keys{"Str_WorkingFileErr", "Str_SaveTmpProfileErr"} : Keys{"Str_WorkingFileErr"};
        EXPECT_EQ(messages.keys, expected) << c.what;
        EXPECT_EQ(work, Defaults()) << c.what;
        EXPECT_EQ(saved, work) << c.what;
        // The factory mouse holds the defaults: one segment read, nothing written.
        EXPECT_EQ(CountEvents("segment-write"), 0) << c.what;
        EXPECT_EQ(mouse->state().segments, FactoryState().segments) << c.what;
        if (!folder) {
            EXPECT_TRUE(FileAgreesWith(work)) << c.what;  // written again
        }
        Stop();
        if (folder) fs::remove(device / "__working.xml");
    }
}

TEST_F(DataSafetyTest, WithoutAWorkingFileAMouseWithOtherSettingsIsAskedAboutAndCopied) {
    fs::remove(device / "__working.xml");
    const MouseState mine = OtherValidMouse();
    Plug(mine);
    Start();  // answered No
    EXPECT_EQ(messages.keys, (Keys{"Str_WorkingFileErr", "Str_SettingMismatch", "Str_MouseCopySaved"}));
    EXPECT_EQ(MouseCopies(), (std::vector<std::string>{"mouse-2026-12-08-1030.xml"}));
    EXPECT_EQ(mouse->state().segments, FactoryState().segments);
    EXPECT_TRUE(FileAgreesWith(work));
}

TEST_F(DataSafetyTest, WithNoSettingsFileAtAllTheMouseIsAdoptedNotOverwritten) {
    const MouseState mine = OtherValidMouse();
    fs::remove(device / "__working.xml");
    fs::remove(device / "__default.xml");
    Plug(mine);
    Start();
    ASSERT_NE(context, nullptr);
    // No question (there is nothing to keep instead), no write, and no
    // template to write the working file from.
    EXPECT_EQ(messages.keys, (Keys{"Str_WorkingFileErr", "Str_SaveTmpProfileErr"}));
    EXPECT_EQ(CountEvents("segment-write"), 0);
    EXPECT_EQ(mouse->state().segments, mine.segments);
    EXPECT_EQ(work, saved);
    EXPECT_EQ(work.bytes[ProfileOffset(work.data(), 3) + kDPI], 3);
}

// ---- what the mouse must never get ----

TEST_F(DataSafetyTest, ApplyRefusesARecordThatFailsValidation) {
    Start();
    const ProfileRecord before = saved;
    const std::string file = WorkingFile();
    for (int variant = 0; variant < 2; ++variant) {
        work = saved;
        if (variant == 0) work.bytes[ProfileOffset(work.data(), 2) + kDPI] = 0;
        else std::memcpy(work.data() + ProfileOffset(work.data(), 3) + kDummy, "\x01\x02\xff\x1b", 5);
        ResetMessages();
        ClearEvents();
        link->WriteToDevice(context);
        EXPECT_EQ(messages.keys, (Keys{"Str_InvalidSettings"})) << variant;
        EXPECT_TRUE(Events().empty()) << variant;
        EXPECT_EQ(saved, before) << variant;
        EXPECT_EQ(WorkingFile(), file) << variant;
    }
}

TEST(ValidateDeviceRecordDummy, OnlyTextThatFilesCarryBackIsValid) {
    ProfileRecord r;
    r.bytes[kProfileNum] = 1;
    r.bytes[kButtonNum] = 0;
    r.bytes[kProfiles + kDPI] = 1;
    const struct {
        const char bytes[5];
        int valid;
    } cases[] = {
        {{'5', '3', '1', '7', 0}, 1}, {{0, 0, 0, 0, 0}, 1}, {{'a', ' ', '~', 0, 0}, 1},
        {{'a', 'b', 'c', 'd', 'e'}, 0},           // no NUL: the fifth byte is lost in a file
        {{'a', 0, 'c', 0, 0}, 0},                 // bytes after the NUL are lost too
        {{1, 2, '\xff', 0x1b, 0}, 0},             // control bytes and bytes above 0x7E
        {{'a', '\t', 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        std::memcpy(r.data() + kProfiles + kDummy, c.bytes, 5);
        EXPECT_EQ(ValidateDeviceRecord(r.data()), c.valid) << std::string(c.bytes, 5);
    }
}

// ---- the copy of the mouse ----

TEST_F(DataSafetyTest, NoToTheMismatchLeavesACopyThatRestoresTheMouse) {
    const MouseState mine = OtherValidMouse();
    Plug(mine);
    Start();  // answered No
    EXPECT_EQ(messages.keys, (Keys{"Str_SettingMismatch", "Str_MouseCopySaved"}));
    ASSERT_EQ(MouseCopies(), (std::vector<std::string>{"mouse-2026-12-08-1030.xml"}));
    EXPECT_EQ(mouse->state().segments, FactoryState().segments);
    // The dialog lists it: a valid name, not a reserved file.
    EXPECT_EQ(ProfileFileExists(context, work.data(), "mouse-2026-12-08-1030.xml"), 1);

    ASSERT_TRUE(LoadProfileFile(*vantor, work, "mouse-2026-12-08-1030.xml"));
    ResetMessages();
    link->WriteToDevice(context);
    EXPECT_TRUE(messages.keys.empty());
    // Byte for byte but for the record checksum, which every write renews.
    emulator::Segments expected = mine.segments;
    std::memcpy(expected[0].data() + kDummy, mouse->state().segments[0].data() + kDummy, kDummySize);
    EXPECT_EQ(mouse->state().segments, expected);
}

TEST_F(DataSafetyTest, InvalidMouseDataIsCopiedInAFileThatLoadsBack) {
    MouseState bad = FactoryState();
    bad.segments[0][kDummy] = '0';
    std::memcpy(bad.segments[0].data() + 8 * 2 + kDummy, "\x01\x02\xff\x1b", 5);  // profile 2's Dummy
    bad.segments[protocol::ButtonSegment(2, 0)][kFunID] = 4;
    Plug(bad);
    Start();
    EXPECT_EQ(messages.keys, (Keys{"Str_SettingErr", "Str_MouseCopySaved"}));
    EXPECT_EQ(mouse->state().segments, FactoryState().segments);  // rewritten
    ASSERT_EQ(MouseCopies().size(), 1u);

    // Well-formed for this build's XML reader, and the bytes a file can hold
    // come back: the Dummy text ends where the text stopped being printable.
    ProfileRecord copy = saved;
    ASSERT_TRUE(LoadProfileFile(*vantor, copy, MouseCopies()[0].c_str()));
    RevertButtonMap(copy.data());
    EXPECT_EQ(copy.bytes[ButtonOffset(copy.data(), 2, 0) + kFunID], 4);
    const unsigned char empty[kDummySize] = {};
    EXPECT_EQ(0, std::memcmp(copy.data() + ProfileOffset(copy.data(), 2) + kDummy, empty, kDummySize));
}

TEST_F(DataSafetyTest, OnlyTheNewestFiveMouseCopiesAreKept) {
    for (int day = 1; day <= 7; ++day) {
        ResetFiles();
        Plug(OtherValidMouse());
        stamp = "2026-12-0" + std::to_string(day) + "-0900";
        Start();
        Stop();
    }
    // Two in the same minute get a number.
    ResetFiles();
    Plug(OtherValidMouse());
    Start();
    Stop();
    EXPECT_EQ(MouseCopies(), (std::vector<std::string>{"mouse-2026-12-07-0900-2.xml", "mouse-2026-12-07-0900.xml",
                                                        "mouse-2026-12-06-0900.xml", "mouse-2026-12-05-0900.xml",
                                                        "mouse-2026-12-04-0900.xml"}));
    // The user's own files are never touched.
    WriteDeviceFile("mouse.xml", test_support::ReadFile((device / "__default.xml").string()));
    WriteDeviceFile("mouse-notes.xml", test_support::ReadFile((device / "__default.xml").string()));
    for (int n = 0; n < 3; ++n) {
        ResetFiles();
        Plug(OtherValidMouse());
        Start();
        Stop();
    }
    EXPECT_TRUE(fs::exists(device / "mouse.xml"));
    EXPECT_TRUE(fs::exists(device / "mouse-notes.xml"));
    EXPECT_EQ(MouseCopies().size(), 5u);
    EXPECT_EQ(MouseCopies()[0], "mouse-2026-12-07-0900-5.xml");
}

TEST_F(DataSafetyTest, WithoutACopyTheMouseIsNotOverwritten) {
    // The copy is written from the defaults template; without it no copy.
    const MouseState mine = OtherValidMouse();
    fs::remove(device / "__default.xml");
    Plug(mine);
    Start();  // answered No
    EXPECT_EQ(messages.keys, (Keys{"Str_SettingMismatch", "Str_MouseCopyErr"}));
    EXPECT_EQ(CountEvents("segment-write"), 0);
    EXPECT_EQ(mouse->state().segments, mine.segments);
    // The mouse's settings stay as changes the user may apply.
    EXPECT_NE(work, saved);
    EXPECT_EQ(work.bytes[ProfileOffset(work.data(), 3) + kDPI], 3);
}

TEST(RecordCopies, NamesSortByTimeAndNumber) {
    const std::vector<std::string> files = {"mouse-2026-12-08-1030.xml", "Mouse-2026-12-09-1030.xml", "mouse.xml",
                                            "mouse-2026-12-08-1030-2.xml", "mouse-2026-12-08-1030-10.xml",
                                            "mouse-2026-1x-08-1030.xml", "unsaved-2026-12-10-0000.xml"};
    EXPECT_EQ(record_copies::CopiesNewestFirst("mouse", files),
              (std::vector<std::string>{"mouse-2026-12-08-1030-10.xml", "mouse-2026-12-08-1030-2.xml",
                                        "mouse-2026-12-08-1030.xml"}));
    EXPECT_EQ(record_copies::CopyName("mouse", "2026-12-08-1030", files), "mouse-2026-12-08-1030-3");
    EXPECT_EQ(record_copies::CopyName("mouse", "2026-12-09-1030", files), "mouse-2026-12-09-1030-2");  // case ignored
    EXPECT_EQ(record_copies::CopyName("unsaved", "2026-12-08-1030", files), "unsaved-2026-12-08-1030");
}

}  // namespace
