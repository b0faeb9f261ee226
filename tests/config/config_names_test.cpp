// The configuration files dialog's list, name and OK rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/config/config_names.h"

using namespace config_files;

namespace {

std::vector<unsigned char> NameList(const std::vector<std::string>& names, std::size_t slots = 100) {
    std::vector<unsigned char> list(32 * slots, 0);
    for (std::size_t i = 0; i < names.size(); ++i) std::memcpy(&list[32 * i], names[i].data(), names[i].size());
    return list;
}

}  // namespace

TEST(ConfigNames, ListLeavesOutReservedFilesAndKeepsOrder) {
    const auto list = NameList({"__working.xml", "zeta.xml", "__DeviceInfo.xml", "a.b.xml", "__default.xml",
                                "__Default.xml", "current.xml"});
    const std::vector<std::string> files = UserProfileFiles(list.data(), list.size());
    // Only the exact reserved names are the program's own.
    EXPECT_EQ(files, (std::vector<std::string>{"zeta.xml", "a.b.xml", "__Default.xml", "current.xml"}));
    EXPECT_EQ(ListedName("a.b.xml"), "a");
    EXPECT_EQ(ListedName("zeta.xml"), "zeta");
    EXPECT_TRUE(UserProfileFiles(NameList({}).data(), 3200).empty());
}

TEST(ConfigNames, ListNeverReadsPastItsBuffer) {
    // Every slot full and without a NUL, no end slot: read within size only.
    std::vector<unsigned char> list(32 * 3, 'x');
    const auto files = UserProfileFiles(list.data(), list.size());
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], std::string(32, 'x'));
    EXPECT_EQ(UserProfileFiles(list.data(), 40).size(), 1u);  // a partial slot is not read
    EXPECT_TRUE(UserProfileFiles(nullptr, 3200).empty());
}

TEST(ConfigNames, NamesThatCannotBeFilesOfTheFolderAreRefused) {
    for (const char* bad : {"..\\x", "../x", "a/b", "C:x", "x:", "a*", "a?", "a|b", "a<b", "a>b", "a\"b", "con",
                            "CON", "nul.txt", "Com1", "lpt9", "com\xB9", "aux ", "conout$", " x", "x ", ".x", "x.",
                            "..", "tab\there", "123456789012345678901234567x8"}) {
        EXPECT_FALSE(IsValidName(bad)) << bad;
    }
    for (const char* good : {"x", "My Config", "a.b", "console", "com10", "lpt", "__default", "cfg-2 (old)",
                             "\xE9t\xE9", "123456789012345678901234567"}) {
        EXPECT_TRUE(IsValidName(good)) << good;
    }
}

TEST(ConfigNames, LoadNeedsAListedFileExceptForReservedOnes) {
    const std::vector<std::string> files = {"mine.xml", "a.b.xml"};
    EXPECT_EQ(DecideOk(Mode::Load, "", files).outcome, Outcome::Nothing);
    EXPECT_EQ(DecideOk(Mode::Load, "..\\mine", files).outcome, Outcome::InvalidName);

    Decision d = DecideOk(Mode::Load, "__default", {});
    EXPECT_EQ(d.outcome, Outcome::Load);
    EXPECT_EQ(d.file, "__default.xml");
    d = DecideOk(Mode::Load, "mine", files);
    EXPECT_EQ(d.outcome, Outcome::Load);
    EXPECT_EQ(d.file, "mine.xml");
    EXPECT_EQ(DecideOk(Mode::Load, "a.b", files).outcome, Outcome::Load);

    // "a.b.xml" is listed as "a", which names a file that is not there.
    d = DecideOk(Mode::Load, "a", files);
    EXPECT_EQ(d.outcome, Outcome::FileNotFound);
    EXPECT_EQ(d.file, "a.xml");
    EXPECT_EQ(DecideOk(Mode::Load, "MINE", files).outcome, Outcome::FileNotFound);

    // Listed names with blanks at their ends load as listed; typed unlisted
    // ones are still refused, and a listed name never leaves the folder.
    const std::vector<std::string> blanks = {" lead.xml", "trail .xml", "..\\up.xml"};
    for (const char* name : {" lead", "trail "}) {
        d = DecideOk(Mode::Load, name, blanks);
        EXPECT_EQ(d.outcome, Outcome::Load) << name;
        EXPECT_EQ(d.file, std::string(name) + ".xml");
    }
    EXPECT_EQ(DecideOk(Mode::Load, " other", blanks).outcome, Outcome::InvalidName);
    EXPECT_EQ(DecideOk(Mode::Load, "..\\up", blanks).outcome, Outcome::InvalidName);
}

TEST(ConfigNames, SaveAsksBeforeAnyFileIsReplaced) {
    const std::vector<std::string> files = {"mine.xml"};
    Decision d = DecideOk(Mode::Save, "new one", files);
    EXPECT_EQ(d.outcome, Outcome::Save);
    EXPECT_EQ(d.file, "new one.xml");

    for (const char* taken : {"mine", "Mine", "__default", "__working", "__WORKING"})
        EXPECT_EQ(DecideOk(Mode::Save, taken, files).outcome, Outcome::AskOverwrite) << taken;
    // On disk but missing from a list that was cut short.
    EXPECT_EQ(DecideOk(Mode::Save, "unlisted", files, true).outcome, Outcome::AskOverwrite);

    // Neither the device description nor a file outside the folder is ever written.
    EXPECT_EQ(DecideOk(Mode::Save, "__DeviceInfo", files).outcome, Outcome::Reserved);
    EXPECT_EQ(DecideOk(Mode::Save, "__deviceinfo", files).outcome, Outcome::Reserved);
    EXPECT_EQ(DecideOk(Mode::Save, "..\\..\\evil", files).outcome, Outcome::InvalidName);
    EXPECT_EQ(DecideOk(Mode::Save, "", files).outcome, Outcome::Nothing);
}
