// Value types of the graphics layer: colours, rectangles, text styles, patterns, input records.
// All coordinates are design-space points (the editor's unscaled size); the layer applies the
// draw scale.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

constexpr int kNoParameter = -1;
constexpr int kNoValIdx = -1;
constexpr int kNoTag = -1;

// Channels 0..255; the constructor takes alpha first.
struct IColor {
  int A = 255, R = 0, G = 0, B = 0;
  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  constexpr bool operator==(const IColor&) const = default;
};

// left, top, right, bottom
struct IRECT {
  float L = 0.f, T = 0.f, R = 0.f, B = 0.f;
  constexpr IRECT() = default;
  constexpr IRECT(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}
  constexpr bool operator==(const IRECT&) const = default;

  constexpr float W() const { return R - L; }
  constexpr float H() const { return B - T; }
  constexpr float MW() const { return 0.5f * (L + R); }
  constexpr float MH() const { return 0.5f * (T + B); }
  constexpr bool Empty() const { return W() <= 0.f || H() <= 0.f; }
  // Left and top edges inclusive, right and bottom exclusive.
  constexpr bool Contains(float x, float y) const { return x >= L && x < R && y >= T && y < B; }
  constexpr bool Intersects(const IRECT& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
  // Positive padding grows the rectangle, negative shrinks it.
  constexpr IRECT GetPadded(float p) const { return {L - p, T - p, R + p, B + p}; }
  constexpr IRECT GetTranslated(float x, float y) const { return {L + x, T + y, R + x, B + y}; }
  constexpr IRECT GetScaled(float s) const { return {L * s, T * s, R * s, B * s}; }
  IRECT Union(const IRECT& o) const {
    if (Empty())
      return o;
    if (o.Empty())
      return *this;
    return {std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B)};
  }
  IRECT Intersect(const IRECT& o) const {
    IRECT r{std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B)};
    return r.Empty() ? IRECT{} : r;
  }
};

enum class EAlign { Near, Center, Far };
enum class EVAlign { Top, Middle, Bottom };

// A text style. The text-entry colours serve the framework's text entry when it opens with it.
struct IText {
  float size = 14.f;
  IColor fgColor{255, 0, 0, 0};
  std::array<char, 32> font{};
  EAlign align = EAlign::Center;
  EVAlign vAlign = EVAlign::Middle;
  float angle = 0.f;
  IColor textEntryBGColor{255, 255, 255, 255};
  IColor textEntryFGColor{255, 0, 0, 0};

  IText() = default;
  IText(float textSize, const IColor& color, const char* fontID = nullptr, EAlign textAlign = EAlign::Center,
        EVAlign textVAlign = EVAlign::Middle, float textAngle = 0.f,
        const IColor& entryBG = IColor(255, 255, 255, 255), const IColor& entryFG = IColor(255, 0, 0, 0))
      : size(textSize), fgColor(color), align(textAlign), vAlign(textVAlign), angle(textAngle),
        textEntryBGColor(entryBG), textEntryFGColor(entryFG) {
    if (fontID)
      std::strncpy(font.data(), fontID, font.size() - 1);
  }
  IText WithFGColor(const IColor& c) const {
    IText t = *this;
    t.fgColor = c;
    return t;
  }
  IText WithSize(float s) const {
    IText t = *this;
    t.size = s;
    return t;
  }
  IText WithAlign(EAlign a) const {
    IText t = *this;
    t.align = a;
    return t;
  }
};

// Scales the alpha of what is drawn; a null blend draws at full weight.
struct IBlend {
  float weight = 1.f;
};

struct IColorStop {
  IColor color;
  float offset = 0.f;
};

// A solid colour or a two-stop linear gradient between two points.
struct IPattern {
  enum class EType { Solid, Linear };
  EType type = EType::Solid;
  float x1 = 0.f, y1 = 0.f, x2 = 0.f, y2 = 0.f;
  IColorStop start{}, end{};

  IPattern(const IColor& color) : start{color, 0.f}, end{color, 1.f} {} // NOLINT: a colour is a pattern
  static IPattern CreateLinearGradient(float fromX, float fromY, float toX, float toY, const IColorStop& a,
                                       const IColorStop& b) {
    IPattern p(a.color);
    p.type = EType::Linear;
    p.x1 = fromX;
    p.y1 = fromY;
    p.x2 = toX;
    p.y2 = toY;
    p.start = a;
    p.end = b;
    return p;
  }
};

enum class EFillRule { Winding, EvenOdd };
struct IFillOptions {
  EFillRule fillRule = EFillRule::Winding;
  bool preserve = false; // keep the path after filling
};
struct IStrokeOptions {
  bool preserve = false;
};

// A handle into the graphics object's SVG cache; empty when loading failed.
struct ISVG {
  int id = -1;
  float width = 0.f, height = 0.f; // document size in points
  bool IsValid() const { return id >= 0; }
};

enum class EUIResizerMode { Scale, Size };

constexpr int kNoMouseButton = -1;

struct IMouseMod {
  bool L = false, R = false, S = false, C = false, A = false;
  // The button a press or release is about: 0 left, 1 right, 2 middle, 3 and up the further ones.
  // kNoMouseButton for moves and the wheel, and from callers that know only L and R.
  int button = kNoMouseButton;
};

// Windows virtual-key codes: the editor's controls test these.
enum EVirtualKey {
  kVK_NONE = 0,
  kVK_BACK = 8,
  kVK_TAB = 9,
  kVK_RETURN = 13,
  kVK_SHIFT = 16,
  kVK_CONTROL = 17,
  kVK_ESCAPE = 27,
  kVK_SPACE = 32,
  kVK_END = 35,
  kVK_HOME = 36,
  kVK_LEFT = 37,
  kVK_UP = 38,
  kVK_RIGHT = 39,
  kVK_DOWN = 40,
  kVK_DELETE = 46,
  kVK_OEM_COMMA = 0xBC,
};

// One key press: the virtual-key code, the modifiers and the typed character (UTF-8, may be empty).
struct IKeyPress {
  int VK = kVK_NONE;
  bool S = false, C = false, A = false;
  std::array<char, 8> utf8{};
  IKeyPress() = default;
  IKeyPress(const char* text, int vk, bool shift = false, bool ctrl = false, bool alt = false)
      : VK(vk), S(shift), C(ctrl), A(alt) {
    if (text)
      std::strncpy(utf8.data(), text, utf8.size() - 1);
  }
};
