// The system's null device, which takes any bytes and keeps none: a dry run
// sends the engine's output there, so that the run reads and counts everything
// and writes nothing. Platform code: null_device_posix.cpp, null_device_win.cpp.
#pragma once

const char* NullDevicePath();
