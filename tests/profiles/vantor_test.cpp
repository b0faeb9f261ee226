// The profile object on a device folder of its own: the shipped data files,
// profile files written by hand, and the files the library writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>

#ifndef _WIN32
#include <pugixml.hpp>
#endif

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "profile_store/xml/xml_document.h"
#include "tests/profiles/vantor_fixture.h"
#include "tests/test_support.h"

using namespace record;
using test_support::ReadFile;
using test_support::ShippedHelpFolder;
using test_support::WriteFile;
namespace fs = std::filesystem;

namespace {

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

// Profile-file text: a Software section, then the given profile elements.
std::string ProfileFile(const std::string& profiles, const std::string& software =
                                                         "<Software><Software EnableXYFlag=\"0x1\" X_Rate=\"0x2\" "
                                                         "Y_Rate=\"0x3\" XY_SensitiveRate=\"0x4\"/></Software>") {
    return "<Vantor>" + software + profiles + "</Vantor>";
}

std::string Profile(int i, const std::string& desc, const std::string& buttons) {
    const std::string tag = "Profile" + std::to_string(i);
    return "<" + tag + ">" + desc + buttons + "</" + tag + ">";
}

class VantorTest : public VantorFolder {
protected:

    std::string DeviceFile(const char* name) const { return (device / name).string(); }
    void Write(const char* name, const std::string& text) const { WriteFile(DeviceFile(name), text); }

    // The attribute of the first element matching xpath in a written file.
    static std::string Attribute(const std::string& path, const char* xpath, const char* name) {
        CXmlDocumentWrapper doc;
        if (!doc.Load(path.c_str())) return "(unreadable)";
        const CXmlNodeWrapper node = doc.Root().SelectSingle(xpath);
        for (int i = 0; i < node.AttributeCount(); ++i)
            if (node.AttributeNameAt(i) == name) return node.AttributeValueAt(i);
        return "(absent)";
    }
};

TEST_F(VantorTest, ShippedFilesDescribeFiveProfilesOfSevenButtons) {
    EXPECT_EQ(ProfileNum(rec.data()), 5u);
    EXPECT_EQ(ButtonNum(rec.data()), 7u);
    EXPECT_EQ(Get16(rec.data(), kVendorID), 0x7A3D);
    EXPECT_EQ(Get16(rec.data(), kProductID), 0x006A);
    EXPECT_GT(std::strlen(reinterpret_cast<const char*>(rec.data() + kName)), 0u);
    EXPECT_TRUE(MapIsPermutation(rec.data()));
    bool identity = true;
    for (unsigned k = 0; k < 7; ++k) identity = identity && MapEntry(rec.data(), k) == k;
    EXPECT_FALSE(identity) << "slot order should differ from file order";

    ASSERT_EQ(vantor->LoadVantorProfile(rec.data(), Name("__default.xml")), 1);
    ASSERT_TRUE(ApplyButtonMap(rec.data()));
    std::set<int> dpiSteps, pollRates;
    for (unsigned p = 0; p < 5; ++p) {
        const unsigned char* block = rec.data() + ProfileOffset(rec.data(), p);
        EXPECT_EQ(block[kProfileIndex], p);
        dpiSteps.insert(block[kDPI]);
        pollRates.insert(block[kSensorPollRate]);
        EXPECT_EQ(rec.data()[ButtonOffset(rec.data(), p, 0) + kFunID] & 0x1F, 1) << "slot 0 is the click";
        int clicks = 0;
        for (unsigned b = 0; b < 7; ++b) clicks += (rec.data()[ButtonOffset(rec.data(), p, b) + kFunID] & 0x1F) == 1;
        EXPECT_GE(clicks, 1);
    }
    EXPECT_GT(dpiSteps.size(), 1u);
    EXPECT_GT(pollRates.size(), 1u);

    // Every button of the factory file carries all of its key slots.
    CXmlDocumentWrapper doc;
    ASSERT_EQ(doc.Load(DeviceFile("__default.xml").c_str()), 1);
    for (int i = 1; i <= 5; ++i) {
        const CXmlNodeWrapper buttons = doc.Root().ChildAt(i).ChildAt(1);
        ASSERT_EQ(buttons.ChildCount(), 7);
        for (int b = 0; b < 7; ++b) EXPECT_EQ(buttons.ChildAt(b).ChildCount(), 16);
    }
}

TEST_F(VantorTest, DeviceInfoFillsOnlyTheDeviceSectionWhateverTheAttributeOrder) {
    Write("__DeviceInfo.xml",
          "<X><Device><Device Extra=\"1\" ProductID=\"6a\" VendorID=\"0x7a3d\" ProfileNum=\"0x5\" ButtonNum=\"7\" "
          "Flag=\"0x12345\" Type=\"MouseTypeTooLong\" Name=\"N\"/>"
          "<Buttons B6=\"0x4\" B0=\"0\" B1=\"1\" B2=\"2\" B3=\"5\" B4=\"6\" B5=\"3\" B7=\"9\"/></Device></X>");
    ProfileRecord r;
    r.bytes.fill(0xAB);
    ASSERT_EQ(vantor->LoadVantorInfo(r.data()), 1);
    EXPECT_EQ(Get16(r.data(), kVendorID), 0x7A3D);
    EXPECT_EQ(Get16(r.data(), kProductID), 0x006A);
    EXPECT_EQ(Get32(r.data(), kFlag), 0x12345u);
    EXPECT_STREQ(reinterpret_cast<const char*>(r.data() + kType), "MouseType");  // cut to 9 characters
    EXPECT_STREQ(reinterpret_cast<const char*>(r.data() + kName), "N");
    EXPECT_EQ(r.bytes[kName + 2], 0) << "the rest of the field is cleared";
    EXPECT_EQ(MapEntry(r.data(), 6), 4u);
    EXPECT_EQ(MapEntry(r.data(), 3), 5u);
    EXPECT_EQ(r.bytes[176], 0xAB) << "reserved bytes are not touched";
    for (std::size_t i = kDeviceSectionEnd; i < kSize; ++i) ASSERT_EQ(r.bytes[i], 0xAB) << i;
}

TEST_F(VantorTest, DeviceInfoMissingOrWithoutItsElements) {
    ProfileRecord r;
    fs::remove(device / "__DeviceInfo.xml");
    EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 0);
    EXPECT_EQ(r, ProfileRecord{});

    Write("__DeviceInfo.xml", "<X><Other/></X>");
    EXPECT_EQ(vantor->LoadVantorInfo(r.data()), 1);
    EXPECT_EQ(r, ProfileRecord{});
}

TEST_F(VantorTest, ProfilesCountOnlyAtTheirOwnPosition) {
    const std::string desc = "<HardWareDesc ProfileIndex=\"0x9\" DPI=\"0x9\"/>";
    Write("swapped.xml", ProfileFile(Profile(2, desc, "<Buttons/>") + Profile(1, desc, "<Buttons/>")));
    const ProfileRecord before = rec;
    ASSERT_EQ(vantor->LoadVantorProfile(rec.data(), Name("swapped.xml")), 1);
    EXPECT_EQ(rec.bytes[kEnableXYFlag], 1);
    EXPECT_EQ(rec.bytes[kXYSensitiveRate], 4);
    EXPECT_EQ(0, std::memcmp(rec.data() + kProfiles, before.data() + kProfiles, kSize - kProfiles));
}

TEST_F(VantorTest, NumbersAreHexWithOrWithoutPrefixCutToSevenCharacters) {
    Write("numbers.xml",
          ProfileFile(Profile(1,
                              "<HardWareDesc ProfileIndex=\"1f\" DPI=\"0x1ff\" SensorPollRate=\"0X2A\" "
                              "Dummy=\"abcdefgh\"/>",
                              "<Buttons><B BtnIndex=\"0x12345678\" FunID=\"zz\" FunExt=\"  0x7\">"
                              "<K UsageID=\"0x000ff\" Usage=\"0x0000ff\"/></B></Buttons>")));
    ASSERT_EQ(vantor->LoadVantorProfile(rec.data(), Name("numbers.xml")), 1);
    const unsigned char* block = rec.data() + kProfiles;
    EXPECT_EQ(block[kProfileIndex], 0x1f);
    EXPECT_EQ(block[kDPI], 0xff);
    EXPECT_EQ(block[kSensorPollRate], 0x2a);
    EXPECT_STREQ(reinterpret_cast<const char*>(block + kDummy), "abcd");
    const unsigned char* button = block + kHeaderSize;
    EXPECT_EQ(button[kBtnIndex], 0x45);  // "0x12345"
    EXPECT_EQ(button[kFunID], 0x00);
    EXPECT_EQ(button[kFunExt], 0x07);
    EXPECT_EQ(button[kKeySlots], 0xff);     // seven characters: all of it
    EXPECT_EQ(button[kKeySlots + 1], 0x0f);  // "0x0000f" of eight characters
}

TEST_F(VantorTest, AFileThatFailsACheckChangesNothing) {
    const std::string good = Profile(1, "<HardWareDesc DPI=\"0x3\"/>", "<Buttons/>");
    const ProfileRecord before = rec;
    Write("nodesc.xml", ProfileFile(good + Profile(2, "<Other/>", "<Buttons/>")));
    EXPECT_EQ(vantor->LoadVantorProfile(rec.data(), Name("nodesc.xml")), 0);
    EXPECT_EQ(rec, before);
    Write("nobuttons.xml", ProfileFile(good + Profile(2, "<HardWareDesc/>", "<Keys/>")));
    EXPECT_EQ(vantor->LoadVantorProfile(rec.data(), Name("nobuttons.xml")), 0);
    EXPECT_EQ(rec, before);
    Write("broken.xml", ProfileFile(good).substr(0, 40));
    EXPECT_EQ(vantor->LoadVantorProfile(rec.data(), Name("broken.xml")), 0);
    EXPECT_EQ(vantor->LoadVantorProfile(rec.data(), Name("missing.xml")), 0);
    EXPECT_EQ(rec, before);
}

TEST_F(VantorTest, InputBeyondTheRecordIsCutOff) {
    std::string buttons = "<Buttons>";
    for (int b = 0; b < 9; ++b) {
        buttons += "<B FunID=\"0x" + std::to_string(b + 1) + "\">";
        for (int k = 0; k < 20; ++k) buttons += "<K UsageID=\"0x" + std::to_string(k + 10) + "\" Usage=\"0x1\"/>";
        buttons += "</B>";
    }
    buttons += "</Buttons>";
    std::string profiles;
    for (int i = 1; i <= 7; ++i) profiles += Profile(i, "<HardWareDesc DPI=\"0x2\"/>", buttons);
    Write("big.xml", ProfileFile(profiles));
    const ProfileRecord before = rec;
    ASSERT_EQ(vantor->LoadVantorProfile(rec.data(), Name("big.xml")), 1);
    EXPECT_EQ(rec.data()[ButtonOffset(rec.data(), 4, 6) + kFunID], 7);
    EXPECT_EQ(rec.data()[KeyOffset(rec.data(), 4, 6, 15)], 0x25);
    // Profiles 6 and 7 and the bytes behind the fifth block stay as they were.
    EXPECT_EQ(0, std::memcmp(rec.data() + 1545, before.data() + 1545, kSize - 1545));
}

TEST_F(VantorTest, WorkingFileRoundTripKeepsSoftwareAndEveryBlock) {
    std::mt19937 rng(7);
    ProfileRecord r = rec;
    for (std::size_t i = kEnableXYFlag; i < 1545; ++i) r.bytes[i] = static_cast<unsigned char>(rng());
    for (unsigned p = 0; p < 5; ++p)  // Dummy is text: at most four characters and a NUL
        std::memcpy(r.data() + ProfileOffset(r.data(), p) + kDummy, p == 0 ? "1a2b" : "x\0\0\0", 5);
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("__working.xml")), 1);

    ProfileRecord loaded = rec;
    ASSERT_EQ(vantor->LoadVantorProfile(loaded.data(), Name("__working.xml")), 1);
    EXPECT_EQ(0, std::memcmp(loaded.data() + kEnableXYFlag, r.data() + kEnableXYFlag, 1545 - kEnableXYFlag));
    EXPECT_EQ(0, std::memcmp(loaded.data(), rec.data(), kEnableXYFlag));
}

TEST_F(VantorTest, SavedValuesUseTheFileFormats) {
    ProfileRecord r = rec;
    r.bytes[kEnableXYFlag] = 1;
    r.bytes[kXRate] = 0x1a;
    r.bytes[KeyOffset(r.data(), 0, 0, 0)] = 5;
    r.bytes[KeyOffset(r.data(), 0, 0, 0) + 1] = 0xab;
    r.bytes[ButtonOffset(r.data(), 0, 0) + kFunExt] = 0;
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("formats.xml")), 1);
    const std::string file = DeviceFile("formats.xml");
    EXPECT_EQ(Attribute(file, "//Software/Software", "EnableXYFlag"), "0x1");
    EXPECT_EQ(Attribute(file, "//Software/Software", "X_Rate"), "0x1a");
    EXPECT_EQ(Attribute(file, "//Profile1/Buttons/*/*", "UsageID"), "0x05");
    EXPECT_EQ(Attribute(file, "//Profile1/Buttons/*/*", "Usage"), "0xab");
    EXPECT_EQ(Attribute(file, "//Profile1/Buttons/*", "FunExt"), "0x0");
}

TEST_F(VantorTest, AnUnusableTemplateWritesNothing) {
    WriteFile(DeviceFile("keep.xml"), "previous content");
    const std::string templates[] = {
        "<Vantor><Profile1><HardWareDesc/><Buttons/></Profile1></Vantor>",       // no Software/Software
        ProfileFile(Profile(1, "<Buttons/>", "<HardWareDesc/>")),                // parts swapped
        "<Vantor>",                                                              // malformed
    };
    for (const std::string& t : templates) {
        Write("__default.xml", t);
        EXPECT_EQ(vantor->SaveVantorProfile(rec.data(), Name("keep.xml")), 0) << t;
        EXPECT_EQ(ReadFile(DeviceFile("keep.xml")), "previous content") << t;
        EXPECT_EQ(vantor->SaveVantorProfile(rec.data(), Name("new.xml")), 0) << t;
        EXPECT_FALSE(fs::exists(device / "new.xml")) << t;
    }
}

TEST_F(VantorTest, FileNamesNeverLeaveTheDeviceFolder) {
    for (const char* name : {"../escape.xml", "..\\escape.xml", "sub/x.xml", "C:x.xml", "", ".."}) {
        EXPECT_EQ(vantor->SaveVantorProfile(rec.data(), Name(name)), 0) << name;
        EXPECT_EQ(vantor->LoadVantorProfile(rec.data(), Name(name)), 0) << name;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "Database" / "escape.xml"));
    EXPECT_EQ(vantor->SaveVantorProfile(rec.data(), nullptr), 0);
    EXPECT_EQ(vantor->LoadVantorProfile(nullptr, Name("__default.xml")), 0);
}

TEST_F(VantorTest, ListsTheXmlFilesInSlotsThatFit) {
    std::unique_ptr<unsigned char[]> list(new unsigned char[3200]);
    auto names = [&] {
        std::set<std::string> out;
        for (int i = 0; list[32 * i]; ++i) {
            EXPECT_LT(i, 99);
            out.insert(reinterpret_cast<const char*>(&list[32 * i]));
        }
        return out;
    };
    Write("mine.XML", "<x/>");
    Write("notes.txt", "");
    Write(std::string(28, 'n').append(".xml").c_str(), "<x/>");  // 32 characters: no room for the NUL
    Write(std::string(27, 'm').append(".xml").c_str(), "<x/>");  // 31: fits
    fs::create_directory(device / "folder.xml");
    std::memset(list.get(), 0xEE, 3200);
    ASSERT_EQ(vantor->GetAllProfileName(rec.data(), list.get()), 1);
    const std::set<std::string> expected = {"__DeviceInfo.xml", "__default.xml", "mine.XML",
                                            std::string(27, 'm') + ".xml"};
    EXPECT_EQ(names(), expected);

    for (int i = 0; i < 120; ++i) Write(("p" + std::to_string(i) + ".xml").c_str(), "<x/>");
    std::memset(list.get(), 0xEE, 3200);
    ASSERT_EQ(vantor->GetAllProfileName(rec.data(), list.get()), 1);
    EXPECT_EQ(names().size(), 99u);
    EXPECT_EQ(list[32 * 99], 0);

    ProfileRecord other = rec;  // a device without a folder
    Set16(other.data(), kProductID, 0x1234);
    ASSERT_EQ(vantor->GetAllProfileName(other.data(), list.get()), 1);
    EXPECT_EQ(list[0], 0);
}

TEST_F(VantorTest, CurrentDeviceFileUsesItsOwnFormats) {
    Set32(rec.data(), kFlag, 1);
    ASSERT_EQ(vantor->SaveVantorInfo(rec.data()), 1);
    const std::string file = DeviceFile("current.xml");
    EXPECT_EQ(Attribute(file, "//Device/Device", "Flag"), "0x0001");
    EXPECT_EQ(Attribute(file, "//Device/Device", "ButtonNum"), "0x7");
    EXPECT_EQ(Attribute(file, "//Device/Device", "VendorID"), "0x7a3d");
    EXPECT_EQ(Attribute(file, "//Device/Device", "ProduceID"), "0x006a");
    EXPECT_EQ(Attribute(file, "//Device/Device", "ProductID"), "(absent)");
    EXPECT_EQ(Attribute(file, "//Device/Device", "Type"), "Mouse");
    EXPECT_EQ(Attribute(file, "//Device/Device", "ProfileNum"), "(absent)");
}

TEST_F(VantorTest, ProductInfoSetsTheMouseElementAndNothingElse) {
    fs::create_directories(dir.path() / "Help" / "About");
    const std::string file = (dir.path() / "Help" / "About" / "file.xml").string();
    WriteFile(file, "<About><Title>Kept</Title><Mouse ProductName=\"old\" Keep=\"yes\"/></About>");
    unsigned char info[4 * kProductInfoField] = {};
    std::strcpy(reinterpret_cast<char*>(info), "Mouse Name");
    std::strcpy(reinterpret_cast<char*>(info + 64), "1.14");
    std::strcpy(reinterpret_cast<char*>(info + 128), "3");
    std::memset(info + 192, 'h', 64);  // no NUL in the field: cut at 63 characters
    EXPECT_EQ(CallWriteProductInfo(*vantor, info), 0);
    EXPECT_EQ(Attribute(file, "//Mouse", "ProductName"), "Mouse Name");
    EXPECT_EQ(Attribute(file, "//Mouse", "File"), "1.14");
    EXPECT_EQ(Attribute(file, "//Mouse", "FirmWare"), "3");
    EXPECT_EQ(Attribute(file, "//Mouse", "HardWare"), std::string(63, 'h'));
    EXPECT_EQ(Attribute(file, "//Mouse", "Keep"), "yes");
    CXmlDocumentWrapper doc;
    ASSERT_EQ(doc.Load(file.c_str()), 1);
    EXPECT_EQ(doc.Root().ChildAt(0).Text(), "Kept");

    // The shipped page takes the values as well.
    fs::remove(file);
    fs::copy_file(ShippedHelpFolder() / "About" / "file.xml", file);
    EXPECT_EQ(CallWriteProductInfo(*vantor, info), 0);
    EXPECT_EQ(Attribute(file, "//Mouse", "FirmWare"), "3");

    const std::string noMouse = "<About><Title>No mouse here</Title></About>";
    WriteFile(file, noMouse);
    EXPECT_EQ(CallWriteProductInfo(*vantor, info), 0);
    EXPECT_EQ(ReadFile(file), noMouse);
}

// The shipped Help folder in a program folder of the test's own, and the
// product information block the About command passes.
class ProductInfoTest : public VantorTest {
protected:
    fs::path help = dir.path() / "Help";
    std::string productFile = (help / "About" / "file.xml").string();
    std::string page = (help / "about.xml").string();
    unsigned char info[4 * kProductInfoField] = {};

    void SetUp() override {
        VantorTest::SetUp();
        fs::create_directories(help / "About");
        fs::copy_file(ShippedHelpFolder() / "about.xml", page);
        fs::copy_file(ShippedHelpFolder() / "About" / "file.xml", productFile);
    }
    void Write(const char* name, const char* file, const char* firmware, const char* hardware) {
        const char* texts[] = {name, file, firmware, hardware};
        for (int i = 0; i < 4; ++i) {
            std::memset(info + kProductInfoField * i, 0, kProductInfoField);
            std::strncpy(reinterpret_cast<char*>(info + kProductInfoField * i), texts[i], kProductInfoField);
        }
        EXPECT_EQ(CallWriteProductInfo(*vantor, info), 0);
    }
    // The text of the page's element with this id, or "(absent)".
    std::string Cell(const char* id) const {
        CXmlDocumentWrapper doc;
        if (!doc.Load(page.c_str())) return "(unreadable)";
        const CXmlNodeWrapper node = doc.Root().SelectSingle(("//*[@id='" + std::string(id) + "']").c_str());
        return node.IsNull() ? "(absent)" : node.Text();
    }
    std::string Reported() const { return Attribute(page, "//*[@id='device']", "data-reported"); }
    std::string PageText() const {
        CXmlDocumentWrapper doc;
        return doc.Load(page.c_str()) ? doc.Root().Text() : "(unreadable)";
    }
};

TEST_F(ProductInfoTest, AboutPageShowsWhatTheProductFileHolds) {
    const std::string shipped = PageText();
    EXPECT_EQ(Reported(), "no");
    Write("Mouse <Name> & Co", "1.14", "23", "5");
    EXPECT_EQ(Attribute(productFile, "//Mouse", "FirmWare"), "23");
    EXPECT_EQ(Attribute(productFile, "//Mouse", "HardWare"), "5");
    EXPECT_EQ(Cell("ProductName"), "Mouse <Name> & Co");
    EXPECT_EQ(Cell("File"), "1.14");
    EXPECT_EQ(Cell("FirmWare"), "23");
    EXPECT_EQ(Cell("HardWare"), "5");
    EXPECT_EQ(Reported(), "yes");

    // Written again with the values it shipped with, the page reads as shipped:
    // no other text was lost or added.
    Write("Korelle K7 Optical Gaming Mouse", "1.14", "", "");
    EXPECT_EQ(Cell("FirmWare"), "");
    EXPECT_EQ(Reported(), "no");
    EXPECT_EQ(PageText(), shipped);
}

// Both 0 is what the program passes when the mouse does not answer: the page
// shows both versions as not reported. One 0 beside a real number is a
// version like any other.
TEST_F(ProductInfoTest, VersionsTheMouseDidNotReportAreLeftEmpty) {
    Write("Mouse", "1.14", "0", "0");
    EXPECT_EQ(Attribute(productFile, "//Mouse", "FirmWare"), "0");  // the file keeps the numbers
    EXPECT_EQ(Cell("FirmWare"), "");
    EXPECT_EQ(Cell("HardWare"), "");
    EXPECT_EQ(Cell("ProductName"), "Mouse");
    EXPECT_EQ(Reported(), "no");

    Write("Mouse", "1.14", "0", "5");
    EXPECT_EQ(Cell("FirmWare"), "0");
    EXPECT_EQ(Cell("HardWare"), "5");
    EXPECT_EQ(Reported(), "yes");

    Write("Mouse", "1.14", "7", "");
    EXPECT_EQ(Cell("FirmWare"), "7");
    EXPECT_EQ(Cell("HardWare"), "");
    EXPECT_EQ(Reported(), "no");
}

// Each file is written whole or not at all, and one that cannot be written
// does not keep the other from being written.
TEST_F(ProductInfoTest, APageOrFileThatCannotTakeTheValuesIsLeftAsItIs) {
    const std::string noCell = "<html><body><div id=\"device\"><p id=\"ProductName\">x</p><p id=\"File\"/>"
                               "<p id=\"FirmWare\"/></div></body></html>";
    WriteFile(page, noCell);
    Write("Mouse", "1.14", "3", "4");
    EXPECT_EQ(ReadFile(page), noCell);
    EXPECT_EQ(Attribute(productFile, "//Mouse", "HardWare"), "4");

    const std::string malformed = "<html><body><p id=\"device\">";
    WriteFile(page, malformed);
    Write("Mouse", "1.14", "5", "6");
    EXPECT_EQ(ReadFile(page), malformed);
    EXPECT_EQ(Attribute(productFile, "//Mouse", "HardWare"), "6");

    fs::remove(page);
    fs::copy_file(ShippedHelpFolder() / "about.xml", page);
    fs::remove(productFile);
    Write("Mouse", "1.14", "8", "9");
    EXPECT_EQ(Cell("HardWare"), "9");
    EXPECT_FALSE(fs::exists(productFile));
    EXPECT_TRUE(fs::is_empty(help / "About"));  // no temporary file left either
}

#ifndef _WIN32
// The library rewrites the About page through its DOM, which drops text that
// is only whitespace and refuses a DTD: the page the build makes has neither,
// so a rewrite keeps every space between its words. Both pages are XHTML,
// which a browser shows with no style sheet processing.
TEST(ShippedHelpPages, AreXhtmlThatTheDomRewritesWithoutLoss) {
    for (const char* name : {"about.xml", "help.xml"}) {
        SCOPED_TRACE(name);
        pugi::xml_document doc;
        const std::string path = (ShippedHelpFolder() / name).string();
        ASSERT_TRUE(doc.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype));
        EXPECT_STREQ(doc.document_element().name(), "html");
        EXPECT_STREQ(doc.document_element().attribute("xmlns").value(), "http://www.w3.org/1999/xhtml");
        int blanks = 0;
        std::string where;
        for (pugi::xml_node n : doc.children()) EXPECT_NE(n.type(), pugi::node_doctype);
        if (std::string(name) != "about.xml") continue;
        struct Walker : pugi::xml_tree_walker {
            int* blanks;
            std::string* where;
            bool for_each(pugi::xml_node& n) override {
                if (n.type() == pugi::node_pcdata &&
                    std::string(n.value()).find_first_not_of(" \t\r\n") == std::string::npos) {
                    ++*blanks;
                    *where = n.parent().path();
                }
                return true;
            }
        } walker;
        walker.blanks = &blanks;
        walker.where = &where;
        doc.traverse(walker);
        EXPECT_EQ(blanks, 0) << "whitespace-only text, the last in " << where;
    }
}
#endif

}  // namespace
