// The shipped language files against the program's sources: every key the
// program looks up has a text in every language, every language has the
// English keys and placeholders, and the texts survive the conversion to
// the language's ANSI code page and fit where they are shown.
#include <gtest/gtest.h>
#include <iconv.h>

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

#include "core/startup.h"
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

// The ANSI code page each language's texts are shown in: the DOM hands
// them to the program as 8-bit text of the system's code page, which the
// language's users have.
const std::map<std::string, std::string> kCodePages = {
    {"English", "CP1252"}, {"German", "CP1252"}, {"French", "CP1252"},
    {"Spanish", "CP1252"}, {"Russian", "CP1251"}, {"Chinese", "CP936"},
};

// A language file's entries in document order: key, text (UTF-8).
std::vector<std::pair<std::string, std::string>> Entries(const std::string& language) {
    std::vector<std::pair<std::string, std::string>> entries;
    CXmlDocumentWrapper doc;
    EXPECT_EQ(doc.Load((kLanguages / language / "Korelle.xml").string().c_str()), 1) << language;
    const CXmlNodeWrapper root = doc.Root();
    for (int i = 0; i < root.ChildCount(); ++i) {
        const CXmlNodeWrapper entry = root.ChildAt(i);
        if (entry.TypeText() == "element" && entry.AttributeCount() > 0)
            entries.emplace_back(entry.AttributeValueAt(0), entry.Text());
    }
    return entries;
}

// The text converted between encodings, or false when a character has no
// place in the target.
bool Convert(const std::string& text, const std::string& from, const std::string& to, std::string& out) {
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = text;
    out.assign(4 * in.size() + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    const bool whole = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return whole;
}
bool ToCodePage(const std::string& utf8, const std::string& codePage, std::string& out) {
    return Convert(utf8, "UTF-8", codePage, out);
}

// The printf conversions of a text, in order, and its line breaks.
std::vector<std::string> Placeholders(const std::string& text) {
    static const std::regex conversion("%[-+ #0]*[0-9*]*(\\.[0-9*]+)?(hh|h|ll|l|L|z|j|t|I64)?[diouxXeEfgGaAcsSpn%]|\n");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) found.push_back(it->str());
    return found;
}

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

TEST(StringFiles, EveryLanguageHasExactlyTheEnglishKeysAndPlaceholders) {
    std::map<std::string, std::string> english;
    for (const auto& [key, text] : Entries("English")) english.emplace(key, text);
    for (const std::string& language : Languages()) {
        std::set<std::string> keys;
        for (const auto& [key, text] : Entries(language)) {
            keys.insert(key);
            const auto it = english.find(key);
            if (it == english.end()) {
                ADD_FAILURE() << language << " has a key English lacks: " << key;
                continue;
            }
            EXPECT_EQ(Placeholders(text), Placeholders(it->second)) << language << ": " << key;
        }
        for (const auto& [key, text] : english) EXPECT_TRUE(keys.count(key)) << language << " lacks " << key;
    }
}

TEST(StringFiles, EveryTextHasItsPlaceInTheLanguagesCodePage) {
    for (const std::string& language : Languages()) {
        const auto codePage = kCodePages.find(language);
        ASSERT_NE(codePage, kCodePages.end()) << language << " has no code page here";
        for (const auto& [key, text] : Entries(language)) {
            std::string bytes, back;
            EXPECT_TRUE(ToCodePage(text, codePage->second, bytes)) << language << ": " << key << ": " << text;
            // Converted back, nothing was replaced by a look-alike.
            EXPECT_TRUE(Convert(bytes, codePage->second, "UTF-8", back)) << language << ": " << key;
            EXPECT_EQ(back, text) << language << ": " << key;
        }
    }
}

// The twelve function names are copied into slots of kFunNameSize bytes in
// the program's code page.
TEST(StringFiles, FunctionNamesFitTheirSlots) {
    for (const std::string& language : Languages()) {
        auto table = TableFor(language);
        const auto codePage = kCodePages.find(language);
        ASSERT_NE(codePage, kCodePages.end()) << language;
        for (const FunctionName& name : kFunctionNames) {
            char text[kResourceStringMax];
            ASSERT_EQ(table->GetResourceString(name.key, text, sizeof text), 1) << language << ": " << name.key;
            std::string bytes;
            ASSERT_TRUE(ToCodePage(text, codePage->second, bytes)) << language << ": " << name.key;
            EXPECT_LT(bytes.size(), kFunNameSize) << language << ": " << name.key << ": " << text;
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
