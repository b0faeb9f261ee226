// What the profile files look like byte for byte where another program or an
// older version reads them: the number formats of every profile attribute,
// "current.xml" with its attributes in their order, and the folders the
// library writes to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "profile_store/xml/xml_document.h"
#include "tests/profiles/vantor_fixture.h"
#include "tests/test_support.h"

using namespace record;
namespace fs = std::filesystem;

namespace {

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

// name="value" pairs of an element, in document order.
std::vector<std::string> Attributes(const std::string& path, const char* xpath) {
    CXmlDocumentWrapper doc;
    if (!doc.Load(path.c_str())) return {"(unreadable)"};
    const CXmlNodeWrapper node = doc.Root().SelectSingle(xpath);
    std::vector<std::string> out;
    for (int i = 0; i < node.AttributeCount(); ++i)
        out.push_back(node.AttributeNameAt(i) + "=" + node.AttributeValueAt(i));
    return out;
}

// The shipped defaults loaded.
class VantorFormats : public VantorFolder {
protected:
    void SetUp() override {
        VantorFolder::SetUp();
        ASSERT_EQ(vantor->LoadVantorProfile(rec.data(), Name("__default.xml")), 1);
    }
};

TEST_F(VantorFormats, HeaderAndButtonBytesAreWrittenWithoutLeadingZeros) {
    ProfileRecord r = rec;
    unsigned char* header = r.data() + ProfileOffset(r.data(), 1);
    header[kProfileIndex] = 0x01;
    header[kDPI] = 0x03;
    header[kSensorPollRate] = 0x00;
    unsigned char* button = r.data() + ButtonOffset(r.data(), 1, 2);
    button[kBtnIndex] = 0x02;
    button[kFunID] = 0x0a;
    button[kFunExt] = 0x20;
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("formats.xml")), 1);
    const std::string file = (device / "formats.xml").string();

    const std::vector<std::string> desc = Attributes(file, "//Profile2/HardWareDesc");
    ASSERT_EQ(desc.size(), 4u);
    EXPECT_EQ(desc[0], "ProfileIndex=0x1");
    EXPECT_EQ(desc[1], "DPI=0x3");
    EXPECT_EQ(desc[2], "SensorPollRate=0x0");

    CXmlDocumentWrapper doc;
    ASSERT_EQ(doc.Load(file.c_str()), 1);
    const CXmlNodeWrapper b = doc.Root().SelectSingle("//Profile2/Buttons").ChildAt(2);
    ASSERT_GE(b.AttributeCount(), 3);
    EXPECT_EQ(b.AttributeNameAt(0) + "=" + b.AttributeValueAt(0), "BtnIndex=0x2");
    EXPECT_EQ(b.AttributeNameAt(1) + "=" + b.AttributeValueAt(1), "FunID=0xa");
    EXPECT_EQ(b.AttributeNameAt(2) + "=" + b.AttributeValueAt(2), "FunExt=0x20");
}

TEST_F(VantorFormats, CurrentDeviceFileHasItsAttributesInOrder) {
    ASSERT_EQ(vantor->SaveVantorInfo(rec.data()), 1);
    const std::string name(reinterpret_cast<const char*>(rec.data() + kName));
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(Attributes((device / "current.xml").string(), "//Device/Device"),
              (std::vector<std::string>{"Name=" + name, "Type=Mouse", "ButtonNum=0x7", "Flag=" + [&] {
                                            char text[16];
                                            std::snprintf(text, sizeof text, "0x%.4x", Get32(rec.data(), kFlag));
                                            return std::string(text);
                                        }(),
                                        "VendorID=0x7a3d", "ProduceID=0x006a"}));
}

TEST_F(VantorFormats, ProfilesAreSavedInTheFolderOfTheRecordsDevice) {
    // A record of another device: its own folder, not the library's.
    const fs::path other = dir.path() / "Database" / "VID7a3d_PID00ff";
    fs::create_directories(other);
    fs::copy_file(device / "__default.xml", other / "__default.xml");
    ProfileRecord r = rec;
    Set16(r.data(), kProductID, 0x00FF);
    ASSERT_EQ(vantor->SaveVantorProfile(r.data(), Name("there.xml")), 1);
    EXPECT_TRUE(fs::exists(other / "there.xml"));
    EXPECT_FALSE(fs::exists(device / "there.xml"));

    // The library's own record writes into the library's folder, named in lower case.
    ASSERT_EQ(vantor->SaveVantorProfile(rec.data(), Name("here.xml")), 1);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path() / "Database")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"VID7a3d_PID006a", "VID7a3d_PID00ff"}));
    EXPECT_TRUE(fs::exists(device / "here.xml"));
}

}  // namespace
