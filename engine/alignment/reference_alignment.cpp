// Both readings, then the alignment.
#include "reference_alignment.h"

#include <string>

#include "file_cues.h"
#include "result_codes.h"

AlignStatus AlignToReference(std::FILE* file, std::FILE* reference, const char* referenceName,
                             const RunOptions& options, ReferenceAlignment* result) {
    std::string bytes;
    if (!ReadWholeStream(reference, &bytes)) {
        return ALIGN_REFERENCE_UNREADABLE;
    }
    ReadReferenceCues(bytes, referenceName, &result->reference);
    if (result->reference.cues.empty()) {
        return ALIGN_REFERENCE_EMPTY;
    }
    if (ReadFileCues(file, options, &result->fileCues, &result->fileCounts) != RESULT_OK) {
        return ALIGN_FILE_UNREADABLE;
    }
    if (result->fileCues.empty()) {
        return ALIGN_FILE_EMPTY;
    }
    AlignCues(result->fileCues, result->reference.cues, &result->alignment);
    return ALIGN_DONE;
}
