// The read-outs print a decimal point whatever locale the process runs in. CTest makes a German
// locale (decimal comma) for this executable and points LOCPATH at it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "CLocaleFormat.h"
#include "HistoryPlot.h"
#include "LiveReadouts.h"

namespace {
class CommaLocale : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale was not generated";
    char probe[16];
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5"); // the process locale really writes a comma
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};
} // namespace

TEST_F(CommaLocale, ReadoutNumbersKeepTheDecimalPoint) {
  char text[32];
  FormatC(text, sizeof(text), "%.2f|%+.0f", -3.456, 9.0);
  EXPECT_STREQ(text, "-3.46|+9");

  ViewSnapshot view;
  view.gainDb = -3.456f;
  RiderPeaks peaks;
  peaks.inputPeak = 0.5f;
  const MeterScene meters = MakeMeterScene(view, peaks);
  EXPECT_STREQ(meters.ride, "APPLIED RIDE  -3.46 dB");
  EXPECT_STREQ(meters.target, "TARGET -18.0 / VOCAL -120.0 dBFS");
  EXPECT_STREQ(meters.bars[0].value, "-6.0");

  char status[64];
  FormatStatusRate(44100.0, status, sizeof(status));
  EXPECT_STREQ(status, "CAUSAL GAIN RIDER / ZERO PDC / 44.1 kHz");
  EXPECT_STREQ(MakeHistoryScene(view, view, false).footer, "10.2s WINDOW / LINKED GAIN");

  std::snprintf(text, sizeof(text), "%.1f", 2.5); // the process locale is left as it was
  EXPECT_STREQ(text, "2,5");
}
