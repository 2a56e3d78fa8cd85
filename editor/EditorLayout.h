// The editor's layout: creates the shared view record and every control in its fixed order, and
// owns the page mechanism and the help setter. UI thread only.
#pragma once

class IControl;
class IGraphics;
class Tamsel;
struct ViewState;

// The editor's frame rate and the limits of its scale (window pixels per design point).
constexpr int kEditorFPS = 30;
constexpr float kEditorMinScale = 0.85f;
constexpr float kEditorMaxScale = 1.5f;

// The support button's label; its mail link is kSupportMailUrl.
constexpr const char* kSupportMailAddress = "support@keldarine.example";
constexpr const char* kSupportMailUrl = "mailto:support@keldarine.example";
// The maker's web page, opened by the brand mark.
constexpr const char* kMakerWebPage = "https://keldarine.example/";

// The layout function: builds the whole editor into graphics. A null graphics does nothing.
void LayoutEditor(Tamsel* plugin, IGraphics* graphics);

// Attaches control (no tag, empty group) and records it as shown on page (-1: every page).
void AttachPagedControl(ViewState& viewState, IGraphics& graphics, IControl* control, int page);

// Hides the paged controls of the other pages, shows the rest, and redraws everything.
void ShowPage(ViewState& viewState, IGraphics& graphics);

// Replaces the context help, title first.
void SetHelp(ViewState& viewState, const char* title, const char* text);
