// Probes of caller memory that never touch it: a write check through
// IsBadWritePtr would consume a growing stack's guard page.
#pragma once
#include <cstddef>

namespace gt::mem {

// True when [p, p+size) is committed memory the caller may write.
bool isWritable(void* p, size_t size);
// True when [p, p+size) is committed memory that may be read.
bool isReadable(const void* p, size_t size);

}  // namespace gt::mem
