// sync --to: the reference is read once, then each FILE's cues are read,
// aligned, reported, and the file is re-timed through the save path of every
// command.
#include "align_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_messages.h"
#include "exit_codes.h"
#include "file_access.h"
#include "file_cues.h"
#include "reference_cues.h"
#include "result_codes.h"
#include "run_commands.h"
#include "run_report.h"
#include "sync_shift.h"
#include "time_map_run.h"

namespace {

// A file the reference does not match clearly is refused as a file that
// cannot be used is.
constexpr int kExitNotConfident = 1;

std::string CauseOf(int error) {
    return error != 0 ? std::strerror(error) : "read error";
}

// Opens `path` for reading: the stream, or null after a message naming the file.
std::FILE* OpenForReading(const char* path, const char* what) {
    errno = 0;
    std::FILE* file = OpenFileByName(path, "rb");
    if (file == nullptr) {
        ReportMessage(std::string("cannot open ") + what + Quoted(path) + ": " + CauseOf(errno));
    }
    return file;
}

std::string Plural(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The reference's cues: 1, or 0 after a message when it cannot be read or
// holds no usable cue.
int ReadReference(const CliRequest& request, ReferenceCues* reference) {
    const char* path = request.referencePath;
    std::FILE* file = OpenForReading(path, "the reference ");
    if (file == nullptr) {
        return 0;
    }
    std::string bytes;
    errno = 0;
    const int read = ReadWholeStream(file, &bytes);
    const int readError = errno;
    std::fclose(file);
    if (!read) {
        ReportMessage("cannot read the reference " + Quoted(path) + ": " + CauseOf(readError));
        return 0;
    }
    ReadReferenceCues(bytes, path, reference);
    const std::string skipped =
        reference->skipped > 0
            ? ", " + Plural(reference->skipped, "malformed entry", "malformed entries") + " skipped"
            : std::string();
    if (reference->cues.empty()) {
        ReportMessage("no usable cue in the reference " + Quoted(path) +
                      (reference->format == REFERENCE_UNKNOWN
                           ? std::string(": not SubRip, WebVTT, SSA/ASS or SAMI")
                           : std::string(" (read as ") + ReferenceFormatName(reference->format) +
                                 skipped + ")"));
        return 0;
    }
    if (request.verbose || request.dryRun || reference->skipped > 0) {
        ReportMessage(Quoted(path) + ": " + ReferenceFormatName(reference->format) + ", " +
                      Plural(static_cast<std::int64_t>(reference->cues.size()), "cue", "cues") +
                      skipped);
    }
    return 1;
}

// The file's cues: 1, or 0 after a message when it cannot be read.
int ReadCuesOfFile(const CliRequest& request, const char* path, std::vector<Cue>* cues,
                   RunCounts* counts) {
    std::FILE* file = OpenForReading(path, "");
    if (file == nullptr) {
        return 0;
    }
    errno = 0;
    const std::int32_t result =
        ReadFileCues(file, FrontEndRunOptions(request.readQuoted), cues, counts);
    const int readError = errno;
    std::fclose(file);
    if (result != RESULT_OK) {
        ReportMessage("cannot read " + Quoted(path) + ": " + CauseOf(readError));
        return 0;
    }
    return 1;
}

// What was found, on stdout unless the file itself goes there.
void PrintFinding(const CliRequest& request, const char* file, const Alignment& alignment) {
    const std::string line = std::string(file) + ": " + DescribeAlignment(alignment);
    if (request.outputPath != nullptr && std::strcmp(request.outputPath, "-") == 0) {
        ReportMessage(line);
        return;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Whether the map moves any cue of the file: when none moves, neither does
// any other time between them, and there is nothing to write.
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

int AlignFile(const CliRequest& request, const ReferenceCues& reference, const char* file) {
    std::vector<Cue> cues;
    RunCounts counts;
    if (!ReadCuesOfFile(request, file, &cues, &counts)) {
        return EXIT_BAD_FILE;
    }
    if (cues.empty()) {
        ReportRunCounts(REPORTED_LAST, file, counts, request.verbose);
        ReportMessage(Quoted(file) + " holds no cue to align; it is left as it was");
        return kExitNotConfident;
    }
    Alignment alignment;
    AlignCues(cues, reference.cues, &alignment);
    PrintFinding(request, file, alignment);
    if (!alignment.confident && !request.force) {
        ReportMessage(Quoted(file) +
                      " is left as it was: the reference does not match it "
                      "clearly enough (is it of the same film?); --force writes anyway");
        return kExitNotConfident;
    }
    if (!MovesAnyCue(alignment.map, cues)) {
        ReportMessage(Quoted(file) +
                      ": its cues already stand at the reference's times; "
                      "nothing to do");
        return EXIT_DONE;
    }
    const int exitCode = SaveMappedFile(request, file, alignment.map, &counts);
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_SHIFT, file, counts, request.verbose || request.dryRun);
    }
    return exitCode;
}

}  // namespace

int AlignFiles(const CliRequest& request) {
    ReferenceCues reference;
    if (!ReadReference(request, &reference)) {
        return EXIT_BAD_FILE;
    }
    int exitCode = EXIT_DONE;
    for (const char* file : request.files) {
        const int fileExit = AlignFile(request, reference, file);
        if (exitCode == EXIT_DONE) {
            exitCode = fileExit;
        }
    }
    return exitCode;
}

std::int32_t MapNamedFile(const char* inputPath, const char* outputPath, const TimeMap& map,
                          const RunOptions& options, RunCounts* counts) {
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
        MapFileTimes(input, FileSizeByName(inputPath), output, map, options, counts);
    std::fclose(input);
    // A close that fails loses what was written.
    const int closed = std::fclose(output) == 0;
    return (result == RESULT_OK && !closed) ? RESULT_CANNOT_SAVE : result;
}
