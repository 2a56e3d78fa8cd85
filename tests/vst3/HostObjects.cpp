#include "HostObjects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

using namespace Steinberg;

tresult PLUGIN_API HostParamQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
  if (index < 0 || index >= getPointCount())
    return kResultFalse;
  sampleOffset = points[static_cast<std::size_t>(index)].first;
  value = points[static_cast<std::size_t>(index)].second;
  return kResultOk;
}

tresult PLUGIN_API HostParamQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
  index = getPointCount();
  points.emplace_back(sampleOffset, value);
  return kResultOk;
}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= getParameterCount())
    return nullptr;
  return &queues[static_cast<std::size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::addParameterData(const Vst::ParamID& id,
                                                                         int32& index) {
  index = getParameterCount();
  return &queues.emplace_back(id);
}

void HostParameterChanges::Add(Vst::ParamID id, std::initializer_list<double> values) {
  int32 index = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, index);
  int32 offset = 0;
  for (double v : values)
    queue->addPoint(offset++, v, index);
}

tresult PLUGIN_API HostComponentHandler::beginEdit(Vst::ParamID) {
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::performEdit(Vst::ParamID, Vst::ParamValue) {
  ++edits;
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::endEdit(Vst::ParamID) {
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::restartComponent(int32 flags) {
  if (flags & Vst::kLatencyChanged)
    ++latencyRestarts;
  return kResultOk;
}

tresult PLUGIN_API ChunkedStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  const std::size_t n = std::min({static_cast<std::size_t>(std::max(numBytes, 0)),
                                  static_cast<std::size_t>(perCall), bytes.size() - cursor});
  if (n > 0)
    std::memcpy(buffer, bytes.data() + cursor, n);
  cursor += n;
  if (numBytesRead)
    *numBytesRead = static_cast<int32>(n);
  return kResultOk;
}

tresult PLUGIN_API ChunkedStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  const int32 n = std::min(std::max(numBytes, 0), perCall);
  const auto* data = static_cast<const unsigned char*>(buffer);
  bytes.insert(bytes.end(), data, data + n);
  writeCounts.push_back(n);
  if (numBytesWritten)
    *numBytesWritten = n;
  return kResultOk;
}

tresult PLUGIN_API ChunkedStream::seek(int64 pos, int32 mode, int64* result) {
  if (mode == kIBSeekSet)
    cursor = static_cast<std::size_t>(std::max<int64>(pos, 0));
  if (result)
    *result = static_cast<int64>(cursor);
  return kResultOk;
}

tresult PLUGIN_API ChunkedStream::tell(int64* pos) {
  if (pos)
    *pos = static_cast<int64>(cursor);
  return kResultOk;
}
