// Placeholder: parameter lists are not written yet, only the name, the count and the line end.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

void RibWriter::writeParamList(const char *name, int count, int n, RtToken const tokens[],
                               RtPointer const values[]) {
  if (name) writeFormatted(" \"%s\"", name);
  if (count > 0) writeFormatted(" %d", count);
  writeRaw("\n");
}

void RibWriter::writeParamPairs(const char *name, int count, const RiParamPair *pairs) {
  writeParamList(name, count, 0, nullptr, nullptr);
}

void RibWriter::writePrimParamList(int vertexCount, int varyingCount, int uniformCount, int n,
                                   RtToken const tokens[], RtPointer const values[]) {
  writeRaw("\n");
}

void RibWriter::writePrimParamPairs(int vertexCount, int varyingCount, int uniformCount,
                                    const RiParamPair *pairs) {
  writeRaw("\n");
}
