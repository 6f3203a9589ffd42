// The standard names: every row of every table is written by name and read back to the same
// object, so the writer's, the reader's and Python's spelling cannot drift apart.
#include <gtest/gtest.h>

#include <string>

#include "RibTestUtil.h"
#include "StandardNames.h"
#include "rib/RibRead.h"

using namespace rib;
using ribtest::ribOf;
using ribtest::tok;

namespace {

// `rib` read back into a fresh writer: what it writes, and the problems found.
std::string readBack(const std::string &rib, int &problems) {
  return ribOf([&](rib::RibWriter &writer) {
    problems = readRib(rib.data(), rib.size(), "names.rib", writer);
  });
}

void expectRoundTrip(const std::string &written, const std::string &name) {
  EXPECT_NE(written.find('"' + name + '"'), std::string::npos) << written;
  int problems = -1;
  EXPECT_EQ(readBack(written, problems), written) << name;
  EXPECT_EQ(problems, 0) << name;
}

} // namespace

TEST(StandardNames, EveryNameIsWrittenAndReadBackToItsObject) {
  for (const StandardFilter &row : kStandardFilters) {
    EXPECT_STREQ(filterName(row.filter), row.name);
    expectRoundTrip(ribOf([&](rib::RibWriter &rib) { rib.PixelFilter(row.filter, 2, 2); }),
                    row.name);
  }
  for (const StandardBasis &row : kStandardBases) {
    EXPECT_EQ(basisOf(*row.matrix), &row);
    expectRoundTrip(ribOf([&](rib::RibWriter &rib) {
                      rib.Basis(*row.matrix, row.step, *row.matrix, row.step);
                    }),
                    row.name);
  }
  for (const StandardProcedural &row : kStandardProcedurals) {
    EXPECT_EQ(proceduralOf(row.subdivide), &row);
    RtString texts[] = {tok("a"), tok("b")};
    RtBound bound = {-1, 1, -1, 1, -1, 1};
    expectRoundTrip(
        ribOf([&](rib::RibWriter &rib) { rib.Procedural(texts, bound, row.subdivide, nullptr); }),
        row.name);
  }
  for (const StandardErrorHandler &row : kStandardErrorHandlers) {
    EXPECT_STREQ(errorHandlerName(row.handler), row.name);
    expectRoundTrip(ribOf([&](rib::RibWriter &rib) { rib.ErrorHandler(row.handler); }), row.name);
  }
  // Other objects have no name: a caller's own filter is written as empty quotes.
  EXPECT_STREQ(filterName(nullptr), "");
  RtBasis copy = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  EXPECT_EQ(basisOf(copy), nullptr);
  EXPECT_EQ(findBasis("Bezier"), nullptr);
  EXPECT_EQ(nameList(kStandardErrorHandlers, " or "), "ignore, print or abort");
}
