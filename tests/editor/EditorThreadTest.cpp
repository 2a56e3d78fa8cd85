// The whole editor running while the engine rides speech-like audio on an audio thread of its
// own: rendered frames (AddressSanitizer), and the frames' view pull alone (ThreadSanitizer; the
// software renderer's threads are not ours to check).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "EditorRig.h"
#include "Pixels.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kRate = 48000.0;
// Only a hang reaches it: on a busy machine one frame of the software renderer can take seconds.
constexpr auto kHangLimit = std::chrono::seconds(300);

// Syllables of a voiced tone at four a second, in phrases of two seconds with half a second of
// pause between them, the pitch gliding as a voice does.
float SpeechSample(std::int64_t n) {
  const double t = static_cast<double>(n) / kRate;
  const double phrase = std::fmod(t, 2.5);
  if (phrase >= 2.0)
    return 0.f;
  const double syllable = std::pow(std::sin(std::numbers::pi * 4.0 * phrase), 2.0);
  const double pitch = 140.0 + 40.0 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
  const double phase = 2.0 * std::numbers::pi * pitch * t;
  const double voice = std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.25 * std::sin(3.0 * phase);
  return static_cast<float>((0.05 + 0.3 * syllable) * voice / 1.75);
}

// The audio thread: chunks of speech at about the real-time pace, until stopped.
class EngineThread {
public:
  explicit EngineThread(RiderEngine& engine)
      : thread([this, &engine] {
          std::vector<float> left(kEngineChunk), right(kEngineChunk), outLeft(kEngineChunk),
              outRight(kEngineChunk);
          const float* inputs[2] = {left.data(), right.data()};
          float* outputs[2] = {outLeft.data(), outRight.data()};
          std::int64_t n = 0;
          while (!stop.load()) {
            for (int i = 0; i < kEngineChunk; ++i, ++n)
              left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] = SpeechSample(n);
            engine.Process(inputs, outputs, kEngineChunk, false, nullptr, false, false);
            chunks.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
        }) {}
  ~EngineThread() { Stop(); }
  void Stop() {
    stop.store(true);
    if (thread.joinable())
      thread.join();
  }
  std::atomic<int> chunks{0};

private:
  std::atomic<bool> stop{false};
  std::thread thread;
};

// Every control's dirty check in attachment order: what a frame does before it draws.
void DirtyPass(IGraphics& ui) {
  for (int i = 0; i < ui.NControls(); ++i)
    ui.GetControl(i)->IsDirty();
}

} // namespace

// A set number of frames, each after some chunks of audio, so that frames and the audio thread's
// publishing overlap however slow either is.
TEST(EditorThreads, FramesWhileTheEngineRidesSpeech) {
  constexpr int kFrames = 12, kChunksPerFrame = 10;
  EditorRig rig;
  rig.ui->Resize(1180, 800, 1.5f, false);
  EngineThread audio(*rig.plugin->engine);
  Frame frame;
  std::int64_t lastSeen = 0;
  const auto giveUp = Clock::now() + kHangLimit;
  for (int frames = 1; frames <= kFrames; ++frames) {
    while (audio.chunks.load() < frames * kChunksPerFrame) {
      ASSERT_LT(Clock::now(), giveUp) << "the audio thread stalled before frame " << frames;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(frame.Render(*rig.ui));
    const ViewSnapshot& view = rig.View().snapshot;
    EXPECT_GE(view.sampleCount, lastSeen) << "frame " << frames;
    lastSeen = view.sampleCount;
    // Some input on the way: the page tabs and a knob's keys.
    if (frames % 2 == 0) {
      const float tab = 36.f + 280.f * static_cast<float>((frames / 2) % 4);
      rig.ui->OnMouseDown(tab + 100.f, 569.f, IMouseMod{});
      rig.ui->OnMouseUp(tab + 100.f, 569.f, IMouseMod{});
      rig.ui->OnMouseOver(110.f, 470.f, IMouseMod{});
      rig.ui->OnKeyDown(110.f, 470.f, IKeyPress{"", frames % 4 == 0 ? kVK_UP : kVK_DOWN});
    }
  }
  audio.Stop();
  ASSERT_TRUE(frame.Render(*rig.ui));
  EXPECT_GE(audio.chunks.load(), kFrames * kChunksPerFrame);
  EXPECT_TRUE(rig.View().snapshot.valid);
  EXPECT_GT(rig.View().snapshot.historyCount, 10);
  EXPECT_EQ(rig.View().snapshot.sampleCount, rig.plugin->engine->publishedSampleCount.load());
  EXPECT_TRUE(frame.AllOpaque());
}

// Pulls until a set number of them have met a newly published view.
TEST(EditorThreads, ViewPullWhileTheEngineRidesSpeech) {
  constexpr int kAdvances = 20;
  EditorRig rig;
  EngineThread audio(*rig.plugin->engine);
  std::int64_t lastSeen = 0;
  int pulls = 0, advanced = 0;
  const auto giveUp = Clock::now() + kHangLimit;
  while (advanced < kAdvances) {
    ASSERT_LT(Clock::now(), giveUp) << advanced << " of " << pulls << " pulls met a new view";
    DirtyPass(*rig.ui);
    ++pulls;
    const ViewSnapshot& view = rig.View().snapshot;
    ASSERT_GE(view.sampleCount, lastSeen);
    ASSERT_GE(view.historyCount, 0);
    ASSERT_LE(view.historyCount, 256);
    advanced += view.sampleCount > lastSeen ? 1 : 0;
    lastSeen = view.sampleCount;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  audio.Stop();
  DirtyPass(*rig.ui);
  EXPECT_EQ(rig.View().snapshot.sampleCount, rig.plugin->engine->publishedSampleCount.load());
  EXPECT_TRUE(rig.View().snapshot.valid);
}
