// The null device on POSIX systems.
#include "null_device.h"

const char* NullDevicePath() {
    return "/dev/null";
}
