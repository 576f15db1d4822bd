// Help, version and messages.
#include "cli_messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef TEMBREL_VERSION
#error "TEMBREL_VERSION must be defined by the build"
#endif

namespace {

constexpr char kHelp[] =
    "Usage:\n"
    "  tembrel-cli shift  [--start=TIME] [--end=TIME|E] [--shift=TIME] [--stretch=TIME]\n"
    "                     [-o OUT] FILE...\n"
    "  tembrel-cli append [--offset=TIME] [-o OUT] FILE APPEND_FILE\n"
    "  tembrel-cli last   FILE\n"
    "  tembrel-cli --help | --version\n"
    "\n"
    "Re-times the sync times (<SYNC START=...>) of SAMI subtitle files.\n"
    "\n"
    "  shift    moves every sync time from --start to --end by --shift; with a\n"
    "           --stretch the range end moves by the stretch as well, the times\n"
    "           between in proportion. Defaults: start 0, end E (the file's last\n"
    "           sync time), shift 0, stretch 0.\n"
    "  append   adds the cues of APPEND_FILE at the end of FILE's body, their\n"
    "           times moved by --offset (default 0).\n"
    "  last     prints FILE's last sync time in milliseconds.\n"
    "\n"
    "TIME is whole milliseconds with an optional sign (1500, -250) or minutes and\n"
    "seconds with a colon (1:30.5, -0:02, 10:00). Options take --name=value or\n"
    "--name value; -o OUT and --output=OUT are the same; -- ends the options.\n"
    "\n"
    "Without -o each FILE is edited in place: FILE.bak is replaced by FILE, and\n"
    "the result is written under FILE. With -o OUT (one FILE only) FILE is left\n"
    "untouched; an OUT that is FILE itself is edited in place.\n"
    "\n"
    "Exit status: 0 done, 1 a FILE cannot be opened, 2 APPEND_FILE cannot be\n"
    "opened, 3 the result cannot be saved (FILE is left as it was), 64 usage error.\n";

}  // namespace

void PrintHelp() {
    std::fputs(kHelp, stdout);
}

void PrintVersion() {
    std::fputs("tembrel-cli " TEMBREL_VERSION "\n", stdout);
}

void ReportMessage(const std::string& message) {
    std::fprintf(stderr, "tembrel-cli: %s\n", message.c_str());
}

void ReportUsageError(const std::string& reason) {
    ReportMessage(reason);
    std::fputs("Try 'tembrel-cli --help' for more information.\n", stderr);
}

int FinishStandardOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        ReportMessage(std::string("cannot write to standard output: ") +
                      (errno != 0 ? std::strerror(errno) : "write error"));
        return 0;
    }
    return 1;
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}
