// The text lines of the two diagnostic views: the record view (text and
// hex) over a whole profile record, and the key-buffer view over the
// editor's key buffer and the stored button block. The windows only put
// these lines into their list boxes.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/macro/macro_codec.h"
#include "ui/macro/macro_editor.h"

namespace macro {

using ConstRecord = std::span<const unsigned char, record::kSize>;

// Profiles and buttons are listed as far as the record's counts say and
// their blocks lie inside the record.
std::vector<std::string> RecordTextLines(ConstRecord rec);
std::vector<std::string> RecordHexLines(ConstRecord rec);

// The key buffer, all 32 slots, then the flags and CurKeyIndex.
std::vector<std::string> KeyBufferLines(const MacroEditor& editor);

// The 16 stored key slots of a button block, then its two flag bits.
std::vector<std::string> StoredButtonLines(ConstButtonBlock block);

// The record view's name of a function code (bits 0-4 of FunID).
const char* DebugFunctionName(unsigned code);

}  // namespace macro
