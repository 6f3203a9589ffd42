// InternString.h - one stored copy per distinct text, alive until the process ends.
//
// The library keys its declarations and compares tokens by these copies. Short texts (up to 16
// bytes with the terminator) are packed into 1024-byte pool blocks; longer ones get their own
// block. Any thread may intern: the table and its pool are used under one lock.
//
//     const char *a = internString("Ka"), *b = internString(std::string("K") + "a");   // a == b
#pragma once

#include "SymbolTable.h"

namespace rib {

/// The interned strings: 12289 buckets (to start with) of plain Symbols keyed by the stored copies.
/// Read it directly only where no other thread interns (tests of the table itself).
extern SymbolTable gStringTable;

/// The unique stored copy of `text` (null for null). Throws std::bad_alloc when a new text finds
/// no memory; the table stays as it was.
char *internString(const char *text);
/// The same for the first `length` bytes of `text`, which need not be terminated.
char *internString(const char *text, size_t length);
/// The stored copy of `text` if there is one, else null; never stores anything.
const char *findInterned(const char *text);

} // namespace rib
