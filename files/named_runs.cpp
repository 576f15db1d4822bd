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

struct NamedStreams {
    std::FILE* input;
    std::FILE* append;  // null without a file to append
    std::FILE* output;
};

// Opens the inputs, then the output (created or emptied). RESULT_OK with all
// open; else the code of the first that does not open, and none is left open.
std::int32_t OpenNamedStreams(const char* inputPath, const char* appendPath, const char* outputPath,
                              NamedStreams* streams) {
    *streams = NamedStreams{OpenFileByName(inputPath, "rb"), nullptr, nullptr};
    if (streams->input == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::int32_t failed = RESULT_OK;
    if (appendPath != nullptr && (streams->append = OpenFileByName(appendPath, "rb")) == nullptr) {
        failed = RESULT_BAD_APPEND_FILE;
    } else if ((streams->output = OpenFileByName(outputPath, "wb")) == nullptr) {
        failed = RESULT_CANNOT_SAVE;
    }
    if (failed != RESULT_OK) {
        std::fclose(streams->input);
        if (streams->append != nullptr) {
            std::fclose(streams->append);
        }
    }
    return failed;
}

// Closes what the run read and wrote; the run's result, or the output's
// failed close.
std::int32_t CloseNamedStreams(const NamedStreams& streams, std::int32_t result) {
    std::fclose(streams.input);
    if (streams.append != nullptr) {
        std::fclose(streams.append);
    }
    return CloseOutputFile(streams.output, result);
}

// Opens the files, has `run` read and write them, and closes them: the
// run's result, or the first failure to open or close.
template <typename Run>
std::int32_t RunOverNamedFiles(const char* inputPath, const char* appendPath,
                               const char* outputPath, RunCounts* counts, Run run) {
    ClearRunCounts(counts);
    NamedStreams streams;
    const std::int32_t opened = OpenNamedStreams(inputPath, appendPath, outputPath, &streams);
    if (opened != RESULT_OK) {
        return opened;
    }
    return CloseNamedStreams(streams, run(streams));
}

}  // namespace

std::int32_t ShiftNamedFile(const char* inputPath, const char* outputPath,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts) {
    return RunOverNamedFiles(inputPath, nullptr, outputPath, counts,
                             [&](const NamedStreams& streams) {
                                 return ShiftFileTimes(streams.input, FileSizeByName(inputPath),
                                                       streams.output, params, options, counts);
                             });
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
    return RunOverNamedFiles(firstPath, appendPath, outputPath, counts,
                             [&](const NamedStreams& streams) {
                                 return AppendFileCues(streams.input, FileSizeByName(firstPath),
                                                       streams.append, FileSizeByName(appendPath),
                                                       streams.output, offset, options, counts);
                             });
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
