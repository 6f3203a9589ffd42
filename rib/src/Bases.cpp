// The standard spline basis matrices and the procedural markers of the C interface.
//
// Basis and Procedural recognise these objects by their address, never by value: a caller's copy
// of a standard matrix is written out as its sixteen numbers, and only the three marker
// functions select a procedural request.
#include "rib/ri.h"

// Rows as the RenderMan Interface gives them (u along a row, one row per control point weight).
// clang-format off
RtBasis RiBezierBasis = {{-1, 3, -3, 1},
                         {3, -6, 3, 0},
                         {-3, 3, 0, 0},
                         {1, 0, 0, 0}};

RtBasis RiBSplineBasis = {{-1.0f / 6, 3.0f / 6, -3.0f / 6, 1.0f / 6},
                          {3.0f / 6, -6.0f / 6, 3.0f / 6, 0},
                          {-3.0f / 6, 0, 3.0f / 6, 0},
                          {1.0f / 6, 4.0f / 6, 1.0f / 6, 0}};

RtBasis RiCatmullRomBasis = {{-0.5f, 1.5f, -1.5f, 0.5f},
                             {1, -2.5f, 2, -0.5f},
                             {-0.5f, 0, 0.5f, 0},
                             {0, 1, 0, 0}};

RtBasis RiHermiteBasis = {{2, 1, -2, 1},
                          {-3, -2, 3, -1},
                          {0, 1, 0, 0},
                          {1, 0, 0, 0}};

RtBasis RiPowerBasis = {{1, 0, 0, 0},
                        {0, 1, 0, 0},
                        {0, 0, 1, 0},
                        {0, 0, 0, 1}};
// clang-format on

// The markers only need distinct addresses; a RIB writer never calls them.
RtVoid RiProcDelayedReadArchive(RtPointer, RtFloat) {}
RtVoid RiProcRunProgram(RtPointer, RtFloat) {}
RtVoid RiProcDynamicLoad(RtPointer, RtFloat) {}
