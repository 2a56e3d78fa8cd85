// The framework's VST3 layer on its own, with a minimal effect whose block function writes a
// chosen pattern: which output channels are flagged silent.
#include <gtest/gtest.h>

#include <limits>

#include "ModuleHost.h"
#include "vst3/IPlugVST3.h"

using namespace Steinberg;
namespace vst = Steinberg::Vst;

namespace {

class PatternEffect : public IPlugVST3 {
public:
  PatternEffect() : IPlugVST3(InstanceInfo{}, Config{.channelIOStr = "2-2"}) {}
  void ProcessBlock(float**, float** outputs, int nFrames) override {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = i == spikeAt ? pattern[c] : background[c];
  }
  float background[2] = {0.0f, 0.0f};
  float pattern[2] = {0.0f, 0.0f};
  int spikeAt = 10;
};

} // namespace

TEST(IPlugVST3Silence, NegativeZeroIsSilentNaNIsNot) {
  struct Case {
    const char* name;
    float background, spike;
    bool silent;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"zeros", 0.0f, 0.0f, true},
      {"negative zeros", -0.0f, -0.0f, true},
      {"one NaN", 0.0f, nan, false},
      {"one tiny value", 0.0f, 1e-30f, false},
  };
  auto* effect = new PatternEffect();
  ASSERT_EQ(effect->initialize(nullptr), kResultOk);
  vst::ProcessSetup setup{vst::kRealtime, vst::kSample32, 64, 48000.0};
  ASSERT_EQ(effect->setupProcessing(setup), kResultOk);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    effect->background[1] = k.background;
    effect->pattern[1] = k.spike;
    AudioBlock<float> block(64, 2, 0, 2);
    block.data.numInputs = 1;
    ASSERT_EQ(effect->process(block.data), kResultOk);
    EXPECT_EQ(block.outputs[0].silenceFlags, k.silent ? 3u : 1u);
  }
  effect->terminate();
  effect->release();
}
