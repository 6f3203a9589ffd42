#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "InternString.h"
#include "ParamDecl.h"
#include "RibTestUtil.h"

using namespace rib;

using ribtest::ribOf;
using ribtest::stderrOf;
using ribtest::tempPath;
using ribtest::tok;

namespace {

struct Expected {
  const char *declaration;
  uint8_t paramClass;
  uint8_t type;
  int arraySize;
};

// Each case declares its own name so that the cases do not see one another.
TEST(Declarations, GrammarOfClassTypeAndSize) {
  const Expected cases[] = {
      {"uniform float[3]", kClassUniform, kTypeFloat, 3},
      {"float", kClassUniform, kTypeFloat, 1},
      {"varying color", kClassVarying, kTypeColor, 1},
      {"  vertex   point", kClassVertex, kTypePoint, 1},
      {"constant string", kClassConstant, kTypeString, 1},
      {"int[2]", kClassUniform, kTypeInteger, 2},
      {"integer", kClassUniform, kTypeInteger, 1},
      {"hpoint", kClassUniform, kTypeHPoint, 1},
      {"matrix", kClassUniform, kTypeMatrix, 1},
      {"mpoint", kClassUniform, kTypeMPoint, 1},
      {"vector", kClassUniform, kTypeVector, 1},
      {"normal", kClassUniform, kTypeNormal, 1},
      {"floaty", kClassUniform, kTypeFloat, 1}, // prefixes: the rest is not read
      {"uniformfloat", kClassUniform, kTypeFloat, 1},
      {"float[-2]", kClassUniform, kTypeFloat, -2},
      {"float[7", kClassUniform, kTypeFloat, 7},     // no closing bracket needed
      {"[4] float", kClassUniform, kTypeUnknown, 4}, // size first: the type is not read
      {"varying banana", kClassVarying, kTypeUnknown, 1},
      {"", kClassUniform, kTypeUnknown, 1},
  };
  int i = 0;
  for (const Expected &c : cases) {
    std::string name = "grammarCase" + std::to_string(i++);
    const char *token = parseDeclaration(gDeclTable, name.c_str(), c.declaration, nullptr, false);
    EXPECT_EQ(token, internString(name.c_str()));
    const ParamDecl *decl = lookupParam(name.c_str());
    ASSERT_NE(decl, nullptr) << c.declaration;
    EXPECT_EQ(decl->paramClass, c.paramClass) << c.declaration;
    EXPECT_EQ(decl->type, c.type) << c.declaration;
    EXPECT_EQ(decl->arraySize, c.arraySize) << c.declaration;
  }
}

TEST(Declarations, SizesBeyondSixteenBitsAreRefused) {
  std::string err =
      stderrOf([] { parseDeclaration(gDeclTable, "hugeArray", "float[40000]", nullptr, false); });
  EXPECT_EQ(err, "zizurezar error: array size out of range in the declaration of \"hugeArray\"\n");
  EXPECT_EQ(lookupParam("hugeArray")->type, kTypeUnknown);
  parseDeclaration(gDeclTable, "largestArray", "float[32767]", nullptr, false);
  EXPECT_EQ(lookupParam("largestArray")->arraySize, 32767);
}

TEST(Declarations, InlineDeclarationLength) {
  EXPECT_EQ(inlineDeclLength("varying color Cs"), std::strlen("varying color "));
  EXPECT_EQ(inlineDeclLength("color varying Cs"), std::strlen("color "));
  EXPECT_EQ(inlineDeclLength("uniform float[3]  rgb"), std::strlen("uniform float[3]  "));
  EXPECT_EQ(inlineDeclLength("float[2 x"), std::strlen("float[2 x"));
  EXPECT_EQ(inlineDeclLength("Cs"), 0u);
  EXPECT_EQ(inlineDeclLength("floaty x"), 0u);
  EXPECT_EQ(inlineDeclLength(nullptr), 0u);
}

TEST(Declarations, InlineTokensAreKeyedByTheWholeText) {
  const ParamDecl *decl = lookupParam("vertex point PrefInline");
  ASSERT_NE(decl, nullptr);
  EXPECT_STREQ(decl->key, "vertex point PrefInline");
  EXPECT_STREQ(decl->name, "PrefInline");
  EXPECT_EQ(decl->paramClass, kClassVertex);
  EXPECT_EQ(decl->type, kTypePoint);
  EXPECT_EQ(lookupParam("PrefInline"), nullptr); // the bare name stays undeclared
  EXPECT_EQ(lookupParam("  vertex point PrefInline"), decl);
  // "Ka" is predeclared as float; the inline form does not change it.
  ribOf([](rib::RibWriter &) {});
  EXPECT_EQ(lookupParam("uniform color Ka")->type, kTypeColor);
  EXPECT_EQ(lookupParam("Ka")->type, kTypeFloat);
}

TEST(Declarations, LongInlinePrefixesNeedNoFixedBuffer) {
  std::string prefix = "uniform float[3]" + std::string(200, ' ');
  const ParamDecl *decl = lookupParam((prefix + "spacedOut").c_str());
  ASSERT_NE(decl, nullptr);
  EXPECT_EQ(decl->arraySize, 3);
  EXPECT_STREQ(decl->name, "spacedOut");
}

TEST(Declarations, DeclareEchoesAndRedeclares) {
  std::string rib = ribOf([](rib::RibWriter &r) {
    RtToken kq = r.Declare(tok("Kq"), tok("varying color"));
    EXPECT_EQ(kq, internString("Kq"));
    RtFloat values[] = {0.1f, 0.2f, 0.3f};
    RtToken tokens[] = {kq};
    RtPointer pointers[] = {values};
    r.encoder.writeParamList("s", 0, 1, tokens, pointers);
    r.Declare(tok("Kq"), tok("float"));
    r.encoder.writeParamList(nullptr, 0, 1, tokens, pointers);
  });
  EXPECT_EQ(rib, "Declare \"Kq\" \"varying color\"\n \"s\" \"Kq\" [0.1 0.2 0.3]\n"
                 "Declare \"Kq\" \"float\"\n \"Kq\" [0.1]\n");
}

TEST(Declarations, EmptyOrMissingDeclarationOnlyInternsTheName) {
  std::string rib = ribOf([](rib::RibWriter &r) {
    EXPECT_EQ(r.Declare(tok("onlyInterned"), tok("")), internString("onlyInterned"));
    // Without a declaration nothing reads back: reported and not written, the name interned.
    EXPECT_EQ(stderrOf([&] {
                EXPECT_EQ(r.Declare(tok("alsoInterned"), nullptr), internString("alsoInterned"));
              }),
              "zizurezar error: RiDeclare of \"alsoInterned\" without a declaration; the request "
              "is left out\n");
    r.Declare(tok("odd \"name\""), tok("float"));
  });
  EXPECT_EQ(rib, "Declare \"onlyInterned\" \"\"\nDeclare \"odd \\\"name\\\"\" \"float\"\n");
  EXPECT_EQ(lookupParam("onlyInterned"), nullptr);
}

TEST(Declarations, PredeclaredNamesAndTokenVariables) {
  ribOf([](rib::RibWriter &) {});
  struct Row {
    RtToken variable;
    const char *text;
  };
  const Row rows[] = {{RI_KA, "float"},
                      {RI_LIGHTCOLOR, "uniform color"},
                      {RI_P, "vertex point"},
                      {RI_N, "varying normal"},
                      {RI_PW, "vertex hpoint"},
                      {RI_ST, "varying float[2]"},
                      {RI_ZBLUR, "float[6]"},
                      {RI_WINDOWLOCATION, "uniform integer[2]"},
                      {RI_NAME, "uniform string"},
                      {RI_ENABLE_GAUSSIAN, "uniform integer"},
                      {RI_CONSTANTWIDTH, "constant float"},
                      {RI_TRANSFORM, "uniform matrix"}};
  for (const Row &row : rows) {
    const ParamDecl *decl = lookupParam(row.variable);
    ASSERT_NE(decl, nullptr) << row.variable;
    EXPECT_EQ(decl->name, row.variable); // the variable holds the interned name
    char text[64];
    declarationText(*decl, text, sizeof text);
    std::string expected = row.text;
    if (expected == "float") expected = "uniform float";
    if (expected == "float[6]") expected = "uniform float[6]";
    EXPECT_EQ(text, expected);
  }
  EXPECT_EQ(RI_BOX, internString("box"));
  EXPECT_EQ(RI_NDC, internString("NDC"));
  EXPECT_EQ(lookupParam(RI_BOX), nullptr);
  EXPECT_EQ(paramDataSize("P"), 12);
  EXPECT_EQ(paramDataSize("zblur"), 24);
  EXPECT_EQ(paramDataSize("transform"), 64);
  EXPECT_EQ(paramDataSize("neverDeclaredAnywhere"), 0);
}

TEST(Declarations, ANewContextNeverChangesADeclaration) {
  // Declarations are process-wide: a context made later must leave the program's own alone, or
  // the first context writes its parameters with the wrong number of values.
  const std::string second = tempPath("second_context");
  RtColor kd = {0.25f, 0.5f, 1.0f};
  EXPECT_EQ(ribOf([&](rib::RibWriter &first) {
              first.Declare(tok("Kd"), tok("uniform color"));
              delete new rib::RibWriter(second.c_str());
              first.Surface(tok("plastic"), tok("Kd"), kd, RI_NULL);
              first.Declare(tok("Kd"), tok("uniform float"));
            }),
            "Declare \"Kd\" \"uniform color\"\nSurface \"plastic\" \"Kd\" [0.25 0.5 1]\n"
            "Declare \"Kd\" \"uniform float\"\n");
  std::remove(second.c_str());
}

TEST(Declarations, DeclaringFindsNamesAsTokensAre) {
  ribOf([](rib::RibWriter &r) {
    r.Declare(tok("  Ka"), tok("color")); // leading blanks are skipped, as in a token
    EXPECT_EQ(lookupParam("Ka")->type, kTypeColor);
    r.Declare(tok("vertex point Pinline2"), tok("color"));
    const ParamDecl *decl = lookupParam("vertex point Pinline2");
    EXPECT_EQ(decl->type, kTypeColor);
    EXPECT_STREQ(decl->name, "Pinline2");
    // Declarations outlive contexts: "Ka" goes back to its standard type for the other tests.
    r.Declare(tok("Ka"), tok("float"));
  });
}

TEST(Declarations, DeclarationTextOfNegativeSize) {
  parseDeclaration(gDeclTable, "openArray", "varying float[-1]", nullptr, false);
  char text[64];
  EXPECT_EQ(declarationText(*lookupParam("openArray"), text, sizeof text), 15);
  EXPECT_STREQ(text, "varying float[]");
}

TEST(InternString, OneCopyPerTextPooledWhenShort) {
  std::string a = "internedTwice";
  const char *first = internString(a.c_str());
  EXPECT_NE(first, a.c_str());
  EXPECT_EQ(internString(std::string("interned"
                                     "Twice")
                             .c_str()),
            first);
  EXPECT_EQ(internString("internedTwiceXYZ", 13), first);
  EXPECT_EQ(internString(nullptr), nullptr);
  // 15 characters fit the pool (16 bytes with the terminator): consecutive ones sit side by side
  // until a block fills up and the next one starts.
  auto fifteen = [](int i) {
    char text[16];
    snprintf(text, sizeof text, "fifteen-ch-%04d", i);
    return internString(text);
  };
  int i = 0;
  const char *previous = fifteen(i++);
  const char *last = fifteen(i++);
  int sideBySide = 0;
  while (last - previous == 16 && i < 200) {
    ++sideBySide;
    previous = last;
    last = fifteen(i++);
  }
  EXPECT_LE(sideBySide, 1024 / 16);
  // `last` opened a block. 16 characters take their own heap block, so the next short text
  // follows directly.
  const char *second = fifteen(i++);
  EXPECT_EQ(second - last, 16);
  const char *own = internString("sixteen-chars-AB");
  EXPECT_EQ(fifteen(i++) - second, 16);
  EXPECT_STREQ(own, "sixteen-chars-AB");
}

} // namespace
