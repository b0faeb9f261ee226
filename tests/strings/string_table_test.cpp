// The UI string table, created through its factory from a file relative to
// the current directory, as the program creates it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "profile_store/strings/xml_rw.h"
#include "tests/test_support.h"

using test_support::ScopedCurrentDir;
using test_support::TempDir;
using test_support::WriteFile;

namespace {

constexpr char kUntouched = '#';

class StringTable : public ::testing::Test {
protected:
    TempDir dir;

    std::unique_ptr<XmlRW> Table(const std::string& content) {
        WriteFile(dir.file("Korelle.xml"), content);
        ScopedCurrentDir cwd(dir.path());
        return std::unique_ptr<XmlRW>(CreateXmlClassInstance("Korelle.xml"));
    }

    // Looks key up into a buffer prefilled with '#'; returns the result and
    // leaves the buffer in text.
    int Get(XmlRW& table, const char* key, std::string& text) {
        char out[64];
        std::memset(out, kUntouched, sizeof out);
        const int result = table.GetResourceString(key, out, sizeof out);
        text = result ? std::string(out) : std::string(out, out + sizeof out);
        return result;
    }

    static bool Untouched(const std::string& buffer) {
        return buffer == std::string(64, kUntouched);
    }
};

TEST_F(StringTable, FindsKeysExactlyAndFirstEntryWins) {
    auto table = Table(
        "<?xml version=\"1.0\"?>\n"
        "<!-- a comment before the entries -->\n"
        "<Strings>\n"
        "  <!-- and one between them -->\n"
        "  <String Key=\"Str_OK\">OK</String>\n"
        "  <Other Id=\"Str_Yes\">Yes</Other>\n"
        "  <String Key=\"Str_OK\">Second OK</String>\n"
        "  <?pi Str_No?>\n"
        "  <Group><String Key=\"Str_Nested\">too deep</String></Group>\n"
        "</Strings>\n");
    ASSERT_NE(table, nullptr);
    std::string text;
    EXPECT_EQ(Get(*table, "Str_OK", text), 1);
    EXPECT_EQ(text, "OK");
    EXPECT_EQ(Get(*table, "Str_Yes", text), 1);  // any element name, any attribute name
    EXPECT_EQ(text, "Yes");

    EXPECT_EQ(Get(*table, "str_ok", text), 0);
    EXPECT_TRUE(Untouched(text));
    EXPECT_EQ(Get(*table, "Str_O", text), 0);  // no prefix matches
    EXPECT_TRUE(Untouched(text));
    EXPECT_EQ(Get(*table, "Str_OKAY", text), 0);
    EXPECT_EQ(Get(*table, "Str_No", text), 0);  // processing instructions are skipped
    EXPECT_EQ(Get(*table, "Str_Nested", text), 0);  // only the root's children
    EXPECT_TRUE(Untouched(text));
}

TEST_F(StringTable, EmptyEntriesGiveAnEmptyText) {
    auto table = Table("<S><E K=\"Str_Open\"></E><E K=\"Str_Closed\"/><E K=\"Str_Blank\">   </E></S>");
    for (const char* key : {"Str_Open", "Str_Closed", "Str_Blank"}) {
        std::string text;
        EXPECT_EQ(Get(*table, key, text), 1) << key;
        EXPECT_EQ(text, "") << key;
    }
}

TEST_F(StringTable, TheKthAttributePairsWithTheKthChild) {
    auto table = Table(
        "<S>"
        "<E A=\"Str_First\" B=\"Str_Second\" C=\"Str_Third\">one<!--two-->"
        "<Three>three</Three></E>"
        "<E X=\"x\" Y=\"Str_Beyond\">only one child</E>"
        "</S>");
    std::string text;
    EXPECT_EQ(Get(*table, "Str_First", text), 1);
    EXPECT_EQ(text, "one");
    EXPECT_EQ(Get(*table, "Str_Second", text), 1);
    EXPECT_EQ(text, "two");
    EXPECT_EQ(Get(*table, "Str_Third", text), 1);
    EXPECT_EQ(text, "three");
    EXPECT_EQ(Get(*table, "Str_Beyond", text), 1);
    EXPECT_EQ(text, "");
}

TEST_F(StringTable, UnreadableFilesGiveATableThatFindsNothing) {
    const char* files[] = {
        "",
        "<Strings><String Key=\"Str_OK\">OK</String>",
        "<!DOCTYPE Strings><Strings><String Key=\"Str_OK\">OK</String></Strings>",
        "\x01\x02garbage",
    };
    for (const char* content : files) {
        auto table = Table(content);
        ASSERT_NE(table, nullptr) << content;
        std::string text;
        EXPECT_EQ(Get(*table, "Str_OK", text), 0) << content;
        EXPECT_TRUE(Untouched(text)) << content;
    }

    ScopedCurrentDir cwd(dir.path());
    std::unique_ptr<XmlRW> missing(CreateXmlClassInstance("no-such-file.xml"));
    ASSERT_NE(missing, nullptr);
    std::string text;
    EXPECT_EQ(Get(*missing, "Str_OK", text), 0);
    EXPECT_TRUE(Untouched(text));
}

TEST_F(StringTable, TextsAreCutAtTheCallersBuffer) {
    const std::string longText(300, 'L');
    auto table = Table("<S><E K=\"Str_Long\">" + longText + "</E><E K=\"Str_Short\">abc</E></S>");

    char big[400];
    std::memset(big, kUntouched, sizeof big);
    ASSERT_EQ(table->GetResourceString("Str_Long", big), 1);
    EXPECT_EQ(std::string(big), std::string(kResourceStringMax - 1, 'L'));
    EXPECT_EQ(big[kResourceStringMax], kUntouched);  // nothing past 256 bytes

    char slot[30];
    std::memset(slot, kUntouched, sizeof slot);
    ASSERT_EQ(table->GetResourceString("Str_Long", slot, sizeof slot), 1);
    EXPECT_EQ(std::string(slot), std::string(29, 'L'));

    char fits[4];
    ASSERT_EQ(table->GetResourceString("Str_Short", fits, sizeof fits), 1);
    EXPECT_STREQ(fits, "abc");

    char one[2] = {kUntouched, kUntouched};
    ASSERT_EQ(table->GetResourceString("Str_Short", one, 1), 1);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(one[1], kUntouched);

    EXPECT_EQ(table->GetResourceString("Str_Short", one, 0), 0);
    EXPECT_EQ(table->GetResourceString("Str_Short", one, -5), 0);
    EXPECT_EQ(table->GetResourceString(nullptr, one, 2), 0);
    EXPECT_EQ(table->GetResourceString("Str_Short", nullptr, 2), 0);
    EXPECT_EQ(table->GetResourceString(nullptr, big), 0);
}

TEST_F(StringTable, APathTooLongForTheLibraryLoadsNothing) {
    auto table = Table("<S><E K=\"Str_OK\">OK</E></S>");
    ScopedCurrentDir cwd(dir.path());
    // Resolves to the same file, but the full path passes 512 bytes.
    std::string far;
    for (int i = 0; i < 300; ++i) far += "./";
    far += "Korelle.xml";
    std::unique_ptr<XmlRW> tooLong(CreateXmlClassInstance(far.c_str()));
    ASSERT_NE(tooLong, nullptr);
    std::string text;
    EXPECT_EQ(Get(*tooLong, "Str_OK", text), 0);

    std::unique_ptr<XmlRW> none(CreateXmlClassInstance(nullptr));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(Get(*none, "Str_OK", text), 0);

    // The earlier table is unaffected by later factories.
    EXPECT_EQ(Get(*table, "Str_OK", text), 1);
}

}  // namespace
