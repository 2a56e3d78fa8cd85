// The editor's shared record, one per open editor: the engine's last view, the shown page, the
// history freeze, the context help and the paged controls, with the page mechanism and the help
// setter that change it. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ViewSnapshot.h"

class IControl;
class IGraphics;

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

// Attaches control (no tag, empty group) and records it as shown on page (-1: every page).
void AttachPagedControl(ViewState& viewState, IGraphics& graphics, IControl* control, int page);

// Hides the paged controls of the other pages, shows the rest, and redraws everything.
void ShowPage(ViewState& viewState, IGraphics& graphics);

// Replaces the context help, title first.
void SetHelp(ViewState& viewState, const char* title, const char* text);
