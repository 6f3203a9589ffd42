#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "InternString.h"
#include "ParamDecl.h"
#include "ParamValueList.h"

using namespace rib;

namespace {

std::string printed(void (*print)(FILE *)) {
  FILE *file = tmpfile();
  print(file);
  std::string text(4096, '\0');
  rewind(file);
  text.resize(fread(&text[0], 1, text.size(), file));
  fclose(file);
  return text;
}

ParamValueList *gPrintedList = nullptr;
void printList(FILE *file) { paramValueListPrint(*gPrintedList, file); }

class ParamValues : public ::testing::Test {
protected:
  void SetUp() override { paramValueStatsReset(); }
  ParamValue *node(const char *token, const float *data, int count) {
    ParamValue *v = paramValueNew();
    EXPECT_TRUE(paramValueSet(v, token, kTypeFloat, kClassUniform, count, data, count));
    return v;
  }
};

TEST_F(ParamValues, ListsOwnCopiesFoundByToken) {
  float ka = 0.5f, cs[3] = {1, 2, 3};
  ParamValueList list;
  paramValueListAppend(list, node("Ka", &ka, 1));
  paramValueListAppend(list, node("Cs", cs, 3));
  ka = 9;
  auto *found = static_cast<float *>(paramValueListFind(list, "Ka"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, 0.5f);
  EXPECT_EQ(paramValueListFind(list, "Kd"), nullptr);
  gPrintedList = &list;
  EXPECT_EQ(printed(printList),
            "Param/value list:\n  Item: Ka, size = 4\n  Item: Cs, size = 12\n\n");

  ParamValueList copy;
  paramValueListCopy(list, copy);
  EXPECT_NE(paramValueListFind(copy, "Cs"), paramValueListFind(list, "Cs"));
  auto *removed = static_cast<float *>(paramValueListRemove(list, "Cs"));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed[2], 3.0f);
  std::free(removed);
  EXPECT_EQ(paramValueListFind(list, "Cs"), nullptr);

  ParamValueList moved;
  paramValueListMove(copy, moved);
  EXPECT_EQ(copy.head, nullptr);
  EXPECT_NE(paramValueListFind(moved, "Cs"), nullptr);
  paramValueListClear(list);
  paramValueListClear(moved);
  EXPECT_EQ(gParamValueStats.outstanding, 0);
  EXPECT_EQ(gParamValueStats.dataOutstanding, 0);
  EXPECT_EQ(gParamValueStats.requested, 4);
  EXPECT_EQ(gParamValueStats.peak, 4);
  EXPECT_EQ(gParamValueStats.dataPeak, 32);
}

TEST_F(ParamValues, TextsAreInternedAndPointerSized) {
  char first[] = "brick.tx", second[] = "wood.tx";
  char *texts[] = {first, second};
  ParamValue *v = paramValueNew();
  ASSERT_TRUE(paramValueSet(v, "maps", kTypeString, kClassUniform, 2, texts, 2));
  auto *copy = static_cast<char **>(v->data);
  EXPECT_EQ(copy[0], internString("brick.tx"));
  EXPECT_EQ(copy[1], internString("wood.tx"));
  EXPECT_EQ(v->size, static_cast<int32_t>(2 * sizeof(char *)));
  ParamValue *clone = paramValueClone(v);
  EXPECT_EQ(static_cast<char **>(clone->data)[1], copy[1]);
  paramValueRelease(v);
  paramValueRelease(clone);
}

TEST_F(ParamValues, PoolGrowsInBlocksAndReportsStatistics) {
  std::vector<ParamValue *> nodes;
  float data[300] = {};
  for (int i = 0; i < 40; ++i) {
    nodes.push_back(paramValueNew());
    paramValueSet(nodes.back(), "P", kTypePoint, kClassVertex, 100, data, 300);
  }
  for (size_t i = 0; i < 10; ++i) paramValueRelease(nodes[i]);
  // Unset data is allocated and counted too, so that releasing it balances.
  ParamValue *empty = paramValueNew();
  paramValueSet(empty, "N", kTypeNormal, kClassVarying, 4, nullptr, 12);
  EXPECT_EQ(static_cast<float *>(empty->data)[11], 0.0f);
  EXPECT_EQ(printed(paramValueStatsPrint),
            "Param/value list stats:\n"
            "    param/value entries: 41 requested, 31 outstanding, 40 peak (0 kb)\n"
            "    param/value data memory: 46k requested, 35k outstanding,  46k peak\n");
  paramValueRelease(empty);
  for (size_t i = 10; i < nodes.size(); ++i) paramValueRelease(nodes[i]);
  EXPECT_EQ(gParamValueStats.dataOutstanding, 0);
  paramValueStatsReset();
  EXPECT_EQ(printed(paramValueStatsPrint),
            "Param/value list stats:\n"
            "    param/value entries: 0 requested, 0 outstanding, 0 peak (0 kb)\n"
            "    param/value data memory: 0k requested, 0k outstanding,  0k peak\n");
}

} // namespace
