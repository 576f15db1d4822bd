// Aligning a file to a reference from streams the caller opened: all a front
// end does before the map run (sync --to, the dialog's align button). The
// reference is read once and may serve many files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "cue_alignment.h"
#include "reference_cues.h"
#include "run_counts.h"

enum AlignStatus : int {
    ALIGN_DONE = 0,                  // *result holds the alignment; see its `confident`
    ALIGN_FILE_UNREADABLE = 1,       // a read of the file failed
    ALIGN_REFERENCE_UNREADABLE = 2,  // a read of the reference failed
    ALIGN_REFERENCE_EMPTY = 3,       // the reference holds no usable cue
    ALIGN_FILE_EMPTY = 4,            // the file holds no cue to align
};

struct ReferenceAlignment {
    std::vector<Cue> fileCues;
    RunCounts fileCounts;  // the file's sync tags as read
    Alignment alignment;
};

// Reads `reference` from its current position to its end; its name, which may
// be null, only breaks a tie of formats. The stream stays open.
AlignStatus ReadReferenceStream(std::FILE* reference, const char* referenceName,
                                ReferenceCues* cues);

// Reads `file` from its current position to its end and aligns its cues to
// the reference's. The stream stays open.
AlignStatus AlignToReference(std::FILE* file, const ReferenceCues& reference,
                             const RunOptions& options, ReferenceAlignment* result);
