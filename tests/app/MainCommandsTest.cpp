// The main window's pieces that need no display: accelerator matching, menu mnemonics, the
// about box's date and the size limits by display scale.
#include <gtest/gtest.h>

#include "AboutText.h"
#include "IGraphicsStructs.h"
#include "MainCommands.h"
#include "MainWindow.h"

TEST(MainCommands, AcceleratorsNeedTheirExactModifiers) {
  struct Case {
    int vk;
    bool ctrl, shift, alt;
    MainCommand command;
  };
  const Case cases[] = {
      {kVK_OEM_COMMA, true, false, false, kCommandPreferences},
      {'S', true, true, false, kCommandSaveScreenshot},
      {'S', true, false, false, kCommandNone},
      {'S', true, true, true, kCommandNone},
      {'B', true, true, false, kCommandNone},
      {'B', false, false, false, kCommandNone},
      {'E', true, false, false, kCommandLiveEdit},
      {kVK_OEM_COMMA, false, false, false, kCommandNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AcceleratorCommand(c.vk, c.ctrl, c.shift, c.alt), c.command)
        << c.vk << c.ctrl << c.shift << c.alt;
}

TEST(MainCommands, MenuTextsInGtkSpelling) {
  EXPECT_EQ(MnemonicText("&Preferences..."), "_Preferences...");
  EXPECT_EQ(MnemonicText("a_b"), "a__b");
}

TEST(AboutText, BuildDateHasSingleSpaces) {
  EXPECT_EQ(BuildDateText("Oct  1 2026"), "Oct 1 2026");
  EXPECT_EQ(BuildDateText("Oct 11 2026"), "Oct 11 2026");
  EXPECT_NE(AboutText().find("\nBuilt on "), std::string::npos);
}

TEST(MainWindowLimits, EditorLimitsTimesTheDisplayScaleFractionDropped) {
  const TrackingLimits normal = MainWindowLimits(1.0f);
  EXPECT_EQ(normal.minWidth, 393);
  EXPECT_EQ(normal.minHeight, 266);
  EXPECT_EQ(normal.maxWidth, 3540);
  EXPECT_EQ(normal.maxHeight, 2400);
  const TrackingLimits large = MainWindowLimits(1.5f);
  EXPECT_EQ(large.minWidth, 589);
  EXPECT_EQ(large.minHeight, 399);
}
