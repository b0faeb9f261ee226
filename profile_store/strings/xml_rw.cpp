#include "profile_store/strings/xml_rw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "profile_store/platform/platform.h"
#include "profile_store/xml/xml_text.h"

namespace {

// Full path of the string file: written by the factory, read by the
// constructor. Empty when the path did not fit, so nothing is loaded.
char g_szXmlPath[512];

// Finds key in the direct children of the root: when the k-th attribute of an
// element holds the key, the text is that of the element's k-th child node.
// A missing k-th child (an entry like <String Key="x"/>) is an empty text.
bool Lookup(const CXmlDocumentWrapper& xml, const char* key, std::string& text) {
    const CXmlNodeWrapper root = xml.Root();
    if (root.IsNull()) return false;
    const int count = root.ChildCount();
    for (int i = 0; i < count; ++i) {
        const CXmlNodeWrapper entry = root.ChildAt(i);
        if (entry.TypeText() != xml_text::kElement) continue;
        const int attributes = entry.AttributeCount();
        for (int k = 0; k < attributes; ++k) {
            if (entry.AttributeValueAt(k) != key) continue;
            const CXmlNodeWrapper node = entry.ChildAt(k);
            text = node.IsNull() ? std::string() : node.Text();
            return true;
        }
    }
    return false;
}

}  // namespace

XmlRW::XmlRW() {
    if (g_szXmlPath[0]) m_xml.Load(g_szXmlPath);
}

XmlRW::~XmlRW() = default;

int XmlRW::GetResourceString(const char* key, char* out) { return GetResourceString(key, out, kResourceStringMax); }

int XmlRW::GetResourceString(const char* key, char* out, int size) {
    if (!key || !out || size <= 0) return 0;
    try {
        std::string text;
        if (!Lookup(m_xml, key, text)) return 0;
        const size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
        return 1;
    } catch (...) {  // a failing DOM call: nothing leaves the library
        return 0;
    }
}

SILVEX_API XmlRW* CreateXmlClassInstance(const char* relativePath) {
    char dir[sizeof g_szXmlPath];
    g_szXmlPath[0] = '\0';
    if (relativePath && platform::CurrentDirectory(dir, sizeof dir)) {
        const int n = std::snprintf(g_szXmlPath, sizeof g_szXmlPath, "%s%c%s", dir, platform::kPathSeparator,
                                    relativePath);
        if (n < 0 || n >= static_cast<int>(sizeof g_szXmlPath)) g_szXmlPath[0] = '\0';
    }
    try {
        return new XmlRW;
    } catch (...) {
        return nullptr;
    }
}
