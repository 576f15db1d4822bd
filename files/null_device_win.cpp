// The null device of the Windows C runtime: the reserved name NUL, which opens
// the device in any folder.
#include "null_device.h"

const char* NullDevicePath() {
    return "NUL";
}
