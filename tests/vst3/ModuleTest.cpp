// The module as a host meets it: exports, load counter, class info, parameters, buses, latency.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <string>

#include "ModuleHost.h"
#include "Params.h"
#include "TamselIds.h"
#include "TestAllocator.h"

using namespace Steinberg;
namespace vst = Steinberg::Vst;

namespace {

std::string Narrow(const vst::TChar* text) {
  std::string out;
  for (; *text; ++text)
    out += static_cast<char>(*text);
  return out;
}

void Widen(const char* text, vst::String128 out) {
  int i = 0;
  for (; text[i] && i < 127; ++i)
    out[i] = static_cast<vst::TChar>(text[i]);
  out[i] = 0;
}

} // namespace

TEST(Module, LoadCounterPairsEntriesWithExits) {
  LoadedModule module;
  auto entry = reinterpret_cast<bool (*)(void*)>(module.Symbol("ModuleEntry"));
  auto exitModule = reinterpret_cast<bool (*)()>(module.Symbol("ModuleExit"));
  ASSERT_TRUE(entry && exitModule);
  EXPECT_TRUE(entry(nullptr)); // a second host of the same module
  EXPECT_TRUE(exitModule());
  // LoadedModule's own exit is the last one; one more would be unbalanced.
}

TEST(Module, FactoryOffersOneClassWithItsInfo) {
  LoadedModule module;
  IPluginFactory* factory = module.Factory();
  ASSERT_NE(factory, nullptr);
  PFactoryInfo factoryInfo;
  ASSERT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
  EXPECT_STREQ(factoryInfo.vendor, "KELDARINE");
  ASSERT_EQ(factory->countClasses(), 1);

  void* obj = nullptr;
  ASSERT_EQ(factory->queryInterface(IPluginFactory2::iid, &obj), kResultOk);
  auto* factory2 = static_cast<IPluginFactory2*>(obj);
  PClassInfo2 info;
  ASSERT_EQ(factory2->getClassInfo2(0, &info), kResultOk);
  factory2->release();
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.subCategories, "Fx|Dynamics");
  EXPECT_STREQ(info.name, "TAMSEL");
  EXPECT_STREQ(info.vendor, "KELDARINE");
  EXPECT_STREQ(info.version, "0.1.0");
  EXPECT_STREQ(info.sdkVersion, "VST 3.8.1");
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  // Saved projects name the class by this id.
  const TUID fixed = INLINE_UID(0x34E4FE5E, 0x740834D1, 0x6B9CE68C, 0x9C3FFC58);
  EXPECT_EQ(std::memcmp(info.cid, fixed, sizeof(TUID)), 0);

  ASSERT_EQ(factory->queryInterface(IPluginFactory3::iid, &obj), kResultOk);
  auto* factory3 = static_cast<IPluginFactory3*>(obj);
  PClassInfoW wide;
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
  factory3->release();
  EXPECT_EQ(Narrow(wide.name), "TAMSEL");
  EXPECT_EQ(Narrow(wide.vendor), "KELDARINE");

  const TUID unknown = INLINE_UID(1, 2, 3, 4);
  EXPECT_NE(factory->createInstance(unknown, vst::IComponent::iid, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
}

TEST(Module, ParametersComeFromTheTables) {
  LoadedModule module;
  PluginInstance plugin(module);
  vst::IEditController& c = *plugin.controller;
  ASSERT_EQ(c.getParameterCount(), kNumParams + 1);
  for (int i = 0; i < kNumParams; ++i) {
    SCOPED_TRACE(kParamNames[static_cast<std::size_t>(i)]);
    vst::ParameterInfo info{};
    ASSERT_EQ(c.getParameterInfo(i, info), kResultOk);
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(info.id, static_cast<vst::ParamID>(i));
    EXPECT_EQ(Narrow(info.title), kParamNames[k]);
    EXPECT_EQ(Narrow(info.units), kParamUnits[k]);
    EXPECT_EQ(info.stepCount, IsSteppedParam(i) ? 1 : 0);
    EXPECT_TRUE(info.flags & vst::ParameterInfo::kCanAutomate);
    EXPECT_EQ((info.flags & vst::ParameterInfo::kIsList) != 0, i == kMode);
    const double min = kParamMins[k], max = kParamMaxs[k], def = kParamDefaults[k];
    const double expected =
        IsExponentialParam(i) ? std::log(def / min) / std::log(max / min) : (def - min) / (max - min);
    EXPECT_NEAR(info.defaultNormalizedValue, expected, 1e-9);
    EXPECT_NEAR(plugin.Normalized(info.id), expected, 1e-9);
  }
  vst::ParameterInfo bypass{};
  ASSERT_EQ(c.getParameterInfo(kNumParams, bypass), kResultOk);
  EXPECT_EQ(bypass.id, 0x10000u);
  EXPECT_EQ(Narrow(bypass.title), "Bypass");
  EXPECT_EQ(bypass.stepCount, 1);
  EXPECT_EQ(bypass.flags, vst::ParameterInfo::kIsBypass | vst::ParameterInfo::kCanAutomate);
}

TEST(Module, NonFiniteHostValuesGiveEveryParameterItsDefault) {
  LoadedModule module;
  PluginInstance plugin(module);
  vst::IEditController& c = *plugin.controller;
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (int i = 0; i <= kNumParams; ++i) {
    const bool bypass = i == kNumParams;
    const auto id = bypass ? vst::ParamID{0x10000} : static_cast<vst::ParamID>(i);
    vst::ParameterInfo info{};
    ASSERT_EQ(c.getParameterInfo(i, info), kResultOk);
    ASSERT_EQ(info.id, id);
    const double def = info.defaultNormalizedValue;
    for (double value : bad) {
      SCOPED_TRACE(testing::Message() << "id " << id << " value " << value);
      // Away from the default first, so taking the default is seen.
      ASSERT_EQ(c.setParamNormalized(id, def < 0.5 ? 1.0 : 0.0), kResultOk);
      ASSERT_EQ(c.setParamNormalized(id, value), kResultOk);
      EXPECT_NEAR(plugin.Normalized(id), def, 1e-9);
      if (!bypass) {
        EXPECT_NEAR(c.normalizedParamToPlain(id, value), kParamDefaults[static_cast<std::size_t>(i)], 1e-4);
      }
    }
  }
}

TEST(Module, ParameterTextsAndShapes) {
  LoadedModule module;
  PluginInstance plugin(module);
  vst::IEditController& c = *plugin.controller;
  struct Case {
    int id;
    double normalized;
    const char* text;
  };
  const Case cases[] = {
      {kMode, 0.0, "Solo"},
      {kMode, 1.0, "Mix Reference"},
      {kBypass, 1.0, "on"},
      {kAnalyzer, 0.0, "off"},
      {kSoloTarget, 0.5, "-21.000"},
      {kSlowTime, 0.0, "300.000"},
      {kDetectorLPF, 1.0, "18000.000"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    vst::String128 text{};
    ASSERT_EQ(c.getParamStringByValue(static_cast<vst::ParamID>(k.id), k.normalized, text), kResultOk);
    EXPECT_EQ(Narrow(text), k.text);
    vst::ParamValue parsed = -1.0;
    ASSERT_EQ(c.getParamValueByString(static_cast<vst::ParamID>(k.id), text, parsed), kResultOk);
    EXPECT_NEAR(parsed, k.normalized, 1e-9);
  }
  vst::String128 typed{};
  Widen("-12 dBFS", typed);
  vst::ParamValue parsed = 0.0;
  ASSERT_EQ(c.getParamValueByString(kSoloTarget, typed, parsed), kResultOk);
  EXPECT_NEAR(parsed, 0.8, 1e-9);
  Widen("loud", typed);
  EXPECT_EQ(c.getParamValueByString(kSoloTarget, typed, parsed), kResultFalse);

  EXPECT_NEAR(c.normalizedParamToPlain(kSlowTime, 0.5), std::sqrt(300.0 * 5000.0), 1e-9); // geometric mean
  EXPECT_NEAR(c.normalizedParamToPlain(kSoloTarget, 0.5), -21.0, 1e-12);
  EXPECT_NEAR(c.plainParamToNormalized(kDetectorHPF, 40.0 * std::sqrt(10.0)), 0.5, 1e-12);
}

TEST(Module, BusArrangementsAreExactlyTheChannelConfiguration) {
  LoadedModule module;
  PluginInstance plugin(module);
  EXPECT_EQ(plugin.component->getBusCount(vst::kAudio, vst::kInput), 2);
  EXPECT_EQ(plugin.component->getBusCount(vst::kAudio, vst::kOutput), 1);
  vst::BusInfo side{};
  ASSERT_EQ(plugin.component->getBusInfo(vst::kAudio, vst::kInput, 1, side), kResultOk);
  EXPECT_EQ(side.busType, vst::kAux);
  EXPECT_EQ(side.channelCount, 2);

  // main . sidechain - output, as listed in "1-1 2-2 1.1-1 1.2-1 2.1-2 2.2-2"
  const std::set<std::array<int, 3>> listed = {{1, 0, 1}, {2, 0, 2}, {1, 1, 1},
                                               {1, 2, 1}, {2, 1, 2}, {2, 2, 2}};
  for (int in = 0; in <= 2; ++in)
    for (int sc = 0; sc <= 2; ++sc)
      for (int out = 0; out <= 2; ++out) {
        SCOPED_TRACE(std::to_string(in) + "." + std::to_string(sc) + "-" + std::to_string(out));
        EXPECT_EQ(plugin.SetArrangement(in, sc, out), listed.count({in, sc, out}) == 1);
      }
  ASSERT_TRUE(plugin.SetArrangement(1, 2, 1));
  vst::SpeakerArrangement arr = 0;
  ASSERT_EQ(plugin.processor->getBusArrangement(vst::kOutput, 0, arr), kResultOk);
  EXPECT_EQ(arr, vst::SpeakerArr::kMono);
}

TEST(Module, LatencyRestartIsRaisedOnceNotAtEveryActivation) {
  LoadedModule module;
  PluginInstance plugin(module);
  for (int round = 0; round < 3; ++round) {
    plugin.Start(vst::kSample32);
    plugin.Stop();
  }
  EXPECT_EQ(plugin.handler.latencyRestarts, 1);
  EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
}

TEST(Module, SampleSizesAndSetup) {
  LoadedModule module;
  PluginInstance plugin(module);
  EXPECT_EQ(plugin.processor->canProcessSampleSize(vst::kSample32), kResultTrue);
  EXPECT_EQ(plugin.processor->canProcessSampleSize(vst::kSample64), kResultTrue);
  EXPECT_NE(plugin.processor->canProcessSampleSize(2), kResultTrue);
  vst::ProcessSetup setup{vst::kRealtime, 2, 512, 48000.0};
  EXPECT_EQ(plugin.processor->setupProcessing(setup), kResultFalse);
}

// Hosts fill only the ProcessContext fields that a processor asks for; the module reads none.
TEST(Module, ProcessorAsksForNoProcessContextFields) {
  LoadedModule module;
  PluginInstance plugin(module);
  void* obj = nullptr;
  ASSERT_EQ(plugin.processor->queryInterface(vst::IProcessContextRequirements::iid, &obj), kResultOk);
  auto* requirements = static_cast<vst::IProcessContextRequirements*>(obj);
  EXPECT_EQ(requirements->getProcessContextRequirements(), 0u);
  requirements->release();
}

// Out of memory, the entry points that build buffers or texts answer with a failure; nothing
// unwinds into the host, and a refused restore changes nothing.
TEST(Module, AllocationFailureIsReportedNotThrown) {
  LoadedModule module;
  PluginInstance plugin(module);
  std::vector<unsigned char> saved = plugin.State();
  saved[36] ^= 0x01; // Max Boost 6 -> a nearby value
  const std::vector<unsigned char> before = plugin.State();
  struct Case {
    const char* name;
    std::function<tresult()> call;
  };
  vst::String128 text{};
  vst::ParamValue parsed = 0.0;
  Widen("-12.0000000000000000 dBFS", text); // long enough to leave the short-string buffer
  ChunkedStream out({}, 1 << 20), in(saved, 1 << 20);
  const Case cases[] = {
      {"getState", [&] { return plugin.component->getState(&out); }},
      {"setState", [&] { return plugin.component->setState(&in); }},
      {"getParamValueByString",
       [&] { return plugin.controller->getParamValueByString(kSoloTarget, text, parsed); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    tresult result = kResultOk;
    {
      FailingAllocations failing;
      result = k.call();
    }
    EXPECT_NE(result, kResultOk);
  }
  EXPECT_EQ(plugin.State(), before);

  PluginInstance fresh(module);
  fresh.component->terminate();
  tresult initialized = kResultOk;
  {
    FailingAllocations failing;
    initialized = fresh.component->initialize(nullptr);
  }
  EXPECT_NE(initialized, kResultOk);
  EXPECT_EQ(fresh.component->getBusCount(vst::kAudio, vst::kInput), 0);
}
