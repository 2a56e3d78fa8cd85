// The keys a VST3 host passes to IPlugView::onKeyDown and onKeyUp: the SDK's OS-independent
// virtual key codes and modifier bits (its keycodes.h, which the SDK copy doesn't ship), and their
// translation into the graphics layer's key press.
#pragma once

#include "IGraphicsStructs.h"
#include "pluginterfaces/base/ftypes.h"

namespace VST3Key {

enum Code : Steinberg::int16 {
  kBack = 1,
  kTab,
  kClear,
  kReturn,
  kPause,
  kEscape,
  kSpace,
  kNext,
  kEnd,
  kHome,
  kLeft,
  kUp,
  kRight,
  kDown,
  kPageUp,
  kPageDown,
  kSelect,
  kPrint,
  kEnter, // the keypad's
  kSnapshot,
  kInsert,
  kDelete,
  kHelp,
  kNumpad0,
  kNumpad9 = kNumpad0 + 9,
  kMultiply,
  kAdd,
  kSeparator,
  kSubtract,
  kDecimal,
  kDivide,
  kShift = 54,
  kControl,
  kAlt,
  // Digits and letters: the character - '0' + kFirstAscii.
  kFirstAscii = 128,
};

enum Modifier : Steinberg::int16 {
  kShiftKey = 1 << 0,
  kAlternateKey = 1 << 1,
  kCommandKey = 1 << 2, // Ctrl on Linux
  kControlKey = 1 << 3, // the Mac's Ctrl
};

} // namespace VST3Key

// A key as the host passed it: the typed character (0 when none), the virtual key code (0 for a
// plain character) and the modifier bits.
IKeyPress KeyPressFromVST3(Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers);
