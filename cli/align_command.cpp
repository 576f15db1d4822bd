// sync --to: the reference is read once, then each FILE aligned to it through
// the runs layer, what was found said as a person reads it, and the file
// re-timed through the save path of every command.
#include "align_command.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "align_run.h"
#include "cli_messages.h"
#include "exit_codes.h"
#include "run_commands.h"
#include "run_report.h"

namespace {

// A file the reference does not match clearly is refused as a file that
// cannot be used is.
constexpr int kExitNotConfident = 1;

std::string CauseOf(int error) {
    return error != 0 ? std::strerror(error) : "read error";
}

std::string Plural(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The reference's cues: 1, or 0 after a message when it cannot be read or
// holds no usable cue.
int ReadReference(const CliRequest& request, ReferenceCues* reference) {
    const char* path = request.referencePath;
    int error = 0;
    const ReferenceReading reading = ReadReferenceFile(path, reference, &error);
    if (reading == REFERENCE_CANNOT_OPEN) {
        ReportMessage("cannot open the reference " + Quoted(path) + ": " + CauseOf(error));
        return 0;
    }
    if (reading == REFERENCE_CANNOT_READ) {
        ReportMessage("cannot read the reference " + Quoted(path) + ": " + CauseOf(error));
        return 0;
    }
    const std::string skipped =
        reference->skipped > 0
            ? ", " + Plural(reference->skipped, "malformed entry", "malformed entries") + " skipped"
            : std::string();
    if (reading == REFERENCE_NO_CUE) {
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

int AlignFile(const CliRequest& request, const ReferenceCues& reference, const char* file) {
    ReferenceAlignment found;
    RunResult run;
    AlignFileToReference(file, reference, FrontEndRunOptions(request.readQuoted), request.force,
                         &found, &run);
    switch (run.outcome) {
        case OUTCOME_FAILED:
            ReportMessage("cannot open " + Quoted(file) + ": " + CauseOf(run.edit.error));
            return EXIT_BAD_FILE;
        case OUTCOME_UNREADABLE:
            ReportMessage("cannot read " + Quoted(file) + ": " + CauseOf(run.edit.error));
            return EXIT_BAD_FILE;
        case OUTCOME_NO_CUES:
            ReportRunCounts(REPORTED_LAST, file, run.lookupCounts, request.verbose);
            ReportMessage(Quoted(file) + " holds no cue to align; it is left as it was");
            return kExitNotConfident;
        default:
            break;
    }
    PrintFinding(request, file, found.alignment);
    if (run.outcome == OUTCOME_NOT_CONFIDENT) {
        ReportMessage(Quoted(file) +
                      " is left as it was: the reference does not match it "
                      "clearly enough (is it of the same film?); --force writes anyway");
        return kExitNotConfident;
    }
    if (run.outcome == OUTCOME_ALREADY_ALIGNED) {
        ReportMessage(Quoted(file) +
                      ": its cues already stand at the reference's times; "
                      "nothing to do");
        return EXIT_DONE;
    }
    RunCounts counts;
    const int exitCode = SaveMappedFile(request, file, found.alignment.map, &counts);
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
