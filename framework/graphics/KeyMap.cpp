#include "KeyMap.h"

#include <X11/keysym.h>

#include "IGraphicsStructs.h"
#include "TextEntry.h"

namespace {

struct KeyName {
  unsigned long keysym;
  int vk;
};

constexpr KeyName kKeys[] = {
    {XK_BackSpace, kVK_BACK}, {XK_Tab, kVK_TAB},           {XK_ISO_Left_Tab, kVK_TAB},
    {XK_Return, kVK_RETURN},  {XK_KP_Enter, kVK_RETURN},   {XK_Shift_L, kVK_SHIFT},
    {XK_Shift_R, kVK_SHIFT},  {XK_Control_L, kVK_CONTROL}, {XK_Control_R, kVK_CONTROL},
    {XK_Escape, kVK_ESCAPE},  {XK_space, kVK_SPACE},       {XK_KP_Space, kVK_SPACE},
    {XK_End, kVK_END},        {XK_KP_End, kVK_END},        {XK_Home, kVK_HOME},
    {XK_KP_Home, kVK_HOME},   {XK_Left, kVK_LEFT},         {XK_KP_Left, kVK_LEFT},
    {XK_Up, kVK_UP},          {XK_KP_Up, kVK_UP},          {XK_Right, kVK_RIGHT},
    {XK_KP_Right, kVK_RIGHT}, {XK_Down, kVK_DOWN},         {XK_KP_Down, kVK_DOWN},
    {XK_Delete, kVK_DELETE},  {XK_KP_Delete, kVK_DELETE},  {XK_comma, kVK_OEM_COMMA},
};

// Keypad keys that type a character whatever the keyboard layout.
struct KeypadText {
  unsigned long keysym;
  char c;
};
constexpr KeypadText kKeypad[] = {
    {XK_KP_Decimal, '.'},  {XK_KP_Separator, ','}, {XK_KP_Add, '+'},   {XK_KP_Subtract, '-'},
    {XK_KP_Multiply, '*'}, {XK_KP_Divide, '/'},    {XK_KP_Equal, '='},
};

} // namespace

int VirtualKeyFromKeysym(unsigned long keysym) {
  for (const KeyName& k : kKeys)
    if (k.keysym == keysym)
      return k.vk;
  // Letters and digits are their upper-case ASCII codes.
  if (keysym >= XK_a && keysym <= XK_z)
    return static_cast<int>(keysym - XK_a) + 'A';
  if (keysym >= XK_A && keysym <= XK_Z)
    return static_cast<int>(keysym);
  if (keysym >= XK_0 && keysym <= XK_9)
    return static_cast<int>(keysym);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    return static_cast<int>(keysym - XK_KP_0) + '0';
  return kVK_NONE;
}

std::string TextFromKeysym(unsigned long keysym) {
  char32_t c = 0;
  if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
    c = static_cast<char32_t>(keysym); // Latin-1 key symbols are their code points
  else if ((keysym & 0xff000000UL) == 0x01000000UL)
    c = static_cast<char32_t>(keysym & 0x00ffffffUL); // Unicode key symbols
  else if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    c = static_cast<char32_t>('0' + (keysym - XK_KP_0));
  else if (keysym == XK_KP_Space)
    c = U' ';
  else
    for (const KeypadText& k : kKeypad)
      if (k.keysym == keysym)
        c = static_cast<char32_t>(k.c);
  return c ? EncodeUtf8(std::u32string(1, c)) : std::string();
}
