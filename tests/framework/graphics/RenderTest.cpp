// Frames rendered through the offscreen path, checked at chosen pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "GraphicsRig.h"

namespace {

// Draws whatever it is given.
class Painter : public IControl {
public:
  Painter(const IRECT& bounds, std::function<void(IGraphics&, const IRECT&)> function)
      : IControl(bounds), paint(std::move(function)) {}
  void Draw(IGraphics& g) override { paint(g, GetRECT()); }

private:
  std::function<void(IGraphics&, const IRECT&)> paint;
};

constexpr IColor kRed(255, 200, 30, 40);
constexpr IColor kTop(255, 32, 37, 50);
constexpr IColor kBottom(255, 15, 21, 30);
constexpr IColor kLine(255, 240, 236, 226);
constexpr IColor kText(255, 255, 255, 255);
constexpr IColor kBack(255, 10, 60, 90);

struct Frame {
  std::vector<std::uint8_t> rgba;
  int width = 0, height = 0;
  float scale = 1.f;
  IColor At(float x, float y) const { // a design point: the pixel under it
    const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
    const std::uint8_t* p = &rgba[(static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + px) * 4];
    return IColor(p[3], p[0], p[1], p[2]);
  }
};

class Render : public ::testing::TestWithParam<float> {
protected:
  GraphicsRig rig;
  void Attach(const IRECT& r, std::function<void(IGraphics&, const IRECT&)> paint) {
    rig.graphics->AttachControl(new Painter(r, std::move(paint)));
  }
  Frame RenderFrame() {
    Frame f;
    f.scale = GetParam();
    rig.graphics->Resize(400, 300, f.scale, false);
    EXPECT_TRUE(rig.graphics->RenderOffscreen(f.rgba, f.width, f.height));
    EXPECT_EQ(f.width, static_cast<int>(std::lround(400 * f.scale)));
    EXPECT_EQ(f.height, static_cast<int>(std::lround(300 * f.scale)));
    return f;
  }
};

TEST_P(Render, ShapesAndGradientAtExactColours) {
  Attach({0, 0, 400, 300}, [](IGraphics& g, const IRECT& r) { g.FillRect(kBack, r); });
  Attach({20, 20, 120, 80}, [](IGraphics& g, const IRECT& r) { g.FillRect(kRed, r); });
  Attach({200, 0, 300, 300}, [](IGraphics& g, const IRECT& r) {
    g.PathRect(r);
    g.PathFill(IPattern::CreateLinearGradient(250, 100, 250, 200, {kTop, 0.f}, {kBottom, 1.f}));
  });
  Attach({20, 150, 180, 160},
         [](IGraphics& g, const IRECT&) { g.DrawLine(kLine, 20, 155, 180, 155, nullptr, 4.f); });
  // A control drawing outside its rectangle is clipped to it.
  Attach({300, 0, 320, 20}, [](IGraphics& g, const IRECT&) { g.FillRect(kRed, IRECT(300, 0, 400, 100)); });
  const Frame f = RenderFrame();

  EXPECT_EQ(f.At(70, 50), kRed);
  EXPECT_EQ(f.At(10, 10), kBack);
  EXPECT_EQ(f.At(250, 50), kTop); // before the gradient starts
  EXPECT_EQ(f.At(250, 250), kBottom);
  EXPECT_EQ(f.At(100, 155), kLine);
  EXPECT_EQ(f.At(310, 10), kRed);
  EXPECT_EQ(f.At(330, 10), kBack);
  for (std::size_t i = 3; i < f.rgba.size(); i += 4)
    ASSERT_EQ(f.rgba[i], 255) << "pixel " << i / 4;
}

TEST_P(Render, TextDrawsInsideItsBoxOnly) {
  ASSERT_TRUE(rig.graphics->LoadFont("Sans", "Roboto-Regular.ttf"));
  const IText style(24.f, kText, "Sans", EAlign::Center, EVAlign::Middle);
  const IRECT box(100, 100, 300, 160);
  Attach({0, 0, 400, 300}, [](IGraphics& g, const IRECT& r) { g.FillRect(kBack, r); });
  Attach(box, [&style](IGraphics& g, const IRECT& r) { g.DrawText(style, "Ride 0.5 dB", r); });
  const Frame f = RenderFrame();

  IRECT measured = box;
  const float w = rig.graphics->MeasureText(style, "Ride 0.5 dB", measured);
  EXPECT_GT(w, 80.f);
  EXPECT_LT(w, 160.f);
  // Pixels whose centre lies outside the measured box (grown by a pixel for antialiasing).
  const IRECT allowed = measured.GetPadded(1.f / f.scale + 0.5f);
  int ink = 0, solid = 0, outside = 0;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const float px = (static_cast<float>(x) + 0.5f) / f.scale,
                  py = (static_cast<float>(y) + 0.5f) / f.scale;
      const IColor c = f.At(px, py);
      if (c == kBack)
        continue;
      ++(allowed.Contains(px, py) ? ink : outside);
      solid += c == kText ? 1 : 0;
    }
  EXPECT_GT(ink, 100);
  EXPECT_GT(solid, 10);
  EXPECT_EQ(outside, 0);
}

TEST_P(Render, SvgDrawsScaledIntoItsBox) {
  const ISVG logo = rig.graphics->LoadSVG("keldarine_logo.svg");
  ASSERT_TRUE(logo.IsValid());
  EXPECT_GT(logo.width, 0.f);
  EXPECT_GT(logo.height, 0.f);
  Attach({0, 0, 400, 300}, [](IGraphics& g, const IRECT& r) { g.FillRect(kBack, r); });
  Attach({50, 50, 260, 92}, [logo](IGraphics& g, const IRECT& r) { g.DrawSVG(logo, r); });
  const Frame f = RenderFrame();
  int changed = 0;
  for (float y = 50; y < 92; y += 1.f)
    for (float x = 50; x < 260; x += 1.f)
      changed += f.At(x, y) == kBack ? 0 : 1;
  EXPECT_GT(changed, 200);
  EXPECT_EQ(f.At(30, 70), kBack);
}

INSTANTIATE_TEST_SUITE_P(Scales, Render, ::testing::Values(1.f, 1.5f));

} // namespace
