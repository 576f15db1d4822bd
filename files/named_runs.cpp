// The engine's runs over named files: open, run, close.
#include "named_runs.h"

#include <cerrno>
#include <cstdio>

#include "edit_job.h"
#include "file_access.h"
#include "result_codes.h"
#include "subtitle_append.h"
#include "sync_file_walk.h"

namespace {

// Closes the output the run wrote; a failed close fails the run, with the
// close's errno unless the run failed first.
std::int32_t CloseOutputFile(std::FILE* output, std::int32_t result) {
    const int savedError = errno;
    const int closed = std::fclose(output) == 0;
    if (result != RESULT_OK) {
        errno = savedError;
        return result;
    }
    return closed ? RESULT_OK : RESULT_CANNOT_SAVE;
}

}  // namespace

std::int32_t ShiftNamedFile(const char* inputPath, const char* outputPath,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts) {
    ClearRunCounts(counts);
    std::FILE* input = OpenFileByName(inputPath, "rb");
    if (input == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::FILE* output = OpenFileByName(outputPath, "wb");
    if (output == nullptr) {
        std::fclose(input);
        return RESULT_CANNOT_SAVE;
    }
    const std::int32_t result =
        ShiftFileTimes(input, FileSizeByName(inputPath), output, params, options, counts);
    std::fclose(input);
    return CloseOutputFile(output, result);
}

std::int32_t ShiftSyncTimesInWindow(const char* inputPath, const char* outputPath,
                                    const ShiftParams& params, std::int32_t windowSize) {
    RunCounts counts;
    return ShiftNamedFile(inputPath, outputPath, params, RunOptions{0, windowSize}, &counts);
}

std::int32_t ShiftSyncTimes(const char* inputPath, const char* outputPath, std::int32_t rangeStart,
                            std::int32_t rangeEnd, std::int32_t shift, std::int32_t stretch) {
    const ShiftParams params{rangeStart, rangeEnd, shift, stretch};
    return ShiftSyncTimesInWindow(inputPath, outputPath, params, kFileBufferSize);
}

std::int32_t ReadNamedLastSyncTime(const char* path, const RunOptions& options, std::int32_t* last,
                                   RunCounts* counts) {
    std::FILE* input = OpenFileByName(path, "rb");
    if (input == nullptr) {
        return RESULT_BAD_FILE;
    }
    const std::int32_t result = ReadLastSyncTime(input, options, last, counts);
    const int savedError = errno;
    std::fclose(input);
    errno = savedError;
    return result;
}

int GuessNamedLastSyncTime(const char* path, int readQuoted, std::int32_t* guess) {
    // Opened as the edit job opens it: a pipe or device is refused unread,
    // never waited on.
    std::int64_t size = 0;
    int notRegular = 0;
    int error = 0;
    std::FILE* file = OpenRegularFile(path, &size, &notRegular, &error);
    if (file == nullptr) {
        return 0;
    }
    const int guessed = GuessLastSyncTime(file, size, readQuoted, kTailUnits, guess);
    std::fclose(file);
    return guessed;
}

std::int32_t FindLastSyncTimeCheckedInWindow(const char* path, std::int32_t windowSize,
                                             std::int32_t* last) {
    return ReadNamedLastSyncTime(path, RunOptions{0, windowSize}, last);
}

std::int32_t FindLastSyncTimeChecked(const char* path, std::int32_t* last) {
    return FindLastSyncTimeCheckedInWindow(path, kFileBufferSize, last);
}

std::int32_t FindLastSyncTimeInWindow(const char* path, std::int32_t windowSize) {
    std::int32_t last = 0;
    ReadNamedLastSyncTime(path, RunOptions{0, windowSize}, &last);
    return last;
}

std::int32_t FindLastSyncTime(const char* path) {
    return FindLastSyncTimeInWindow(path, kFileBufferSize);
}

std::int32_t AppendNamedFiles(const char* firstPath, const char* appendPath, const char* outputPath,
                              std::int32_t offset, const RunOptions& options, RunCounts* counts) {
    ClearRunCounts(counts);
    std::FILE* first = OpenFileByName(firstPath, "rb");
    if (first == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::FILE* append = OpenFileByName(appendPath, "rb");
    if (append == nullptr) {
        std::fclose(first);
        return RESULT_BAD_APPEND_FILE;
    }
    std::FILE* output = OpenFileByName(outputPath, "wb");
    if (output == nullptr) {
        std::fclose(first);
        std::fclose(append);
        return RESULT_CANNOT_SAVE;
    }
    const std::int32_t result =
        AppendFileCues(first, FileSizeByName(firstPath), append, FileSizeByName(appendPath), output,
                       offset, options, counts);
    std::fclose(first);
    std::fclose(append);
    return CloseOutputFile(output, result);
}

std::int32_t AppendSubtitles(const char* firstPath, const char* appendPath, const char* outputPath,
                             std::int32_t offset) {
    RunCounts counts;
    // Plain times only, and no progress.
    const RunOptions options{};
    return AppendNamedFiles(firstPath, appendPath, outputPath, offset, options, &counts);
}

int ReadTextKindOfFile(const char* path, TextKind* kind) {
    std::FILE* file = OpenFileByName(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    unsigned char first[2];
    const std::size_t got = std::fread(first, 1, 2, file);
    const int failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        return 0;
    }
    *kind = TellTextKind(first, got);
    return 1;
}
