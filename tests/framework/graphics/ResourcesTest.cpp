// Fonts and SVGs from the embedded resources or files, measured and parsed without any display.
#include <gtest/gtest.h>

#include "GraphicsRig.h"

namespace {

TEST(Resources, FontsLoadFromEmbeddedResourcesOnly) {
  GraphicsRig rig;
  IGraphics& g = *rig.graphics;
  EXPECT_TRUE(g.LoadFont("Sans", "Roboto-Regular.ttf"));
  EXPECT_FALSE(g.LoadFont("Missing", "no-such-font.ttf"));
  EXPECT_FALSE(g.LoadFont("Logo", "keldarine_logo.svg")); // readable, but no font
  EXPECT_FALSE(g.LoadFont(nullptr, "Roboto-Regular.ttf"));
}

TEST(Resources, TextIsMeasuredWithoutAWindowAndPlacedByItsAlignment) {
  GraphicsRig rig;
  IGraphics& g = *rig.graphics;
  ASSERT_TRUE(g.LoadFont("Sans", "Roboto-Regular.ttf"));
  const IText near(27.f, IColor(), "Sans", EAlign::Near, EVAlign::Middle);
  IRECT r(36, 5, 236, 39);
  const float w = g.MeasureText(near, "KELD", r);
  EXPECT_GT(w, 40.f);
  EXPECT_LT(w, 90.f);
  EXPECT_FLOAT_EQ(r.L, 36.f);
  EXPECT_FLOAT_EQ(r.W(), w);
  EXPECT_NEAR(r.MH(), 22.f, 1e-4);
  IRECT far(36, 5, 236, 39);
  g.MeasureText(near.WithAlign(EAlign::Far), "KELD", far);
  EXPECT_FLOAT_EQ(far.R, 236.f);
  // Wider text measures wider; an unknown font id falls back to the first font.
  IRECT a, b;
  EXPECT_GT(g.MeasureText(near, "KELDARINE", a), w);
  IText unknown = near;
  unknown.font = {};
  EXPECT_FLOAT_EQ(g.MeasureText(unknown, "KELD", b), w);
}

TEST(Resources, SvgsLoadWithTheirDocumentSize) {
  GraphicsRig rig;
  IGraphics& g = *rig.graphics;
  const ISVG logo = g.LoadSVG("keldarine_logo.svg", "px", 72.f);
  ASSERT_TRUE(logo.IsValid());
  EXPECT_GT(logo.width, 0.f);
  EXPECT_GT(logo.height, 0.f);
  EXPECT_FALSE(g.LoadSVG("no-such.svg").IsValid());
  EXPECT_FALSE(g.LoadSVG("Roboto-Regular.ttf").IsValid());
  const ISVG second = g.LoadSVG("keldarine_logo.svg");
  EXPECT_NE(second.id, logo.id);
}

} // namespace
