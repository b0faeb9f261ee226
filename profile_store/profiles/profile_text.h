// How the profile files write and read the record's values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace profile_text {

// A numeric attribute: hexadecimal with or without "0x", at most its first 7
// characters read; anything else reads as 0 from the first non-digit on.
std::uint32_t ParseHex(const std::string& text);
inline unsigned char ParseByte(const std::string& text) { return static_cast<unsigned char>(ParseHex(text)); }

// "0x%x", "0x%.2x", "0x%.4x".
std::string Hex(std::uint32_t v);
std::string Hex2(std::uint32_t v);
std::string Hex4(std::uint32_t v);

// Copies text into a fixed field of size bytes, cut to size - 1 characters,
// the rest of the field zero.
void CopyText(unsigned char* field, std::size_t size, const std::string& text);
// The text of a fixed field: up to its first NUL, at most size - 1 characters.
std::string FieldText(const unsigned char* field, std::size_t size);
// The same text, ended also at the first byte that is not printable ASCII:
// what an attribute value can carry so that every XML reader gives back the
// same bytes (control bytes make a document ill-formed, bytes above 0x7E
// change with the code page).
std::string PrintableText(const unsigned char* field, std::size_t size);

// A plain file name: not empty, no folder, drive or parent part.
bool IsBareFileName(const char* name);
// Ends in ".xml", in any letter case.
bool HasXmlExtension(const std::string& name);

}  // namespace profile_text
