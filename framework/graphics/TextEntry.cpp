#include "TextEntry.h"

namespace {

// Printable characters are their own code points; editing keys live above the Unicode range.
constexpr int kKeyFlag = 0x200000;
constexpr int kShiftFlag = 0x400000;

float PrefixWidth(const TextEntryString* s, int count) {
  return s->width ? s->width(s->text, count) : 0.f;
}

void Layout(StbTexteditRow* row, TextEntryString* s, int start) {
  const int n = static_cast<int>(s->text.size()) - start;
  row->x0 = 0.f;
  row->x1 = PrefixWidth(s, static_cast<int>(s->text.size()));
  row->baseline_y_delta = 1.f;
  row->ymin = 0.f;
  row->ymax = 1.f;
  row->num_chars = n;
}

float CharWidth(TextEntryString* s, int i) {
  return PrefixWidth(s, i + 1) - PrefixWidth(s, i);
}

void DeleteChars(TextEntryString* s, int at, int n) {
  s->text.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(n));
}

int InsertChars(TextEntryString* s, int at, const char32_t* chars, int n) {
  s->text.insert(static_cast<std::size_t>(at), chars, static_cast<std::size_t>(n));
  return 1;
}

int KeyToText(int key) {
  return (key & (kKeyFlag | kShiftFlag)) != 0 || key < 32 || key == 127 ? -1 : key;
}

bool IsSpace(char32_t c) {
  return c == U' ' || c == U'\t';
}

} // namespace

#define STB_TEXTEDIT_STRINGLEN(s) static_cast<int>((s)->text.size())
#define STB_TEXTEDIT_LAYOUTROW(row, s, start) Layout(row, s, start)
#define STB_TEXTEDIT_GETWIDTH(s, n, i) CharWidth(s, i)
#define STB_TEXTEDIT_KEYTOTEXT(k) KeyToText(k)
#define STB_TEXTEDIT_GETCHAR(s, i) ((s)->text[static_cast<std::size_t>(i)])
#define STB_TEXTEDIT_NEWLINE U'\n'
#define STB_TEXTEDIT_IS_SPACE(c) IsSpace(c)
#define STB_TEXTEDIT_DELETECHARS(s, i, n) DeleteChars(s, i, n)
#define STB_TEXTEDIT_INSERTCHARS(s, i, c, n) InsertChars(s, i, c, n)
#define STB_TEXTEDIT_K_SHIFT kShiftFlag
#define STB_TEXTEDIT_K_LEFT (kKeyFlag | 1)
#define STB_TEXTEDIT_K_RIGHT (kKeyFlag | 2)
#define STB_TEXTEDIT_K_UP (kKeyFlag | 3)
#define STB_TEXTEDIT_K_DOWN (kKeyFlag | 4)
#define STB_TEXTEDIT_K_LINESTART (kKeyFlag | 5)
#define STB_TEXTEDIT_K_LINEEND (kKeyFlag | 6)
#define STB_TEXTEDIT_K_TEXTSTART (kKeyFlag | 7)
#define STB_TEXTEDIT_K_TEXTEND (kKeyFlag | 8)
#define STB_TEXTEDIT_K_DELETE (kKeyFlag | 9)
#define STB_TEXTEDIT_K_BACKSPACE (kKeyFlag | 10)
#define STB_TEXTEDIT_K_UNDO (kKeyFlag | 11)
#define STB_TEXTEDIT_K_REDO (kKeyFlag | 12)
#define STB_TEXTEDIT_K_WORDLEFT (kKeyFlag | 13)
#define STB_TEXTEDIT_K_WORDRIGHT (kKeyFlag | 14)
#define STB_TEXTEDIT_K_PGUP (kKeyFlag | 15)
#define STB_TEXTEDIT_K_PGDOWN (kKeyFlag | 16)
#define STB_TEXTEDIT_IMPLEMENTATION
#include <stb/stb_textedit.h>

TextEntry::TextEntry(IControl& control, const IText& textStyle, const IRECT& entryBounds, const char* text,
                     int entryValIdx, TextPrefixWidth width)
    : owner(&control), style(textStyle), bounds(entryBounds), valIdx(entryValIdx) {
  str.text = DecodeUtf8(text ? text : "");
  str.width = std::move(width);
  stb_textedit_initialize_state(&state, 1);
  // The whole pre-filled text is selected, so typing replaces it.
  state.select_start = 0;
  state.select_end = state.cursor = static_cast<int>(str.text.size());
  Sync();
}

TextEntry::EKeyResult TextEntry::OnKey(const IKeyPress& key) {
  const int shift = key.S ? kShiftFlag : 0;
  switch (key.VK) {
  case kVK_RETURN:
    return EKeyResult::Commit;
  case kVK_ESCAPE:
    return EKeyResult::Cancel;
  case kVK_BACK:
    Key(STB_TEXTEDIT_K_BACKSPACE);
    return EKeyResult::Edited;
  case kVK_DELETE:
    Key(STB_TEXTEDIT_K_DELETE);
    return EKeyResult::Edited;
  case kVK_LEFT:
    Key((key.C ? STB_TEXTEDIT_K_WORDLEFT : STB_TEXTEDIT_K_LEFT) | shift);
    return EKeyResult::Edited;
  case kVK_RIGHT:
    Key((key.C ? STB_TEXTEDIT_K_WORDRIGHT : STB_TEXTEDIT_K_RIGHT) | shift);
    return EKeyResult::Edited;
  case kVK_HOME:
  case kVK_UP:
    Key(STB_TEXTEDIT_K_LINESTART | shift);
    return EKeyResult::Edited;
  case kVK_END:
  case kVK_DOWN:
    Key(STB_TEXTEDIT_K_LINEEND | shift);
    return EKeyResult::Edited;
  default:
    break;
  }
  if (key.C && !key.A) {
    const char c = key.utf8[0];
    if (c == 'a' || c == 'A') {
      state.select_start = 0;
      state.select_end = state.cursor = static_cast<int>(str.text.size());
    } else if (c == 'z' || c == 'Z') {
      Key(key.S ? STB_TEXTEDIT_K_REDO : STB_TEXTEDIT_K_UNDO);
    }
    return EKeyResult::Edited;
  }
  for (char32_t c : DecodeUtf8(key.utf8.data()))
    Key(static_cast<int>(c));
  return EKeyResult::Edited;
}

void TextEntry::OnPress(float x, float) {
  stb_textedit_click(&str, &state, x - TextLeft(), 0.5f);
}

void TextEntry::OnDrag(float x, float) {
  stb_textedit_drag(&str, &state, x - TextLeft(), 0.5f);
}

float TextEntry::TextLeft() const {
  const float w = PrefixWidth(&str, static_cast<int>(str.text.size()));
  constexpr float pad = 3.f; // keeps the caret off the field's edge
  switch (style.align) {
  case EAlign::Near:
    return bounds.L + pad;
  case EAlign::Far:
    return bounds.R - pad - w;
  case EAlign::Center:
    break;
  }
  return bounds.MW() - 0.5f * w;
}

float TextEntry::CaretX(int position) const {
  return TextLeft() + PrefixWidth(&str, std::clamp(position, 0, static_cast<int>(str.text.size())));
}

void TextEntry::Key(int stbKey) {
  stb_textedit_key(&str, &state, stbKey);
  Sync();
}

void TextEntry::Sync() {
  utf8 = EncodeUtf8(str.text);
}

std::u32string DecodeUtf8(const char* text) {
  std::u32string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    char32_t c = *p;
    int extra = -1;
    if (c < 0x80) {
      extra = 0;
    } else if (c >= 0xC0 && c < 0xE0) {
      c &= 0x1F;
      extra = 1;
    } else if (c >= 0xE0 && c < 0xF0) {
      c &= 0x0F;
      extra = 2;
    } else if (c >= 0xF0 && c < 0xF8) {
      c &= 0x07;
      extra = 3;
    }
    ++p;
    if (extra < 0) {
      out.push_back(0xFFFD);
      continue;
    }
    bool valid = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (*p & 0x3F);
    }
    out.push_back(valid ? c : char32_t{0xFFFD});
  }
  return out;
}

std::string EncodeUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}
