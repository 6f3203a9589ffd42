// RibEncodings.h - the sizes that rib_write prints before its timings: the mesh and the small
// objects in every encoding, plain and gzip-compressed (rib_write_encodings.cpp).
#pragma once

namespace ribbench {

/// One line per scene: its bytes in ASCII, binary, compact and gzip, with their ratios.
void printEncodingSizes();

} // namespace ribbench
