// Subdivision meshes and blobbies: primitives that carry, besides their parameter list, arrays
// the renderer interprets (tags with their arguments, a blobby's operation code).
#include <cstdio>

#include "rib/IntArrayText.h"
#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

RtVoid RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                   RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                   RtInt intargs[], RtFloat floatargs[], RtInt n,
                                   RtToken tokens[], RtPointer values[]) {
  const char *request = "RiSubdivisionMesh";
  if (missingArray(request, "nvertices", nvertices, nfaces)) return;
  const long long nindices = sumOf(nvertices, nfaces);
  if (missingArray(request, "vertices", vertices, nindices)) return;
  if (ntags > 0) {
    if (missingArray(request, "tags", tags, ntags) ||
        missingArray(request, "nargs", nargs, 2 * static_cast<long long>(ntags)))
      return;
    const SubdivisionTagTotals totals = subdivisionTagTotals(ntags, nargs);
    if (missingArray(request, "intargs", intargs, totals.integers) ||
        missingArray(request, "floatargs", floatargs, totals.floats))
      return;
  }
  writeFormatted("SubdivisionMesh \"%s\" ", scheme);
  {
    RibChunk out(stream);
    putIntArray(out, nvertices, nfaces);
    out.put(' ');
    putIntArray(out, vertices, nindices);
    out.put(' ');
  }
  if (ntags > 0) {
    // The four tag arrays travel as one group: empty argument arrays are written as [] so that
    // a reader never takes the parameter list for them.
    const SubdivisionTagTotals totals = subdivisionTagTotals(ntags, nargs);
    writeStrings(tags, ntags);
    writeInts(nargs, clampCount(2 * static_cast<long long>(ntags)));
    writeInts(intargs, totals.integers);
    writeFloats(floatargs, totals.floats);
  }
  const PrimitiveCounts counts = indexedMeshCounts(vertices, nindices, nfaces);
  reportClampedCounts("RiSubdivisionMesh", counts);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

RtVoid RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                          RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                          RtPointer values[]) {
  if (missingArray("RiBlobby", "code", code, ncode) || missingArray("RiBlobby", "flt", flt, nflt) ||
      missingArray("RiBlobby", "str", str, nstr))
    return;
  // The caller's numbers are written as given; the code only serves to check them.
  const BlobbyScan scan = scanBlobbyCode(code, ncode);
  if (scan.badWord >= 0)
    std::fprintf(stderr,
                 "zizurezar error: RiBlobby operation at code word %d has no valid operand count\n",
                 scan.badWord);
  if (nleaf != scan.leaves)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nleaf [%d] !=  leaf count [%i]", nleaf,
                 scan.leaves);
  if (nflt != scan.floats)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nflt [%d] != float count [%i]", nflt,
                 scan.floats);
  if (nstr != scan.strings)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nstr [%d] != string count [%i]", nstr,
                 scan.strings);

  writeFormatted("Blobby %d ", nleaf);
  writeInts(code, ncode);
  writeRaw(" ");
  writeFloats(flt, nflt);
  writeRaw(" ");
  writeStrings(str, nstr);
  if (n != 0) {
    // The parameter list goes on a line of its own.
    const PrimitiveCounts counts = blobbyCounts(nleaf);
    reportClampedCounts("RiBlobby", counts);
    writeRaw("\n");
    writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
  }
  writeRaw("\n");
}
