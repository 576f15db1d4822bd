// The counts line and the warnings, on stderr.
#include "run_report.h"

#include <string>

#include "cli_messages.h"

namespace {

const char* KindName(TextKind kind) {
    if (kind == TEXT_UTF16_LE) {
        return "UTF-16 LE";
    }
    return kind == TEXT_UTF16_BE ? "UTF-16 BE" : "bytes";
}

std::string Count(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string UnreadText(const RunCounts& counts) {
    std::string text = Count(counts.tagsUnread, "sync tag", "sync tags") +
                       " without a readable time " +
                       (counts.tagsUnread == 1 ? "left as it was" : "left as they were");
    if (counts.quotedUnread > 0) {
        text += " (" + std::to_string(counts.quotedUnread) +
                " with a time in quotation marks: --quoted reads them)";
    }
    return text;
}

std::string CountsLine(ReportedRun run, const char* file, const RunCounts& counts,
                       std::int64_t timesBelowZero) {
    std::string line = Quoted(file) + " (" + KindName(counts.kind) + "): ";
    if (run == REPORTED_APPEND) {
        line += Count(counts.cuesAppended, "cue", "cues") + " appended, ";
    } else {
        line += Count(counts.tagsFound, "sync tag", "sync tags") + ", ";
    }
    if (run != REPORTED_LAST) {
        line += Count(counts.timesMoved, "time", "times") + " moved, ";
    }
    if (run == REPORTED_SHIFT) {
        line +=
            std::to_string(counts.timesLeft) + " left as they were (" +
            (timesBelowZero >= 0 ? std::to_string(timesBelowZero) + " of them below 0 on the line"
                                 : std::string("outside the range or below 0")) +
            "), ";
    }
    return line + std::to_string(counts.tagsUnread) + " without a readable time";
}

}  // namespace

void ReportRunCounts(ReportedRun run, const char* file, const RunCounts& counts, int verbose,
                     std::int64_t timesBelowZero) {
    if (verbose) {
        ReportMessage(CountsLine(run, file, counts, timesBelowZero));
    }
    if (counts.tagsFound == 0) {
        ReportMessage("no sync tag found: is " + Quoted(file) + " a SAMI file?");
    } else if (counts.tagsUnread > 0) {
        ReportMessage(Quoted(file) + ": " + UnreadText(counts));
    }
}
