// An append, as both front ends ask for it: both files checked, their
// encodings compared before anything is written, and the run through the
// edit job.
#pragma once

#include <cstdint>

#include "run_result.h"
#include "run_target.h"

// Appends the cues of `appendFile` to the target's file, their times moved by
// `offset`.
void AppendTarget(const RunTarget& target, const char* appendFile, std::int32_t offset,
                  RunResult* result);
