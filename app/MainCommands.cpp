#include "MainCommands.h"

#include "IGraphicsStructs.h"

namespace {

constexpr MenuEntry kMenu[] = {
    {"&File", "&Preferences...", "Ctrl+,", kCommandPreferences},
    {"&File", "&Quit", nullptr, kCommandQuit},
    {"&Debug", "&Live Edit Mode", "Ctrl+E", kCommandLiveEdit},
    {"&Debug", "&Show Control Bounds", "Ctrl+B", kCommandShowControlBounds},
    {"&Debug", "&Show Drawn Area", "Ctrl+D", kCommandShowDrawnArea},
    {"&Debug", "&Show FPS", "Ctrl+F", kCommandShowFPS},
    {"&Debug", nullptr, nullptr, kCommandNone},
    {"&Debug", "&Save Screenshot", "Ctrl+Shift+S", kCommandSaveScreenshot},
    {"&Help", "&About", nullptr, kCommandAbout},
    {"&Help", "&Read Manual", nullptr, kCommandReadManual},
};

constexpr Accelerator kAccelerators[] = {
    {kVK_OEM_COMMA, true, false, kCommandPreferences},
    {'B', true, false, kCommandShowControlBounds},
    {'D', true, false, kCommandShowDrawnArea},
    {'F', true, false, kCommandShowFPS},
    {'E', true, false, kCommandLiveEdit},
    {'S', true, true, kCommandSaveScreenshot},
};

} // namespace

std::span<const MenuEntry> MainMenu() {
  return kMenu;
}

std::span<const Accelerator> MainAccelerators() {
  return kAccelerators;
}

MainCommand AcceleratorCommand(int vk, bool ctrl, bool shift, bool alt) {
  if (alt)
    return kCommandNone;
  for (const Accelerator& a : kAccelerators)
    if (a.vk == vk && a.ctrl == ctrl && a.shift == shift)
      return a.command;
  return kCommandNone;
}

std::string MnemonicText(const char* text) {
  std::string mnemonic;
  for (const char* c = text; *c; ++c) {
    if (*c == '&')
      mnemonic += '_';
    else if (*c == '_')
      mnemonic += "__";
    else
      mnemonic += *c;
  }
  return mnemonic;
}
