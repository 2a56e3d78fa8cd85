#include "ReferenceHelp.h"

#include "IGraphics.h"
#include "LiveReadouts.h"
#include "Palette.h"

ReferenceHelp::ReferenceHelp(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
    : ReadoutControl(bounds, owner, std::move(view)) {}

void ReferenceHelp::Draw(IGraphics& g) {
  g.DrawText(EditorText(11.f, kColorTeal), "MAIN = VOCAL / SIDECHAIN = INSTRUMENTAL MIX",
             IRECT(608.f, 618.f, 1126.f, 642.f));
  g.DrawMultiLineText(
      EditorText(12.f, kColorGrey),
      "Route an actual external bus to the VST3 sidechain in your DAW. Standalone provides main "
      "input only. Solo controls remain stored while the reference drives the target.",
      IRECT(608.f, 646.f, 1126.f, 690.f));
  const ColoredText bus = ReferenceBusText(viewState->snapshot.sidechainConnected);
  g.DrawText(EditorText(10.f, bus.color), bus.text, IRECT(608.f, 690.f, 1126.f, 708.f));
}
