#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "TamselConfig.h"
#include "TamselRig.h"

TEST(ParamDeclaration, FreshPluginReportsTheDefaults) {
  auto plugin = MakePlugin(48000.0, false);
  ASSERT_EQ(plugin->NParams(), kNumParams);
  for (int i = 0; i < kNumParams; ++i) {
    const auto k = static_cast<size_t>(i);
    const IParam* p = plugin->GetParam(i);
    EXPECT_STREQ(p->GetName(), kParamNames[k]);
    EXPECT_STREQ(p->GetLabel(), kParamUnits[k]);
    EXPECT_EQ(p->Value(), static_cast<double>(kParamDefaults[k])) << kParamNames[k];
    EXPECT_EQ(p->GetDefault(), static_cast<double>(kParamDefaults[k]));
    EXPECT_EQ(p->GetMin(), static_cast<double>(kParamMins[k]));
    EXPECT_EQ(p->GetMax(), static_cast<double>(kParamMaxs[k]));
    const IParam::EParamType type = i == kMode          ? IParam::kTypeEnum
                                    : IsSteppedParam(i) ? IParam::kTypeBool
                                                        : IParam::kTypeDouble;
    EXPECT_EQ(p->Type(), type) << kParamNames[k];
    EXPECT_EQ(p->GetStepCount(), IsSteppedParam(i) ? 1 : 0);
    EXPECT_EQ(p->ShapeKind(), IsExponentialParam(i) ? IParam::EShapeKind::Exp : IParam::EShapeKind::Linear);
    if (!IsSteppedParam(i)) {
      EXPECT_EQ(p->GetStep(), 0.001);
    }
    EXPECT_STREQ(p->GetGroup(), "");
  }
  EXPECT_EQ(plugin->GetParam(kMode)->GetDisplay(), "Solo");
  EXPECT_EQ(plugin->GetParam(kBypass)->GetDisplay(), "off");
  EXPECT_EQ(plugin->GetParam(kAnalyzer)->GetDisplay(), "on");
  EXPECT_EQ(plugin->GetParam(kSoloTarget)->GetDisplay(), "-18.000 dBFS");
  EXPECT_EQ(plugin->GetParam(kMode)->DisplayText(1.0), "Mix Reference");
}

TEST(ParamDeclaration, NormalisedMeans) {
  auto plugin = MakePlugin(48000.0, false);
  EXPECT_NEAR(plugin->GetParam(kSlowTime)->FromNormalized(0.5), std::sqrt(300.0 * 5000.0), 1e-9);
  EXPECT_NEAR(plugin->GetParam(kSlowTime)->FromNormalized(0.5), 1224.7, 0.05);
  EXPECT_NEAR(plugin->GetParam(kDetectorLPF)->FromNormalized(0.5), 6000.0, 1e-9);
  EXPECT_DOUBLE_EQ(plugin->GetParam(kSoloTarget)->FromNormalized(0.5), -21.0);
  EXPECT_DOUBLE_EQ(plugin->GetParam(kSoloTarget)->ToNormalized(-21.0), 0.5);
  EXPECT_NEAR(plugin->GetParam(kSlowTime)->ToNormalized(std::sqrt(300.0 * 5000.0)), 0.5, 1e-12);
  EXPECT_DOUBLE_EQ(plugin->GetParam(kSoloTarget)->GetDefault(true), 0.6);
}

TEST(ParamDeclaration, Configuration) {
  auto plugin = MakePlugin(48000.0, false);
  EXPECT_STREQ(plugin->GetPluginName(), "TAMSEL");
  EXPECT_STREQ(plugin->GetMfrName(), "KELDARINE");
  EXPECT_EQ(plugin->GetPluginVersionString(), "0.1.0");
  EXPECT_EQ(plugin->GetUniqueID(), FourCC("Tmsl"));
  EXPECT_EQ(plugin->GetMfrID(), FourCC("Kldr"));
  EXPECT_TRUE(plugin->DoesStateChunks());
  EXPECT_EQ(plugin->GetLatency(), 0);
  EXPECT_EQ(plugin->NIOConfigs(), 6);
  EXPECT_EQ(plugin->MaxNBuses(ERoute::kInput), 2);
  EXPECT_EQ(plugin->MaxNChannelsForBus(ERoute::kInput, 1), 2);
  EXPECT_EQ(plugin->MaxNChannels(ERoute::kOutput), 2);
  EXPECT_EQ(plugin->GetConfig().plugWidth, 1180);
  EXPECT_EQ(plugin->GetConfig().plugHeight, 800);
}
