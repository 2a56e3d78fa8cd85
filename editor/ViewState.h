// The editor's shared record, one per open editor: the engine's last view, the shown page, the
// history freeze, the context help and the paged controls. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ViewSnapshot.h"

class IControl;

enum PageIndex : std::int32_t { kPageMain = 0, kPageActivity = 1, kPageTiming = 2, kPageReference = 3 };

struct PagedControl {
  IControl* control = nullptr; // not owned: the graphics object owns it
  std::int32_t page = -1;      // -1: shown on every page
};

struct ViewState {
  ViewSnapshot snapshot;
  RiderPeaks peaks{};
  std::int32_t page = kPageMain;
  bool historyFrozen = false;
  std::string helpTitle = "NATURAL LEVEL / CLEAR DECISIONS";
  std::string helpText = "Choose a target, listen to the actual gain ride, and set a sensible boost/cut budget. "
                         "Activity detection is amplitude based, not voice recognition.";
  std::vector<PagedControl> pagedControls;
};
