#include "ReferenceLine.h"

#include "IGraphics.h"
#include "LiveReadouts.h"
#include "Palette.h"
#include "Tamsel.h"

ReferenceLine::ReferenceLine(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
    : ReadoutControl(bounds, owner, std::move(view)) {}

void ReferenceLine::Draw(IGraphics& g) {
  // The parameter changes at once; the engine's mode code only after it has processed audio.
  const IParam* mode = plugin ? plugin->GetParam(kMode) : nullptr;
  const ColoredText line = ReferenceLineText(mode ? mode->Value() : 0.0, viewState->snapshot.modeCode);
  g.DrawText(EditorText(11.f, line.color), line.text, GetRECT());
}
