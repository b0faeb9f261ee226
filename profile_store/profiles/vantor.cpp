#include "profile_store/profiles/vantor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "profile_store/platform/platform.h"
#include "profile_store/profiles/profile_text.h"
#include "profile_store/record/profile_record.h"
#include "profile_store/xml/xml_text.h"

using namespace record;

namespace {

// The device whose folder the library works in; set by the factory.
std::uint16_t g_vendorId = 0;
std::uint16_t g_productId = 0;

constexpr std::size_t kPathSize = 512;
constexpr char kDefaultFile[] = "__default.xml";
constexpr char kDeviceInfoFile[] = "__DeviceInfo.xml";
constexpr char kCurrentFile[] = "current.xml";
constexpr char kCurrentText[] = "<Vantor>\n<Device>\n<Device/>\n</Device>\n</Vantor>";

// "<cwd>\Database\VIDvvvv_PIDpppp\<file>", or false when it does not fit.
bool DevicePath(std::string& out, std::uint16_t vid, std::uint16_t pid, const char* file) {
    char dir[kPathSize];
    char path[kPathSize];
    if (!platform::CurrentDirectory(dir, sizeof dir)) return false;
    const char s = platform::kPathSeparator;
    const int n = std::snprintf(path, sizeof path, "%s%cDatabase%cVID%.4x_PID%.4x%c%s", dir, s, s, vid, pid, s, file);
    if (n < 0 || n >= static_cast<int>(sizeof path)) return false;
    out = path;
    return true;
}

bool RecordDevicePath(std::string& out, const unsigned char* r, const char* file) {
    return DevicePath(out, Get16(r, kVendorID), Get16(r, kProductID), file);
}

// "<cwd>\Help\[<folder>\]<file>", or false when it does not fit.
bool HelpPath(std::string& out, const char* dir, const char* folder, const char* file) {
    char path[kPathSize];
    const char s = platform::kPathSeparator;
    const int n = folder ? std::snprintf(path, sizeof path, "%s%cHelp%c%s%c%s", dir, s, s, folder, s, file)
                         : std::snprintf(path, sizeof path, "%s%cHelp%c%s", dir, s, s, file);
    if (n < 0 || n >= static_cast<int>(sizeof path)) return false;
    out = path;
    return true;
}

// The product information, in the order of the ProductInfoBlock's fields and
// named as the attributes of "file.xml"'s Mouse element.
using ProductTexts = std::array<std::string, 4>;
constexpr const char* kProductNames[] = {"ProductName", "File", "FirmWare", "HardWare"};

// "Help\About\file.xml": the four attributes of its first Mouse element; the
// rest of the file stays as it is. A file without one raises inside the
// wrapper, and nothing is written.
void WriteProductFile(CXmlDocumentWrapper& xml, const std::string& path, const ProductTexts& values) {
    xml.Load(path.c_str());
    if (xml.Root().IsNull()) return;
    CXmlNodeWrapper mouse = xml.Root().SelectSingle("//Mouse");
    for (std::size_t i = 0; i < values.size(); ++i) mouse.SetAttribute(kProductNames[i], values[i].c_str());
    xml.Save(path.c_str());
}

// A version the mouse did not report: none, or 0 while the other is 0 or
// none too (the program passes 0 and 0 when the mouse does not answer).
bool Unreported(const std::string& version, const std::string& other) {
    return version.empty() || (version == "0" && (other.empty() || other == "0"));
}

// "Help\about.xml", an XHTML page: the same four values as the texts of the
// elements whose ids are their attribute names (a version not reported
// leaves its element empty, which the page shows as such), and
// data-reported "yes" or "no" on the element with the id "device". A page
// that lacks any of these elements is left as it is.
void WriteAboutPage(CXmlDocumentWrapper& xml, const std::string& path, const ProductTexts& values) {
    xml.Load(path.c_str());
    const CXmlNodeWrapper root = xml.Root();
    if (root.IsNull()) return;
    std::array<CXmlNodeWrapper, 4> cells;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = root.SelectSingle(("//*[@id='" + std::string(kProductNames[i]) + "']").c_str());
        if (cells[i].IsNull()) return;
    }
    CXmlNodeWrapper device = root.SelectSingle("//*[@id='device']");
    if (device.IsNull()) return;
    const bool firmware = !Unreported(values[2], values[3]);
    const bool hardware = !Unreported(values[3], values[2]);
    cells[0].SetText(values[0].c_str());
    cells[1].SetText(values[1].c_str());
    cells[2].SetText(firmware ? values[2].c_str() : "");
    cells[3].SetText(hardware ? values[3].c_str() : "");
    device.SetAttribute("data-reported", firmware && hardware ? "yes" : "no");
    xml.Save(path.c_str());
}

bool IsElementNamed(const CXmlNodeWrapper& node, const std::string& name) {
    return node.TypeText() == xml_text::kElement && node.Name() == name;
}

// Calls set(name, value) for each attribute of node.
template <class Set>
void ForEachAttribute(const CXmlNodeWrapper& node, Set set) {
    const int count = node.AttributeCount();
    for (int i = 0; i < count; ++i) set(node.AttributeNameAt(i), node.AttributeValueAt(i));
}

// Reads one profile element into block p of r. False when HardWareDesc or
// Buttons is not where it belongs.
bool LoadProfile(const CXmlNodeWrapper& profile, unsigned char* r, unsigned p) {
    const CXmlNodeWrapper desc = profile.ChildAt(0);
    if (!IsElementNamed(desc, "HardWareDesc")) return false;
    unsigned char* block = r + ProfileOffset(r, p);
    ForEachAttribute(desc, [&](const std::string& name, const std::string& value) {
        if (name == "ProfileIndex") block[kProfileIndex] = profile_text::ParseByte(value);
        else if (name == "DPI") block[kDPI] = profile_text::ParseByte(value);
        else if (name == "SensorPollRate") block[kSensorPollRate] = profile_text::ParseByte(value);
        else if (name == "Dummy") profile_text::CopyText(block + kDummy, kDummySize, value);
    });

    const CXmlNodeWrapper buttons = profile.ChildAt(1);
    if (!IsElementNamed(buttons, "Buttons")) return false;
    const int buttonCount = std::min<int>(buttons.ChildCount(), ButtonNum(r));
    for (int b = 0; b < buttonCount; ++b) {
        const CXmlNodeWrapper button = buttons.ChildAt(b);
        unsigned char* slot = r + ButtonOffset(r, p, b);
        ForEachAttribute(button, [&](const std::string& name, const std::string& value) {
            if (name == "BtnIndex") slot[kBtnIndex] = profile_text::ParseByte(value);
            else if (name == "FunID") slot[kFunID] = profile_text::ParseByte(value);
            else if (name == "FunExt") slot[kFunExt] = profile_text::ParseByte(value);
        });
        const int keyCount = std::min<int>(button.ChildCount(), kKeySlotCount);
        for (int k = 0; k < keyCount; ++k) {
            unsigned char* pair = slot + kKeySlots + kKeySlotSize * k;
            ForEachAttribute(button.ChildAt(k), [&](const std::string& name, const std::string& value) {
                if (name == "UsageID") pair[0] = profile_text::ParseByte(value);
                else if (name == "Usage") pair[1] = profile_text::ParseByte(value);
            });
        }
    }
    return true;
}

// Writes block p of r into the template's profile element. False when
// HardWareDesc or Buttons is not where it belongs.
bool SaveProfile(const CXmlNodeWrapper& profile, const unsigned char* r, unsigned p) {
    CXmlNodeWrapper desc = profile.ChildAt(0);
    if (!IsElementNamed(desc, "HardWareDesc")) return false;
    const unsigned char* block = r + ProfileOffset(r, p);
    desc.SetAttribute("ProfileIndex", profile_text::Hex(block[kProfileIndex]).c_str());
    desc.SetAttribute("DPI", profile_text::Hex(block[kDPI]).c_str());
    desc.SetAttribute("SensorPollRate", profile_text::Hex(block[kSensorPollRate]).c_str());
    desc.SetAttribute("Dummy", profile_text::PrintableText(block + kDummy, kDummySize).c_str());

    const CXmlNodeWrapper buttons = profile.ChildAt(1);
    if (!IsElementNamed(buttons, "Buttons")) return false;
    const int buttonCount = std::min<int>(buttons.ChildCount(), ButtonNum(r));
    for (int b = 0; b < buttonCount; ++b) {
        CXmlNodeWrapper button = buttons.ChildAt(b);
        const unsigned char* slot = r + ButtonOffset(r, p, b);
        button.SetAttribute("BtnIndex", profile_text::Hex(slot[kBtnIndex]).c_str());
        button.SetAttribute("FunID", profile_text::Hex(slot[kFunID]).c_str());
        button.SetAttribute("FunExt", profile_text::Hex(slot[kFunExt]).c_str());
        const int keyCount = std::min<int>(button.ChildCount(), kKeySlotCount);
        for (int k = 0; k < keyCount; ++k) {
            CXmlNodeWrapper key = button.ChildAt(k);
            const unsigned char* pair = slot + kKeySlots + kKeySlotSize * k;
            key.SetAttribute("UsageID", profile_text::Hex2(pair[0]).c_str());
            key.SetAttribute("Usage", profile_text::Hex2(pair[1]).c_str());
        }
    }
    return true;
}

// Root children 1.. named "Profile<i>" hold block i-1; others are skipped,
// and so are profiles the record has no block for.
template <class Visit>
bool ForEachProfile(const CXmlNodeWrapper& root, const unsigned char* r, Visit visit) {
    const int count = root.ChildCount();
    for (int i = 1; i < count; ++i) {
        const CXmlNodeWrapper child = root.ChildAt(i);
        if (!IsElementNamed(child, "Profile" + std::to_string(i))) continue;
        if (static_cast<unsigned>(i) > ProfileNum(r)) continue;
        if (!visit(child, static_cast<unsigned>(i - 1))) return false;
    }
    return true;
}

}  // namespace

Vantor::~Vantor() = default;

int Vantor::LoadVantorProfile(unsigned char* record, unsigned char* fileName) {
    const char* name = reinterpret_cast<const char*>(fileName);
    if (!record || !profile_text::IsBareFileName(name) || !LayoutFits(record)) return 0;
    try {
        std::string path;
        if (!DevicePath(path, g_vendorId, g_productId, name)) return 0;
        m_xml.Load(path.c_str());
        const CXmlNodeWrapper root = m_xml.Root();
        if (root.IsNull()) return 0;

        // Read into a copy: a file that fails a check changes nothing.
        unsigned char copy[kSize];
        std::memcpy(copy, record, kSize);
        const CXmlNodeWrapper software = root.SelectSingle("//Software/*");
        ForEachAttribute(software, [&](const std::string& attr, const std::string& value) {
            if (attr == "EnableXYFlag") copy[kEnableXYFlag] = profile_text::ParseByte(value);
            else if (attr == "X_Rate") copy[kXRate] = profile_text::ParseByte(value);
            else if (attr == "Y_Rate") copy[kYRate] = profile_text::ParseByte(value);
            else if (attr == "XY_SensitiveRate") copy[kXYSensitiveRate] = profile_text::ParseByte(value);
        });
        const bool ok = ForEachProfile(root, copy, [&](const CXmlNodeWrapper& profile, unsigned p) {
            return LoadProfile(profile, copy, p);
        });
        if (!ok) return 0;
        std::memcpy(record, copy, kSize);
        return 1;
    } catch (...) {
        return 0;
    }
}

int Vantor::SaveVantorProfile(unsigned char* record, unsigned char* fileName) {
    const char* name = reinterpret_cast<const char*>(fileName);
    if (!record || !profile_text::IsBareFileName(name) || !LayoutFits(record)) return 0;
    try {
        std::string target, templ;
        if (!RecordDevicePath(target, record, name) || !RecordDevicePath(templ, record, kDefaultFile)) return 0;
        m_xml.Load(templ.c_str());
        const CXmlNodeWrapper root = m_xml.Root();
        if (root.IsNull()) return 0;

        // A template without this element raises inside the wrapper: 0, nothing written.
        CXmlNodeWrapper software = root.SelectSingle("//Software/Software");
        software.SetAttribute("EnableXYFlag", profile_text::Hex(record[kEnableXYFlag]).c_str());
        software.SetAttribute("X_Rate", profile_text::Hex(record[kXRate]).c_str());
        software.SetAttribute("Y_Rate", profile_text::Hex(record[kYRate]).c_str());
        software.SetAttribute("XY_SensitiveRate", profile_text::Hex(record[kXYSensitiveRate]).c_str());
        const bool ok = ForEachProfile(root, record, [&](const CXmlNodeWrapper& profile, unsigned p) {
            return SaveProfile(profile, record, p);
        });
        if (!ok) return 0;
        return m_xml.Save(target.c_str());
    } catch (...) {
        return 0;
    }
}

int Vantor::LoadVantorInfo(unsigned char* record) {
    if (!record) return 0;
    try {
        std::string path;
        if (!DevicePath(path, g_vendorId, g_productId, kDeviceInfoFile)) return 0;
        m_xml.Load(path.c_str());
        const CXmlNodeWrapper root = m_xml.Root();
        if (root.IsNull()) return 0;

        unsigned char device[kDeviceSectionEnd];
        std::memcpy(device, record, sizeof device);
        ForEachAttribute(root.SelectSingle("//Device/*"), [&](const std::string& name, const std::string& value) {
            if (name == "Name") profile_text::CopyText(device + kName, kNameSize, value);
            else if (name == "Type") profile_text::CopyText(device + kType, kTypeSize, value);
            else if (name == "ButtonNum") device[kButtonNum] = profile_text::ParseByte(value);
            else if (name == "ProfileNum") device[kProfileNum] = profile_text::ParseByte(value);
            else if (name == "Flag") Set32(device, kFlag, profile_text::ParseHex(value));
            else if (name == "VendorID") Set16(device, kVendorID, static_cast<std::uint16_t>(profile_text::ParseHex(value)));
            else if (name == "ProductID") Set16(device, kProductID, static_cast<std::uint16_t>(profile_text::ParseHex(value)));
        });
        ForEachAttribute(root.SelectSingle("//Device/Buttons"), [&](const std::string& name, const std::string& value) {
            for (std::size_t k = 0; k < kMapEntries; ++k)
                if (name == "B" + std::to_string(k)) Set32(device, kButtonMap + 4 * k, profile_text::ParseHex(value));
        });
        std::memcpy(record, device, sizeof device);
        return 1;
    } catch (...) {
        return 0;
    }
}

int Vantor::GetAllProfileName(unsigned char* record, unsigned char* nameList) {
    if (!record || !nameList) return 0;
    int used = 0;
    try {
        std::string folder;
        if (RecordDevicePath(folder, record, "")) {
            for (const std::string& file : platform::FilesInFolder(folder.c_str())) {
                if (used == kProfileNameSlots - 1) break;
                // A longer name would not fit its slot and could not be opened again.
                if (!profile_text::HasXmlExtension(file) || file.size() >= kProfileNameSize) continue;
                char* slot = reinterpret_cast<char*>(nameList) + kProfileNameSize * used++;
                std::memset(slot, 0, kProfileNameSize);
                std::memcpy(slot, file.data(), file.size());
            }
        }
    } catch (...) {
        // Whatever was listed stays listed.
    }
    nameList[kProfileNameSize * used] = 0;
    return 1;
}

int Vantor::SaveVantorInfo(unsigned char* record) {
    if (!record) return 0;
    try {
        std::string path;
        if (!DevicePath(path, g_vendorId, g_productId, kCurrentFile)) return 0;
        m_xml.LoadText(kCurrentText);
        if (m_xml.Root().IsNull()) return 0;
        CXmlNodeWrapper device = m_xml.Root().SelectSingle("//Device/Device");
        device.SetAttribute("Name", profile_text::FieldText(record + kName, kNameSize).c_str());
        device.SetAttribute("Type", profile_text::FieldText(record + kType, kTypeSize).c_str());
        device.SetAttribute("ButtonNum", profile_text::Hex(record[kButtonNum]).c_str());
        device.SetAttribute("Flag", profile_text::Hex4(Get32(record, kFlag)).c_str());
        device.SetAttribute("VendorID", profile_text::Hex4(g_vendorId).c_str());
        device.SetAttribute("ProduceID", profile_text::Hex4(g_productId).c_str());
        return m_xml.Save(path.c_str());
    } catch (...) {
        return 0;
    }
}

int Vantor::WriteProductInfo(unsigned char* productInfo) {
    if (!productInfo) return 0;
    try {
        char dir[kPathSize];
        if (!platform::CurrentDirectory(dir, sizeof dir)) return 0;
        ProductTexts values;
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = profile_text::FieldText(productInfo + kProductInfoField * i, kProductInfoField);
        // Each file on its own: one that cannot be written leaves the other to be.
        std::string path;
        try {
            if (HelpPath(path, dir, "About", "file.xml")) WriteProductFile(m_xml, path, values);
        } catch (...) {
        }
        if (HelpPath(path, dir, nullptr, "about.xml")) WriteAboutPage(m_xml, path, values);
    } catch (...) {
    }
    return 0;
}

SILVEX_API Vantor* CreateQXClassInstance(int vendorId, int productId) {
    g_vendorId = static_cast<std::uint16_t>(vendorId);
    g_productId = static_cast<std::uint16_t>(productId);
    try {
        return new Vantor;
    } catch (...) {
        return nullptr;
    }
}
