#include "profile_store/profiles/profile_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace profile_text {

namespace {
constexpr std::size_t kNumberChars = 7;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Format(const char* format, std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(v));
    return text;
}
}  // namespace

std::uint32_t ParseHex(const std::string& text) {
    const std::string t = text.substr(0, kNumberChars);
    std::size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) ++i;
    if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) i += 2;
    std::uint32_t v = 0;
    for (; i < t.size() && HexDigit(t[i]) >= 0; ++i) v = v << 4 | static_cast<std::uint32_t>(HexDigit(t[i]));
    return v;
}

std::string Hex(std::uint32_t v) { return Format("0x%x", v); }
std::string Hex2(std::uint32_t v) { return Format("0x%.2x", v); }
std::string Hex4(std::uint32_t v) { return Format("0x%.4x", v); }

void CopyText(unsigned char* field, std::size_t size, const std::string& text) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), n);
}

std::string FieldText(const unsigned char* field, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, size - 1));
}

std::string PrintableText(const unsigned char* field, std::size_t size) {
    std::string text = FieldText(field, size);
    const auto end = std::find_if(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u > 0x7E;
    });
    text.erase(end, text.end());
    return text;
}

bool IsBareFileName(const char* name) {
    if (!name || !*name) return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    return std::strpbrk(name, "/\\:") == nullptr;
}

bool HasXmlExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xml";
}

}  // namespace profile_text
