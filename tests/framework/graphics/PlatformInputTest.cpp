#include <gtest/gtest.h>

#include "DoubleClick.h"
#include "IGraphicsStructs.h"
#include "KeyMap.h"

#include <X11/keysym.h>

namespace {

TEST(KeyMap, KeySymbolsBecomeVirtualKeys) {
  struct Case {
    unsigned long keysym;
    int vk;
  };
  for (const Case& c : {Case{XK_Return, kVK_RETURN},
                        Case{XK_KP_Enter, kVK_RETURN},
                        Case{XK_BackSpace, kVK_BACK},
                        Case{XK_Delete, kVK_DELETE},
                        Case{XK_Escape, kVK_ESCAPE},
                        Case{XK_space, kVK_SPACE},
                        Case{XK_Tab, kVK_TAB},
                        Case{XK_Home, kVK_HOME},
                        Case{XK_End, kVK_END},
                        Case{XK_Left, kVK_LEFT},
                        Case{XK_Up, kVK_UP},
                        Case{XK_Right, kVK_RIGHT},
                        Case{XK_KP_Down, kVK_DOWN},
                        Case{XK_Shift_R, kVK_SHIFT},
                        Case{XK_Control_L, kVK_CONTROL},
                        Case{XK_a, 'A'},
                        Case{XK_z, 'Z'},
                        Case{XK_7, '7'},
                        Case{XK_KP_3, '3'},
                        Case{XK_F1, kVK_NONE}})
    EXPECT_EQ(VirtualKeyFromKeysym(c.keysym), c.vk) << std::hex << c.keysym;
}

TEST(KeyMap, KeySymbolsTypeText) {
  struct Case {
    unsigned long keysym;
    const char* text;
  };
  for (const Case& c : {Case{XK_a, "a"}, Case{XK_A, "A"}, Case{XK_period, "."}, Case{XK_KP_Decimal, "."},
                        Case{XK_KP_5, "5"}, Case{XK_KP_Subtract, "-"}, Case{XK_mu, "\xc2\xb5"},
                        Case{0x10020ac, "\xe2\x82\xac"}, Case{XK_Return, ""}, Case{XK_Left, ""}})
    EXPECT_EQ(TextFromKeysym(c.keysym), c.text) << std::hex << c.keysym;
}

TEST(DoubleClick, TwoQuickPressesAtOnePlace) {
  struct Press {
    double time, x, y;
    std::uint32_t button;
    bool isDouble;
  };
  const Press presses[] = {
      {1.00, 10, 10, 0, false}, {1.30, 12, 13, 0, true},  // within 400 ms and 4 pixels
      {1.50, 12, 13, 0, false},                           // a third press starts over
      {2.00, 10, 10, 0, false}, {2.50, 10, 10, 0, false}, // too slow
      {3.00, 10, 10, 0, false}, {3.10, 20, 10, 0, false}, // too far
      {4.00, 10, 10, 0, false}, {4.10, 10, 10, 1, false}, // another button
  };
  DoubleClick clicks;
  for (const Press& p : presses)
    EXPECT_EQ(clicks.Press(p.time, p.x, p.y, p.button), p.isDouble) << p.time;
}

} // namespace
