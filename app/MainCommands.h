// The main window's commands, its menu bar and its accelerator table.
#pragma once

#include <span>
#include <string>

enum MainCommand : int {
  kCommandNone = 0,
  kCommandAbout = 40005,
  kCommandPreferences = 40006,
  kCommandQuit = 40007,
  kCommandReadManual = 40008,
  kCommandLiveEdit = 40025,
  kCommandShowDrawnArea = 40026,
  kCommandShowFPS = 40027,
  kCommandShowControlBounds = 40028,
  kCommandSaveScreenshot = 40029,
};

// One menu entry; a null item text is a separator. Texts mark their mnemonic with '&'.
struct MenuEntry {
  const char* menu;
  const char* item;
  const char* shortcut; // as shown after the item; nullptr when none
  MainCommand command;
};

// The menu bar in order, the Debug menu included (the window leaves that one out).
std::span<const MenuEntry> MainMenu();
constexpr const char* kDebugMenu = "&Debug";

// Virtual-key accelerators: the modifiers must match exactly.
struct Accelerator {
  int vk;
  bool ctrl, shift;
  MainCommand command;
};
std::span<const Accelerator> MainAccelerators();

// The command of a key press, kCommandNone when the table has none.
MainCommand AcceleratorCommand(int vk, bool ctrl, bool shift, bool alt);

// A menu text with '&' as its mnemonic mark, in GTK's spelling ('_', and "__" for a plain '_').
std::string MnemonicText(const char* text);
