// The layer's own one-line text field: the text, caret and selection on stb_textedit, plus the
// control it reports to. Geometry is in design points, relative to the entry's bounds. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "IControl.h"
#include "IGraphicsStructs.h"

// Width in design points of the first count characters of a text.
using TextPrefixWidth = std::function<float(const std::u32string& text, int count)>;

struct TextEntryString {
  std::u32string text;
  TextPrefixWidth width;
};

#define STB_TEXTEDIT_CHARTYPE char32_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_STRING TextEntryString
#define STB_TEXTEDIT_UNDOSTATECOUNT 32
#define STB_TEXTEDIT_UNDOCHARCOUNT 256
#include <stb/stb_textedit.h>

class TextEntry {
public:
  enum class EKeyResult { Edited, Commit, Cancel };

  TextEntry(IControl& control, const IText& style, const IRECT& bounds, const char* str, int valIdx,
            TextPrefixWidth width);

  // Every key is the entry's while it is open.
  EKeyResult OnKey(const IKeyPress& key);
  void OnPress(float x, float y);
  void OnDrag(float x, float y);

  IControl& Control() const { return *owner; }
  const IText& Style() const { return style; }
  const IRECT& Bounds() const { return bounds; }
  int ValIdx() const { return valIdx; }
  const std::string& Text() const { return utf8; }

  // Left edge of the text and the x of a character position, in design points.
  float TextLeft() const;
  float CaretX(int position) const;
  int Caret() const { return state.cursor; }
  int SelectionStart() const { return std::min(state.select_start, state.select_end); }
  int SelectionEnd() const { return std::max(state.select_start, state.select_end); }

private:
  void Key(int stbKey);
  void Sync();

  IControl* owner;
  IText style;
  IRECT bounds;
  int valIdx;
  TextEntryString str;
  STB_TexteditState state{};
  std::string utf8;
};

// UTF-8 <-> code points; invalid bytes become U+FFFD.
std::u32string DecodeUtf8(const char* text);
std::string EncodeUtf8(const std::u32string& text);
