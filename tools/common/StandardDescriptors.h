// StandardDescriptors.h - standard input, output and error that the caller closed.
//
// A tool started with descriptor 0, 1 or 2 closed would hand that number to the first file it
// opens: its output file would become standard error, or an input would receive the problem
// lines. The descriptors are taken by /dev/null first, opened the wrong way round (input for
// writing, output and error for reading), so that using them fails as a closed descriptor does:
// a read of standard input says "cannot read", a write to standard output "cannot write".
//
//     int main(int argc, char **argv) {
//       ribtools::occupyClosedStandardDescriptors();
#pragma once

namespace ribtools {

/// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed.
void occupyClosedStandardDescriptors();

} // namespace ribtools
