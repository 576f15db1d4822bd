// Generated subtitles, streamed to disk so that generating needs no memory.
#include "sami_generator.h"

#include <cstdio>
#include <random>
#include <vector>

namespace {

const char kHead[] =
    "<SAMI>\r\n<HEAD>\r\n<TITLE>Generated</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
    "P { margin-left: 8pt; margin-right: 8pt; margin-bottom: 2pt; margin-top: 2pt;\r\n"
    "    text-align: center; font-size: 20pt; font-family: Gulim, Arial; }\r\n"
    ".KRCC { Name: Korean; lang: ko-KR; SAMIType: CC; }\r\n-->\r\n</STYLE>\r\n</HEAD>\r\n"
    "<BODY>\r\n";
const char kTail[] = "</BODY>\r\n</SAMI>\r\n";

// Korean syllables in CP949: lead byte 0xB0 to 0xC8, trail byte 0xA1 to 0xFE.
// Whole syllables only, and the line stays within `limit` bytes.
void AppendKorean(std::string& line, std::mt19937& random, int syllables, std::size_t limit) {
    for (int k = 0; k < syllables && line.size() + 3 <= limit; ++k) {
        line += static_cast<char>(0xB0 + random() % 0x19);
        line += static_cast<char>(0xA1 + random() % 0x5E);
        if (random() % 4 == 0) {
            line += ' ';
        }
    }
}

}  // namespace

bool WriteGeneratedSami(const std::string& path, std::int64_t size, unsigned seed) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::mt19937 random(seed);
    bool ok = std::fputs(kHead, out) >= 0;
    std::int64_t written = sizeof kHead - 1;
    std::int64_t time = 0;
    std::string cue;
    while (ok && written < size) {
        time += static_cast<std::int64_t>(500 + random() % 4000);
        cue = "<SYNC Start=" + std::to_string(time) + "><P Class=KRCC>";
        // Cues are 50 to 100 bytes long, the line end and a "<br>" included.
        const bool br = random() % 3 == 0;
        AppendKorean(cue, random, static_cast<int>(8 + random() % 20), br ? 94 : 98);
        cue += br ? "<br>\r\n" : "\r\n";
        while (cue.size() < 50) {
            cue.insert(cue.size() - 2, ".");
        }
        ok = std::fwrite(cue.data(), 1, cue.size(), out) == cue.size();
        written += static_cast<std::int64_t>(cue.size());
    }
    ok = ok && std::fputs(kTail, out) >= 0;
    return std::fclose(out) == 0 && ok;
}

bool WriteGeneratedSamiUtf16(const std::string& path, std::int64_t size, unsigned seed) {
    const std::string bytesPath = path + ".bytes";
    if (!WriteGeneratedSami(bytesPath, size / 2, seed)) {
        return false;
    }
    std::FILE* in = std::fopen(bytesPath.c_str(), "rb");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = in != nullptr && out != nullptr && std::fputs("\xFF\xFE", out) >= 0;
    std::vector<char> block(1 << 20);
    std::vector<char> wide(2 << 20);
    std::size_t got = 0;
    while (ok && (got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        for (std::size_t k = 0; k < got; ++k) {
            wide[2 * k] = block[k];
            wide[2 * k + 1] = '\0';
        }
        ok = std::fwrite(wide.data(), 1, 2 * got, out) == 2 * got;
    }
    ok = ok && in != nullptr && !std::ferror(in);
    if (in != nullptr) {
        std::fclose(in);
    }
    ok = out != nullptr && std::fclose(out) == 0 && ok;
    std::remove(bytesPath.c_str());
    return ok;
}

namespace {

bool CopyInto(std::FILE* out, const std::string& from, std::vector<char>& block) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    bool ok = true;
    std::size_t got = 0;
    while (ok && (got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        ok = std::fwrite(block.data(), 1, got, out) == got;
    }
    ok = ok && !std::ferror(in);
    std::fclose(in);
    return ok;
}

}  // namespace

bool CopyFilesBuffered(const std::vector<std::string>& from, const std::string& to) {
    static std::vector<char> block(1 << 20);
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    bool ok = true;
    for (const std::string& path : from) {
        ok = ok && CopyInto(out, path, block);
    }
    return std::fclose(out) == 0 && ok;
}
