// The korelle-mouse command-line tool.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "emulator/default_record.h"
#include "emulator/emulator.h"
#include "emulator/factory.h"
#include "emulator/mouse_tool.h"
#include "emulator/state_file.h"
#include "tests/test_support.h"

using test_support::TempDir;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

ToolRun Tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = emulator::RunMouseTool(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(MouseTool, CreatesChangesAndShowsAState) {
    TempDir dir;
    const std::string state = dir.file("m.state");
    ASSERT_EQ(Tool({"create", state, "blank", "--hardware", "3", "--firmware", "12"}).code, 0);
    // Profile 0's header with a checksum text, and button 2 of profile 1 with two key pairs.
    ASSERT_EQ(Tool({"set", state, "segment", "0", "0", "00 03 02", "3132616600"}).code, 0);
    ASSERT_EQ(Tool({"set", state, "segment", "10", "0", "020900040105"}).code, 0);
    ASSERT_EQ(Tool({"set", state, "active-profile", "4"}).code, 0);
    ASSERT_EQ(Tool({"set", state, "segment", "10", "63", "01"}).code, 0);

    const ToolRun show = Tool({"show", state});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_NE(show.out.find("hardware 3, firmware 12, active profile 4, write lock free\n"), std::string::npos);
    EXPECT_NE(show.out.find("profile 0: index 0, DPI 3, poll rate 2, checksum \"12af\"\n"), std::string::npos);
    EXPECT_NE(show.out.find("  button 2 (segment 10): index 2, function 0x09, parameter 0x00, keys 04:01 05:00\n"),
              std::string::npos)
        << show.out;
    EXPECT_NE(show.out.find("segment 10 bytes 35..63 not zero:"), std::string::npos);
}

TEST(MouseTool, RefusesBytesThatDoNotFitAndKeepsTheFile) {
    TempDir dir;
    const std::string state = dir.file("m.state");
    ASSERT_EQ(Tool({"create", state, "blank"}).code, 0);
    const std::string before = test_support::ReadFile(state);
    EXPECT_NE(Tool({"set", state, "segment", "0", "63", "0102"}).code, 0);
    EXPECT_NE(Tool({"set", state, "segment", "36", "0", "01"}).code, 0);
    EXPECT_NE(Tool({"set", state, "segment", "0", "0", "0x"}).code, 0);
    EXPECT_NE(Tool({"set", state, "write-lock", "2"}).code, 0);
    EXPECT_NE(Tool({"show", dir.file("none.state")}).code, 0);
    EXPECT_EQ(test_support::ReadFile(state), before);
}

TEST(MouseTool, CreatesFactoryContentFromARecordFile) {
    TempDir dir;
    std::string record(2070, '\0');
    record[146] = 5;
    record[147] = 7;
    for (int k = 0; k < 7; ++k) record[148 + 4 * k] = static_cast<char>(k);
    record[280 + 1] = 2;  // profile 0 DPI
    test_support::WriteFile(dir.file("default.rec"), record);
    const std::string state = dir.file("m.state");
    ASSERT_EQ(Tool({"create", state, "factory", dir.file("default.rec")}).code, 0);
    const ToolRun show = Tool({"show", state});
    // 143 from the counts and the map, 2 x weight 3 for the DPI byte at 281.
    EXPECT_NE(show.out.find("profile 0: index 0, DPI 2, poll rate 0, checksum \"0095\""), std::string::npos)
        << show.out;
    test_support::WriteFile(dir.file("short.rec"), record.substr(1));
    const ToolRun refused = Tool({"create", dir.file("other.state"), "factory", dir.file("short.rec")});
    EXPECT_NE(refused.code, 0);
    EXPECT_NE(refused.err.find("2070"), std::string::npos) << refused.err;
}

// The shipped "__default.xml" read through the profile library, its
// profile 0 Dummy text replaced by "zz". The computed checksum does not
// depend on those bytes, and is taken over the slot order of the shipped
// button map.
TEST(MouseTool, CreatesFactoryContentFromAProgramFoldersDefaultFile) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto device = dir.path() / "Database" / "VID7a3d_PID006a";
    fs::create_directories(device);
    fs::copy_file(test_support::ShippedDeviceFolder() / "__DeviceInfo.xml", device / "__DeviceInfo.xml");
    std::string profiles = test_support::ReadFile((test_support::ShippedDeviceFolder() / "__default.xml").string());
    const std::size_t header = profiles.find("<HardWareDesc ProfileIndex=\"0x0\"");
    const std::size_t dummy = profiles.find("Dummy=\"", header) + 7;
    ASSERT_NE(header, std::string::npos);
    profiles.replace(dummy, profiles.find('"', dummy) - dummy, "zz");
    test_support::WriteFile((device / "__default.xml").string(), profiles);

    const std::string state = dir.file("m.state");
    const ToolRun created = Tool({"create", state, "default", dir.path().string(), "--firmware", "4"});
    ASSERT_EQ(created.code, 0) << created.err;
    const ToolRun show = Tool({"show", state});
    EXPECT_NE(show.out.find("firmware 4"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("profile 2: index 2, DPI 3, poll rate 1, dummy 00 00 00 00 00\n"), std::string::npos);
    EXPECT_NE(show.out.find("  button 3 (segment 4): index 3, function 0x07, parameter 0x08\n"), std::string::npos);
    const std::string profile0 = "profile 0: index 0, DPI 1, poll rate 2, checksum \"";
    const auto at = show.out.find(profile0);
    ASSERT_NE(at, std::string::npos) << show.out;
    const std::string checksum = show.out.substr(at + profile0.size(), 4);

    // The same record with other Dummy bytes gives the same checksum; with
    // the identity map another one.
    std::vector<std::uint8_t> record;
    std::string error;
    ASSERT_TRUE(emulator::LoadDefaultRecord(dir.path().string(), record, error)) << error;
    EXPECT_EQ(record[283], 'z');
    emulator::Segments segments;
    record[283] = record[284] = '9';
    ASSERT_TRUE(emulator::SegmentsFromRecord(record, segments, error)) << error;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&segments[0][3]), 4), checksum);
    for (std::uint8_t k = 0; k < 7; ++k) record[148 + 4 * k] = k;
    ASSERT_TRUE(emulator::SegmentsFromRecord(record, segments, error)) << error;
    EXPECT_NE(std::string(reinterpret_cast<const char*>(&segments[0][3]), 4), checksum);

    const ToolRun asRecorded = Tool({"create", state, "default", dir.path().string(), "--record-dummy"});
    ASSERT_EQ(asRecorded.code, 0) << asRecorded.err;
    EXPECT_NE(Tool({"show", state}).out.find("profile 0: index 0, DPI 1, poll rate 2, dummy 7a 7a 00 00 00\n"),
              std::string::npos);
    EXPECT_NE(Tool({"create", state, "default", dir.file("nowhere")}).code, 0);
}

TEST(MouseTool, PrintsTheTraceWithTimesBetweenReports) {
    TempDir dir;
    test_support::WriteFile(dir.file("m.state.trace"),
                            "5000000 set lock-on 0508014b6f72656c ok\n"
                            "5001250 set switch 0509090000000000 refused\n"
                            "5101250 get query-answer 0509000000000000 ok 0509020000000000\n");
    const ToolRun run = Tool({"trace", dir.file("m.state")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "       0.000 ms (+    0.000)  set 05 08 01 4b 6f 72 65 6c  lock-on ok\n"
              "       1.250 ms (+    1.250)  set 05 09 09 00 00 00 00 00  switch refused\n"
              "     101.250 ms (+  100.000)  get 05 09 00 00 00 00 00 00  query-answer ok -> 05 09 02 00 00 00 00 00\n");
    test_support::WriteFile(dir.file("bad.trace"), "garbage\n");
    EXPECT_NE(Tool({"trace", dir.file("bad.trace")}).code, 0);
}

}  // namespace
