// PrimVars.h - the primitive variables the previewer uses, found in a request's parameter list.
//
// RIB attaches values to a primitive by class: constant (one for the primitive), uniform (one per
// face, patch or curve), varying (one per parametric corner), vertex (one per control point, like
// P) and facevarying (one per face corner). A tessellator interpolates what it finds as the
// class says; a variable that was not given has `values == nullptr`.
#pragma once

#include "rib/ri.h"

namespace view {

enum class VarClass { Constant, Uniform, Varying, Vertex, FaceVarying };

struct PrimVar {
  VarClass storage = VarClass::Vertex;
  const float *values = nullptr; // null: not given
  int components = 0;            // floats per element (3: P, N, Cs, Os; 4: Pw; 1: Pz, width)
  bool given() const { return values != nullptr; }
  const float *at(int element) const { return values + element * components; }
};

struct PrimVars {
  PrimVar P, Pw, Pz;
  PrimVar N;
  PrimVar Cs, Os;
  PrimVar width, constantwidth;
};

class Declarations;

/// Finds P, Pw, Pz, N, Cs, Os, width and constantwidth among `tokens`, with their inline
/// declarations ("varying color Cs") or those in `declarations`. The values stay the caller's.
PrimVars findPrimVars(RtInt n, const RtToken tokens[], const RtPointer values[],
                      const Declarations &declarations);

} // namespace view
