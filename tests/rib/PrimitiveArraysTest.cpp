// The walks of the primitives' positional arrays: each array is handed over in the request's
// order with the length the earlier arrays give, and a refused array ends the walk before any
// array after it (or its own counts) is read.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PrimitiveArrays.h"

using namespace rib;

namespace {

// Records "name:needed" for each array; refuses the one named `refuse`.
struct Recorder : ArrayCheck {
  std::vector<std::string> seen;
  std::string refuse;
  bool count(const char *name, long long value) override {
    seen.push_back(std::string("#") + name + ":" + std::to_string(value));
    return value >= 0;
  }
  bool array(const char *name, const void *, long long needed, const char *, ArrayRole) override {
    seen.push_back(std::string(name) + ":" + std::to_string(needed));
    return refuse != name;
  }
};

using Seen = std::vector<std::string>;

TEST(PrimitiveArrays, EachArrayIsSizedByTheCountsBeforeIt) {
  Recorder check;
  const RtInt nloops[] = {2, 1}, nvertices[] = {4, 3, 3},
              vertices[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const PrimitiveArrays mesh = pointsGeneralPolygonsArrays(check, 2, nloops, nvertices, vertices);
  ASSERT_TRUE(mesh.ok);
  EXPECT_EQ(check.seen, (Seen{"#npolys:2", "nloops:2", "nvertices:3", "vertices:10"}));
  EXPECT_EQ(mesh.lengths[2], 10);
  EXPECT_EQ(mesh.counts.vertex, 10);
  EXPECT_EQ(mesh.counts.uniform, 2);

  Recorder tagged;
  const RtInt faces[] = {4}, quad[] = {0, 1, 2, 3}, nargs[] = {1, 2, 0, 1};
  const RtToken tags[] = {const_cast<char *>("crease"), const_cast<char *>("corner")};
  const RtInt ints[] = {7};
  const RtFloat reals[] = {1, 2, 3};
  const PrimitiveArrays subdivision =
      subdivisionMeshArrays(tagged, 1, faces, quad, 2, tags, nargs, ints, reals);
  ASSERT_TRUE(subdivision.ok);
  EXPECT_EQ(tagged.seen, (Seen{"#nfaces:1", "#ntags:2", "nvertices:1", "vertices:4", "tags:2",
                               "nargs:4", "intargs:1", "floatargs:3"}));

  Recorder trim;
  const RtInt ncurves[] = {2}, order[] = {3, 2}, n[] = {4, 2};
  const TrimCurveArrays curve = trimCurveArrays(trim, 1, ncurves, order, nullptr, nullptr, nullptr,
                                                n, nullptr, nullptr, nullptr);
  ASSERT_TRUE(curve.ok);
  EXPECT_EQ(trim.seen, (Seen{"ncurves:1", "order:2", "n:2", "knot:11", "min:2", "max:2", "u:6",
                             "v:6", "w:6"}));
}

TEST(PrimitiveArrays, ARefusedArrayEndsTheWalkBeforeItsCountsAreRead) {
  // The refused arrays are null: reading their counts would crash.
  Recorder check;
  check.refuse = "nloops";
  EXPECT_FALSE(pointsGeneralPolygonsArrays(check, 3, nullptr, nullptr, nullptr).ok);
  EXPECT_EQ(check.seen, (Seen{"#npolys:3", "nloops:3"}));

  Recorder negative;
  EXPECT_FALSE(generalPolygonArrays(negative, -1, nullptr).ok);
  EXPECT_EQ(negative.seen, (Seen{"#nloops:-1"}));

  Recorder trim;
  trim.refuse = "n";
  const RtInt ncurves[] = {1};
  EXPECT_FALSE(trimCurveArrays(trim, 1, ncurves, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr)
                   .ok);
  EXPECT_EQ(trim.seen, (Seen{"ncurves:1", "order:1", "n:1"}));

  // Without tags the tag arrays need nothing and are not read.
  Recorder untagged;
  const RtInt faces[] = {3}, triangle[] = {0, 1, 2};
  EXPECT_TRUE(
      subdivisionMeshArrays(untagged, 1, faces, triangle, 0, nullptr, nullptr, nullptr, nullptr)
          .ok);
  EXPECT_EQ(untagged.seen, (Seen{"#nfaces:1", "#ntags:0", "nvertices:1", "vertices:3", "tags:0",
                                 "nargs:0", "intargs:0", "floatargs:0"}));
}

} // namespace
