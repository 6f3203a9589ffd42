#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SymbolTable.h"

using namespace rib;

namespace {

std::string statsOf(const SymbolTable &table) {
  FILE *file = tmpfile();
  table.printStats(file);
  std::string text(4096, '\0');
  rewind(file);
  text.resize(fread(&text[0], 1, text.size(), file));
  fclose(file);
  return text;
}

TEST(SymbolTable, ElfHashOfKnownTexts) {
  EXPECT_EQ(symbolHash(nullptr), 0u);
  EXPECT_EQ(symbolHash(""), 0u);
  EXPECT_EQ(symbolHash("a"), 0x61u);
  EXPECT_EQ(symbolHash("ab"), 0x672u);
  // Long keys fold the top nibble back in and never exceed 28 bits.
  EXPECT_EQ(symbolHash("abcdefghij"), 0x0abaa66au);
  EXPECT_LT(symbolHash("a much longer key that overflows the nibbles"), 0x10000000u);
  // High bytes are hashed unsigned.
  EXPECT_EQ(symbolHash("\xff"), 0xffu);
}

TEST(SymbolTable, FindsByEqualTextAndRefusesDuplicates) {
  SymbolTable table(7);
  char key[] = "Ka";
  auto *first = new Symbol(key);
  EXPECT_EQ(table.insert(first, false), 0);
  EXPECT_EQ(table.find("Ka"), first);
  auto *again = new Symbol("Ka");
  EXPECT_EQ(table.insert(again, false), 1); // not inserted
  delete again;
  auto *duplicate = new Symbol("Ka");
  EXPECT_EQ(table.insert(duplicate, true), 1);
  EXPECT_EQ(table.find("Ka"), duplicate); // newest first
  EXPECT_EQ(table.findNext(duplicate), first);
  EXPECT_EQ(table.findNext(first), nullptr);
  EXPECT_EQ(table.find("Kd"), nullptr);
  EXPECT_EQ(table.stats().entriesAdded, 2);
  EXPECT_EQ(table.stats().bucketsUsed, 1);
}

TEST(SymbolTable, ScopesHideTheirEntriesWhenLeft) {
  SymbolTable table(13);
  table.insert(new Symbol("outer"), false);
  ASSERT_TRUE(table.pushScope());
  auto *inner = new Symbol("inner");
  table.insert(inner, false);
  EXPECT_NE(table.find("outer"), nullptr); // saved scopes stay visible
  EXPECT_EQ(table.find("inner"), inner);
  table.popScope(true);
  EXPECT_EQ(table.find("inner"), nullptr);
  EXPECT_NE(table.find("outer"), nullptr);
  delete inner;         // unlinked, not destroyed
  table.popScope(true); // at the outermost scope: nothing happens
  EXPECT_NE(table.find("outer"), nullptr);
}

TEST(SymbolTable, ScopeStackIsBounded) {
  SymbolTable table(3);
  int pushed = 0;
  while (table.pushScope()) ++pushed;
  EXPECT_EQ(pushed, SymbolTable::kMaxScopeDepth - 1);
  for (int i = 0; i < pushed; ++i) table.popScope(false);
  EXPECT_EQ(table.currentScope(), 0);
}

TEST(SymbolTable, DeletingALevelDestroysItsEntries) {
  SymbolTable table(5);
  table.insert(new Symbol("base"), false);
  table.setLevel(1);
  table.insert(new Symbol("level1"), false);
  table.deleteLevel(1);
  EXPECT_EQ(table.level(), 0);
  EXPECT_EQ(table.find("level1"), nullptr);
  EXPECT_NE(table.find("base"), nullptr);
  int visited = 0;
  table.forEach([](Symbol *, void *count) { ++*static_cast<int *>(count); }, &visited);
  EXPECT_EQ(visited, 1);
}

TEST(SymbolTable, StatisticsReport) {
  SymbolTable table(10);
  EXPECT_EQ(statsOf(table).substr(0, 25), "Symbol table statistics:\n");
  table.insert(new Symbol("a"), false); // bucket 7
  table.insert(new Symbol("k"), false); // 0x6b = 107: bucket 7 as well
  table.insert(new Symbol("b"), false); // bucket 8
  table.find("a");                      // one extra step past "k"
  table.find("zz");
  EXPECT_EQ(statsOf(table), "Symbol table statistics:\n"
                            "  3 entries added to table in 2 distinct buckets\n"
                            "  20% of buckets used, avg. 1.5 entries per bucket.\n"
                            "  2 total lookups, 1 found, 1 misses.\n"
                            "  1 extra chain walking steps (0.333333 probes per lookup)\n");
}

TEST(SymbolTable, GrowsSoThatManyNamesKeepShortChains) {
  // A hostile input may declare a million distinct names; in a table of fixed size every lookup
  // walked a chain as long as their number over the buckets. The table grows instead: the chains
  // stay short however many names come, and names equal to one another keep their order.
  SymbolTable table(5);
  std::vector<std::string> keys;
  for (int i = 0; i < 200000; ++i) keys.push_back("name" + std::to_string(i));
  auto *older = new Symbol("name7");
  table.insert(older, false);
  for (const std::string &key : keys) table.insert(new Symbol(key.c_str()), true);
  EXPECT_GT(table.bucketCount(), 200000u / SymbolTable::kMaxLoad);
  for (const std::string &key : keys) ASSERT_NE(table.find(key.c_str()), nullptr) << key;
  EXPECT_LT(table.stats().extraSteps, 3 * table.stats().lookups);
  EXPECT_EQ(table.find("name7")->key, keys[7].c_str()); // the newest first
  EXPECT_EQ(table.findNext(table.find("name7")), older);
  EXPECT_EQ(table.stats().entriesAdded, 200001);
}

} // namespace
