// Silvex.dll from the program folder, bound by name and used only through
// its exports and virtual operations, exactly as Korelle.exe uses it.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "profile_store/strings/xml_rw.h"
#include "tests/test_support.h"

using test_support::ProgramFolder;
using test_support::ScopedCurrentDir;
using test_support::TempDir;
using test_support::WriteFile;

namespace {

class SilvexExports : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA((ProgramFolder() + "\\Silvex.dll").c_str());
        ASSERT_NE(module, nullptr) << "Silvex.dll not found in " << ProgramFolder();
        create = reinterpret_cast<CreateXmlClassInstanceFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlClassInstance")));
        ASSERT_NE(create, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    HMODULE module = nullptr;
    CreateXmlClassInstanceFn create = nullptr;
};

TEST_F(SilvexExports, FillsTheFunctionNamesFromTheShippedEnglishFile) {
    // The program's table of function names: 30-byte slots with English
    // defaults, overwritten only where the string file has the key.
    char names[13][30] = {"BUTTON OFF", "CLICK", "RIGHT BUTTON", "MIDDLE BUTTON", "BUTTON 4", "BUTTON 5",
                          "DOUBLE CLICK", "SWITCH DPI", "SELECT PROFILE", "MACRO", "SINGLE",
                          "DYNAMIC SENSITIVE", "KEPT"};
    const char* keys[13] = {"Str_ButtonOff", "Str_Click", "Str_RightButton", "Str_MiddleButton",
                            "Str_Button4", "Str_Button5", "Str_DoubleClick", "Str_SwitchDPI",
                            "Str_SelectProfile", "Str_Macro", "Str_Single", "Str_DynamicSensitive",
                            "Str_NoSuchKey"};
    ScopedCurrentDir cwd(ProgramFolder());
    XmlRW* table = create("String\\English\\Korelle.xml");
    ASSERT_NE(table, nullptr);
    int found = 0;
    for (int i = 0; i < 13; ++i) found += table->GetResourceString(keys[i], names[i], sizeof names[i]);
    delete table;
    EXPECT_EQ(found, 12);
    EXPECT_STREQ(names[0], "BUTTON OFF");
    EXPECT_STREQ(names[9], "MACRO");
    EXPECT_STREQ(names[11], "DYNAMIC SENSITIVE");
    EXPECT_STREQ(names[12], "KEPT");
}

// The lookups sit in fixed virtual slots after the destructor's two entries;
// the program was built against this order.
TEST_F(SilvexExports, LookupsSitInTheirVirtualSlots) {
    TempDir dir;
    WriteFile(dir.file("s.xml"), "<S><E K=\"Str_Long\">abcdefghij</E></S>");
    ScopedCurrentDir cwd(dir.path());
    XmlRW* table = create("s.xml");
    ASSERT_NE(table, nullptr);
    using Unsized = int (*)(XmlRW*, const char*, char*);
    using Sized = int (*)(XmlRW*, const char*, char*, int);
    void** vtable = *reinterpret_cast<void***>(table);
    char out[32] = {};
    EXPECT_EQ(reinterpret_cast<Unsized>(vtable[2])(table, "Str_Long", out), 1);
    EXPECT_STREQ(out, "abcdefghij");
    EXPECT_EQ(reinterpret_cast<Sized>(vtable[3])(table, "Str_Long", out, 4), 1);
    EXPECT_STREQ(out, "abc");
    delete table;
}

// The profile object's operations sit in fixed slots after the destructor's
// two entries, the private WriteProductInfo last.
TEST_F(SilvexExports, ProfileOperationsSitInTheirVirtualSlots) {
    auto createQX = reinterpret_cast<CreateQXClassInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateQXClassInstance")));
    ASSERT_NE(createQX, nullptr);
    TempDir dir;  // a copy of the device's files, so that nothing is written to the program folder
    std::filesystem::create_directories(dir.path() / "Database");
    std::filesystem::copy(test_support::ShippedDeviceFolder(), dir.path() / "Database" / "VID7a3d_PID006a");
    ScopedCurrentDir cwd(dir.path());
    Vantor* vantor = createQX(0x7A3D, 0x006A);
    ASSERT_NE(vantor, nullptr);
    void** vtable = *reinterpret_cast<void***>(vantor);
    using Load = int (*)(Vantor*, unsigned char*, unsigned char*);
    using OneArg = int (*)(Vantor*, unsigned char*);
    ProfileRecord rec;
    unsigned char file[] = "__default.xml";
    EXPECT_EQ(reinterpret_cast<OneArg>(vtable[4])(vantor, rec.data()), 1);  // LoadVantorInfo
    EXPECT_EQ(rec.bytes[record::kProfileNum], 5);
    EXPECT_EQ(reinterpret_cast<Load>(vtable[2])(vantor, rec.data(), file), 1);  // LoadVantorProfile
    EXPECT_EQ(rec.bytes[record::kProfiles + record::kHeaderSize + record::kFunID], 1);
    unsigned char names[kProfileNameSize * kProfileNameSlots];
    EXPECT_EQ(reinterpret_cast<Load>(vtable[5])(vantor, rec.data(), names), 1);  // GetAllProfileName
    EXPECT_NE(names[0], 0);
    unsigned char info[4 * kProductInfoField] = {};
    EXPECT_EQ(reinterpret_cast<OneArg>(vtable[7])(vantor, info), 0);  // WriteProductInfo: no page here
    EXPECT_EQ(reinterpret_cast<OneArg>(vtable[6])(vantor, rec.data()), 1);  // SaveVantorInfo
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Database" / "VID7a3d_PID006a" / "current.xml"));
    delete vantor;
}

// COM is started on the calling thread by the library's first object and
// ended by its last, never by loading the library.
TEST_F(SilvexExports, ComLivesExactlyAsLongAsTheLibrarysObjects) {
    auto comIsFree = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(hr)) CoUninitialize();
        return hr == S_OK;
    };
    EXPECT_TRUE(comIsFree());
    XmlRW* first = create("none.xml");
    XmlRW* second = create("none.xml");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(comIsFree());
    delete first;
    EXPECT_FALSE(comIsFree());
    delete second;
    EXPECT_TRUE(comIsFree());
}

TEST_F(SilvexExports, TextsArriveInTheAnsiCodePage) {
    TempDir dir;
    WriteFile(dir.file("s.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\"?><S><E K=\"Str_Cafe\">Caf\xC3\xA9</E></S>");
    ScopedCurrentDir cwd(dir.path());
    XmlRW* table = create("s.xml");
    ASSERT_NE(table, nullptr);
    char out[32] = {};
    EXPECT_EQ(table->GetResourceString("Str_Cafe", out, sizeof out), 1);
    delete table;
    char expected[32] = {};
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00E9", -1, expected, sizeof expected, nullptr, nullptr);
    EXPECT_STREQ(out, expected);
}

}  // namespace
