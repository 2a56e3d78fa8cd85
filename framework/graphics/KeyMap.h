// X11 key symbols to the Windows virtual-key codes and typed text the controls expect.
#pragma once

#include <string>

// The virtual-key code of an unshifted key symbol; kVK_NONE for keys the layer doesn't name.
int VirtualKeyFromKeysym(unsigned long keysym);
// The UTF-8 text a (shifted) key symbol types; empty for keys that type nothing.
std::string TextFromKeysym(unsigned long keysym);
