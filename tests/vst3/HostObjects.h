// Host-side objects of the test host: parameter queues, a component handler that counts what the
// plug-in asks for, and a stream that moves at most a few bytes per call. All live on the stack
// of a test; reference counting does not own them.
#pragma once

#include <deque>
#include <utility>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#define TEST_HOST_UNOWNED_FUNKNOWN(Interface)                                                                \
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override {         \
    QUERY_INTERFACE(queried, obj, Steinberg::FUnknown::iid, Interface)                                       \
    QUERY_INTERFACE(queried, obj, Interface::iid, Interface)                                                 \
    *obj = nullptr;                                                                                          \
    return Steinberg::kNoInterface;                                                                          \
  }                                                                                                          \
  Steinberg::uint32 PLUGIN_API addRef() override {                                                           \
    return 1;                                                                                                \
  }                                                                                                          \
  Steinberg::uint32 PLUGIN_API release() override {                                                          \
    return 1;                                                                                                \
  }

class HostParamQueue : public Steinberg::Vst::IParamValueQueue {
public:
  explicit HostParamQueue(Steinberg::Vst::ParamID paramId) : id(paramId) {}
  virtual ~HostParamQueue() = default;
  TEST_HOST_UNOWNED_FUNKNOWN(Steinberg::Vst::IParamValueQueue)

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id; }
  Steinberg::int32 PLUGIN_API getPointCount() override {
    return static_cast<Steinberg::int32>(points.size());
  }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

private:
  Steinberg::Vst::ParamID id;
  std::vector<std::pair<Steinberg::int32, Steinberg::Vst::ParamValue>> points;
};

class HostParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
  virtual ~HostParameterChanges() = default;
  TEST_HOST_UNOWNED_FUNKNOWN(Steinberg::Vst::IParameterChanges)

  Steinberg::int32 PLUGIN_API getParameterCount() override {
    return static_cast<Steinberg::int32>(queues.size());
  }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  // One queue for id with the given points at offsets 0, 1, 2, ...
  void Add(Steinberg::Vst::ParamID id, std::initializer_list<double> values);

private:
  std::deque<HostParamQueue> queues; // stable addresses
};

class HostComponentHandler : public Steinberg::Vst::IComponentHandler {
public:
  virtual ~HostComponentHandler() = default;
  TEST_HOST_UNOWNED_FUNKNOWN(Steinberg::Vst::IComponentHandler)

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

  int latencyRestarts = 0;
  int edits = 0;
};

// A stream over a byte vector that moves at most perCall bytes per read or write and records the
// count of every write.
class ChunkedStream : public Steinberg::IBStream {
public:
  ChunkedStream(std::vector<unsigned char> content, int bytesPerCall)
      : bytes(std::move(content)), perCall(bytesPerCall) {}
  virtual ~ChunkedStream() = default;
  TEST_HOST_UNOWNED_FUNKNOWN(Steinberg::IBStream)

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  std::vector<unsigned char> bytes;
  std::vector<int> writeCounts;

private:
  int perCall;
  std::size_t cursor = 0;
};
