// The shipped language files against the program's sources: every key the
// program looks up has a text in every language, and the texts fit where
// they are shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/string_keys.h"
#include "profile_store/strings/xml_rw.h"
#include "profile_store/xml/xml_document.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;
using test_support::ScopedCurrentDir;

namespace {

const fs::path kSource = KORELLE_SOURCE_DIR;
const fs::path kLanguages = kSource / "assets" / "strings";

// The program's key list and every "Str_..." literal in the program's and
// the library's sources.
std::set<std::string> KeysOfTheProgram() {
    std::set<std::string> keys(std::begin(kUiStringKeys), std::end(kUiStringKeys));
    const std::regex literal("\"(Str_[A-Za-z0-9_]+)\"");
    for (const char* top : {"app", "device", "ui", "profile_store", "components", "emulator"}) {
        if (!fs::exists(kSource / top)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(kSource / top)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h" && ext != ".rc") continue;
            std::ifstream in(entry.path());
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it)
                keys.insert((*it)[1]);
        }
    }
    return keys;
}

std::vector<std::string> Languages() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kLanguages))
        if (fs::exists(entry.path() / "Korelle.xml")) names.push_back(entry.path().filename().string());
    return names;
}

std::unique_ptr<XmlRW> TableFor(const std::string& language) {
    ScopedCurrentDir cwd(kLanguages);
    return std::unique_ptr<XmlRW>(CreateXmlClassInstance((language + "/Korelle.xml").c_str()));
}

// The keys of the button-function names and the slot each is copied into.
constexpr const char* kFunctionNameKeys[] = {
    "Str_ButtonOff", "Str_Click",  "Str_RightButton", "Str_MiddleButton", "Str_Button4", "Str_Button5",
    "Str_DoubleClick", "Str_SwitchDPI", "Str_SelectProfile", "Str_Macro", "Str_Single", "Str_DynamicSensitive",
};
constexpr size_t kFunctionNameSlot = 30;

TEST(StringFiles, EveryKeyOfTheProgramHasATextInEveryLanguage) {
    const std::set<std::string> keys = KeysOfTheProgram();

    const std::vector<std::string> languages = Languages();
    ASSERT_FALSE(languages.empty());
    EXPECT_NE(std::find(languages.begin(), languages.end(), "English"), languages.end());
    for (const std::string& language : languages) {
        auto table = TableFor(language);
        ASSERT_NE(table, nullptr);
        for (const std::string& key : keys) {
            char text[kResourceStringMax];
            EXPECT_EQ(table->GetResourceString(key.c_str(), text, sizeof text), 1) << language << ": " << key;
            EXPECT_GT(std::strlen(text), 0u) << language << ": " << key;
        }
    }
}

TEST(StringFiles, FunctionNamesFitTheirSlots) {
    for (const std::string& language : Languages()) {
        auto table = TableFor(language);
        for (const char* key : kFunctionNameKeys) {
            char text[kResourceStringMax];
            ASSERT_EQ(table->GetResourceString(key, text, sizeof text), 1) << language << ": " << key;
            EXPECT_LT(std::strlen(text), kFunctionNameSlot) << language << ": " << key;
        }
    }
}

// A repeated key would be silently shadowed by its first entry.
TEST(StringFiles, NoKeyIsDefinedTwice) {
    for (const std::string& language : Languages()) {
        CXmlDocumentWrapper doc;
        ASSERT_EQ(doc.Load((kLanguages / language / "Korelle.xml").string().c_str()), 1) << language;
        const CXmlNodeWrapper root = doc.Root();
        std::map<std::string, int> seen;
        for (int i = 0; i < root.ChildCount(); ++i) {
            const CXmlNodeWrapper entry = root.ChildAt(i);
            for (int k = 0; k < entry.AttributeCount(); ++k) ++seen[entry.AttributeValueAt(k)];
        }
        for (const auto& [key, count] : seen) EXPECT_EQ(count, 1) << language << ": " << key;
    }
}

}  // namespace
