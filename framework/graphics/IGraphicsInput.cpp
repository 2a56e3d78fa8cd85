// Mouse and keyboard dispatch: the open popup menu and text entry come first, then the corner
// resizer, then the control under the mouse, which keeps the mouse until its button is released.
// While something holds the mouse, further presses are ignored, so no second gesture can start.
#include "GraphicsImpl.h"

namespace {

// A press while a popup menu is open belongs to the menu: an item chooses, outside dismisses.
void PressPopup(IGraphics::Impl& m, float x, float y) {
  const int item = m.popup->ItemAt(x, y);
  if (item >= 0) {
    if (m.popup->Selectable(item))
      m.ClosePopup(item);
  } else if (!m.popup->box.Contains(x, y)) {
    m.ClosePopup(-1);
  }
}

// true when the press went to the open text entry; a press elsewhere closes it uncommitted.
bool PressTextEntry(IGraphics::Impl& m, float x, float y) {
  if (m.entry->Bounds().Contains(x, y)) {
    m.entry->OnPress(x, y);
    m.entryDragging = true;
    m.Invalidate(m.entry->Bounds());
    return true;
  }
  m.CloseTextEntry(false);
  return false;
}

bool PressResizer(IGraphics::Impl& m, float x, float y) {
  if (!m.resizer.attached || !m.ResizerRect().Contains(x, y))
    return false;
  m.resizer.dragging = true;
  m.resizer.downX = x;
  m.resizer.downY = y;
  m.Invalidate(m.ResizerRect());
  return true;
}

// A pressed control, a resizer drag or a selection in the text entry.
bool MouseHeld(const IGraphics::Impl& m) {
  return m.captured || m.resizer.dragging || m.entryDragging;
}

// Whether a release ends the hold of the press held. When both name their button, only the same
// button does: the middle or a side button must not end a left drag. Without button numbers, L and
// R decide, and a release or press that names neither (a caller without button state) matches.
bool ReleasesHold(const IMouseMod& held, const IMouseMod& release) {
  if (held.button != kNoMouseButton && release.button != kNoMouseButton)
    return held.button == release.button;
  if (!(held.L || held.R) || !(release.L || release.R))
    return true;
  return (held.L && release.L) || (held.R && release.R);
}

// The control a press goes to, or nullptr when an overlay took it or something already holds the
// mouse. It keeps the mouse until the release of its button.
IControl* Press(IGraphics& g, IGraphics::Impl& m, float x, float y, const IMouseMod& mod) {
  if (MouseHeld(m))
    return nullptr;
  m.heldBy = mod;
  m.HideTooltip();
  if (m.popup)
    PressPopup(m, x, y);
  else if (!(m.entry && PressTextEntry(m, x, y)) && !PressResizer(m, x, y))
    m.captured = g.GetMouseControl(x, y);
  return m.captured;
}

} // namespace

void IGraphics::OnMouseDown(float x, float y, const IMouseMod& mod) {
  if (impl->inputBlocked)
    return;
  if (IControl* c = Press(*this, *impl, x, y, mod))
    c->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  Impl& m = *impl;
  if (m.inputBlocked)
    return;
  // The first press of a double click may have opened a popup for the control; the second press,
  // back on that control, closes the popup and still reaches the control as the double click it is.
  IControl* popupOwner = m.popup && !m.popup->box.Contains(x, y) ? m.popup->control : nullptr;
  IControl* c = Press(*this, m, x, y, mod);
  if (popupOwner && !m.popup && GetMouseControl(x, y) == popupOwner)
    m.captured = c = popupOwner;
  if (c)
    c->OnMouseDblClick(x, y, mod);
}

void IGraphics::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) {
  Impl& m = *impl;
  if (m.inputBlocked)
    return;
  m.mouseX = x;
  m.mouseY = y;
  if (m.resizer.dragging) {
    m.ResizeFromDrag(x, y);
  } else if (m.entryDragging && m.entry) {
    m.entry->OnDrag(x, y);
    m.Invalidate(m.entry->Bounds());
  } else if (m.captured) {
    m.captured->OnMouseDrag(x, y, dX, dY, mod);
  }
}

void IGraphics::OnMouseUp(float x, float y, const IMouseMod& mod) {
  Impl& m = *impl;
  if (m.inputBlocked && !MouseHeld(m))
    return;
  if (MouseHeld(m) && !ReleasesHold(m.heldBy, mod))
    return; // the button of an ignored press
  if (m.resizer.dragging) {
    m.resizer.dragging = false;
    m.Invalidate(m.ResizerRect());
  } else if (m.entryDragging) {
    m.entryDragging = false;
  } else if (IControl* c = m.captured) {
    m.captured = nullptr;
    c->OnMouseUp(x, y, mod);
  }
  m.captured = nullptr;
  if (!m.inputBlocked)
    m.UpdateMouseOver(x, y, mod);
}

void IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod) {
  Impl& m = *impl;
  if (m.inputBlocked)
    return;
  if (x != m.mouseX || y != m.mouseY) {
    if (!m.tooltipShown)
      m.restFrames = 0;
  }
  m.UpdateMouseOver(x, y, mod);
}

void IGraphics::Impl::UpdateMouseOver(float x, float y, const IMouseMod& mod) {
  mouseInside = true;
  mouseX = x;
  mouseY = y;
  if (popup) {
    const int item = popup->ItemAt(x, y);
    const int hover = popup->Selectable(item) ? item : -1;
    if (hover != popup->hovered) {
      popup->hovered = hover;
      Invalidate(popup->box);
    }
    return;
  }
  if (resizer.attached) {
    const bool over = ResizerRect().Contains(x, y);
    if (over != resizer.over) {
      resizer.over = over;
      Invalidate(ResizerRect());
    }
  }
  if (!mouseOverEnabled)
    return;
  IControl* c = self.GetMouseControl(x, y);
  if (c != mouseOver && mouseOver)
    mouseOver->OnMouseOut();
  mouseOver = c;
  if (c)
    c->OnMouseOver(x, y, mod);
}

void IGraphics::OnMouseOut() {
  Impl& m = *impl;
  m.mouseInside = false;
  m.mouseX = m.mouseY = -1.f;
  m.HideTooltip();
  if (m.resizer.over) {
    m.resizer.over = false;
    m.Invalidate(m.ResizerRect());
  }
  if (m.mouseOver) {
    IControl* c = m.mouseOver;
    m.mouseOver = nullptr;
    c->OnMouseOut();
  }
}

bool IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float d) {
  Impl& m = *impl;
  if (m.inputBlocked)
    return false;
  m.HideTooltip();
  if (m.popup || m.entry || m.resizer.dragging)
    return false;
  IControl* c = GetMouseControl(x, y);
  if (c)
    c->OnMouseWheel(x, y, mod, d);
  return c != nullptr;
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) {
  Impl& m = *impl;
  if (m.inputBlocked)
    return false;
  m.HideTooltip();
  if (m.entry) {
    switch (m.entry->OnKey(key)) {
    case TextEntry::EKeyResult::Commit:
      m.CloseTextEntry(true);
      break;
    case TextEntry::EKeyResult::Cancel:
      m.CloseTextEntry(false);
      break;
    case TextEntry::EKeyResult::Edited:
      m.Invalidate(m.entry->Bounds());
      break;
    }
    return true;
  }
  if (m.popup) {
    PopupMenuView& p = *m.popup;
    if (key.VK == kVK_ESCAPE) {
      m.ClosePopup(-1);
    } else if (key.VK == kVK_RETURN || key.VK == kVK_SPACE) {
      if (p.Selectable(p.hovered))
        m.ClosePopup(p.hovered);
    } else if (key.VK == kVK_UP || key.VK == kVK_DOWN) {
      p.hovered = p.Step(key.VK == kVK_UP ? -1 : 1);
      m.Invalidate(p.box);
    }
    return true; // the menu is modal while open
  }
  IControl* c = GetMouseControl(x, y);
  return c && c->OnKeyDown(x, y, key);
}

void IGraphics::GetMousePosition(float& x, float& y) const {
  x = impl->mouseX;
  y = impl->mouseY;
}

void IGraphics::SetInputBlocked(bool blocked) {
  impl->inputBlocked = blocked;
}

bool IGraphics::InputBlocked() const {
  return impl->inputBlocked;
}

bool IGraphics::IsMouseCursorHidden() const {
  return impl->cursorHidden;
}

void IGraphics::HideMouseCursor(bool hide) {
  if (impl->cursorHidden != hide) {
    impl->cursorHidden = hide;
    impl->ApplyCursor();
  }
}
