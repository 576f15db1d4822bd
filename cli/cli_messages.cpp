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
    "  tembrel-cli shift  [--start=TIME] [--end=TIME|E] [--shift=TIME]\n"
    "                     [--stretch=TIME | --fps=FROM:TO] [--quoted] [-v] [-n]\n"
    "                     [-o OUT] FILE...\n"
    "  tembrel-cli sync   --at=OLD=NEW --at=OLD=NEW [--force] [--quoted] [-v]\n"
    "                     [-n] [-o OUT] FILE...\n"
    "  tembrel-cli sync   --to=REF [--force] [--quoted] [-v] [-n] [-o OUT] FILE...\n"
    "  tembrel-cli append [--offset=TIME] [--quoted] [-v] [-n] [-o OUT]\n"
    "                     FILE APPEND_FILE\n"
    "  tembrel-cli list   [--quoted] [-v] FILE\n"
    "  tembrel-cli last   [--quoted] [-v] FILE\n"
    "  tembrel-cli -h | --help | -V | --version\n"
    "\n"
    "Re-times the sync times (<SYNC START=...>) of SAMI subtitle files.\n"
    "\n"
    "  shift    moves every sync time from --start to --end by --shift; with a\n"
    "           --stretch the range end moves by the stretch as well, the times\n"
    "           between in proportion. Defaults: start 0, end E (the file's last\n"
    "           sync time), shift 0, stretch 0.\n"
    "           --fps=FROM:TO computes the stretch instead: every time in the range\n"
    "           moves as if its distance from --start were multiplied by FROM/TO\n"
    "           (subtitles made for a FROM video, played with a TO video). Rates\n"
    "           such as 25, 23.976 or 24000/1001.\n"
    "  sync     moves every sync time t from 0 to E onto the straight line through\n"
    "           the two points OLD=NEW (two TIMEs: the time a cue has and the time\n"
    "           it should have), each to within 2 ms. Times the line puts below 0\n"
    "           are left as they are. Points whose rate (NEW span / OLD span) lies\n"
    "           outside 0.5 to 2 are refused unless --force is given.\n"
    "           --to=REF lays FILE's cues onto those of REF, a subtitle already\n"
    "           right for the video (SubRip, WebVTT, SSA/ASS or SAMI, any encoding):\n"
    "           it finds an offset, a rate, or pieces where the film is cut\n"
    "           differently, prints what it found with a confidence, and writes\n"
    "           only when confident; otherwise FILE is left as it was and the exit\n"
    "           status is 1. --force writes anyway.\n"
    "  append   adds the cues of APPEND_FILE at the end of FILE's body, their\n"
    "           times moved by --offset (default 0).\n"
    "  list     prints one line per sync tag: its time as h:mm:ss.mmm, a tab, and\n"
    "           the cue's text in UTF-8 without its tags (a blank cue shows no\n"
    "           text, a time that cannot be read shows '?'); where the cues have\n"
    "           more than one class, the class stands between time and text.\n"
    "  last     prints FILE's last sync time in milliseconds.\n"
    "\n"
    "  --quoted       also read times in quotation marks (<SYNC Start=\"1500\">);\n"
    "                 the marks are kept\n"
    "  -v, --verbose  one line per file on stderr: sync tags found, times moved,\n"
    "                 times left as they were, tags without a readable time\n"
    "  -n, --dry-run  reads and computes everything and writes nothing (no backup,\n"
    "                 no output), and prints the counts as -v does\n"
    "  --force        sync: use the two points even when their rate looks wrong,\n"
    "                 or write what a doubtful --to match found\n"
    "\n"
    "Files are read as bytes in any code page, or as UTF-16 (with a byte order\n"
    "mark, or opening with '<'). A file without a sync tag, or with tags whose\n"
    "time cannot be read, gives a warning on stderr. list shows a byte file's text\n"
    "as UTF-8 when it is valid UTF-8, else as CP949 (Korean), else as\n"
    "Windows-1252.\n"
    "\n"
    "TIME is whole milliseconds with an optional sign (1500, -250), or a clock\n"
    "time: minutes:seconds (1:30.5, -0:02, 90:00) or hours:mm:ss (1:02:30.250),\n"
    "with '.' or ',' before the fraction (1:30,5). Options take --name=value or\n"
    "--name value; -o OUT and --output=OUT are the same; -- ends the options.\n"
    "\n"
    "Without -o each FILE is edited in place: FILE.bak is replaced by FILE, and\n"
    "the result is written under FILE. With -o OUT (one FILE only) FILE is left\n"
    "untouched; an OUT that is FILE itself is edited in place; -o - writes the\n"
    "result to standard output.\n"
    "\n"
    "Exit status: 0 done, 1 a FILE or REF cannot be opened or read, or sync --to\n"
    "is not confident, 2 APPEND_FILE cannot be opened or is not in FILE's\n"
    "encoding, 3 the result cannot be saved (FILE is left as it was), 64 usage\n"
    "error.\n";

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
