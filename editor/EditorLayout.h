// The editor's layout: creates the shared view record and every control in its fixed order. UI
// thread only.
#pragma once

class IGraphics;
class Tamsel;

// The editor's frame rate and the limits of its scale (window pixels per design point).
constexpr int kEditorFPS = 30;
constexpr float kEditorMinScale = 0.85f;
constexpr float kEditorMaxScale = 1.5f;

// The layout function: builds the whole editor into graphics. A null graphics does nothing.
void LayoutEditor(Tamsel* plugin, IGraphics* graphics);
