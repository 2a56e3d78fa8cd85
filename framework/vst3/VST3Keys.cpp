#include "VST3Keys.h"

#include <string>

#include "TextEntry.h"

using namespace Steinberg;

namespace {

struct CodeKey {
  int16 code;
  int vk;
  char text; // what the key types, 0 for nothing
};

constexpr CodeKey kCodes[] = {
    {VST3Key::kBack, kVK_BACK, 0},       {VST3Key::kTab, kVK_TAB, 0},
    {VST3Key::kReturn, kVK_RETURN, 0},   {VST3Key::kEnter, kVK_RETURN, 0},
    {VST3Key::kEscape, kVK_ESCAPE, 0},   {VST3Key::kSpace, kVK_SPACE, ' '},
    {VST3Key::kEnd, kVK_END, 0},         {VST3Key::kHome, kVK_HOME, 0},
    {VST3Key::kLeft, kVK_LEFT, 0},       {VST3Key::kUp, kVK_UP, 0},
    {VST3Key::kRight, kVK_RIGHT, 0},     {VST3Key::kDown, kVK_DOWN, 0},
    {VST3Key::kDelete, kVK_DELETE, 0},   {VST3Key::kShift, kVK_SHIFT, 0},
    {VST3Key::kControl, kVK_CONTROL, 0}, {VST3Key::kMultiply, kVK_NONE, '*'},
    {VST3Key::kAdd, kVK_NONE, '+'},      {VST3Key::kSeparator, kVK_NONE, ','},
    {VST3Key::kSubtract, kVK_NONE, '-'}, {VST3Key::kDecimal, kVK_NONE, '.'},
    {VST3Key::kDivide, kVK_NONE, '/'},
};

// The virtual-key code of a plain character: letters and digits are their upper-case ASCII codes.
int VirtualKeyOfChar(char32_t c) {
  switch (c) {
  case U'\b':
    return kVK_BACK;
  case U'\t':
    return kVK_TAB;
  case U'\r':
  case U'\n':
    return kVK_RETURN;
  case 27:
    return kVK_ESCAPE;
  case U' ':
    return kVK_SPACE;
  case U',':
    return kVK_OEM_COMMA;
  case 127:
    return kVK_DELETE;
  default:
    break;
  }
  if (c >= U'a' && c <= U'z')
    return static_cast<int>(c - U'a') + 'A';
  if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9'))
    return static_cast<int>(c);
  return kVK_NONE;
}

bool Types(char32_t c) {
  return c >= 32 && c != 127 && (c < 0xD800 || c > 0xDFFF);
}

} // namespace

IKeyPress KeyPressFromVST3(char16 key, int16 keyCode, int16 modifiers) {
  const bool shift = (modifiers & VST3Key::kShiftKey) != 0;
  const bool ctrl = (modifiers & (VST3Key::kCommandKey | VST3Key::kControlKey)) != 0;
  const bool alt = (modifiers & VST3Key::kAlternateKey) != 0;
  char32_t typed = Types(key) ? static_cast<char32_t>(key) : 0;
  int vk = kVK_NONE;
  if (keyCode >= VST3Key::kFirstAscii) {
    const auto c = static_cast<char32_t>(keyCode - VST3Key::kFirstAscii + '0');
    vk = VirtualKeyOfChar(c);
    if (!typed && vk != kVK_NONE)
      typed = c >= U'A' && c <= U'Z' && !shift ? c - U'A' + U'a' : c;
  } else if (keyCode >= VST3Key::kNumpad0 && keyCode <= VST3Key::kNumpad9) {
    vk = '0' + (keyCode - VST3Key::kNumpad0);
    if (!typed)
      typed = static_cast<char32_t>(vk);
  } else if (keyCode > 0) {
    for (const CodeKey& k : kCodes)
      if (k.code == keyCode) {
        vk = k.vk;
        if (!typed && k.text)
          typed = static_cast<char32_t>(k.text);
      }
  }
  // A host that passes only the character.
  if (vk == kVK_NONE && keyCode <= 0)
    vk = VirtualKeyOfChar(key);
  const std::string text = typed ? EncodeUtf8(std::u32string(1, typed)) : std::string();
  return IKeyPress(text.c_str(), vk, shift, ctrl, alt);
}
