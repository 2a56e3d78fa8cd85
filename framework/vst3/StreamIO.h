// Whole reads and writes on a host's IBStream, which may move fewer bytes per call than asked.
#pragma once

#include "pluginterfaces/base/ibstream.h"

// Writes size bytes, continuing short writes. False when a call fails, moves nothing or reports
// more than it was asked.
bool WriteAll(Steinberg::IBStream* stream, const void* data, int size);
// Reads exactly size bytes, continuing short reads; same failures as WriteAll.
bool ReadExact(Steinberg::IBStream* stream, void* data, int size);
// After a whole record: true when no further byte can be read. A probe that answers anything
// but kResultOk or kResultFalse counts as not at the end.
bool AtStreamEnd(Steinberg::IBStream* stream);
