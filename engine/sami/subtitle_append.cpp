// The append run: five phases over three streams, one piece of a line at a time.
#include "subtitle_append.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "output_stream.h"
#include "progress.h"
#include "result_codes.h"
#include "sync_tag_search.h"
#include "text_input.h"
#include "time_values.h"
#include "token_scanner.h"

namespace {

constexpr std::size_t kReadBlockSize = 65536;
constexpr std::uint32_t kInt32Max = 2147483647u;
constexpr char kClosingLine[] = "</BODY>\r\n";
constexpr std::size_t kClosingLineLength = sizeof(kClosingLine) - 1;

// An input read in large blocks and handed out piece by piece. The pieces are
// cut exactly where a line read with a count of 1,024 would cut them, counted in
// text units, but come with their real length, so that NUL units inside a piece
// are kept. A UTF-16 block holds the narrowed text and the units' own bytes.
struct PieceReader {
    TextInput input;
    std::size_t start;  // first unit of the block not yet handed out
    std::size_t end;    // units of file text in the block
    int ended;          // the end of the file or a read error was met
    int failed;         // a read failed
    char block[kReadBlockSize];
    char wideBlock[2 * kReadBlockSize];
};

// Everything a run holds: fixed in size, so files of any length fit. It lives
// outside the stack because the run executes inside a window procedure.
struct AppendRun {
    PieceReader first;
    PieceReader append;
    OutputStream out;
    std::int64_t processed;
    ProgressRule progress;
    TextKind kind;  // the kind of both inputs and of the output
    int readQuoted;
    RunCounts* counts;
    const char* piece;      // the current piece's narrowed text, in a block or in pieceCopy
    const char* widePiece;  // for UTF-16: the same units' own bytes
    // A piece that is copied, and the NUL that ends a token scan at its end.
    char pieceCopy[kPieceCount];
    char widePieceCopy[2 * kPieceCount];
};

AppendRun g_appendRun;

void OpenReader(PieceReader* reader, std::FILE* file) {
    OpenTextInput(&reader->input, file);
    reader->start = 0;
    reader->end = 0;
    reader->ended = 0;
    reader->failed = reader->input.failed;
}

int RefillBlock(PieceReader* reader) {
    if (reader->ended) {
        return 0;
    }
    const std::size_t count =
        ReadTextUnits(&reader->input, reader->block, reader->wideBlock, kReadBlockSize);
    if (count == 0) {
        // A read error ends the input like its end; the run reports it afterwards.
        if (reader->input.failed) {
            reader->failed = 1;
        }
        reader->ended = 1;
        return 0;
    }
    reader->start = 0;
    reader->end = count;
    return 1;
}

// Copies the next piece into `piece` (kPieceCount bytes), NUL-terminated, and
// for UTF-16 its units' bytes into `widePiece`; returns its length in units, 0
// at the end of the input.
std::int32_t CopyPiece(PieceReader* reader, char* piece, char* widePiece) {
    std::size_t length = 0;
    bool lineEnded = false;
    while (!lineEnded && length < static_cast<std::size_t>(kMaxPieceLength)) {
        if (reader->start == reader->end && !RefillBlock(reader)) {
            break;
        }
        const char* from = reader->block + reader->start;
        std::size_t take = reader->end - reader->start;
        const std::size_t room = static_cast<std::size_t>(kMaxPieceLength) - length;
        take = take < room ? take : room;
        const void* lineEnd = std::memchr(from, '\n', take);
        if (lineEnd != nullptr) {
            take = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - from) + 1;
            lineEnded = true;
        }
        std::memcpy(piece + length, from, take);
        if (reader->input.kind != TEXT_BYTES) {
            std::memcpy(widePiece + 2 * length, reader->wideBlock + 2 * reader->start, 2 * take);
        }
        length += take;
        reader->start += take;
    }
    piece[length] = '\0';
    return static_cast<std::int32_t>(length);
}

// Hands out the next piece and returns its length; 0 at the end of the input.
// A piece that lies whole in the block and ends with LF stays where it is: a
// token scan stops at that LF at the latest. Any other piece is copied into
// `run`'s copies and NUL-terminated.
std::int32_t ReadPiece(AppendRun* run, PieceReader* reader) {
    const char* from = reader->block + reader->start;
    std::size_t take = reader->end - reader->start;
    take = take < static_cast<std::size_t>(kMaxPieceLength)
               ? take
               : static_cast<std::size_t>(kMaxPieceLength);
    const void* lineEnd = std::memchr(from, '\n', take);
    if (lineEnd != nullptr) {
        const std::size_t length =
            static_cast<std::size_t>(static_cast<const char*>(lineEnd) - from) + 1;
        run->piece = from;
        run->widePiece = reader->wideBlock + 2 * reader->start;
        reader->start += length;
        return static_cast<std::int32_t>(length);
    }
    run->piece = run->pieceCopy;
    run->widePiece = run->widePieceCopy;
    return CopyPiece(reader, run->pieceCopy, run->widePieceCopy);
}

// Reads the next piece of `reader` into the run's piece and counts it for the
// progress rule, whatever becomes of it.
std::int32_t ReadCountedPiece(AppendRun* run, PieceReader* reader) {
    const std::int32_t length = ReadPiece(run, reader);
    if (length > 0) {
        run->processed += std::int64_t{length} * reader->input.unitSize;
        ReportProgress(&run->progress, run->processed);
    }
    return length;
}

// Writes the units from `from` to `to` of the current piece unchanged.
void WritePieceUnits(AppendRun* run, std::int32_t from, std::int32_t to) {
    WriteTextUnits(&run->out, run->kind, run->piece + from, run->widePiece + 2 * from,
                   static_cast<std::size_t>(to - from));
}

void WritePiece(AppendRun* run, std::int32_t length) {
    WritePieceUnits(run, 0, length);
}

// atoi of the time text plus the offset, wrapped as signed 32-bit arithmetic
// wraps, written in decimal with a '-' before a negative value; returns the
// text's length. A 15-digit text needs 64 bits before the wrap; the low 32 bits
// of the exact sum are the same as those of a conversion done in wrapping
// 32-bit steps.
int FormatMovedTime(const char* timeText, std::int32_t offset, char* newText) {
    const std::int64_t value = ConvertInteger(timeText, std::strlen(timeText));
    const std::uint32_t sum = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)) +
                              static_cast<std::uint32_t>(offset);
    if (sum <= kInt32Max) {
        return FormatDecimal(sum, newText);
    }
    newText[0] = '-';
    return 1 + FormatDecimal(0u - sum, newText + 1);
}

// The moved time, between its quotation marks when it stood in them: at most a
// mark, a sign, ten digits and a mark.
int FormatQuotedTime(const char* timeText, std::int32_t offset, int quote, char* newText) {
    if (quote == 0) {
        return FormatMovedTime(timeText, offset, newText);
    }
    newText[0] = static_cast<char>(quote);
    const int length = 1 + FormatMovedTime(timeText, offset, newText + 1);
    newText[length] = static_cast<char>(quote);
    newText[length + 1] = '\0';
    return length + 1;
}

// A body piece holding a sync tag at `tagAt`: written with its time moved, the
// blanks and sign before the time and any fraction behind it left out; a tag
// without a time of at most 15 bytes behind it leaves the piece unchanged. The
// three parts are written one by one, so a piece that grows past 1,023 bytes
// is written in full.
void WriteMovedPiece(AppendRun* run, std::int32_t length, std::int32_t tagAt, std::int32_t offset) {
    const char* piece = run->piece;
    const std::int32_t tagEnd = tagAt + g_syncTagLength;
    const char* cursor = piece + tagEnd;
    char timeText[kTokenTextSize];
    char secondText[kTokenTextSize];
    TokenKind kind;
    int quote = 0;
    const int hasTime = ReadTagTime(&cursor, run->readQuoted, timeText, secondText, &kind, &quote);
    CountSyncTag(run->counts, hasTime, hasTime, quote, run->readQuoted);
    ++run->counts->cuesAppended;
    if (!hasTime) {
        WritePiece(run, length);
        return;
    }
    char newText[kTokenTextSize];
    const int newLength = FormatQuotedTime(timeText, offset, quote, newText);
    WritePieceUnits(run, 0, tagEnd);
    WriteAsciiText(&run->out, run->kind, newText, static_cast<std::size_t>(newLength));
    WritePieceUnits(run, static_cast<std::int32_t>(cursor - piece), length);
}

// Copies the first file up to its first piece that begins with "</BODY>",
// which is dropped whole.
void CopyFirstHead(AppendRun* run) {
    for (;;) {
        const std::int32_t length = ReadCountedPiece(run, &run->first);
        if (length == 0 || StartsWithTag(run->piece, length, kBodyEndTag, kBodyEndTagLength)) {
            return;
        }
        WritePiece(run, length);
    }
}

// Drops the append file's pieces up to and including its first piece that
// begins with "<BODY>"; 1 when there is one, 0 at the end of the file.
int SkipAppendHead(AppendRun* run) {
    for (;;) {
        const std::int32_t length = ReadCountedPiece(run, &run->append);
        if (length == 0) {
            return 0;
        }
        if (StartsWithTag(run->piece, length, kBodyTag, kBodyTagLength)) {
            return 1;
        }
    }
}

// Copies the append file's body, each piece with its first sync time moved, up
// to the first piece without a sync tag that begins with "</BODY>". The tag is
// looked for first, so "</BODY>" followed by a cue does not end the body.
void CopyAppendBody(AppendRun* run, std::int32_t offset) {
    for (;;) {
        const std::int32_t length = ReadCountedPiece(run, &run->append);
        if (length == 0) {
            return;
        }
        std::int32_t tagAt = 0;
        if (FindSyncTag(run->piece, length, kSyncTag, g_syncTagLength, &tagAt)) {
            WriteMovedPiece(run, length, tagAt, offset);
        } else if (StartsWithTag(run->piece, length, kBodyEndTag, kBodyEndTagLength)) {
            return;
        } else {
            WritePiece(run, length);
        }
    }
}

void CopyFirstTail(AppendRun* run) {
    for (;;) {
        const std::int32_t length = ReadCountedPiece(run, &run->first);
        if (length == 0) {
            return;
        }
        WritePiece(run, length);
    }
}

}  // namespace

std::int32_t AppendFileCues(std::FILE* first, std::int64_t firstSize, std::FILE* append,
                            std::int64_t appendSize, std::FILE* output, std::int32_t offset,
                            const RunOptions& options, RunCounts* counts) {
    ClearRunCounts(counts);
    AppendRun* run = &g_appendRun;
    OpenReader(&run->first, first);
    OpenReader(&run->append, append);
    // Units of two kinds cannot stand in one file: nothing is written.
    if (run->first.input.kind != run->append.input.kind) {
        return RESULT_MIXED_TEXT_KINDS;
    }
    StartOutput(&run->out, output);
    run->kind = run->first.input.kind;
    run->readQuoted = options.readQuoted;
    run->counts = counts;
    counts->kind = run->kind;
    run->processed = run->first.input.markLength + run->append.input.markLength;
    StartProgress(&run->progress, options.progress, options.progressContext,
                  firstSize + appendSize);

    // The first file's byte order mark opens the output; the append file's is dropped.
    WriteOutput(&run->out, reinterpret_cast<const char*>(run->first.input.mark),
                static_cast<std::size_t>(run->first.input.markLength));
    CopyFirstHead(run);
    if (SkipAppendHead(run)) {
        CopyAppendBody(run, offset);
    }
    WriteAsciiText(&run->out, run->kind, kClosingLine, kClosingLineLength);
    CopyFirstTail(run);
    // Half a unit can only stand at the very end without shifting every unit
    // behind it: the first file's odd last byte ends the output, the append
    // file's is dropped.
    if (run->first.input.hasOddByte) {
        const char odd = static_cast<char>(run->first.input.oddByte);
        WriteOutput(&run->out, &odd, 1);
    }
    FinishProgress(&run->progress);

    const int saved = FinishOutput(&run->out);
    if (run->first.failed) {
        return RESULT_BAD_FILE;
    }
    if (run->append.failed) {
        return RESULT_BAD_APPEND_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}
