#include <gtest/gtest.h>

#include "GraphicsRig.h"

namespace {

using Log = std::vector<std::string>;

struct EntryRig : GraphicsRig {
  Probe* field = Add({0, 0, 0, 0}, "field");
  Probe* other = Add({200, 0, 300, 100}, "other");
  void Open(const char* text = "0.5") {
    graphics->CreateTextEntry(*field, IText(16.f, IColor()), IRECT(10, 10, 130, 36), text, -1);
    log.clear();
  }
  void Type(const IKeyPress& key) { graphics->OnKeyDown(20, 20, key); }
};

TEST(TextEntry, TypingReplacesTheSelectedTextAndReturnCommits) {
  EntryRig rig;
  rig.Open();
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), rig.field);
  rig.Type(IKeyPress("1", '1'));
  rig.Type(IKeyPress("2", '2'));
  rig.Type(IKeyPress("", kVK_BACK));
  rig.Type(IKeyPress("x", 'X'));
  EXPECT_STREQ(rig.graphics->GetTextEntryText(), "1x");
  rig.Type(IKeyPress("", kVK_HOME));
  rig.Type(IKeyPress("", kVK_DELETE));
  rig.Type(IKeyPress("", kVK_END));
  rig.Type(IKeyPress("\xc2\xb5", 0)); // a two-byte character
  rig.Type(IKeyPress("", kVK_LEFT));
  rig.Type(IKeyPress("9", '9'));
  EXPECT_STREQ(rig.graphics->GetTextEntryText(), "x9\xc2\xb5");
  rig.Type(IKeyPress("", kVK_RETURN));
  EXPECT_EQ(rig.log, (Log{"field entry x9\xc2\xb5 -1"}));
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
}

TEST(TextEntry, EscapeAndAPressElsewhereCloseWithoutCommit) {
  EntryRig rig;
  rig.Open();
  rig.Type(IKeyPress("", kVK_ESCAPE));
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  rig.Open();
  rig.graphics->OnMouseDown(20, 20, {}); // inside: places the caret
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), rig.field);
  rig.graphics->OnMouseUp(20, 20, {});
  rig.graphics->OnMouseDown(250, 50, {});
  EXPECT_EQ(rig.graphics->GetControlInTextEntry(), nullptr);
  EXPECT_EQ(rig.log, (Log{"other down 250,50"}));
}

struct MenuRig : GraphicsRig {
  Probe* button = Add({10, 10, 110, 40}, "button");
  IPopupMenu menu;
  MenuRig() {
    menu.AddItem("Solo", IPopupMenu::kChecked);
    menu.AddItem("Off", IPopupMenu::kDisabled);
    menu.AddItem("Mix Reference");
  }
  void Open() {
    graphics->CreatePopupMenu(*button, menu, button->GetRECT(), 0);
    log.clear();
  }
};

TEST(PopupMenu, APressOnAnItemChoosesIt) {
  MenuRig rig;
  rig.Open();
  ASSERT_TRUE(rig.graphics->IsPopupMenuOpen());
  // Rows of 24 points below the button: Solo 40..64, Off 64..88, Mix Reference 88..112.
  rig.graphics->OnMouseDown(20, 70, {}); // disabled: stays open
  EXPECT_TRUE(rig.graphics->IsPopupMenuOpen());
  rig.graphics->OnMouseDown(20, 100, {});
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_EQ(rig.menu.GetChosenItemIdx(), 2);
  EXPECT_EQ(rig.log, (Log{"button menu 2 0"}));
}

TEST(PopupMenu, APressOutsideOrEscapeDismisses) {
  MenuRig rig;
  rig.Open();
  rig.graphics->OnMouseDown(300, 200, {});
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  rig.Open();
  EXPECT_TRUE(rig.graphics->OnKeyDown(300, 200, IKeyPress("", kVK_ESCAPE)));
  EXPECT_FALSE(rig.graphics->IsPopupMenuOpen());
  EXPECT_EQ(rig.log, (Log{"button menu -99 0"}));
  EXPECT_EQ(rig.menu.GetChosenItemIdx(), -1);
}

TEST(PopupMenu, ArrowKeysSkipDisabledItemsAndReturnChooses) {
  MenuRig rig;
  rig.Open();
  for (int vk : {kVK_DOWN, kVK_DOWN, kVK_RETURN})
    rig.graphics->OnKeyDown(0, 0, IKeyPress("", vk));
  EXPECT_EQ(rig.log, (Log{"button menu 2 0"}));
}

} // namespace
