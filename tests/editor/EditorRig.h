// Editor test rig: a plug-in with its editor built (no window), and the editor's shared record.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "Backdrop.h"
#include "IGraphics.h"
#include "Tamsel.h"
#include "ViewState.h"

struct EditorRig {
  std::unique_ptr<Tamsel> plugin;
  IGraphics* ui = nullptr;

  EditorRig() : plugin(std::make_unique<Tamsel>()) {
    plugin->SetSampleRate(48000.0);
    plugin->OnReset();
    ui = plugin->OpenUI();
  }
  ~EditorRig() { plugin->CloseWindow(); }

  void Reopen() {
    plugin->CloseWindow();
    ui = plugin->OpenUI();
  }

  ViewState& View() const { return dynamic_cast<Backdrop&>(*ui->GetControl(0)).GetViewState(); }

  // A stereo sine of the given peak through the engine in full chunks; each chunk publishes a view.
  void FeedAudio(int chunks, float peak = 0.25f) {
    std::vector<float> left(kEngineChunk), right(kEngineChunk), outLeft(kEngineChunk), outRight(kEngineChunk);
    const float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    for (int c = 0; c < chunks; ++c) {
      for (size_t i = 0; i < left.size(); ++i) {
        const double t = static_cast<double>(phase++) / 48000.0;
        left[i] = right[i] = peak * static_cast<float>(std::sin(2.0 * 3.141592653589793 * 220.0 * t));
      }
      plugin->engine->Process(inputs, outputs, kEngineChunk, false, nullptr, false, false);
    }
  }

  long long phase = 0;
};
