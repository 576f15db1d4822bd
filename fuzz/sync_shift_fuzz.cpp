// The shift run on arbitrary contents and parameters. The run through a small
// window (so that its edges cut tags, blanks and digit runs) and through the
// whole file buffer must both equal the content handled in one piece, and no
// byte outside the time texts behind sync tags may change. The same content
// widened to UTF-16 (either byte order, behind its mark) must give the widened
// output, with and without quoted times read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_files.h"
#include "progress_recorder.h"
#include "sami_text.h"
#include "one_piece_shift.h"
#include "sync_file_walk.h"
#include "sync_shift.h"
#include "named_runs.h"
#include "sync_tag_search.h"
#include "widened_text.h"

namespace {

std::int32_t TakeInt32(const std::uint8_t* data) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    // Small values are the interesting ones: keep most of them small.
    if ((bits & 0x80000000u) == 0) {
        bits &= 0x3FFFFu;
        return static_cast<std::int32_t>(bits);
    }
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The byte run and the widened runs, with the same quoted option, agree.
void CheckWidened(const std::string& input, const ShiftParams& p, std::int32_t window,
                  int readQuoted) {
    const std::string in = FuzzPath("in.smi");
    const std::string out = FuzzPath("out.smi");
    // The bytes through the whole buffer, the widened texts through the small
    // window, so that the window's edges cut units and quoted times too.
    const RunOptions options{readQuoted, window};
    const RunOptions whole{readQuoted, kFileBufferSize};
    RunCounts byteCounts;
    std::int32_t byteLast = 0;
    if (!WriteWhole(in, input) ||
        ShiftNamedFile(in.c_str(), out.c_str(), p, whole, &byteCounts) != 0 ||
        ReadNamedLastSyncTime(in.c_str(), whole, &byteLast) != 0) {
        std::abort();
    }
    const std::string byteOutput = ReadWhole(out);
    for (TextKind kind : {TEXT_UTF16_LE, TEXT_UTF16_BE}) {
        const std::string mark = ByteOrderMark(kind);
        RunCounts counts;
        std::int32_t last = 0;
        if (!WriteWhole(in, mark + Widen(input, kind)) ||
            ShiftNamedFile(in.c_str(), out.c_str(), p, options, &counts) != 0 ||
            ReadWhole(out) != mark + Widen(byteOutput, kind) ||
            ReadNamedLastSyncTime(in.c_str(), options, &last) != 0 || last != byteLast ||
            counts.timesMoved != byteCounts.timesMoved ||
            counts.tagsUnread != byteCounts.tagsUnread) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int built = BuildSyncTagTables();
    (void)built;
    if (size < 17) {
        return 0;
    }
    ShiftParams p{TakeInt32(data), TakeInt32(data + 4), TakeInt32(data + 8), TakeInt32(data + 12)};
    if (data[16] & 1) {
        p.stretch = 0;
    }
    const auto window = static_cast<std::int32_t>(16 + data[16] % 100);
    std::string input(reinterpret_cast<const char*>(data + 17), size - 17);
    // The model reads bytes: a text that opens as UTF-16 does gets a byte before it.
    if (LooksLikeUtf16(input)) {
        input.insert(0, "x");
    }
    const std::string in = FuzzPath("in.smi");
    const std::string out = FuzzPath("out.smi");
    if (!WriteWhole(in, input)) {
        std::abort();
    }
    const OnePieceResult expected = ShiftInOnePiece(input, p, 0);
    for (std::int32_t size_ : {window, kFileBufferSize}) {
        ResetProgress();
        RunCounts counts;
        const RunOptions options = RecordingProgress(RunOptions{0, size_});
        if (ShiftNamedFile(in.c_str(), out.c_str(), p, options, &counts) != 0 ||
            ReadWhole(out) != expected.output || g_recordedPercents != expected.percents ||
            counts.largestTime != expected.last ||
            FindLastSyncTimeInWindow(in.c_str(), size_) != expected.last) {
            std::abort();
        }
    }
    if (WithoutTimes(expected.output) != WithoutTimes(input)) {
        std::abort();
    }
    CheckWidened(input, p, window, (data[16] & 2) != 0 ? 1 : 0);
    return 0;
}
