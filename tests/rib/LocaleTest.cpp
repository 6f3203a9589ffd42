// A host program may switch to a locale with a decimal comma; RIB numbers must not follow it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PrimitiveCounts.h"
#include "RibTestUtil.h"
#include "SymbolTable.h"

using namespace rib;

using ribtest::ribOf;
using ribtest::tok;

namespace {

std::string gMadeLocaleDir; // set when the test made its own locale

// Switches to German; builds the locale in a temporary directory when the machine has none.
bool useDecimalCommaLocale() {
  if (setlocale(LC_ALL, "de_DE.UTF-8")) return true; // installed, or made by an earlier test
  std::string dir = ::testing::TempDir() + "rib_locales_" + std::to_string(getpid());
  std::string command = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
  if (system(("mkdir -p '" + dir + "' && " + command).c_str()) != 0) return false;
  gMadeLocaleDir = dir;
  setenv("LOCPATH", dir.c_str(), 1);
  return setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

class Locale : public ::testing::Test {
protected:
  void SetUp() override {
    if (system("command -v localedef >/dev/null 2>&1") != 0 && !setlocale(LC_ALL, "de_DE.UTF-8"))
      GTEST_SKIP() << "no de_DE locale and no localedef to make one";
    ASSERT_TRUE(useDecimalCommaLocale());
    char text[16];
    snprintf(text, sizeof text, "%g", 0.5);
    ASSERT_STREQ(text, "0,5"); // the locale really has a decimal comma
  }
  void TearDown() override { setlocale(LC_ALL, "C"); }
  static void TearDownTestSuite() {
    if (gMadeLocaleDir.empty()) return;
    if (system(("rm -rf '" + gMadeLocaleDir + "'").c_str()) != 0) ADD_FAILURE();
    unsetenv("LOCPATH");
    gMadeLocaleDir.clear();
  }
};

TEST_F(Locale, NumbersKeepTheDecimalPoint) {
  RtFloat values[] = {0.5f, 1.25f};
  RtToken tokens[] = {tok("st")};
  RtPointer pointers[] = {values};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.Format(640, 480, 0.5f);
              rib.encoder.writeFixed(0.5f);
              rib.encoder.writeChar('\n');
              rib.encoder.writeFloat(2.5f);
              rib.encoder.writeFloats(values, 2);
              rib.encoder.writePrimParamList(rib::PrimitiveCounts{1, 1, 1}, 1, tokens, pointers);
              rib.ArchiveRecord(tok("comment"), tok("%g %.2f %e"), 0.5, 1.5, 2.5);
            }),
            "Format 640 480 0.5\n0.500000\n2.5 [0.5 1.25] \"st\" [0.5 1.25]\n"
            "# 0.5 1.50 2.500000e+00\n");
}

TEST_F(Locale, StatisticsKeepTheDecimalPoint) {
  SymbolTable table(4);
  table.insert(new Symbol("a"), false);
  table.insert(new Symbol("b"), false);
  table.insert(new Symbol("e"), false); // shares a bucket with "a"
  FILE *file = tmpfile();
  table.printStats(file);
  rewind(file);
  char text[512] = {};
  size_t length = fread(text, 1, sizeof text - 1, file);
  text[length] = '\0';
  fclose(file);
  EXPECT_NE(std::string(text).find("avg. 1.5 entries"), std::string::npos) << text;
}

} // namespace
