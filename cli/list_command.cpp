// Listing the cues as a stream, in two passes over the file, so that memory
// does not grow with it: the engine walks the tags as a run would, while the
// text between them is read from a second stream on the same file, forward
// only. The first pass decides the encoding over all of the file's bytes and
// whether the cues have several classes; the second decodes each cue and
// prints its line.
#include "list_command.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

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

// The byte offset in the file of a text unit offset.
std::uint64_t FileOffset(const CueTags& found, std::int64_t units) {
    const std::int64_t unitSize = found.kind == TEXT_BYTES ? 1 : 2;
    const std::int64_t offset = found.markLength + units * unitSize;
    return offset < 0 ? 0 : static_cast<std::uint64_t>(offset);
}

// The same within a text of `size` bytes.
std::size_t ByteOffset(const CueTags& found, std::int64_t units, std::size_t size) {
    const std::uint64_t offset = FileOffset(found, units);
    return offset > size ? size : static_cast<std::size_t>(offset);
}

// No encoding makes more than three bytes of UTF-8 of one byte.
constexpr std::size_t kMostUtf8PerByte = 3;

std::string LowerAscii(std::string text) {
    for (char& byte : text) {
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<char>(byte - 'A' + 'a');
        }
    }
    return text;
}

// Whether the cues name more than one class (in any letter case), told one
// cue at a time; a cue without one counts as a class of its own only beside
// named ones. The names may come as a file's own bytes, to be read in each
// encoding the file may turn out to have: the first is kept as it came, once
// for all of them.
struct ClassLook {
    std::string first;
    int seen;
    int several[ENCODING_UTF16_BE + 1];  // by the encoding the names are read in
};

std::string NameIn(TextEncoding encoding, const std::string& name) {
    std::string read;
    read.reserve(kMostUtf8PerByte * name.size());
    AppendAsUtf8(encoding, name.data(), name.size(), &read);
    return LowerAscii(std::move(read));
}

// Takes the class of one more cue, read in each encoding from `first` to
// `last`: 1 once every one of them has shown several classes.
int LookAtClass(ClassLook* look, const std::string& name, TextEncoding first, TextEncoding last) {
    if (!look->seen) {
        look->first = name;
        look->seen = 1;
    }
    int settled = 1;
    for (int encoding = first; encoding <= last; ++encoding) {
        const auto reading = static_cast<TextEncoding>(encoding);
        // Names of the same bytes read the same in every encoding.
        if (!look->several[encoding] && name != look->first) {
            look->several[encoding] = NameIn(reading, name) != NameIn(reading, look->first);
        }
        settled = settled && look->several[encoding];
    }
    return settled;
}

// "TIME<tab>TEXT", or "TIME<tab>CLASS<tab>TEXT", made in one piece: the
// class and text of a cue of the largest size listed come near a MiB.
std::string ListLine(const CueTag& tag, const CueText& cue, int showClasses) {
    const std::string time = tag.hasTime ? FormatClockTime(tag.time) : "?";
    std::string line;
    line.reserve(time.size() + cue.className.size() + cue.text.size() + 2);
    line += time;
    line += '\t';
    if (showClasses) {
        line += cue.className;
        line += '\t';
    }
    line += cue.text;
    return line;
}

constexpr std::size_t kReadBlockSize = 65536;

// The file read forward only, one block at a time; each block's bytes at and
// after `tallyFrom` go to the encoding tally when there is one.
struct ForwardReader {
    std::FILE* file;
    EncodingTally* tally;
    std::uint64_t tallyFrom;
    std::uint64_t blockStart;  // file offset of block[0]
    std::size_t length;        // bytes in block
    int ended;                 // the end of the file was read, or a read failed
    int failed;
    char block[kReadBlockSize];
};

// Puts the reader back at the start of its file: 1, or 0 when it cannot.
int RewindReader(ForwardReader* reader) {
    reader->tally = nullptr;
    reader->tallyFrom = 0;
    reader->blockStart = 0;
    reader->length = 0;
    reader->ended = 0;
    reader->failed = 0;
    return std::fseek(reader->file, 0, SEEK_SET) == 0 ? 1 : 0;
}

void ReadNextBlock(ForwardReader* reader) {
    reader->blockStart += reader->length;
    reader->length = std::fread(reader->block, 1, sizeof reader->block, reader->file);
    if (reader->length < sizeof reader->block) {
        reader->ended = 1;
        reader->failed = std::ferror(reader->file) ? 1 : 0;
    }
    const std::uint64_t from =
        reader->tallyFrom > reader->blockStart ? reader->tallyFrom - reader->blockStart : 0;
    if (reader->tally != nullptr && from < reader->length) {
        FeedEncodingTally(reader->tally, reader->block + from,
                          reader->length - static_cast<std::size_t>(from));
    }
}

// The file's bytes from `start` up to `end` (or its end) into *bytes. The
// spans asked for must not go back: the bytes before `start` are passed.
void ReadSpan(ForwardReader* reader, std::uint64_t start, std::uint64_t end, std::string* bytes) {
    bytes->clear();
    while (start < end) {
        const std::uint64_t blockEnd = reader->blockStart + reader->length;
        if (start < blockEnd) {
            const std::uint64_t from = start > reader->blockStart ? start : reader->blockStart;
            const std::uint64_t to = end < blockEnd ? end : blockEnd;
            bytes->append(reader->block + (from - reader->blockStart),
                          static_cast<std::size_t>(to - from));
            start = to;
        }
        if (start >= end || reader->ended) {
            return;
        }
        ReadNextBlock(reader);
    }
}

void ReadToEnd(ForwardReader* reader) {
    while (!reader->ended) {
        ReadNextBlock(reader);
    }
}

// One pass of the listing: each tag's cue is taken when the next tag shows
// where it ends, the last one at the end of the file.
struct ListPass {
    const CueTags* found;  // the kind and mark, told before the first tag
    ForwardReader* reader;
    CueTag held;
    int holding;
    int stopped;  // a step asked to stop
    int tallying;
    // First pass: the tally and the classes.
    EncodingTally tally;
    ClassLook look;
    // Second pass.
    TextEncoding encoding;
    int showClasses;
    int written;
};

// The encodings a file's class names are read in, `first` to `last`: a byte
// file's come as its own bytes, to be read in each of the three encodings the
// file may turn out to have; a UTF-16 file's come decoded, as UTF-8.
void NameReadings(TextKind kind, TextEncoding* first, TextEncoding* last) {
    *first = ENCODING_UTF8;
    *last = kind == TEXT_BYTES ? ENCODING_CP1252 : ENCODING_UTF8;
}

// Only a byte file's text is tallied: UTF-16 is told by its kind.
void TallyByKind(ListPass* pass) {
    const int tallied = pass->tallying && pass->found->kind == TEXT_BYTES;
    pass->reader->tally = tallied ? &pass->tally : nullptr;
    pass->reader->tallyFrom = static_cast<std::uint64_t>(pass->found->markLength);
}

// Reads the bytes of the cue of `tag`, which ends at the file offset `end`,
// into *bytes.
void ReadCueBytes(ListPass* pass, const CueTag& tag, std::uint64_t end, std::string* bytes) {
    ForwardReader* reader = pass->reader;
    TallyByKind(pass);
    const std::uint64_t start = FileOffset(*pass->found, tag.textStart);
    const std::uint64_t cut = start + kListedCueBytes;
    ReadSpan(reader, start, end < cut ? end : cut, bytes);
}

// First pass, per cue: its class in each encoding the file may have. For a
// byte file the class is read from the cue's own bytes and then decoded (see
// ReadCueClass), which spares decoding the whole cue three times. Returns 0
// once every encoding has shown several classes.
int LookAtCue(ListPass* pass, const CueTag& tag, std::uint64_t end) {
    const TextKind kind = pass->found->kind;
    std::string name;
    {
        std::string segment;
        ReadCueBytes(pass, tag, end, &segment);
        if (kind == TEXT_BYTES) {
            name = ReadCueClass(segment);
        } else {
            std::string decoded;
            decoded.reserve(kMostUtf8PerByte * segment.size());
            AppendAsUtf8(TellTextEncoding(kind, nullptr, 0), segment.data(), segment.size(),
                         &decoded);
            name = ReadCueClass(decoded);
        }
    }
    TextEncoding first = ENCODING_UTF8;
    TextEncoding last = ENCODING_UTF8;
    NameReadings(kind, &first, &last);
    return LookAtClass(&pass->look, name, first, last) ? 0 : 1;
}

// The text of one cue: each form of it is let go once the next is made, so
// that a cue of the largest size listed holds no more than two of them.
CueText ReadCue(ListPass* pass, const CueTag& tag, std::uint64_t end) {
    std::string decoded;
    {
        std::string segment;
        ReadCueBytes(pass, tag, end, &segment);
        decoded.reserve(kMostUtf8PerByte * segment.size());
        AppendAsUtf8(pass->encoding, segment.data(), segment.size(), &decoded);
    }
    CueText cue;
    ReadCueText(decoded, &cue);
    return cue;
}

// Second pass, per cue: its line on standard output. Returns 0 once a write
// failed.
int PrintCue(ListPass* pass, const CueTag& tag, std::uint64_t end) {
    const CueText cue = ReadCue(pass, tag, end);
    pass->written = WriteTextLine(ListLine(tag, cue, pass->showClasses));
    return pass->written;
}

using CueStep = int (*)(ListPass* pass, const CueTag& tag, std::uint64_t end);

struct StepContext {
    ListPass* pass;
    CueStep step;
};

int TakeTag(void* context, const CueTag& tag) {
    const StepContext* taking = static_cast<const StepContext*>(context);
    ListPass* pass = taking->pass;
    if (pass->holding && !taking->step(pass, pass->held, FileOffset(*pass->found, tag.tagStart))) {
        pass->stopped = 1;
        return 0;
    }
    pass->held = tag;
    pass->holding = 1;
    return 1;
}

// Walks the tags of `input` from the start of the file with `step` for each
// cue: 1, or 0 when the file cannot be read (errno tells why).
int WalkCues(std::FILE* input, const RunOptions& options, CueStep step, ListPass* pass,
             CueTags* found) {
    pass->found = found;
    pass->holding = 0;
    pass->stopped = 0;
    if (std::fseek(input, 0, SEEK_SET) != 0 || !RewindReader(pass->reader)) {
        return 0;
    }
    StepContext context = {pass, step};
    const CueTagSink sink = {TakeTag, &context};
    if (ReadCueTags(input, options, found, &sink) != RESULT_OK) {
        return 0;
    }
    if (pass->holding && !pass->stopped) {
        step(pass, pass->held, UINT64_MAX);
    }
    return pass->reader->failed ? 0 : 1;
}

}  // namespace

std::vector<std::string> ListLines(const std::string& bytes, const CueTags& found) {
    const std::size_t mark = ByteOffset(found, 0, bytes.size());
    const TextEncoding encoding =
        TellTextEncoding(found.kind, bytes.data() + mark, bytes.size() - mark);
    std::vector<CueText> cues(found.tags.size());
    ClassLook look = {};
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
        LookAtClass(&look, cues[index].className, ENCODING_UTF8, ENCODING_UTF8);
    }
    std::vector<std::string> lines;
    for (std::size_t index = 0; index < cues.size(); ++index) {
        lines.push_back(ListLine(found.tags[index], cues[index], look.several[ENCODING_UTF8]));
    }
    return lines;
}

namespace {

// The two passes over `input`, its text read through *reader: 1, or 0 when
// the file cannot be read (errno tells why). A read that fails in the second
// pass comes after the lines before it were printed.
int ListBothPasses(std::FILE* input, const RunOptions& options, ForwardReader* reader,
                   CueTags* found, ListPass* pass) {
    pass->reader = reader;
    pass->tallying = 1;
    StartEncodingTally(&pass->tally);
    if (!WalkCues(input, options, LookAtCue, pass, found)) {
        return 0;
    }
    // The walk stops once the classes are settled, but the encoding needs all
    // the bytes.
    TallyByKind(pass);
    ReadToEnd(reader);
    if (reader->failed) {
        return 0;
    }
    pass->encoding = FinishEncodingTally(found->kind, &pass->tally);
    pass->showClasses =
        pass->look.several[found->kind == TEXT_BYTES ? pass->encoding : ENCODING_UTF8];
    pass->look.first = std::string();
    pass->tallying = 0;
    return WalkCues(input, options, PrintCue, pass, found);
}

}  // namespace

int ListCues(const CliRequest& request) {
    const char* file = request.files[0];
    errno = 0;
    std::FILE* input = OpenFileByName(file, "rb");
    if (input == nullptr) {
        ReportMessage("cannot open " + Quoted(file) + ": " + CauseOf(errno, "open error"));
        return EXIT_BAD_FILE;
    }
    // A pipe, which could not be read twice, is refused before either read.
    errno = 0;
    std::FILE* text = std::fseek(input, 0, SEEK_SET) == 0 ? OpenFileByName(file, "rb") : nullptr;
    if (text == nullptr) {
        const int openError = errno;
        std::fclose(input);
        ReportMessage("cannot read " + Quoted(file) + ": " + CauseOf(openError, "read error"));
        return EXIT_BAD_FILE;
    }
    // The reader's block stays out of the stack.
    static ForwardReader reader;
    reader.file = text;
    CueTags found;
    ListPass pass = {};
    pass.written = 1;
    errno = 0;
    const int read =
        ListBothPasses(input, FrontEndRunOptions(request.readQuoted), &reader, &found, &pass);
    const int readError = errno;
    std::fclose(text);
    std::fclose(input);
    // A failed write to a stream shows again in the flush, which names its
    // cause; one to a console does not.
    if (!FinishStandardOutput()) {
        return EXIT_CANNOT_SAVE;
    }
    if (!pass.written) {
        ReportMessage("cannot write to standard output");
        return EXIT_CANNOT_SAVE;
    }
    if (!read) {
        ReportMessage("cannot read " + Quoted(file) + ": " + CauseOf(readError, "read error"));
        return EXIT_BAD_FILE;
    }
    ReportRunCounts(REPORTED_LAST, file, found.counts, request.verbose);
    return EXIT_DONE;
}
