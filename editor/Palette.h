// The editor's colours and its one font. Every text style names kEditorFont and carries the
// text-entry colours kColorEntryBack / kColorCream.
#pragma once

#include "IGraphicsStructs.h"

constexpr IColor kColorCream(255, 240, 236, 226);      // text
constexpr IColor kColorGrey(255, 151, 164, 178);       // secondary and disabled text, legends
constexpr IColor kColorAmber(255, 225, 179, 114);      // target, warnings, hover outlines, captions
constexpr IColor kColorTeal(255, 103, 211, 194);       // output level, slow request, good states
constexpr IColor kColorBlue(255, 131, 162, 224);       // vocal level, fast request, input meter
constexpr IColor kColorPink(255, 221, 142, 192);       // applied ride, value arcs, active buttons
constexpr IColor kColorSlate(255, 52, 65, 80);         // lines, tracks, idle outlines
constexpr IColor kColorInk(255, 24, 30, 41);           // panel and value-box fill
constexpr IColor kColorActiveFill(255, 49, 39, 57);    // fill of an active panel
constexpr IColor kColorEntryBack(255, 17, 22, 31);     // text-entry background

constexpr const char* kEditorFont = "KELDARINE";

// An editor text style: unrotated, with the entry colours of every style.
inline IText EditorText(float size, const IColor& color, EAlign align = EAlign::Near,
                        EVAlign vAlign = EVAlign::Middle) {
  return IText(size, color, kEditorFont, align, vAlign, 0.f, kColorEntryBack, kColorCream);
}
