// The reference and the file read from streams opened here; the engine
// aligns, and this unit decides what the finding allows.
#include "align_run.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "edit_run.h"
#include "file_access.h"
#include "result_codes.h"
#include "shift_run.h"

namespace {

// When no cue moves, neither does any time between them, and there is
// nothing to write.
int MovesAnyCue(const TimeMap& map, const std::vector<Cue>& cues) {
    for (const Cue& cue : cues) {
        for (const std::int64_t time : {cue.start, cue.end}) {
            std::int32_t mapped = 0;
            if (time >= 0 && MapTime(map, time, &mapped) && mapped != time) {
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

ReferenceReading ReadReferenceFile(const char* path, ReferenceCues* reference, int* error) {
    errno = 0;
    std::FILE* file = OpenFileByName(path, "rb");
    if (file == nullptr) {
        *error = errno;
        return REFERENCE_CANNOT_OPEN;
    }
    errno = 0;
    const AlignStatus status = ReadReferenceStream(file, path, reference);
    *error = errno;
    std::fclose(file);
    if (status == ALIGN_REFERENCE_UNREADABLE) {
        return REFERENCE_CANNOT_READ;
    }
    return status == ALIGN_REFERENCE_EMPTY ? REFERENCE_NO_CUE : REFERENCE_READ;
}

void AlignFileToReference(const char* file, const ReferenceCues& reference,
                          const RunOptions& options, int force, ReferenceAlignment* found,
                          RunResult* result) {
    ClearRunResult(result);
    errno = 0;
    std::FILE* input = OpenFileByName(file, "rb");
    if (input == nullptr) {
        result->outcome = OUTCOME_FAILED;
        result->edit.code = RESULT_BAD_FILE;
        result->edit.step = EDIT_STEP_OPEN;
        result->edit.path = file;
        result->edit.error = errno;
        return;
    }
    errno = 0;
    const AlignStatus status = AlignToReference(input, reference, options, found);
    const int readError = errno;
    std::fclose(input);
    result->lookupCounts = found->fileCounts;
    if (status == ALIGN_FILE_UNREADABLE) {
        result->outcome = OUTCOME_UNREADABLE;
        result->edit.code = RESULT_BAD_FILE;
        result->edit.path = file;
        result->edit.error = readError;
    } else if (status == ALIGN_FILE_EMPTY) {
        result->outcome = OUTCOME_NO_CUES;
    } else if (!found->alignment.confident && !force) {
        result->outcome = OUTCOME_NOT_CONFIDENT;
    } else if (!MovesAnyCue(found->alignment.map, found->fileCues)) {
        result->outcome = OUTCOME_ALREADY_ALIGNED;
    }
}

void MapTarget(const RunTarget& target, const TimeMap& map, RunResult* result) {
    ClearRunResult(result);
    const RunValues values{RUN_MAP, ShiftParams{0, 0, 0, 0}, 0, 0, &map, target.options};
    EditTarget(target, nullptr, values, result);
}
