// Names.h - what Python passes by name where the interface passes a function or a matrix: the
// reconstruction filters, the spline bases, the error handlers and the procedural kinds.
//
//     RtFilterFunc filter = filterNamed("gaussian");   // RiGaussianFilter; null for other names
#pragma once

#include "rib/ri.h"

namespace ribpy {

/// A procedural kind: its subdivide function and how many data texts it reads.
struct ProceduralKind {
  const char *name;
  RtProcSubdivFunc subdivide;
  int texts;
};

/// "gaussian", "box", "triangle", "catmull-rom", "sinc"; null for any other name.
RtFilterFunc filterNamed(const char *name);
/// "bezier", "b-spline", "catmull-rom", "hermite", "power": the library's own matrices, which it
/// writes by name; null for any other name.
RtBasis *basisNamed(const char *name);
/// "ignore", "print", "abort"; null for any other name.
RtErrorHandler errorHandlerNamed(const char *name);
/// "DelayedReadArchive", "RunProgram", "DynamicLoad"; null for any other name.
const ProceduralKind *proceduralNamed(const char *name);

/// The names each of the above takes, for messages and docstrings ("gaussian, box, ...").
extern const char *const kFilterNames;
extern const char *const kBasisNames;
extern const char *const kErrorHandlerNames;
extern const char *const kProceduralNames;

} // namespace ribpy
