#include "Status.h"

#include "IGraphics.h"
#include "LiveReadouts.h"
#include "Palette.h"

Status::Status(const IRECT& bounds, Tamsel* owner, std::shared_ptr<ViewState> view)
    : ReadoutControl(bounds, owner, std::move(view)) {}

void Status::Draw(IGraphics& g) {
  char rate[64];
  FormatStatusRate(viewState->snapshot.sampleRate, rate, sizeof(rate));
  g.DrawText(EditorText(11.f, kColorGrey), rate, IRECT(323.f, 758.f, 936.f, 777.f));
  g.DrawText(EditorText(10.f, kColorTeal), "LINKED STEREO / AMPLITUDE ACTIVITY / NO HIDDEN LIMITER",
             IRECT(323.f, 777.f, 936.f, 796.f));
}
