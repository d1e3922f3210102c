// Path-name logic: splitting and composing path strings, apart from the
// exports' argument checks and the current-directory glue, so that tests
// and other subsystems call it on plain data.
#pragma once
#include <cstddef>

#include "gtapi32.h"

namespace gt::path {

// Longest path the library handles (characters, without the terminator).
constexpr size_t kMaxPath = MAX_PATH;

// Splits an already trimmed path into a cleared record.  A path of two
// leading backslashes gets its share prefix (everything before the fourth
// backslash) as the drive.  Backslash and slash both separate directories;
// trail bytes of double-byte characters never do.  False, with the record
// cleared, for an empty path or when the path or any part does not fit its
// field.
bool split(const char* path, GTSPLITPATH& out);

// Last backslash of path on character boundaries, nullptr when none.
const char* lastBackslash(const char* path);

}  // namespace gt::path
