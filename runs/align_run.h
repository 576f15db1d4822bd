// Aligning a file to a reference subtitle, as both front ends ask for it: the
// reference read once, each file's cues aligned, the verdict on what was
// found, and the map run through the edit job.
#pragma once

#include <cstdint>
#include <string>

#include "reference_alignment.h"
#include "run_result.h"
#include "run_target.h"

enum ReferenceReading : int {
    REFERENCE_READ = 0,
    REFERENCE_CANNOT_OPEN,  // *error says why
    REFERENCE_CANNOT_READ,  // *error says why
    REFERENCE_NO_CUE,       // read, but no usable cue: see its format and skipped entries
};

// Reads the reference subtitle at `path`.
ReferenceReading ReadReferenceFile(const char* path, ReferenceCues* reference, int* error);

// Reads the file's cues and aligns them: OUTCOME_DONE with what was found in
// *found, OUTCOME_NOT_CONFIDENT (unless `force`), OUTCOME_ALREADY_ALIGNED when
// no cue would move, OUTCOME_NO_CUES, or a failure to open or read the file.
void AlignFileToReference(const char* file, const ReferenceCues& reference,
                          const RunOptions& options, int force, ReferenceAlignment* found,
                          RunResult* result);

// Re-times the target's file by `map`.
void MapTarget(const RunTarget& target, const TimeMap& map, RunResult* result);
