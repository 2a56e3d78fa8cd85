// A flat pop-up menu model: items with a text and a tick. The graphics layer draws and runs it
// inside the editor (IGraphics::CreatePopupMenu). UI thread only.
#pragma once

#include <string>
#include <vector>

class IPopupMenu {
public:
  enum EItemFlags { kNoFlags = 0, kChecked = 1, kDisabled = 2 };

  struct Item {
    std::string text;
    int flags = kNoFlags;
    bool GetChecked() const { return (flags & kChecked) != 0; }
    bool GetEnabled() const { return (flags & kDisabled) == 0; }
  };

  // Appends an item; returns its index.
  int AddItem(const char* text, int flags = kNoFlags) {
    items.push_back(Item{text ? text : "", flags});
    return static_cast<int>(items.size()) - 1;
  }
  void Clear() {
    items.clear();
    chosenItemIdx = -1;
  }
  int NItems() const { return static_cast<int>(items.size()); }
  const Item* GetItem(int index) const {
    return index >= 0 && index < NItems() ? &items[static_cast<std::size_t>(index)] : nullptr;
  }
  void CheckItem(int index, bool checked) {
    if (index >= 0 && index < NItems()) {
      int& f = items[static_cast<std::size_t>(index)].flags;
      f = checked ? (f | kChecked) : (f & ~kChecked);
    }
  }
  // The item the user chose, -1 while none.
  int GetChosenItemIdx() const { return chosenItemIdx; }
  void SetChosenItemIdx(int index) { chosenItemIdx = index; }

private:
  std::vector<Item> items;
  int chosenItemIdx = -1;
};
