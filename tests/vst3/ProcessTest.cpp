// process() through the loaded module: the block checks, the parameter queues, the 64-bit path,
// mono mappings and the silence flags.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "ModuleHost.h"
#include "Params.h"

using namespace Steinberg;
namespace vst = Steinberg::Vst;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Normalize(int index, double plain) {
  const auto k = static_cast<std::size_t>(index);
  return (plain - kParamMins[k]) / (kParamMaxs[k] - kParamMins[k]);
}

double Guard(double x) {
  return std::isfinite(x) ? std::clamp(x, -32.0, 32.0) : 0.0;
}

std::int32_t BypassWord(PluginInstance& plugin) {
  const std::vector<unsigned char> state = plugin.State();
  std::int32_t word = -1;
  if (state.size() == 216)
    std::memcpy(&word, state.data() + 212, 4);
  return word;
}

// Delivers one queue in a call without frames.
tresult SendQueue(PluginInstance& plugin, vst::ParamID id, std::initializer_list<double> values) {
  AudioBlock<float> block(0);
  HostParameterChanges changes;
  changes.Add(id, values);
  block.data.inputParameterChanges = &changes;
  return plugin.processor->process(block.data);
}

} // namespace

TEST(ModuleProcess, ChecksRefuseMalformedBlocksAndApplyNothing) {
  using Mutate = std::function<void(AudioBlock<float>&)>;
  struct Case {
    const char* name;
    bool sidechainActive;
    Mutate mutate;
    tresult expected;
  };
  const Case cases[] = {
      {"well formed", true, [](auto&) {}, kResultOk},
      {"negative frames", true, [](auto& b) { b.data.numSamples = -1; }, kInvalidArgument},
      {"one over the set-up maximum", true, [](auto& b) { b.data.numSamples = 513; }, kInvalidArgument},
      {"three input buses", true, [](auto& b) { b.data.numInputs = 3; }, kInvalidArgument},
      {"negative input buses", true, [](auto& b) { b.data.numInputs = -1; }, kInvalidArgument},
      {"two output buses", true, [](auto& b) { b.data.numOutputs = 2; }, kInvalidArgument},
      {"three main channels", true, [](auto& b) { b.inputs[0].numChannels = 3; }, kInvalidArgument},
      {"three output channels", true, [](auto& b) { b.outputs[0].numChannels = 3; }, kInvalidArgument},
      {"null main channel", true, [](auto& b) { b.mainPointers[1] = nullptr; }, kInvalidArgument},
      {"null output channel", true, [](auto& b) { b.outPointers[0] = nullptr; }, kInvalidArgument},
      {"null channel without frames", true,
       [](auto& b) {
         b.mainPointers[1] = nullptr;
         b.data.numSamples = 0;
       },
       kResultOk},
      {"null channel array", true, [](auto& b) { b.inputs[0].channelBuffers32 = nullptr; }, kInvalidArgument},
      {"null input bus array", true, [](auto& b) { b.data.inputs = nullptr; }, kInvalidArgument},
      {"null output bus array", true, [](auto& b) { b.data.outputs = nullptr; }, kInvalidArgument},
      {"64-bit block after 32-bit set-up", true, [](auto& b) { b.data.symbolicSampleSize = vst::kSample64; },
       kInvalidArgument},
      {"null pointers on an active sidechain", true, [](auto& b) { b.sidePointers.assign(2, nullptr); },
       kInvalidArgument},
      {"null pointers on an inactive sidechain", false, [](auto& b) { b.sidePointers.assign(2, nullptr); },
       kResultOk},
      {"null channel array on an inactive sidechain", false,
       [](auto& b) { b.inputs[1].channelBuffers32 = nullptr; }, kResultOk},
      {"main bus only", true, [](auto& b) { b.data.numInputs = 1; }, kResultOk},
      {"no buses at all", true,
       [](auto& b) {
         b.data.numInputs = 0;
         b.data.inputs = nullptr;
         b.data.numOutputs = 0;
         b.data.outputs = nullptr;
       },
       kResultOk},
  };
  LoadedModule module;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PluginInstance plugin(module);
    plugin.Start(vst::kSample32, 512, k.sidechainActive);
    AudioBlock<float> block(512);
    HostParameterChanges changes;
    changes.Add(kMix, {0.25});
    block.data.inputParameterChanges = &changes;
    k.mutate(block);
    EXPECT_EQ(plugin.processor->process(block.data), k.expected);
    EXPECT_DOUBLE_EQ(plugin.Normalized(kMix), k.expected == kResultOk ? 0.25 : 1.0);
  }
}

TEST(ModuleProcess, ZeroFramesDeliverParameterChangesOnly) {
  LoadedModule module;
  PluginInstance plugin(module);
  plugin.Start(vst::kSample32, 512);
  AudioBlock<float> block(16);
  for (auto& c : block.out)
    std::fill(c.begin(), c.end(), 7.0f);
  block.outputs[0].silenceFlags = 0xAB;
  block.data.numSamples = 0;
  HostParameterChanges changes;
  changes.Add(kOutput, {0.75});
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(plugin.processor->process(block.data), kResultOk);
  EXPECT_DOUBLE_EQ(plugin.Normalized(kOutput), 0.75);
  EXPECT_EQ(block.outputs[0].silenceFlags, 0xABu);
  for (auto& c : block.out)
    for (float v : c)
      ASSERT_EQ(v, 7.0f);
}

TEST(ModuleProcess, QueuesTakeTheirLastFiniteClampedPoint) {
  struct Case {
    const char* name;
    int param;
    std::initializer_list<double> points;
    double expected; // normalised after the call
  };
  const double soloDefault = Normalize(kSoloTarget, -18.0);
  const Case cases[] = {
      {"last point wins", kSoloTarget, {0.2, 0.9}, 0.9},
      {"above 1 is 1", kSoloTarget, {1.5}, 1.0},
      {"below 0 is 0", kSoloTarget, {-0.2}, 0.0},
      {"NaN last point ignored", kSoloTarget, {0.3, kNaN}, soloDefault},
      {"infinity ignored", kSoloTarget, {kInf}, soloDefault},
      {"empty queue ignored", kSoloTarget, {}, soloDefault},
      {"stepped value snaps down", kMode, {0.4}, 0.0},
      {"stepped value snaps up", kMode, {0.6}, 1.0},
  };
  LoadedModule module;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PluginInstance plugin(module);
    plugin.Start(vst::kSample32, 512);
    ASSERT_EQ(SendQueue(plugin, static_cast<vst::ParamID>(k.param), k.points), kResultOk);
    EXPECT_NEAR(plugin.Normalized(static_cast<vst::ParamID>(k.param)), k.expected, 1e-12);
  }
}

TEST(ModuleProcess, UnknownIdsAreIgnored) {
  LoadedModule module;
  PluginInstance plugin(module);
  plugin.Start(vst::kSample32, 512);
  const std::vector<unsigned char> before = plugin.State();
  EXPECT_EQ(SendQueue(plugin, 24, {0.3}), kResultOk);
  EXPECT_EQ(SendQueue(plugin, 0x10001, {1.0}), kResultOk);
  EXPECT_EQ(plugin.State(), before);
}

TEST(ModuleProcess, BypassIsOnAboveOneHalf) {
  LoadedModule module;
  PluginInstance plugin(module);
  plugin.Start(vst::kSample32, 512);
  const std::pair<double, std::int32_t> steps[] = {{0.51, 1}, {0.5, 0}, {1.0, 1}, {kNaN, 1}, {0.0, 0}};
  for (const auto& [value, word] : steps) {
    SCOPED_TRACE(value);
    ASSERT_EQ(SendQueue(plugin, 0x10000, {value}), kResultOk);
    EXPECT_EQ(BypassWord(plugin), word);
  }
  EXPECT_DOUBLE_EQ(plugin.Normalized(kBypass), 0.0); // the plug-in's own Bypass parameter is apart
}

// Mix at 0 % with unity trims: the engine is transparent, so the 64-bit path hands back the
// guarded input itself.
TEST(ModuleProcess, SixtyFourBitPassThroughIsBitExactWhenTransparent) {
  LoadedModule module;
  PluginInstance plugin(module);
  ASSERT_EQ(plugin.controller->setParamNormalized(kMix, 0.0), kResultOk);
  plugin.Start(vst::kSample64, 2048);
  constexpr int kFrames = 1300; // chunks of 512, 512 and 276
  const double specials[] = {40.0, -40.0, kInf, -kInf, kNaN, -0.0, 1e-300, 0.1, 32.0, -31.999999999};
  for (int round = 0; round < 3; ++round) {
    AudioBlock<double> block(kFrames);
    for (int i = 0; i < kFrames; ++i) {
      block.main[0][static_cast<std::size_t>(i)] = Sine(i, -6.0) + 1e-12 * i;
      block.main[1][static_cast<std::size_t>(i)] = Sine(i, -20.0, 1000.0);
      block.side[0][static_cast<std::size_t>(i)] = block.side[1][static_cast<std::size_t>(i)] =
          Sine(i, -10.0);
    }
    for (std::size_t s = 0; s < std::size(specials); ++s)
      block.main[s % 2][100 * s + 7] = specials[s];
    ASSERT_EQ(plugin.processor->process(block.data), kResultOk);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kFrames; ++i) {
        const double in = block.main[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
        const double out = block.out[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
        ASSERT_EQ(std::bit_cast<std::uint64_t>(out), std::bit_cast<std::uint64_t>(Guard(in)))
            << "channel " << c << " frame " << i << " input " << in;
      }
    EXPECT_EQ(block.out[0][7], 32.0);
    EXPECT_EQ(block.out[0][207], 0.0); // +inf
    EXPECT_EQ(block.out[1][107], -32.0);
  }
}

TEST(ModuleProcess, MonoArrangementMatchesAStereoFeedOfTheSameSignal) {
  LoadedModule module;
  for (const vst::SymbolicSampleSizes size : {vst::kSample32, vst::kSample64}) {
    SCOPED_TRACE(size == vst::kSample32 ? "32-bit" : "64-bit");
    PluginInstance mono(module);
    PluginInstance stereo(module);
    ASSERT_TRUE(mono.SetArrangement(1, 0, 1));
    mono.Start(size, 512, false);
    stereo.Start(size, 512, false);
    auto run = [&](auto sample) {
      using Sample = decltype(sample);
      for (int round = 0; round < 4; ++round) {
        AudioBlock<Sample> m(512, 1, 0, 1);
        AudioBlock<Sample> s(512, 2, 0, 2);
        for (int i = 0; i < 512; ++i) {
          const auto v = static_cast<Sample>(Sine(round * 512 + i, -9.0));
          m.main[0][static_cast<std::size_t>(i)] = v;
          s.main[0][static_cast<std::size_t>(i)] = s.main[1][static_cast<std::size_t>(i)] = v;
        }
        ASSERT_EQ(mono.processor->process(m.data), kResultOk);
        ASSERT_EQ(stereo.processor->process(s.data), kResultOk);
        ASSERT_EQ(s.out[0], s.out[1]);
        ASSERT_EQ(m.out[0], s.out[0]);
        ASSERT_NE(*std::max_element(m.out[0].begin(), m.out[0].end()), Sample(0));
      }
    };
    if (size == vst::kSample32)
      run(0.0f);
    else
      run(0.0);
  }
}

// A host may hand more channels than the arrangement it set, the extra one all zeros; the
// module rides as if the block carried the arrangement's channels only. In Mix Reference the
// sidechain's level sets the target, so a silent extra reference channel would show too.
TEST(ModuleProcess, ChannelsBeyondTheAcceptedArrangementAreIgnored) {
  struct Case {
    const char* name;
    int mainChannels, sideChannels, outChannels; // the accepted arrangement
    int extraMain, extraSide;                    // zero channels the host adds
    bool mixReference;
  };
  const Case cases[] = {
      {"mono main, two channels handed", 1, 0, 1, 1, 0, false},
      {"mono sidechain, two channels handed", 2, 1, 2, 0, 1, true},
  };
  LoadedModule module;
  for (const Case& k : cases)
    for (const vst::SymbolicSampleSizes size : {vst::kSample32, vst::kSample64}) {
      SCOPED_TRACE(std::string(k.name) + (size == vst::kSample32 ? ", 32-bit" : ", 64-bit"));
      PluginInstance wide(module);
      PluginInstance exact(module);
      for (PluginInstance* plugin : {&wide, &exact}) {
        ASSERT_TRUE(plugin->SetArrangement(k.mainChannels, k.sideChannels, k.outChannels));
        ASSERT_EQ(plugin->controller->setParamNormalized(kMode, k.mixReference ? 1.0 : 0.0), kResultOk);
        plugin->Start(size, 512, k.sideChannels > 0);
      }
      auto run = [&](auto sample) {
        using Sample = decltype(sample);
        for (int round = 0; round < 100; ++round) {
          AudioBlock<Sample> w(512, k.mainChannels + k.extraMain, k.sideChannels + k.extraSide,
                               k.outChannels);
          AudioBlock<Sample> e(512, k.mainChannels, k.sideChannels, k.outChannels);
          for (int i = 0; i < 512; ++i) {
            const auto f = static_cast<std::size_t>(i);
            const auto vocal = static_cast<Sample>(Sine(round * 512 + i, -9.0));
            const auto mix = static_cast<Sample>(Sine(round * 512 + i, -12.0, 90.0));
            for (AudioBlock<Sample>* block : {&w, &e}) {
              for (std::size_t c = 0; c < static_cast<std::size_t>(k.mainChannels); ++c)
                block->main[c][f] = vocal;
              for (std::size_t c = 0; c < static_cast<std::size_t>(k.sideChannels); ++c)
                block->side[c][f] = mix;
            }
          }
          ASSERT_EQ(wide.processor->process(w.data), kResultOk);
          ASSERT_EQ(exact.processor->process(e.data), kResultOk);
          ASSERT_EQ(w.out, e.out) << "block " << round;
          ASSERT_EQ(w.outputs[0].silenceFlags, e.outputs[0].silenceFlags);
          ASSERT_NE(*std::max_element(e.out[0].begin(), e.out[0].end()), Sample(0));
        }
      };
      if (size == vst::kSample32)
        run(0.0f);
      else
        run(0.0);
    }
}

TEST(ModuleProcess, OutputChannelsOfZerosAreFlaggedSilent) {
  LoadedModule module;
  PluginInstance plugin(module);
  ASSERT_EQ(plugin.controller->setParamNormalized(kMix, 0.0), kResultOk);
  plugin.Start(vst::kSample64, 512);
  struct Case {
    const char* name;
    double left, right;
    double rightSpike; // one sample of the right channel
    std::uint64_t flags;
  };
  const Case cases[] = {
      {"negative zero is silent", -0.0, 0.0, 0.0, 3},
      {"one non-zero sample is not", 0.0, 0.0, 1e-3, 1},
      {"guarded NaN input comes out as zero", kNaN, 0.0, 0.0, 3},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    AudioBlock<double> block(512);
    std::fill(block.main[0].begin(), block.main[0].end(), k.left);
    std::fill(block.main[1].begin(), block.main[1].end(), k.right);
    block.main[1][300] = k.rightSpike == 0.0 ? k.right : k.rightSpike;
    block.outputs[0].silenceFlags = 0xF0;
    ASSERT_EQ(plugin.processor->process(block.data), kResultOk);
    EXPECT_EQ(block.outputs[0].silenceFlags, k.flags);
    EXPECT_EQ(std::signbit(block.out[0][0]), std::signbit(Guard(k.left)));
  }
}

TEST(ModuleProcess, BeforeActivationTheOutputIsZero) {
  LoadedModule module;
  for (const vst::SymbolicSampleSizes size : {vst::kSample32, vst::kSample64}) {
    PluginInstance plugin(module);
    plugin.Start(size, 512);
    ASSERT_EQ(plugin.component->setActive(false), kResultOk);
    auto run = [&](auto sample) {
      AudioBlock<decltype(sample)> block(256);
      for (auto& c : block.main)
        std::fill(c.begin(), c.end(), static_cast<decltype(sample)>(0.5));
      ASSERT_EQ(plugin.processor->process(block.data), kResultOk);
      EXPECT_EQ(block.outputs[0].silenceFlags, 3u);
    };
    if (size == vst::kSample32)
      run(0.0f);
    else
      run(0.0);
    ASSERT_EQ(plugin.component->setActive(true), kResultOk);
  }
}

TEST(ModuleProcess, TwoInstancesKeepTheirOwnState) {
  LoadedModule module;
  PluginInstance quiet(module);
  PluginInstance plain(module);
  quiet.Start(vst::kSample32, 512);
  plain.Start(vst::kSample32, 512);
  ASSERT_EQ(SendQueue(quiet, kOutput, {0.25}), kResultOk); // -12 dB
  EXPECT_DOUBLE_EQ(plain.Normalized(kOutput), 0.5);
  EXPECT_NE(quiet.State(), plain.State());

  float quietPeak = 0.0f, plainPeak = 0.0f;
  for (int round = 0; round < 8; ++round) {
    AudioBlock<float> a(512), b(512);
    for (int i = 0; i < 512; ++i)
      for (auto* block : {&a, &b})
        block->main[0][static_cast<std::size_t>(i)] = block->main[1][static_cast<std::size_t>(i)] =
            static_cast<float>(Sine(round * 512 + i, -12.0));
    ASSERT_EQ(quiet.processor->process(a.data), kResultOk);
    ASSERT_EQ(plain.processor->process(b.data), kResultOk);
    quietPeak = 0.0f, plainPeak = 0.0f;
    for (int i = 0; i < 512; ++i) {
      quietPeak = std::max(quietPeak, std::fabs(a.out[0][static_cast<std::size_t>(i)]));
      plainPeak = std::max(plainPeak, std::fabs(b.out[0][static_cast<std::size_t>(i)]));
    }
  }
  ASSERT_GT(plainPeak, 0.1f);
  EXPECT_NEAR(quietPeak / plainPeak, 0.2512, 0.01); // -12 dB, ridden alike
}
