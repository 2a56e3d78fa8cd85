// The editor's frame: every control's dirty check in attachment order, hidden ones included, and
// exactly one pull of the engine's view per frame, before any other control looks at it.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "EditorRig.h"
#include "Pixels.h"

namespace {

// Runs a function from its dirty check, after every control of the layout has had its turn.
class FrameProbe : public IControl {
public:
  explicit FrameProbe(std::function<void()> check)
      : IControl(IRECT(0.f, 0.f, 1.f, 1.f)), onCheck(std::move(check)) {
    SetIgnoreMouse(true);
  }
  void Draw(IGraphics&) override {}
  bool IsDirty() override {
    onCheck();
    return IControl::IsDirty();
  }

private:
  std::function<void()> onCheck;
};

std::int64_t PublishedSamples(const EditorRig& rig) {
  return rig.plugin->engine->publishedSampleCount.load();
}

} // namespace

TEST(EditorFrame, PullsTheEnginesViewOncePerFrame) {
  EditorRig rig;
  rig.FeedAudio(10);
  const std::int64_t first = PublishedSamples(rig);
  ASSERT_GT(first, 0);

  // The probe sees what the frame pulled, then publishes a newer view in the middle of the frame.
  std::vector<std::int64_t> seenByProbe;
  rig.ui->AttachControl(new FrameProbe([&] {
    seenByProbe.push_back(rig.View().snapshot.sampleCount);
    rig.FeedAudio(1);
  }));

  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  const std::int64_t second = PublishedSamples(rig);
  ASSERT_GT(second, first);
  EXPECT_EQ(seenByProbe, std::vector<std::int64_t>{first});
  EXPECT_EQ(rig.View().snapshot.sampleCount, first) << "no second read within the frame";
  EXPECT_TRUE(rig.View().snapshot.valid);

  ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_EQ(seenByProbe, (std::vector<std::int64_t>{first, second}));
  EXPECT_EQ(rig.View().snapshot.sampleCount, second);
}

TEST(EditorFrame, AsksHiddenControlsTooInAttachmentOrder) {
  EditorRig rig;
  std::vector<int> order;
  IControl* hidden = rig.ui->AttachControl(new FrameProbe([&] { order.push_back(1); }));
  rig.ui->AttachControl(new FrameProbe([&] { order.push_back(2); }));
  hidden->Hide(true);
  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2}));
}

TEST(EditorFrame, ABusyWriterLeavesTheLastGoodView) {
  EditorRig rig;
  rig.FeedAudio(4);
  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  const ViewSnapshot good = rig.View().snapshot;
  ASSERT_TRUE(good.valid);

  rig.FeedAudio(2);
  RiderEngine& engine = *rig.plugin->engine;
  engine.viewSequence.fetch_add(1); // odd: a publication that never finishes
  const std::uint64_t framesBefore = rig.ui->FrameCount();
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_EQ(rig.ui->FrameCount(), framesBefore + 3) << "the editor still draws every frame";
  EXPECT_TRUE(rig.View().snapshot.valid);
  EXPECT_EQ(rig.View().snapshot.sampleCount, good.sampleCount);
  EXPECT_EQ(rig.View().snapshot.gainHistory, good.gainHistory);
  engine.viewSequence.fetch_add(1);

  ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_EQ(rig.View().snapshot.sampleCount, PublishedSamples(rig));
}

TEST(EditorFrame, StoppedAudioKeepsTheLastViewOnScreen) {
  EditorRig rig;
  rig.FeedAudio(3, 0.5f);
  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  const ViewSnapshot shown = rig.View().snapshot;
  const RiderPeaks peaks = rig.View().peaks;
  EXPECT_GT(peaks.inputPeak, 0.4f);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(frame.Render(*rig.ui));
    EXPECT_EQ(rig.View().snapshot.sampleCount, shown.sampleCount);
    EXPECT_EQ(rig.View().peaks.inputPeak, peaks.inputPeak);
  }
}

TEST(EditorFrame, BeforeAnyAudioTheDefaultsAreShown) {
  Tamsel plugin; // never reset: the engine has published nothing
  IGraphics* ui = plugin.OpenUI();
  ASSERT_NE(ui, nullptr);
  Frame frame;
  ASSERT_TRUE(frame.Render(*ui));
  const ViewState& vs = dynamic_cast<Backdrop&>(*ui->GetControl(0)).GetViewState();
  EXPECT_EQ(vs.peaks.outputPeak, 0.f);
  EXPECT_EQ(vs.snapshot.historyCount, 0);
  plugin.CloseWindow();
}

TEST(EditorFrame, KnobsOfOneParameterShowTheSameValue) {
  EditorRig rig;
  IControl& phraseSlowTime = *rig.ui->GetControl(31);
  IControl& timingSlowTime = *rig.ui->GetControl(55);
  ASSERT_EQ(phraseSlowTime.GetParamIdx(), kSlowTime);
  ASSERT_EQ(timingSlowTime.GetParamIdx(), kSlowTime);
  const double before = phraseSlowTime.GetValue();
  rig.ui->OnMouseWheel(135.f, 640.f, IMouseMod{}, 10.f);
  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_NE(phraseSlowTime.GetValue(), before);
  EXPECT_DOUBLE_EQ(timingSlowTime.GetValue(), phraseSlowTime.GetValue()) << "hidden, yet following";
}
