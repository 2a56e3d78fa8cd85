#include "PopupMenuView.h"

PopupMenuView::PopupMenuView(IControl& owner, IPopupMenu& items, const IRECT& bounds, int idx,
                             float editorWidth, float editorHeight,
                             const std::function<float(const char*)>& textWidth)
    : control(&owner), menu(&items), valIdx(idx),
      style(owner.GetText().WithSize(14.f).WithAlign(EAlign::Near)) {
  float w = bounds.W();
  for (int i = 0; i < items.NItems(); ++i)
    w = std::max(w, kTickSpace + textWidth(items.GetItem(i)->text.c_str()) + kTextPad);
  w = std::min(w, editorWidth);
  const float h = std::min(kItemHeight * static_cast<float>(items.NItems()), editorHeight);
  float top = bounds.B;
  if (top + h > editorHeight)
    top = bounds.T - h >= 0.f ? bounds.T - h : std::max(0.f, editorHeight - h);
  const float left = std::clamp(bounds.L, 0.f, std::max(0.f, editorWidth - w));
  box = IRECT(left, top, left + w, top + h);
}

IRECT PopupMenuView::ItemRect(int index) const {
  const float t = box.T + kItemHeight * static_cast<float>(index);
  return {box.L, t, box.R, t + kItemHeight};
}

int PopupMenuView::ItemAt(float x, float y) const {
  if (!box.Contains(x, y))
    return -1;
  const int index = static_cast<int>((y - box.T) / kItemHeight);
  return index < menu->NItems() ? index : -1;
}

bool PopupMenuView::Selectable(int index) const {
  const IPopupMenu::Item* item = menu->GetItem(index);
  return item && item->GetEnabled();
}

int PopupMenuView::Step(int step) const {
  const int n = menu->NItems();
  int i = hovered;
  for (int k = 0; k < n; ++k) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (Selectable(i))
      return i;
  }
  return hovered;
}
