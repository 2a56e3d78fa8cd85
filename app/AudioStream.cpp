// The duplex stream: opening, the callback that feeds the plug-in in 512-frame blocks with a fade
// at start and end, and closing with a bounded wait for the last block.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

#include "AppHost.h"
#include "AudioThreadReports.h"

namespace {

// Runs a library call; an exception becomes an error report and false.
template <class Call> bool Guarded(Call&& call) {
  try {
    call();
    return true;
  } catch (const RtAudioError& error) {
    AppHost::ErrorCallback(error.getType(), error.getMessage());
  } catch (const std::exception& error) {
    AppHost::ErrorCallback(RtAudioError::UNSPECIFIED, error.what());
  }
  return false;
}

bool HasSignal(const double* samples, std::size_t count) {
  if (!samples)
    return false;
  for (std::size_t i = 0; i < count; ++i)
    if (samples[i] != 0.0)
      return true;
  return false;
}

} // namespace

int StreamChannels(unsigned deviceChannels, int pluginChannels) {
  return static_cast<int>(std::min(deviceChannels, static_cast<unsigned>(std::max(pluginChannels, 0))));
}

void AppHost::ErrorCallback(RtAudioError::Type, const std::string& errorText) noexcept {
  if (OnAudioThread()) {
    KeepAudioThreadReport(errorText);
    return;
  }
  std::fprintf(stderr, "\nerrorCallback: %s\n\n", errorText.c_str());
}

void AppHost::PrepareStream(int inputs, int outputs, unsigned deviceBlock) {
  streamInputs = inputs;
  streamOutputs = outputs;
  blocks.Reset(inputs, outputs, deviceBlock);
  callbackCount.store(0, std::memory_order_relaxed);
  fadeInPending = true;
  audioEnding.store(false, std::memory_order_relaxed);
  audioDone.store(false, std::memory_order_relaxed);
  const auto slots = static_cast<std::size_t>(BlockFifo::kMaxChannels);
  inputChannelPointers.assign(std::max(slots, static_cast<std::size_t>(plugin->MaxNChannels(ERoute::kInput))),
                              nullptr);
  outputChannelPointers.assign(
      std::max(slots, static_cast<std::size_t>(plugin->MaxNChannels(ERoute::kOutput))), nullptr);
}

bool AppHost::OpenAudioStream(std::uint32_t inputId, std::uint32_t outputId, std::uint32_t sampleRate,
                              std::uint32_t bufferSize) {
  CloseAudio();
  if (!audioIO)
    return false;

  // A stereo device cannot give the plug-in's four inputs: open what each device offers.
  unsigned int deviceInputs = 0, deviceOutputs = 0;
  if (!Guarded([&] {
        deviceInputs = AudioDeviceInfo(inputId).inputChannels;
        deviceOutputs = AudioDeviceInfo(outputId).outputChannels;
      }))
    return false;
  const int inputs = StreamChannels(deviceInputs, plugin->MaxNChannels(ERoute::kInput));
  const int outputs = StreamChannels(deviceOutputs, plugin->MaxNChannels(ERoute::kOutput));
  if (inputs == 0 && outputs == 0) {
    ErrorCallback(RtAudioError::INVALID_USE, "the chosen devices offer no audio channels");
    return false;
  }
  RtAudio::StreamParameters inputParams, outputParams;
  inputParams.deviceId = inputId;
  inputParams.nChannels = static_cast<unsigned int>(inputs);
  inputParams.firstChannel = 0;
  outputParams.deviceId = outputId;
  outputParams.nChannels = static_cast<unsigned int>(outputs);
  outputParams.firstChannel = 0;
  RtAudio::StreamOptions options;
  options.flags = RTAUDIO_NONINTERLEAVED;
  options.numberOfBuffers = 0;
  // Under JACK the stream's name is the client's, which every patchbay shows.
  options.streamName = "TAMSEL";
  options.priority = 0;

  // The library's open asks its own device count and opens the stream's client: both can be
  // refused as a device question can.
  const auto open = [&] {
    streamBufferSize = bufferSize;
    return Guarded([&] {
             audioIO->openStream(outputs > 0 ? &outputParams : nullptr, inputs > 0 ? &inputParams : nullptr,
                                 RTAUDIO_FLOAT64, sampleRate, &streamBufferSize, &AudioCallback, this,
                                 &options, &ErrorCallback);
           }) &&
           audioIO->isStreamOpen();
  };
  bool opened = open();
  for (int tries = 1; !opened && TryJackAgain(tries); ++tries)
    opened = open();
  if (!opened)
    return false;

  // The device may run at another rate or block size than asked for: prepare for what it gives.
  unsigned int actualRate = 0;
  Guarded([&] { actualRate = audioIO->getStreamSampleRate(); });
  streamSampleRate = actualRate > 0 ? actualRate : sampleRate;
  PrepareStream(inputs, outputs, streamBufferSize);
  plugin->SetBlockSize(static_cast<int>(kHostBlockSize));
  plugin->SetSampleRate(streamSampleRate);
  plugin->OnReset();

  // With an error callback the library reports a failed start through it and throws nothing.
  if (!Guarded([&] { audioIO->startStream(); }) || !audioIO->isStreamRunning())
    return false; // open, not running
  activeState = state;
  return true;
}

std::chrono::milliseconds AppHost::EndWaitLimit() const {
  const double rate = streamSampleRate > 0.0 ? streamSampleRate : 44100.0;
  return std::chrono::milliseconds(100 + static_cast<long>(4000.0 * streamBufferSize / rate));
}

bool AppHost::EndStream(std::chrono::milliseconds limit) {
  audioEnding.store(true, std::memory_order_release);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!audioDone.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false; // the device has stopped calling: close all the same
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Whatever closes the stream leaves none active, so the next OK or Cancel of the preferences opens
// one again even when the settings end as they were.
void AppHost::CloseAudio() {
  activeState.reset();
  if (!audioIO || !audioIO->isStreamOpen())
    return;
  if (audioIO->isStreamRunning()) {
    EndStream(EndWaitLimit());
    Guarded([&] { audioIO->abortStream(); });
  }
  Guarded([&] { audioIO->closeStream(); });
}

void AppHost::ForgetStoppedStream() {
  if (audioIO && !audioIO->isStreamRunning())
    activeState.reset();
}

int AppHost::AudioCallback(void* outputBuffer, void* inputBuffer, unsigned int nFrames, double,
                           RtAudioStreamStatus, void* userData) noexcept {
  MarkAudioThread();
  static_cast<AppHost*>(userData)->ProcessDeviceBlock(static_cast<double*>(outputBuffer),
                                                      static_cast<double*>(inputBuffer), nFrames);
  return 0;
}

// Audio thread. Allocates nothing, takes no lock and throws nothing.
void AppHost::ProcessDeviceBlock(double* output, double* input, unsigned int nFrames) {
  const bool ending = audioEnding.load(std::memory_order_acquire);
  // The fade-in waits for the first block that carries input: JACK connects the stream's ports
  // only after its first callbacks, and a fade into unconnected ports would leave a hard start.
  bool fadeIn = false;
  if (fadeInPending && !ending) {
    fadeIn = streamInputs == 0 || HasSignal(input, static_cast<std::size_t>(streamInputs) * nFrames);
    fadeInPending = !fadeIn;
  }
  const bool fade = fadeIn || ending;
  if (audioDone.load(std::memory_order_relaxed)) {
    if (output)
      std::fill(output, output + static_cast<std::size_t>(streamOutputs) * nFrames, 0.0);
  } else {
    if (fade && input)
      ApplyFades(input, streamInputs, nFrames, ending);
    IPlugAPP& plug = *plugin;
    blocks.Run(input, output, nFrames, inputChannelPointers.data(), outputChannelPointers.data(),
               [&plug](double** inputs, double** outputs) {
                 plug.AppProcess(inputs, outputs, static_cast<int>(kHostBlockSize));
               });
    if (fade && output)
      ApplyFades(output, streamOutputs, nFrames, ending);
    if (ending)
      audioDone.store(true, std::memory_order_release);
  }
  callbackCount.store(1, std::memory_order_release);
}

void AppHost::ApplyFades(double* buffer, int channels, unsigned int n, bool fadeOut) {
  if (!buffer || channels <= 0 || n == 0)
    return;
  const double steps = static_cast<double>(n);
  for (int c = 0; c < channels; ++c) {
    double* samples = buffer + static_cast<std::size_t>(c) * n;
    for (unsigned int j = 0; j < n; ++j)
      samples[j] *= (fadeOut ? static_cast<double>(n - 1 - j) : static_cast<double>(j)) / steps;
  }
}
