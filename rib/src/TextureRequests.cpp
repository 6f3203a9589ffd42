// The texture-making request with a body of its own: MakeOcclusion, whose pictures are an array
// of names. (The others are written from their rows in rib/RiRequests.def.)
#include "PrimitiveCounts.h"
#include "RibWriter.h"

RtVoid rib::RibWriter::MakeOcclusionV(RtInt npics, RtToken picfiles[], char *shadowfile, RtInt n,
                                      RtToken tokens[], RtPointer values[]) {
  if (rib::missingArray("RiMakeOcclusion", "picfiles", picfiles, npics)) return;
  encoder.expectParams(nullptr, n, tokens, values);
  encoder.writeKeyword("MakeOcclusion");
  encoder.writeChar(' ');
  encoder.writeStrings(picfiles, npics);
  encoder.writeArguments(shadowfile);
  encoder.writeParamList(nullptr, 0, n, tokens, values);
}
