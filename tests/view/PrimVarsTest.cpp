// Declarations and findPrimVars: which values a request's parameters give the tessellators.
#include <gtest/gtest.h>

#include "view/Declarations.h"

namespace {

TEST(PrimVars, StandardDeclaredAndInlineNames) {
  view::Declarations declarations;
  ASSERT_TRUE(declarations.declare("Cd", "varying color"));
  EXPECT_FALSE(declarations.declare("bad", "varying sparkle"));
  ASSERT_TRUE(declarations.declare("N", "facevarying normal")); // a declaration replaces

  const float p[6] = {}, cs[3] = {}, os[3] = {}, n[3] = {}, w[2] = {}, cw[1] = {}, pw[8] = {};
  const char *tokens[] = {"P", "uniform color Cs", "vertex float Os", "N", "width",
                          "constantwidth", "Cd", "Pw"};
  const void *values[] = {p, cs, os, n, w, cw, cs, pw};
  const view::PrimVars vars = view::findPrimVars(
      8, const_cast<RtToken *>(tokens), const_cast<RtPointer *>(values), declarations);
  EXPECT_EQ(vars.P.values, p);
  EXPECT_EQ(vars.P.storage, view::VarClass::Vertex);
  EXPECT_EQ(vars.Cs.values, cs);
  EXPECT_EQ(vars.Cs.storage, view::VarClass::Uniform);
  EXPECT_FALSE(vars.Os.given()); // one float is no opacity
  EXPECT_EQ(vars.N.storage, view::VarClass::FaceVarying);
  EXPECT_EQ(vars.width.values, w);
  EXPECT_EQ(vars.constantwidth.storage, view::VarClass::Constant);
  EXPECT_EQ(vars.Pw.components, 4);
  EXPECT_FALSE(vars.Pz.given());

  view::ParamInfo info;
  ASSERT_TRUE(declarations.find("uniform float[2] st2", info));
  EXPECT_EQ(info.name, "st2");
  EXPECT_EQ(info.components, 2);
  EXPECT_FALSE(declarations.find("unknown", info));
  EXPECT_FALSE(declarations.find("uniform widget x", info));
}

} // namespace
