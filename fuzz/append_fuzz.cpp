// The append run on two arbitrary files and offsets, against a model of its
// layout: the first file's head, the append file's body, the closing line and
// the first file's tail, cut into pieces as a line read with a count of 1,024
// cuts them. Times behind sync tags are left out of the comparison; every
// other byte must be where the layout puts it. Both files widened to UTF-16
// give the widened output.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "progress_recorder.h"
#include "sami_text.h"
#include "result_codes.h"
#include "subtitle_append.h"
#include "named_runs.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "widened_text.h"

namespace {

std::vector<std::string> Pieces(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && end - at < 1023) {
            if (text[end++] == '\n') {
                break;
            }
        }
        pieces.push_back(text.substr(at, end - at));
        at = end;
    }
    return pieces;
}

bool HoldsTag(const std::string& piece) {
    for (std::size_t at = 0; at < piece.size(); ++at) {
        if (IsSyncTagAt(piece, at)) {
            return true;
        }
    }
    return false;
}

bool Begins(const std::string& piece, const char* tag) {
    return piece.rfind(tag, 0) == 0;
}

std::string ModelLayout(const std::string& first, const std::string& append) {
    const std::vector<std::string> firstPieces = Pieces(first);
    const std::vector<std::string> appendPieces = Pieces(append);
    std::string out;
    std::size_t k = 0;
    for (; k < firstPieces.size() && !Begins(firstPieces[k], "</BODY>"); ++k) {
        out += firstPieces[k];
    }
    std::size_t a = 0;
    while (a < appendPieces.size() && !Begins(appendPieces[a], "<BODY>")) {
        ++a;
    }
    for (++a; a < appendPieces.size(); ++a) {
        const std::string& piece = appendPieces[a];
        if (!HoldsTag(piece) && Begins(piece, "</BODY>")) {
            break;
        }
        out += piece;
    }
    out += "</BODY>\r\n";
    for (++k; k < firstPieces.size(); ++k) {
        out += firstPieces[k];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int built = BuildSyncTagTables();
    (void)built;
    if (size < 6) {
        return 0;
    }
    std::int32_t offset;
    std::memcpy(&offset, data, sizeof offset);
    // Two bytes choose where the first file ends; lines longer than a piece
    // come from repeating the input.
    const std::size_t rest = size - 6;
    const std::size_t split = (static_cast<std::size_t>(data[4]) * 256 + data[5]) % (rest + 1);
    std::string first(reinterpret_cast<const char*>(data + 6), split);
    std::string append(reinterpret_cast<const char*>(data + 6 + split), rest - split);
    if (offset & 1) {
        first += std::string(1100, 'x') + first;
    }
    // The model reads bytes: a text that opens as UTF-16 does gets a byte before it.
    for (std::string* text : {&first, &append}) {
        if (LooksLikeUtf16(*text)) {
            text->insert(0, "x");
        }
    }
    const std::string firstPath = FuzzPath("first.smi");
    const std::string appendPath = FuzzPath("append.smi");
    const std::string outPath = FuzzPath("out.smi");
    if (!WriteWhole(firstPath, first) || !WriteWhole(appendPath, append)) {
        std::abort();
    }
    ResetProgress();
    RunCounts counts;
    if (AppendNamedFiles(firstPath.c_str(), appendPath.c_str(), outPath.c_str(), offset,
                         RecordingProgress(FrontEndRunOptions(0)), &counts) != RESULT_OK) {
        std::abort();
    }
    const std::string output = ReadWhole(outPath);
    if (WithoutTimes(output) != WithoutTimes(ModelLayout(first, append))) {
        std::abort();
    }
    // Every run ends with the bar at 100.
    if (g_recordedPercents.empty() || g_recordedPercents.back() != 100) {
        std::abort();
    }
    const int readQuoted = (offset & 2) != 0 ? 1 : 0;
    if (AppendNamedFiles(firstPath.c_str(), appendPath.c_str(), outPath.c_str(), offset,
                         FrontEndRunOptions(readQuoted), &counts) != RESULT_OK) {
        std::abort();
    }
    const std::string byteOutput = ReadWhole(outPath);
    for (TextKind kind : {TEXT_UTF16_LE, TEXT_UTF16_BE}) {
        const std::string mark = ByteOrderMark(kind);
        if (!WriteWhole(firstPath, mark + Widen(first, kind)) ||
            !WriteWhole(appendPath, mark + Widen(append, kind)) ||
            AppendNamedFiles(firstPath.c_str(), appendPath.c_str(), outPath.c_str(), offset,
                             FrontEndRunOptions(readQuoted), &counts) != RESULT_OK ||
            ReadWhole(outPath) != mark + Widen(byteOutput, kind)) {
            std::abort();
        }
    }
    return 0;
}
