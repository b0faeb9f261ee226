// Replacing a file so that a crash or a power loss at any moment leaves
// either the old file or the new one, whole: the new content is written to a
// temporary file in the target's folder, flushed to the disk, and only then
// moved over the target (write-through on Windows; on POSIX the folder is
// flushed after the rename so the new name is durable too).
#pragma once

namespace platform {

// Flushes temp's data to the disk and replaces target with it. On failure
// temp is removed and target keeps its old content.
bool ReplaceWithFlushed(const char* temp, const char* target);

// Test seam: called after temp is written and flushed, just before it
// replaces target. Returning false stops the save there, as a crash would;
// the save then fails and target must still hold its old content.
using ReplaceHook = bool (*)(const char* temp, const char* target);
void SetReplaceHook(ReplaceHook hook);

}  // namespace platform
