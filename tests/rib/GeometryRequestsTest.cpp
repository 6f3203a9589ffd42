// Golden RIB for every geometry family (ASCII and binary), the value counts as they reach the
// parameter list, the basis and procedural identities, and the diagnostics of bad primitives.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RibTestUtil.h"
#include "RibWriter.h"

using namespace rib;

namespace {

using ribtest::ribOf;
using ribtest::tok;

// ---- Helpers ----

// A binary RIB float array of fewer than 256 values: 0xC8, the length, big-endian singles.
std::string binaryFloats(const std::vector<float> &values) {
  std::string bytes = {static_cast<char>(0xC8), static_cast<char>(values.size())};
  for (float value : values) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(bits >> shift);
  }
  return bytes;
}

// Three probe parameters, one per sized class, each reading from a long ramp of values: the
// written output shows how many values each class was given.
struct CountProbe {
  float ramp[256];
  RtToken tokens[3] = {tok("vertex float pv"), tok("varying float pa"), tok("uniform float pu")};
  RtPointer values[3] = {ramp, ramp, ramp};
  CountProbe() {
    for (int i = 0; i < 256; ++i) ramp[i] = static_cast<float>(i);
  }
};

struct WrittenCounts {
  int vertex, varying, uniform;
  bool operator==(const WrittenCounts &o) const {
    return vertex == o.vertex && varying == o.varying && uniform == o.uniform;
  }
};

std::ostream &operator<<(std::ostream &out, const WrittenCounts &c) {
  return out << "{" << c.vertex << ", " << c.varying << ", " << c.uniform << "}";
}

// Number of values in the bracketed ASCII array after `token` (-1 when the token is missing).
int valuesAfter(const std::string &rib, const std::string &token) {
  size_t at = rib.find("\"" + token + "\" [");
  if (at == std::string::npos) return -1;
  size_t open = rib.find('[', at), close = rib.find(']', open);
  std::string inside = rib.substr(open + 1, close - open - 1);
  if (inside.find_first_not_of(' ') == std::string::npos) return 0;
  int count = 1;
  for (size_t i = 0; i + 1 < inside.size(); ++i) count += inside[i] == ' ' && inside[i + 1] != ' ';
  return count;
}

WrittenCounts countsIn(const std::string &rib) {
  return {valuesAfter(rib, "vertex float pv"), valuesAfter(rib, "varying float pa"),
          valuesAfter(rib, "uniform float pu")};
}

// Runs requests with the library's reports collected; returns {rib, reports}.
std::pair<std::string, std::string>
ribAndErrors(const std::function<void(rib::RibWriter &)> &requests, bool binary = false) {
  ribtest::CollectedDiagnostics said;
  std::string rib = ribOf(requests, binary);
  return {rib, said.take()};
}

// ---- Quadrics ----

const char *const kQuadricsRib = "Cone 1 0.5 360\n"
                                 "Cylinder 1 -1 1 360\n"
                                 "Disk 0 1 360\n"
                                 "Hyperboloid 1 0 0 0.5 1 2 270\n"
                                 "Paraboloid 1 0 2 180\n"
                                 "Sphere 1 -1 1 360\n"
                                 "Torus 2 0.5 0 360 90\n";

void writeQuadrics(rib::RibWriter &rib) {
  RtPoint p1 = {1, 0, 0}, p2 = {0.5f, 1, 2};
  rib.Cone(1, 0.5f, 360, RI_NULL);
  rib.CylinderV(1, -1, 1, 360, 0, nullptr, nullptr);
  rib.Disk(0, 1, 360, RI_NULL);
  rib.Hyperboloid(p1, p2, 270, RI_NULL);
  rib.Paraboloid(1, 0, 2, 180, RI_NULL);
  rib.Sphere(1, -1, 1, 360, RI_NULL);
  rib.Torus(2, 0.5f, 0, 360, 90, RI_NULL);
}

TEST(GeometryQuadricsTest, GoldenTextWhateverTheEncoding) {
  // The numbers of a quadric are positional: always text, also in binary RIB.
  EXPECT_EQ(ribOf(writeQuadrics), kQuadricsRib);
  EXPECT_EQ(ribOf(writeQuadrics, true), kQuadricsRib);
}

TEST(GeometryQuadricsTest, ParametersCarryFourCornersAndOneUniformValue) {
  CountProbe probe;
  std::string rib =
      ribOf([&](rib::RibWriter &r) { r.SphereV(1, -1, 1, 360, 3, probe.tokens, probe.values); });
  EXPECT_EQ(rib.rfind("Sphere 1 -1 1 360 \"vertex float pv\" [0 1 2 3]", 0), 0u) << rib;
  EXPECT_EQ(countsIn(rib), (WrittenCounts{4, 4, 1}));
  // The gathering form hands its pairs on.
  float radiusScale = 0.25f;
  rib = ribOf([&](rib::RibWriter &r) {
    r.Torus(2, 0.5f, 0, 360, 90, "constant float k", &radiusScale, RI_NULL);
  });
  EXPECT_EQ(rib, "Torus 2 0.5 0 360 90 \"constant float k\" [0.25]\n");
}

// ---- Polygons ----

TEST(GeometryPolygonsTest, GoldenText) {
  RtInt loops[] = {4, 3};
  RtInt sizes[] = {3, 3};
  RtInt indices[] = {0, 1, 2, 2, 1, 3};
  RtInt polyLoops[] = {1, 2};
  RtInt loopSizes[] = {3, 4, 3};
  RtInt loopIndices[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  auto requests = [&](rib::RibWriter &r) {
    r.Polygon(3, RI_NULL);
    r.GeneralPolygon(2, loops, RI_NULL);
    r.PointsPolygons(2, sizes, indices, RI_NULL);
    r.PointsGeneralPolygons(2, polyLoops, loopSizes, loopIndices, RI_NULL);
  };
  const std::string expected = "Polygon\n"
                               "GeneralPolygon[4 3 ] \n"
                               "PointsPolygons[3 3 ] [0 1 2 2 1 3 ] \n"
                               "PointsGeneralPolygons[1 2 ] [3 4 3 ] [0 1 2 3 4 5 6 7 8 9 ] \n";
  EXPECT_EQ(ribOf(requests), expected);
  // Index arrays are integers: text in binary RIB too.
  EXPECT_EQ(ribOf(requests, true), expected);
}

TEST(GeometryPolygonsTest, CountsFollowLoopsAndLargestIndex) {
  CountProbe probe;
  RtInt loops[] = {4, 3};
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.GeneralPolygonV(2, loops, 3, probe.tokens, probe.values);
            })),
            (WrittenCounts{7, 7, 1}));
  RtInt sizes[] = {3, 3};
  RtInt indices[] = {0, 1, 2, 2, 1, 3};
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.PointsPolygonsV(2, sizes, indices, 3, probe.tokens, probe.values);
            })),
            (WrittenCounts{4, 4, 2}));
  RtInt polyLoops[] = {1, 2};
  RtInt loopSizes[] = {3, 4, 3};
  RtInt loopIndices[] = {0, 1, 2, 3, 4, 5, 6, 11, 8, 9};
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.PointsGeneralPolygonsV(2, polyLoops, loopSizes, loopIndices, 3, probe.tokens,
                                       probe.values);
            })),
            (WrittenCounts{12, 12, 2}));
}

TEST(GeometryPolygonsTest, NegativeSizesReadNothingAndAreReported) {
  CountProbe probe;
  RtInt sizes[] = {3, -9};
  RtInt indices[] = {0, 1, 2};
  auto [rib, errors] = ribAndErrors([&](rib::RibWriter &r) {
    r.PointsPolygonsV(2, sizes, indices, 3, probe.tokens, probe.values);
    r.PolygonV(-4, 0, nullptr, nullptr);
  });
  // A negative size has no RIB form a reader takes: the request is left out.
  EXPECT_EQ(rib, "");
  EXPECT_EQ(errors, "zizurezar error: RiPointsPolygons has a negative count in nvertices[1] (-9); "
                    "the request is left out\n"
                    "zizurezar error: RiPolygon has a negative nvertices (-4); the request is left "
                    "out\n");
}

// ---- Basis, patches, NURBS ----

TEST(GeometryPatchesTest, BasisByIdentityNotByValue) {
  RtBasis copy;
  std::memcpy(copy, RiBezierBasis, sizeof copy);
  EXPECT_EQ(ribOf([](rib::RibWriter &r) { r.Basis(RiBezierBasis, 3, RiBezierBasis, 3); }),
            "Basis \"bezier\" 3 \"bezier\" 3\n");
  EXPECT_EQ(ribOf([](rib::RibWriter &r) {
              r.Basis(RiBSplineBasis, 1, RiCatmullRomBasis, 1);
              r.Basis(RiHermiteBasis, 2, RiPowerBasis, 4);
            }),
            "Basis \"b-spline\" 1 \"catmull-rom\" 1\nBasis \"hermite\" 2 \"power\" 4\n");
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) { r.Basis(copy, 3, RiBezierBasis, 3); }),
            "Basis [-1 3 -3 1 3 -6 3 0 -3 3 0 0 1 0 0 0] 3 \"bezier\" 3\n");
  std::vector<float> bezier(&RiBezierBasis[0][0], &RiBezierBasis[0][0] + 16);
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) { r.Basis(RiBezierBasis, 3, copy, 3); }, true),
            "Basis \"bezier\" 3 " + binaryFloats(bezier) + " 3\n");
}

TEST(GeometryPatchesTest, StandardBasesHoldTheirValues) {
  const float bspline[16] = {-1 / 6.0f, 3 / 6.0f, -3 / 6.0f, 1 / 6.0f, 3 / 6.0f, -1,
                             3 / 6.0f,  0,        -3 / 6.0f, 0,        3 / 6.0f, 0,
                             1 / 6.0f,  4 / 6.0f, 1 / 6.0f,  0};
  const float catmullRom[16] = {-0.5f, 1.5f, -1.5f, 0.5f, 1, -2.5f, 2, -0.5f,
                                -0.5f, 0,    0.5f,  0,    0, 1,     0, 0};
  const float hermite[16] = {2, 1, -2, 1, -3, -2, 3, -1, 0, 1, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(RiBSplineBasis, bspline, sizeof bspline), 0);
  EXPECT_EQ(std::memcmp(RiCatmullRomBasis, catmullRom, sizeof catmullRom), 0);
  EXPECT_EQ(std::memcmp(RiHermiteBasis, hermite, sizeof hermite), 0);
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_EQ(RiPowerBasis[row][column], row == column ? 1.0f : 0.0f);
}

TEST(GeometryPatchesTest, GoldenPatchesAndNuPatch) {
  RtFloat knots[] = {0, 0, 0, 0, 1, 1, 1, 1};
  auto requests = [&](rib::RibWriter &r) {
    r.Patch(tok("bilinear"), RI_NULL);
    r.PatchMesh(tok("bicubic"), 7, tok("nonperiodic"), 4, tok("periodic"), RI_NULL);
    r.NuPatch(4, 4, knots, 0, 1, 4, 4, knots, 0.25f, 0.5f, RI_NULL);
  };
  EXPECT_EQ(ribOf(requests),
            "Patch \"bilinear\"\n"
            "PatchMesh \"bicubic\" 7 \"nonperiodic\" 4 \"periodic\"\n"
            "NuPatch 4 4 [0 0 0 0 1 1 1 1] 0.000000 1.000000 4 4 [0 0 0 0 1 1 1 1] 0.250000 "
            "0.500000 \n");
  const std::string knotBytes = binaryFloats({0, 0, 0, 0, 1, 1, 1, 1});
  EXPECT_EQ(ribOf(requests, true), "Patch \"bilinear\"\n"
                                   "PatchMesh \"bicubic\" 7 \"nonperiodic\" 4 \"periodic\"\n"
                                   "NuPatch 4 4 " +
                                       knotBytes + " 0.000000 1.000000 4 4 " + knotBytes +
                                       " 0.250000 0.500000 \n");
}

TEST(GeometryPatchesTest, TrimCurveGolden) {
  RtInt ncurves[] = {1};
  RtInt order[] = {2};
  RtInt n[] = {2};
  RtFloat knot[] = {0, 0, 1, 1}, min[] = {0}, max[] = {1}, u[] = {0, 1}, v[] = {0.5f, 1},
          w[] = {1, 1};
  auto requests = [&](rib::RibWriter &r) {
    r.TrimCurve(1, ncurves, order, knot, min, max, n, u, v, w);
  };
  EXPECT_EQ(ribOf(requests), "TrimCurve [1 ][2 ][0 0 1 1] [0] [1] [2 ][0 1] [0.5 1] [1 1]\n");
  EXPECT_EQ(ribOf(requests, true), "TrimCurve [1 ][2 ]" + binaryFloats({0, 0, 1, 1}) + " " +
                                       binaryFloats({0}) + " " + binaryFloats({1}) + " [2 ]" +
                                       binaryFloats({0, 1}) + " " + binaryFloats({0.5f, 1}) + " " +
                                       binaryFloats({1, 1}) + "\n");
}

TEST(GeometryPatchesTest, PatchAndMeshCountExamples) {
  CountProbe probe;
  auto mesh = [&](const char *type, int nu, const char *uwrap, int nv, const char *vwrap) {
    return [=, &probe](rib::RibWriter &r) {
      r.PatchMeshV(tok(type), nu, tok(uwrap), nv, tok(vwrap), 3, probe.tokens, probe.values);
    };
  };
  auto patch = [&](const char *type) {
    return countsIn(
        ribOf([&](rib::RibWriter &r) { r.PatchV(tok(type), 3, probe.tokens, probe.values); }));
  };
  EXPECT_EQ(patch("bilinear"), (WrittenCounts{4, 4, 1}));
  EXPECT_EQ(patch("bicubic"), (WrittenCounts{16, 4, 1}));
  EXPECT_EQ(patch("other"), (WrittenCounts{16, 4, 1}));
  EXPECT_EQ(countsIn(ribOf(mesh("bicubic", 7, "nonperiodic", 4, "nonperiodic"))),
            (WrittenCounts{28, 6, 2}));
  EXPECT_EQ(countsIn(ribOf(mesh("bicubic", 4, "nonperiodic", 4, "nonperiodic"))),
            (WrittenCounts{16, 4, 1}));
  EXPECT_EQ(countsIn(ribOf(mesh("bilinear", 2, "nonperiodic", 2, "nonperiodic"))),
            (WrittenCounts{4, 4, 1}));
  EXPECT_EQ(countsIn(ribOf(mesh("bilinear", 2, "periodic", 2, "nonperiodic"))),
            (WrittenCounts{4, 4, 2}));
  EXPECT_EQ(countsIn(ribOf(mesh("bicubic", 6, "periodic", 4, "nonperiodic"))).uniform, 2);
  // Only the text "periodic" wraps.
  EXPECT_EQ(countsIn(ribOf(mesh("bilinear", 2, "Periodic", 2, "nonperiodic"))).uniform, 1);
  // The steps of the last Basis size later meshes.
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.Basis(RiBSplineBasis, 1, RiBSplineBasis, 1);
              EXPECT_EQ(r.uStep, 1);
              EXPECT_EQ(r.vStep, 1);
              mesh("bicubic", 5, "nonperiodic", 4, "nonperiodic")(r);
            })),
            (WrittenCounts{20, 6, 2}));
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.NuPatchV(4, 4, probe.ramp, 0, 1, 5, 3, probe.ramp, 0, 1, 3, probe.tokens,
                         probe.values);
            })),
            (WrittenCounts{20, 8, 3}));
}

TEST(GeometryPatchesTest, UnknownPatchMeshTypeWritesNothing) {
  // The rejected mesh leaves no header behind: the next request starts its own line.
  auto [rib, errors] = ribAndErrors([](rib::RibWriter &r) {
    r.PatchMesh(tok("trilinear"), 4, tok("nonperiodic"), 4, tok("nonperiodic"), RI_NULL);
    r.PatchMeshV(nullptr, 4, tok("nonperiodic"), 4, tok("nonperiodic"), 0, nullptr, nullptr);
    r.Sphere(1, -1, 1, 360, RI_NULL);
  });
  EXPECT_EQ(rib, "Sphere 1 -1 1 360\n");
  EXPECT_EQ(errors, "rureva: unknown patch type trilinear\nrureva: unknown patch type (null)\n");
}

TEST(GeometryPatchesTest, MeshesSmallerThanOnePatchAreClampedAndReported) {
  CountProbe probe;
  auto [rib, errors] = ribAndErrors([&](rib::RibWriter &r) {
    r.PatchMeshV(tok("bilinear"), 1, tok("nonperiodic"), 2, tok("nonperiodic"), 3, probe.tokens,
                 probe.values);
  });
  EXPECT_EQ(countsIn(rib), (WrittenCounts{2, 2, 0}));
  EXPECT_EQ(errors,
            "zizurezar error: RiPatchMesh is smaller than one patch; counts clamped at zero\n");
  // A zero step from Basis must not divide; the steps are stored as given.
  std::tie(rib, errors) = ribAndErrors([&](rib::RibWriter &r) {
    r.Basis(RiBezierBasis, 0, RiBezierBasis, -3);
    EXPECT_EQ(r.uStep, 0);
    EXPECT_EQ(r.vStep, -3);
    r.PatchMeshV(tok("bicubic"), 4, tok("periodic"), 4, tok("nonperiodic"), 3, probe.tokens,
                 probe.values);
  });
  EXPECT_EQ(countsIn(rib).uniform, 0);
  EXPECT_EQ(errors,
            "zizurezar error: RiPatchMesh has a basis step below 1; counts clamped at zero\n");
  std::tie(rib, errors) = ribAndErrors([&](rib::RibWriter &r) {
    r.NuPatchV(2, 4, probe.ramp, 0, 1, 2, 4, probe.ramp, 0, 1, 3, probe.tokens, probe.values);
  });
  EXPECT_EQ(countsIn(rib), (WrittenCounts{4, 0, 0}));
  EXPECT_EQ(errors,
            "zizurezar error: RiNuPatch is smaller than one patch; counts clamped at zero\n");
}

// ---- Curves and points ----

TEST(GeometryCurvesTest, GoldenTextAndCounts) {
  RtInt seven[] = {7};
  EXPECT_EQ(ribOf(
                [&](rib::RibWriter &r) {
                  r.Curves(tok("cubic"), 1, seven, tok("nonperiodic"), RI_NULL);
                  r.Points(3, RI_NULL);
                },
                true),
            "Curves \"cubic\"[7 ] \"nonperiodic\" \nPoints \n");
  CountProbe probe;
  auto curve = [&](const char *type, const char *wrap) {
    return countsIn(ribOf([&](rib::RibWriter &r) {
      r.CurvesV(tok(type), 1, seven, tok(wrap), 3, probe.tokens, probe.values);
    }));
  };
  // One uniform value per curve, whatever its segments.
  EXPECT_EQ(curve("cubic", "nonperiodic"), (WrittenCounts{7, 3, 1}));
  EXPECT_EQ(curve("linear", "nonperiodic"), (WrittenCounts{7, 7, 1}));
  EXPECT_EQ(curve("anything", "periodic"), (WrittenCounts{7, 7, 1}));
  // Cubic curves follow the v step only.
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.Basis(RiBSplineBasis, 3, RiBSplineBasis, 1);
              r.CurvesV(tok("cubic"), 1, seven, tok("nonperiodic"), 3, probe.tokens, probe.values);
            })),
            (WrittenCounts{7, 5, 1}));
  EXPECT_EQ(
      countsIn(ribOf([&](rib::RibWriter &r) { r.PointsV(5, 3, probe.tokens, probe.values); })),
      (WrittenCounts{5, 5, 1}));
}

TEST(GeometryCurvesTest, CurvesSmallerThanOneSegmentAreReported) {
  RtInt one[] = {1};
  auto [rib, errors] = ribAndErrors(
      [&](rib::RibWriter &r) { r.Curves(tok("linear"), 1, one, tok("nonperiodic"), RI_NULL); });
  EXPECT_EQ(rib, "Curves \"linear\"[1 ] \"nonperiodic\" \n");
  EXPECT_EQ(errors, "zizurezar error: RiCurves has a curve smaller than one segment; counts "
                    "clamped at zero\n");
}

// ---- Subdivision meshes and blobbies ----

TEST(GeometryMeshesTest, SubdivisionMeshGolden) {
  RtInt sizes[] = {4};
  RtInt indices[] = {0, 1, 2, 3};
  RtToken boundary[] = {tok("interpolateboundary")};
  RtInt noArgs[] = {0, 0};
  RtToken crease[] = {tok("crease"), tok("corner")};
  RtInt creaseArgs[] = {2, 1, 1, 1};
  RtInt creaseInts[] = {0, 1, 3};
  RtFloat creaseFloats[] = {2.5f, 10};
  auto requests = [&](rib::RibWriter &r) {
    r.SubdivisionMesh(tok("catmull-clark"), 1, sizes, indices, 0, nullptr, nullptr, nullptr,
                      nullptr, RI_NULL);
    // Empty argument arrays are still written: the four tag arrays go together.
    r.SubdivisionMesh(tok("catmull-clark"), 1, sizes, indices, 1, boundary, noArgs, nullptr,
                      nullptr, RI_NULL);
    r.SubdivisionMesh(tok("catmull-clark"), 1, sizes, indices, 2, crease, creaseArgs, creaseInts,
                      creaseFloats, RI_NULL);
  };
  EXPECT_EQ(ribOf(requests),
            "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] \n"
            "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] [\"interpolateboundary\" ][0 0 ]"
            "[][]\n"
            "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] [\"crease\" \"corner\" ]"
            "[2 1 1 1 ][0 1 3 ][2.5 10]\n");
  EXPECT_EQ(ribOf(requests, true),
            "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] \n"
            "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] [\"interpolateboundary\" ][0 0 ]"
            "[]" +
                binaryFloats({}) +
                "\n"
                "SubdivisionMesh \"catmull-clark\" [4 ] [0 1 2 3 ] [\"crease\" \"corner\" ]"
                "[2 1 1 1 ][0 1 3 ]" +
                binaryFloats({2.5f, 10}) + "\n");
  CountProbe probe;
  RtInt twoFaces[] = {4, 3};
  RtInt faceIndices[] = {0, 1, 2, 3, 3, 2, 5};
  EXPECT_EQ(countsIn(ribOf([&](rib::RibWriter &r) {
              r.SubdivisionMeshV(tok("loop"), 2, twoFaces, faceIndices, 0, nullptr, nullptr,
                                 nullptr, nullptr, 3, probe.tokens, probe.values);
            })),
            (WrittenCounts{6, 6, 2}));
}

TEST(GeometryMeshesTest, BlobbyGoldenWithAndWithoutParameters) {
  RtInt code[] = {1001, 0};
  RtFloat ellipsoid[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  std::vector<float> ellipsoidValues(ellipsoid, ellipsoid + 16);
  EXPECT_EQ(
      ribOf([&](rib::RibWriter &r) { r.Blobby(1, 2, code, 16, ellipsoid, 0, nullptr, RI_NULL); }),
      "Blobby 1 [1001 0 ] [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] []\n");
  EXPECT_EQ(
      ribOf([&](rib::RibWriter &r) { r.Blobby(1, 2, code, 16, ellipsoid, 0, nullptr, RI_NULL); },
            true),
      "Blobby 1 [1001 0 ] " + binaryFloats(ellipsoidValues) + " []\n");
  // With parameters: the list on a line of its own, then an empty line.
  RtFloat color[] = {1, 0.5f, 0};
  RtToken tokens[] = {tok("Cs")};
  RtPointer values[] = {color};
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) {
              r.BlobbyV(1, 2, code, 16, ellipsoid, 0, nullptr, 1, tokens, values);
            }),
            "Blobby 1 [1001 0 ] [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] []\n \"Cs\" [1 0.5 0]\n\n");
}

TEST(GeometryMeshesTest, BlobbyMismatchesAreReportedAndTheCallersNumbersWritten) {
  RtInt code[] = {1003, 0, 0, 1000, 4, 4, 0, 1, 0, 3};
  RtFloat floats[5] = {0, 0, 1, 0, 0.5f};
  RtToken strings[] = {tok("plane.tex")};
  auto [rib, errors] = ribAndErrors(
      [&](rib::RibWriter &r) { r.Blobby(2, 10, code, 5, floats, 1, strings, RI_NULL); });
  EXPECT_EQ(errors, "");
  std::tie(rib, errors) = ribAndErrors(
      [&](rib::RibWriter &r) { r.Blobby(3, 10, code, 4, floats, 0, strings, RI_NULL); });
  EXPECT_EQ(rib, "Blobby 3 [1003 0 0 1000 4 4 0 1 0 3 ] [0 0 1 0] []\n");
  EXPECT_EQ(errors, "\nzizurezar error: RiBlobby nleaf [3] !=  leaf count [2]"
                    "\nzizurezar error: RiBlobby nflt [4] != float count [5]"
                    "\nzizurezar error: RiBlobby nstr [0] != string count [1]");
  // A code that ends inside an operation is walked no further.
  RtInt cut[] = {1000, 0, 0};
  std::tie(rib, errors) =
      ribAndErrors([&](rib::RibWriter &r) { r.Blobby(1, 3, cut, 1, floats, 0, nullptr, RI_NULL); });
  EXPECT_EQ(rib, "Blobby 1 [1000 0 0 ] [0] []\n");
  EXPECT_EQ(errors,
            "zizurezar error: RiBlobby operation at code word 2 has no valid operand count\n");
}

// ---- Procedurals and Geometry ----

TEST(GeometryProceduralTest, MarkersChooseTheRequest) {
  RtString archive[] = {tok("tree.rib")};
  RtString program[] = {tok("gen"), tok("-n 3")};
  RtBound bound = {-1, 1, -2, 2, 0, 0.5f};
  auto requests = [&](rib::RibWriter &r) {
    r.Procedural(archive, bound, RiProcDelayedReadArchive, nullptr);
    r.Procedural(program, bound, RiProcRunProgram, nullptr);
    r.Procedural(program, bound, RiProcDynamicLoad, nullptr);
  };
  EXPECT_EQ(ribOf(requests), "Procedural \"DelayedReadArchive\" [\"tree.rib\"] [-1 1 -2 2 0 0.5]\n"
                             "Procedural \"RunProgram\" [\"gen\" \"-n 3\"] [-1 1 -2 2 0 0.5]\n"
                             "Procedural \"DynamicLoad\" [\"gen\" \"-n 3\"] [-1 1 -2 2 0 0.5]\n");
  const std::string boundBytes = binaryFloats({-1, 1, -2, 2, 0, 0.5f});
  EXPECT_EQ(ribOf(requests, true), "Procedural \"DelayedReadArchive\" [\"tree.rib\"] " +
                                       boundBytes +
                                       "\n"
                                       "Procedural \"RunProgram\" [\"gen\" \"-n 3\"] " +
                                       boundBytes +
                                       "\n"
                                       "Procedural \"DynamicLoad\" [\"gen\" \"-n 3\"] " +
                                       boundBytes + "\n");
}

void notAMarker(RtPointer, RtFloat) {}

TEST(GeometryProceduralTest, UnknownFunctionOrMissingDataWritesNothing) {
  RtString archive[] = {tok("tree.rib")};
  RtBound bound = {-1, 1, -1, 1, -1, 1};
  auto [rib, errors] = ribAndErrors([&](rib::RibWriter &r) {
    r.Procedural(archive, bound, notAMarker, nullptr);
    r.Procedural(archive, bound, nullptr, nullptr);
    r.Procedural(nullptr, bound, RiProcDelayedReadArchive, nullptr);
  });
  EXPECT_EQ(rib, "");
  EXPECT_EQ(errors, "zizurezar error: procedural type\nzizurezar error: procedural type\n"
                    "zizurezar error: RiProcedural needs its data texts and a bound\n");
}

TEST(GeometryProceduralTest, GeometryNamesItsTypeAndWritesDeclaredSizes) {
  RtFloat widths[] = {0.5f, 0.25f};
  EXPECT_EQ(ribOf([](rib::RibWriter &r) { r.Geometry(tok("teapot"), RI_NULL); }),
            "Geometry \"teapot\"\n");
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) {
              r.Geometry(tok("teapot"), "vertex float[2] w", widths, RI_NULL);
            }),
            "Geometry \"teapot\" \"vertex float[2] w\" [0.5 0.25]\n");
}

// ---- Texts in quotes ----

TEST(GeometryTextsTest, QuotedTextsAreEscaped) {
  RtInt sizes[] = {3};
  RtInt indices[] = {0, 1, 2};
  RtToken tags[] = {tok("my \"tag\"")};
  RtInt nargs[] = {0, 0};
  RtString program[] = {tok("gen \"x\""), tok("a\\b")};
  RtBound bound = {0, 1, 0, 1, 0, 1};
  RtInt seven[] = {7};
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) {
              r.Patch(tok("bi\"linear"), RI_NULL);
              r.PatchMesh(tok("bilinear"), 2, tok("non\nperiodic"), 2, tok("x"), RI_NULL);
              r.Curves(tok("cu\"bic"), 1, seven, tok("w\"rap"), RI_NULL);
              r.SubdivisionMesh(tok("s\"d"), 1, sizes, indices, 1, tags, nargs, nullptr, nullptr,
                                RI_NULL);
              r.Procedural(program, bound, RiProcRunProgram, nullptr);
              r.Geometry(tok("tea\"pot"), RI_NULL);
            }),
            "Patch \"bi\\\"linear\"\n"
            "PatchMesh \"bilinear\" 2 \"non\\nperiodic\" 2 \"x\"\n"
            "Curves \"cu\\\"bic\"[7 ] \"w\\\"rap\" \n"
            "SubdivisionMesh \"s\\\"d\" [3 ] [0 1 2 ] [\"my \\\"tag\\\"\" ][0 0 ][][]\n"
            "Procedural \"RunProgram\" [\"gen \\\"x\\\"\" \"a\\\\b\"] [0 1 0 1 0 1]\n"
            "Geometry \"tea\\\"pot\"\n");
}

} // namespace
