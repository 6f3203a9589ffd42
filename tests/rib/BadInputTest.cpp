// Bad input as a whole: requests that are refused or reported must leave the RIB stream readable -
// nothing half-written, every quoted text closed, no text able to start a request of its own -
// and the requests around them intact. Also the regressions found by the fuzz targets in fuzz/.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RibTestUtil.h"
#include "RibWriter.h"

using namespace rib;

namespace {

using ribtest::ribOf;
using ribtest::stderrOf;
using ribtest::tok;

// A subdivision procedure of the application's own: not one of the library's three markers.
RtVoid ownSubdivide(RtPointer, RtFloat) {}

// Counts of times `part` occurs in `text`.
size_t occurrences(const std::string &text, const std::string &part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(BadInputTest, RefusedAndReportedRequestsLeaveTheRequestsAroundThemIntact) {
  std::string rib;
  const std::string messages = stderrOf([&] {
    rib = ribOf([](rib::RibWriter &w) {
      RtFloat one = 1.0f;
      RtFloat patch[48] = {};
      RtInt code[] = {1001, 0};
      RtFloat ellipsoid[16] = {};
      char *data[] = {tok("archive.rib")};
      RtBound bound = {0, 1, 0, 1, 0, 1};
      w.WorldBegin();
      w.Surface(tok("plastic"), tok("Kq"), &one, tok("Ka"), &one, RI_NULL);
      w.PatchMesh(tok("bicubical"), 4, tok("nonperiodic"), 4, tok("nonperiodic"), tok("P"), patch,
                  RI_NULL);
      w.Procedural(data, bound, ownSubdivide, nullptr);
      w.Blobby(2, 2, code, 16, ellipsoid, 0, nullptr, RI_NULL);
      w.Sphere(1, -1, 1, 360, RI_NULL);
      w.WorldEnd();
    });
  });
  EXPECT_EQ(rib, "WorldBegin\n"
                 "Surface \"plastic\" \"Ka\" [1]\n"
                 "Blobby 2 [1001 0 ] [0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0] []\n"
                 "Sphere 1 -1 1 360\n"
                 "WorldEnd\n");
  EXPECT_EQ(messages, "zizurezar error: undeclared parameter \"Kq\"\n"
                      "rureva: unknown patch type bicubical\n"
                      "zizurezar error: procedural type\n"
                      "\nzizurezar error: RiBlobby nleaf [2] !=  leaf count [1]");
}

TEST(BadInputTest, QuotesBackslashesAndNewlinesStayInsideTheirQuotedTexts) {
  const std::string awkward = "say \"hi\"\\n\nnext";
  const std::string escaped = "say \\\"hi\\\"\\\\n\\nnext";
  RtToken label = tok("uniform string label");
  char *value = const_cast<char *>(awkward.c_str());
  const std::string rib = ribOf([&](rib::RibWriter &w) {
    w.Declare(const_cast<char *>(awkward.c_str()), tok("uniform float"));
    w.Surface(const_cast<char *>(awkward.c_str()), label, &value, RI_NULL);
    w.ReadArchive(tok("C:\\scenes\\a \"b\".rib"), nullptr, RI_NULL);
    w.Display(value, tok("file"), tok("rgb"), RI_NULL);
  });
  EXPECT_EQ(rib, "Declare \"" + escaped +
                     "\" \"uniform float\"\n"
                     "Surface \"" +
                     escaped + "\" \"uniform string label\" [\"" + escaped +
                     "\"]\n"
                     "ReadArchive \"C:\\\\scenes\\\\a \\\"b\\\".rib\"\n"
                     "Display \"" +
                     escaped + "\" \"file\" \"rgb\"\n");
}

TEST(BadInputTest, CommentRecordsCannotStartRequestsAndBytesAbove127PassUnchanged) {
  const std::string rib = ribOf([](rib::RibWriter &w) {
    w.ArchiveRecord(tok("comment"), tok("%s"), "first\nWorldEnd\n\nlast");
    w.ArchiveRecord(tok("structure"), tok("Scene %s"), "caf\xc3\xa9\n");
    w.Surface(tok("caf\xc3\xa9 \xff"), RI_NULL);
  });
  EXPECT_EQ(rib, "# first\n# WorldEnd\n# \n# last\n"
                 "##Scene caf\xc3\xa9\n"
                 "Surface \"caf\xc3\xa9 \xff\"\n");
}

TEST(BadInputTest, OverLongListsAndRecords) {
  // A writing form takes any number of pairs; a gathering form keeps the first 512 and says so.
  RtFloat one = 1.0f;
  std::vector<RtToken> tokens(600, tok("Ka"));
  std::vector<RtPointer> values(600, &one);
  const std::string manyPairs =
      ribOf([&](rib::RibWriter &w) { w.SurfaceV(tok("many"), 600, tokens.data(), values.data()); });
  EXPECT_EQ(occurrences(manyPairs, "\"Ka\" [1]"), 600u);

  std::string gathered;
  const std::string message = stderrOf([&] {
    gathered = ribOf([&](rib::RibWriter &w) {
#define KA4 tok("Ka"), &one, tok("Ka"), &one, tok("Ka"), &one, tok("Ka"), &one,
#define KA32 KA4 KA4 KA4 KA4 KA4 KA4 KA4 KA4
#define KA256 KA32 KA32 KA32 KA32 KA32 KA32 KA32 KA32
      w.Surface(tok("gathered"), KA256 KA256 KA4 RI_NULL);
#undef KA256
#undef KA32
#undef KA4
    });
  });
  EXPECT_EQ(occurrences(gathered, "\"Ka\" [1]"), 512u);
  EXPECT_EQ(
      message,
      "zizurezar error: Surface takes at most 512 parameters; the rest of the list is ignored\n");

  // A record longer than the 10000-character format buffer is written whole, on its own lines.
  const std::string big(25000, 'x');
  const std::string records = ribOf([&](rib::RibWriter &w) {
    w.ArchiveRecord(tok("comment"), tok("%s"), big.c_str());
    w.ArchiveRecord(tok("verbatim"), tok("%s\n"), big.c_str());
  });
  EXPECT_EQ(records, "# " + big + "\n" + big + "\n");
}

TEST(BadInputTest, MissingFixedSizeArraysLeaveTheRequestOut) {
  // Found by running every request with null arrays under the sanitizers: these read through the
  // null pointer. Each is now left out whole with one line, and the basis steps stay in force.
  std::string rib;
  const std::string messages = stderrOf([&] {
    rib = ribOf([](rib::RibWriter &w) {
      RtBasis power = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
      w.Basis(RiBezierBasis, 1, power, 2);
      w.Basis(nullptr, 3, nullptr, 3);
      w.Basis(RiBezierBasis, 3, nullptr, 3);
      w.Color(nullptr);
      w.Opacity(nullptr);
      w.Bound(nullptr);
      w.Detail(nullptr);
      w.ConcatTransform(nullptr);
      w.Transform(nullptr);
      w.Hyperboloid(nullptr, nullptr, 360, RI_NULL);
      // Steps 1 and 2 still size the mesh: 5 x 6 bicubic has (5-4)/1+1 by (6-4)/2+1 patches.
      RtFloat uniform[4] = {1, 2, 3, 4};
      w.PatchMesh(tok("bicubic"), 5, tok("nonperiodic"), 6, tok("nonperiodic"),
                  tok("uniform float u"), uniform, RI_NULL);
    });
  });
  EXPECT_EQ(rib, "Basis \"bezier\" 1 [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] 2\n"
                 "PatchMesh \"bicubic\" 5 \"nonperiodic\" 6 \"nonperiodic\" \"uniform float u\" "
                 "[1 2 3 4]\n");
  EXPECT_EQ(messages,
            "zizurezar error: RiBasis without its two matrices; the request is left out\n"
            "zizurezar error: RiBasis without its two matrices; the request is left out\n"
            "zizurezar error: RiColor without a color; the request is left out\n"
            "zizurezar error: RiOpacity without a color; the request is left out\n"
            "zizurezar error: RiBound without a bound; the request is left out\n"
            "zizurezar error: RiDetail without a bound; the request is left out\n"
            "zizurezar error: RiConcatTransform without a matrix; the request is left out\n"
            "zizurezar error: RiTransform without a matrix; the request is left out\n"
            "zizurezar error: RiHyperboloid without its two points; the request is left out\n");
}

TEST(BadInputTest, NullArraysThatTheCountsWouldReadLeaveTheRequestOut) {
  // A null array with a positive count used to be read through; it is now said in one line and
  // nothing of the request is written. A null array with nothing to read stays fine.
  RtInt three[1] = {3}, indices[3] = {0, 1, 2}, code[2] = {1003, 0};
  RtToken crease[1] = {tok("crease")};
  RtInt creaseArgs[2] = {2, 1};
  std::string rib;
  const std::string messages = stderrOf([&] {
    rib = ribOf([&](rib::RibWriter &w) {
      w.MotionBeginV(2, nullptr);
      w.GeneralPolygon(1, nullptr, RI_NULL);
      w.PointsPolygons(1, three, nullptr, RI_NULL);
      w.PointsGeneralPolygons(1, nullptr, nullptr, nullptr, RI_NULL);
      w.Curves(tok("linear"), 1, nullptr, tok("nonperiodic"), RI_NULL);
      w.NuPatch(4, 4, nullptr, 0, 1, 4, 4, nullptr, 0, 1, RI_NULL);
      w.TrimCurve(1, three, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
      w.SubdivisionMesh(tok("catmull-clark"), 1, three, indices, 1, crease, creaseArgs, nullptr,
                        nullptr, RI_NULL);
      w.Blobby(1, 2, code, 4, nullptr, 1, nullptr, RI_NULL);
      w.PointsPolygons(0, nullptr, nullptr, RI_NULL);
    });
  });
  EXPECT_EQ(rib, "PointsPolygons[] [] \n");
  EXPECT_EQ(
      messages,
      "zizurezar error: RiMotionBegin without its sample times; the request is left out\n"
      "zizurezar error: RiGeneralPolygon has no nvertices array (1 values expected); the "
      "request is left out\n"
      "zizurezar error: RiPointsPolygons has no vertices array (3 values expected); the "
      "request is left out\n"
      "zizurezar error: RiPointsGeneralPolygons has no nloops array (1 values expected); the "
      "request is left out\n"
      "zizurezar error: RiCurves has no nvertices array (1 values expected); the request is "
      "left out\n"
      "zizurezar error: RiNuPatch has no uknot array (8 values expected); the request is left "
      "out\n"
      "zizurezar error: RiTrimCurve has no order array (3 values expected); the request is "
      "left out\n"
      "zizurezar error: RiSubdivisionMesh has no intargs array (2 values expected); the "
      "request is left out\n"
      "zizurezar error: RiBlobby has no flt array (4 values expected); the request is left "
      "out\n");
}

TEST(BadInputTest, CInterfaceMisuseIsOneReportAndTheRequestLeftOut) {
  // Lists without their arrays were dropped without a word, negative counts written as empty
  // arrays, null names written as RIB that no reader takes. Each is now one line with its code,
  // and nothing of the request reaches the stream.
  const std::string path = ribtest::tempPath("misuse");
  RtToken kd[] = {tok("Kd")};
  RtFloat half = 0.5f;
  RtPointer values[] = {&half};
  RtInt minusOne[] = {-1}, three[] = {3}, indices[] = {0, 1, 2};
  struct Case {
    RtInt code;
    const char *message;
    std::function<void()> call;
  };
  const Case cases[] = {
      {RIE_MISSINGDATA, "RiSphere has 1 parameters without their tokens or values",
       [&] { RiSphereV(1, -1, 1, 360, 1, kd, nullptr); }},
      {RIE_MISSINGDATA, "RiSphere has 1 parameters without their tokens or values",
       [&] { RiSphereV(1, -1, 1, 360, 1, nullptr, values); }},
      {RIE_RANGE, "RiSurface has a negative number of parameters (-1)",
       [&] { RiSurfaceV(tok("plastic"), -1, kd, values); }},
      {RIE_RANGE, "RiGeneralPolygon has a negative nloops (-2)",
       [&] { RiGeneralPolygon(-2, three, RI_NULL); }},
      {RIE_RANGE, "RiPointsGeneralPolygons has a negative count in nloops[0] (-1)",
       [&] { RiPointsGeneralPolygons(1, minusOne, three, indices, RI_NULL); }},
      {RIE_RANGE, "RiMotionBegin has a negative number of sample times (-1)",
       [] { RiMotionBegin(-1); }},
      {RIE_MISSINGDATA, "RiSurface without a name", [] { RiSurface(nullptr, RI_NULL); }},
      {RIE_MISSINGDATA, "RiReadArchive without a name",
       [] { RiReadArchive(nullptr, nullptr, RI_NULL); }},
      {RIE_MISSINGDATA, "RiLightSource without a name", [] { RiLightSource(nullptr, RI_NULL); }},
      {RIE_MISSINGDATA, "RiDeclare of \"kx\" without a declaration",
       [] { RiDeclare(tok("kx"), nullptr); }},
  };
  RiBegin(tok(path.c_str()));
  RiWorldBegin();
  for (const Case &c : cases) {
    RiLastError = RIE_NOERROR;
    EXPECT_EQ(stderrOf(c.call),
              std::string("zizurezar error: ") + c.message + "; the request is left out\n");
    EXPECT_EQ(RiLastError, c.code) << c.message;
  }
  RiWorldEnd();
  RiEnd();
  EXPECT_EQ(ribtest::readFile(path), std::string(ribtest::kHeader) + "WorldBegin\nWorldEnd\n\n");
  std::remove(path.c_str());
}

TEST(BadInputTest, EveryReportSetsRiLastErrorToItsStandardCode) {
  // A program tests RiLastError after a request; each kind of report sets its own code.
  RtFloat one = 1.0f, patch[16] = {};
  RtInt code[] = {1001, 0}, digits = 0;
  RtFloat ellipsoid[16] = {};
  char *data[] = {tok("archive.rib")};
  RtBound bound = {0, 1, 0, 1, 0, 1};
  struct Case {
    RtInt code;
    std::function<void(rib::RibWriter &)> request;
  };
  const Case cases[] = {
      {RIE_BADTOKEN,
       [&](rib::RibWriter &w) { w.Surface(tok("plastic"), tok("Kq"), &one, RI_NULL); }},
      {RIE_BADTOKEN,
       [&](rib::RibWriter &w) {
         w.PatchMesh(tok("bicubical"), 4, tok("nonperiodic"), 4, tok("nonperiodic"), RI_NULL);
       }},
      {RIE_BADTOKEN, [&](rib::RibWriter &w) { w.Procedural(data, bound, ownSubdivide, nullptr); }},
      {RIE_RANGE,
       [&](rib::RibWriter &w) {
         w.PatchMesh(tok("bicubic"), 1, tok("nonperiodic"), 4, tok("nonperiodic"), tok("P"), patch,
                     RI_NULL);
       }},
      {RIE_RANGE,
       [&](rib::RibWriter &w) { w.Option(tok("rib"), tok("precision"), &digits, RI_NULL); }},
      {RIE_MISSINGDATA, [](rib::RibWriter &w) { w.Color(nullptr); }},
      {RIE_CONSISTENCY,
       [&](rib::RibWriter &w) { w.Blobby(2, 2, code, 16, ellipsoid, 0, nullptr, RI_NULL); }},
  };
  for (const Case &c : cases) {
    RiLastError = RIE_NOERROR;
    stderrOf([&] { ribOf(c.request); });
    EXPECT_EQ(RiLastError, c.code);
  }
}

} // namespace
