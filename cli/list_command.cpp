// Listing the cues: the engine finds the tags as a run would, then the file's
// bytes are read again whole, and the text behind each tag decoded to UTF-8.
#include "list_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli_messages.h"
#include "cue_text.h"
#include "exit_codes.h"
#include "file_access.h"
#include "run_report.h"
#include "standard_output.h"
#include "sync_shift.h"
#include "text_decoding.h"
#include "time_argument.h"

namespace {

std::string CauseOf(int error, const char* unknown) {
    return error != 0 ? std::strerror(error) : unknown;
}

// Reads `file` from its start to its end into *bytes: 1, or 0 when a seek or
// a read fails.
int ReadWholeFile(std::FILE* file, std::string* bytes) {
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return 0;
    }
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes->append(block, got);
    }
    return std::ferror(file) ? 0 : 1;
}

// The byte offset in the file of a text unit offset.
std::size_t ByteOffset(const CueTags& found, std::int64_t units, std::size_t size) {
    const std::int64_t unitSize = found.kind == TEXT_BYTES ? 1 : 2;
    const std::int64_t offset = found.markLength + units * unitSize;
    return offset < 0
               ? 0
               : (static_cast<std::uint64_t>(offset) > size ? size
                                                            : static_cast<std::size_t>(offset));
}

std::string LowerAscii(std::string text) {
    for (char& byte : text) {
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<char>(byte - 'A' + 'a');
        }
    }
    return text;
}

// 1 when the cues name more than one class (in any letter case); a cue
// without one counts as a class of its own only beside named ones.
int HasSeveralClasses(const std::vector<CueText>& cues) {
    std::string first;
    int seen = 0;
    for (const CueText& cue : cues) {
        const std::string name = LowerAscii(cue.className);
        if (!seen) {
            first = name;
            seen = 1;
        } else if (name != first) {
            return 1;
        }
    }
    return 0;
}

}  // namespace

std::vector<std::string> ListLines(const std::string& bytes, const CueTags& found) {
    const std::size_t mark = ByteOffset(found, 0, bytes.size());
    const TextEncoding encoding =
        TellTextEncoding(found.kind, bytes.data() + mark, bytes.size() - mark);
    std::vector<CueText> cues(found.tags.size());
    for (std::size_t index = 0; index < found.tags.size(); ++index) {
        const std::size_t start = ByteOffset(found, found.tags[index].textStart, bytes.size());
        const std::size_t end =
            index + 1 < found.tags.size()
                ? ByteOffset(found, found.tags[index + 1].tagStart, bytes.size())
                : bytes.size();
        std::string segment;
        if (start < end) {
            AppendAsUtf8(encoding, bytes.data() + start, end - start, &segment);
        }
        ReadCueText(segment, &cues[index]);
    }
    const int showClasses = HasSeveralClasses(cues);
    std::vector<std::string> lines;
    for (std::size_t index = 0; index < cues.size(); ++index) {
        const CueTag& tag = found.tags[index];
        std::string line = tag.hasTime ? FormatClockTime(tag.time) : "?";
        line += '\t';
        if (showClasses) {
            line += cues[index].className + '\t';
        }
        lines.push_back(line + cues[index].text);
    }
    return lines;
}

int ListCues(const CliRequest& request) {
    const char* file = request.files[0];
    errno = 0;
    std::FILE* input = OpenFileByName(file, "rb");
    if (input == nullptr) {
        ReportMessage("cannot open " + Quoted(file) + ": " + CauseOf(errno, "open error"));
        return EXIT_BAD_FILE;
    }
    CueTags found;
    std::string bytes;
    errno = 0;
    const int read =
        ReadCueTags(input, FrontEndRunOptions(request.readQuoted), &found) == RESULT_OK &&
        ReadWholeFile(input, &bytes);
    const int readError = errno;
    std::fclose(input);
    if (!read) {
        ReportMessage("cannot read " + Quoted(file) + ": " + CauseOf(readError, "read error"));
        return EXIT_BAD_FILE;
    }
    int written = 1;
    for (const std::string& line : ListLines(bytes, found)) {
        if (!WriteTextLine(line)) {
            written = 0;
            break;
        }
    }
    // A failed write to a stream shows again in the flush, which names its
    // cause; one to a console does not.
    if (!FinishStandardOutput()) {
        return EXIT_CANNOT_SAVE;
    }
    if (!written) {
        ReportMessage("cannot write to standard output");
        return EXIT_CANNOT_SAVE;
    }
    ReportRunCounts(REPORTED_LAST, file, found.counts, request.verbose);
    return EXIT_DONE;
}
