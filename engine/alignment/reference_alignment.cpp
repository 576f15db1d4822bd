// The reading of the reference, then the file's cues and their alignment.
#include "reference_alignment.h"

#include <string>

#include "file_cues.h"
#include "result_codes.h"

AlignStatus ReadReferenceStream(std::FILE* reference, const char* referenceName,
                                ReferenceCues* cues) {
    std::string bytes;
    if (!ReadWholeStream(reference, &bytes)) {
        return ALIGN_REFERENCE_UNREADABLE;
    }
    ReadReferenceCues(bytes, referenceName, cues);
    return cues->cues.empty() ? ALIGN_REFERENCE_EMPTY : ALIGN_DONE;
}

AlignStatus AlignToReference(std::FILE* file, const ReferenceCues& reference,
                             const RunOptions& options, ReferenceAlignment* result) {
    if (ReadFileCues(file, options, &result->fileCues, &result->fileCounts) != RESULT_OK) {
        return ALIGN_FILE_UNREADABLE;
    }
    if (result->fileCues.empty()) {
        return ALIGN_FILE_EMPTY;
    }
    AlignCues(result->fileCues, reference.cues, &result->alignment);
    return ALIGN_DONE;
}
