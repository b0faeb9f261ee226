// Named configurations the program writes by itself: a copy of what the
// mouse held before the program overwrites it ("mouse-2026-12-08-1030"), and
// a change that could not be written to the mouse when the user closed the
// program ("unsaved-2026-12-08-1030"). Both are ordinary profile files of the
// device folder, so the configuration dialog lists and loads them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "profile_store/record/profile_record.h"

class Vantor;

namespace record_copies {

inline constexpr char kMousePrefix[] = "mouse";
inline constexpr char kUnsavedPrefix[] = "unsaved";
// Mouse copies kept in the folder; older ones are removed.
inline constexpr std::size_t kMouseCopiesKept = 5;

// The local time as "YYYY-MM-DD-HHMM".
std::string LocalStamp();

// prefix-stamp, or prefix-stamp-2, -3 ... when a file of that name (".xml",
// ASCII case ignored) is among files.
std::string CopyName(const std::string& prefix, const std::string& stamp, const std::vector<std::string>& files);

// The names of the files of files that are copies with that prefix, newest
// first (by stamp, then by the number after it).
std::vector<std::string> CopiesNewestFirst(const std::string& prefix, const std::vector<std::string>& files);

// Every "*.xml" file of the record's device folder.
std::vector<std::string> FolderFiles(Vantor& profiles, const ProfileRecord& record);

// Saves record (slot order) as a new copy named CopyName(prefix, stamp, ...)
// and returns that name (without ".xml"), or "" when the save failed.
std::string SaveCopy(Vantor& profiles, const ProfileRecord& record, const std::string& prefix,
                     const std::string& stamp);

// Removes all but the newest `keep` copies with that prefix from the record's
// device folder.
void PruneCopies(Vantor& profiles, const ProfileRecord& record, const std::string& prefix, std::size_t keep);

}  // namespace record_copies
