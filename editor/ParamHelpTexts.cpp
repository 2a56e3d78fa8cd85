#include "ParamHelpTexts.h"

#include <array>

#include "Params.h"

namespace {
const std::array<const char*, kNumParams> kHelpTexts = {
    "Solo follows a filtered vocal RMS target. Mix Reference requires a real external instrumental sidechain; missing or quiet reference returns the ride smoothly to unity.", // 0 kMode
    "Exact product bypass returns untouched input after the transition, independent of Input, Output and Mix. This is not an output limiter.", // 1 kBypass
    "Trim the main vocal before its detector and gain ride. Affects audio and analysis; exact bypass ignores trims.", // 2 kInput
    "Final audio trim after the ride. Watch actual output peak: no hidden clipping limiter is included.", // 3 kOutput
    "Solo target in filtered RMS dBFS, not LUFS. In Mix Reference, the actual target follows the external instrumental bus plus Mix Offset.", // 4 kSoloTarget
    "Overall amount of requested slow and fast riding, before one shared boost/cut budget and gain slew. Zero requests unity smoothly but retains trims.", // 5 kRideAmount
    "Maximum requested automatic boost in dB. Slow and fast requests share one budget. Existing gain returns smoothly at Slew speed after a limit change; an existing boost can remain briefly in a pause.", // 6 kMaxBoost
    "Maximum requested automatic cut in positive dB. Existing gain returns smoothly at Slew speed after a limit change and may briefly exceed the new limit. Output trim is separate.", // 7 kMaxCut
    "Slow correction response for vocal phrases. Longer times retain more phrase shape. This is detector response time, not audio buffering.", // 8 kSlowTime
    "Fast residual correction response. It refines what remains after slow correction; set Fast Amount to zero to disable its contribution.", // 9 kFastTime
    "Amount of fast residual correction mixed with the slow request. Slow/Fast plots are requests; Applied Ride shows actual budgeted, slewed gain.", // 10 kFastAmount
    "Filtered RMS activity threshold. Below it, new riding stops; Hold keeps the last gain briefly, then Return restores unity. Existing boost can remain briefly. This is not voice or breath recognition.", // 11 kActivityFloor
    "Activity hysteresis in dB: different opening and closing thresholds prevent rapid activity changes around the floor.", // 12 kActivityHysteresis
    "Keep the last correction briefly during a pause, then return smoothly toward unity. Existing boost can remain during Hold. Original audio is never gated.", // 13 kPauseHold
    "Time to return smoothly to unity after a pause. No new correction is requested below the activity threshold; previously applied boost can remain briefly.", // 14 kPauseReturn
    "High-pass the analysis detector only. Removes low rumble from the level measurement without high-passing the audible vocal.", // 15 kDetectorHPF
    "Low-pass the analysis detector only. Changes what drives the rider without filtering the audible vocal.", // 16 kDetectorLPF
    "Vocal target offset above or below the actual external instrumental reference. Active only in Mix Reference; source level and routing matter.", // 17 kMixOffset
    "Smooth actual external reference changes before calculating its target. The sidechain is used for analysis, never mixed into the audible output.", // 18 kReferenceSmooth
    "Restrain fast cuts when a transient exceeds the slower envelope. This preserves more articulation; it is not transient synthesis or a limiter.", // 19 kTransientProtect
    "Maximum rate of actual ride-gain change in dB per second. Bounds gain movement after slow/fast requests and the shared budget.", // 20 kMaxGainSlew
    "Blend pre-ride trimmed main audio and the processed ride with identical timing. Input/Output trims remain active unless bypassed.", // 21 kMix
    "Enable actual history plots. Off stops new history updates without changing the audio; scalar meters and status remain live.", // 22 kAnalyzer
    "External reference activity floor in dBFS. A connected but quiet bus is reported explicitly and smoothly returns riding to unity.", // 23 kReferenceFloor
};
} // namespace

const char* ParamHelpTexts(int index) {
  const unsigned i = static_cast<unsigned>(index);
  return i < kHelpTexts.size() ? kHelpTexts[i] : "";
}
