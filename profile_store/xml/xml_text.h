// Small text rules shared by both XML back ends.
#pragma once

#include <string>
#include <string_view>

namespace xml_text {

// The node-type names the DOM reports.
inline constexpr const char* kElement = "element";
inline constexpr const char* kText = "text";
inline constexpr const char* kCData = "cdatasection";
inline constexpr const char* kComment = "comment";
inline constexpr const char* kProcessingInstruction = "processinginstruction";
inline constexpr const char* kDocumentType = "documenttype";
inline constexpr const char* kDocument = "document";

// Element name without its namespace prefix ("x:Button" -> "Button").
inline std::string BaseName(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return std::string(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
}

// The temporary file a save writes before it replaces the target.
inline std::string TempPathFor(const std::string& target) { return target + ".saving~"; }

}  // namespace xml_text
