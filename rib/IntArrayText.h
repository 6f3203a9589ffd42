// IntArrayText.h - integer arrays as RIB text, fast enough for index arrays of millions.
//
// A polygon mesh's index array is often its largest array, so its text is produced in batches
// straight into the request's RibChunk, two digits at a time, with the same bytes as
// RibWriter::writeInts: "[" then each value and a blank, then "]".
#ifndef WOBBLE_RIB_INTARRAYTEXT_H
#define WOBBLE_RIB_INTARRAYTEXT_H

#include "rib/RibChunk.h"
#include "rib/ri.h"

/// Appends "[v v v ]" for the first n values (n <= 0 gives "[]").
void putIntArray(RibChunk &out, const RtInt *values, long long n);

#endif
