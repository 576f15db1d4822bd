// The append run: five phases over three streams, one piece of a line at a time.
#include "subtitle_append.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "output_stream.h"
#include "progress.h"
#include "result_codes.h"
#include "sync_tag_search.h"
#include "time_values.h"
#include "token_scanner.h"

namespace {

constexpr std::size_t kReadBlockSize = 65536;
constexpr std::uint32_t kInt32Max = 2147483647u;
constexpr char kClosingLine[] = "</BODY>\r\n";
constexpr std::size_t kClosingLineLength = sizeof(kClosingLine) - 1;

// An input read in large blocks and handed out piece by piece. The pieces are
// cut exactly where a line read with a count of 1,024 would cut them, but come
// with their real length, so that NUL bytes inside a piece are kept.
struct PieceReader {
    std::FILE* file;
    std::size_t start;  // first byte of the block not yet handed out
    std::size_t end;    // bytes of file data in the block
    int ended;          // the end of the file or a read error was met
    int failed;         // a read failed
    char block[kReadBlockSize];
};

// Everything a run holds: fixed in size, so files of any length fit. It lives
// outside the stack because the run executes inside a window procedure.
struct AppendRun {
    PieceReader first;
    PieceReader append;
    OutputStream out;
    std::int64_t processed;
    std::int64_t total;
    const char* piece;  // the current piece, in a block or in pieceCopy
    // A piece that is copied, and the NUL that ends a token scan at its end.
    char pieceCopy[kPieceCount];
};

AppendRun g_appendRun;

void OpenReader(PieceReader* reader, std::FILE* file) {
    reader->file = file;
    reader->start = 0;
    reader->end = 0;
    reader->ended = 0;
    reader->failed = 0;
}

int RefillBlock(PieceReader* reader) {
    if (reader->ended) {
        return 0;
    }
    const std::size_t count = std::fread(reader->block, 1, kReadBlockSize, reader->file);
    if (count == 0) {
        // A read error ends the input like its end; the run reports it afterwards.
        if (std::ferror(reader->file) != 0) {
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
// returns its length; 0 at the end of the input.
std::int32_t CopyPiece(PieceReader* reader, char* piece) {
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
        length += take;
        reader->start += take;
    }
    piece[length] = '\0';
    return static_cast<std::int32_t>(length);
}

// Hands out the next piece and returns its length; 0 at the end of the input.
// A piece that lies whole in the block and ends with LF stays where it is: a
// token scan stops at that LF at the latest. Any other piece is copied into
// `copy` (kPieceCount bytes) and NUL-terminated.
std::int32_t ReadPiece(PieceReader* reader, char* copy, const char** piece) {
    const char* from = reader->block + reader->start;
    std::size_t take = reader->end - reader->start;
    take = take < static_cast<std::size_t>(kMaxPieceLength)
               ? take
               : static_cast<std::size_t>(kMaxPieceLength);
    const void* lineEnd = std::memchr(from, '\n', take);
    if (lineEnd != nullptr) {
        const std::size_t length =
            static_cast<std::size_t>(static_cast<const char*>(lineEnd) - from) + 1;
        reader->start += length;
        *piece = from;
        return static_cast<std::int32_t>(length);
    }
    *piece = copy;
    return CopyPiece(reader, copy);
}

// Reads the next piece of `reader` into the run's piece and counts it for the
// progress rule, whatever becomes of it.
std::int32_t ReadCountedPiece(AppendRun* run, PieceReader* reader) {
    const std::int32_t length = ReadPiece(reader, run->pieceCopy, &run->piece);
    if (length > 0) {
        run->processed += length;
        ReportProgress(run->processed, run->total);
    }
    return length;
}

void WritePiece(AppendRun* run, std::int32_t length) {
    WriteOutput(&run->out, run->piece, static_cast<std::size_t>(length));
}

// The input's size for the progress rule; 0 when it cannot be told, as for a
// pipe, which only delays the bar to the final 100.
std::int64_t InputSize(const char* path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::int64_t>(size);
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
    if (!ReadSyncTime(&cursor, timeText, secondText, &kind)) {
        WritePiece(run, length);
        return;
    }
    char newText[kTokenTextSize];
    const int newLength = FormatMovedTime(timeText, offset, newText);
    WriteOutput(&run->out, piece, static_cast<std::size_t>(tagEnd));
    WriteOutput(&run->out, newText, static_cast<std::size_t>(newLength));
    WriteOutput(&run->out, cursor, static_cast<std::size_t>(piece + length - cursor));
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

std::int32_t AppendSubtitles(const char* firstPath, const char* appendPath, const char* outputPath,
                             std::int32_t offset) {
    std::FILE* first = std::fopen(firstPath, "rb");
    if (first == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::FILE* append = std::fopen(appendPath, "rb");
    if (append == nullptr) {
        std::fclose(first);
        return RESULT_BAD_APPEND_FILE;
    }
    AppendRun* run = &g_appendRun;
    if (!OpenOutput(&run->out, outputPath)) {
        std::fclose(first);
        std::fclose(append);
        return RESULT_CANNOT_SAVE;
    }
    OpenReader(&run->first, first);
    OpenReader(&run->append, append);
    run->processed = 0;
    run->total = InputSize(firstPath) + InputSize(appendPath);

    CopyFirstHead(run);
    if (SkipAppendHead(run)) {
        CopyAppendBody(run, offset);
    }
    WriteOutput(&run->out, kClosingLine, kClosingLineLength);
    CopyFirstTail(run);
    SetProgressBar(g_progressWindow, 100);

    const int saved = CloseOutput(&run->out);
    std::fclose(first);
    std::fclose(append);
    if (run->first.failed) {
        return RESULT_BAD_FILE;
    }
    if (run->append.failed) {
        return RESULT_BAD_APPEND_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}
