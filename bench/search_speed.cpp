// The two tag searches over the same 64 MiB of generated SAMI text in memory,
// against a copy of it, with nothing but the standard library: the program the
// Windows build measures under Wine, where Google Benchmark is not at hand.
// Prints the median of 7 runs of each, in ms and as a ratio to the copy, and
// fails when the two searches find different tags.
// Usage: search_speed [MiB]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sync_tag_search.h"

namespace {

// A byte of the copy is read into it, so that the copy is not left out.
volatile char g_sink;

using SearchFunction = int (*)(const char*, std::int32_t, const char*, std::int32_t, std::int32_t*);

// Cues every 50 to 100 bytes, Korean text in CP949, near misses in the tags
// of the paragraphs, CR LF.
std::string MakeText(std::size_t size) {
    std::string text =
        "<SAMI>\r\n<HEAD>\r\n<STYLE>P { font-size: 20pt; }</STYLE>\r\n</HEAD>\r\n"
        "<BODY>\r\n";
    std::uint32_t state = 12345;
    std::int64_t time = 1000;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        time += 500 + static_cast<std::int64_t>(state % 4000);
        text += "<SYNC Start=" + std::to_string(time) + "><P Class=KRCC>";
        for (std::uint32_t k = 0; k < 8 + (state >> 8) % 24; ++k) {
            text += "\xb4\xeb";
        }
        text += "\r\n";
    }
    return text;
}

// All tags of the text, by offset, as the walk finds them one after another.
std::int64_t CountTags(SearchFunction search, const std::string& text) {
    std::int64_t count = 0;
    std::int32_t position = 0;
    std::int32_t offset = 0;
    const auto length = static_cast<std::int32_t>(text.size());
    while (search(text.data() + position, length - position, kSyncTag, g_syncTagLength, &offset)) {
        ++count;
        position += offset + g_syncTagLength;
    }
    return count;
}

template <typename Work>
double MedianMilliseconds(Work work) {
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        times.push_back(spent.count());
    }
    std::sort(times.begin(), times.end());
    return times[3];
}

}  // namespace

int main(int argc, char** argv) {
    const long mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 64;
    if (mebibytes < 1 || mebibytes > 1024) {
        std::fprintf(stderr, "usage: search_speed [MiB, 1 to 1024]\n");
        return 2;
    }
    BuildSyncTagTables();
    const std::string text = MakeText(static_cast<std::size_t>(mebibytes) << 20);
    std::vector<char> copy(text.size());
    const double copied = MedianMilliseconds([&] {
        std::memcpy(copy.data(), text.data(), text.size());
        g_sink = copy[copy.size() / 2];
    });
    std::int64_t portableTags = 0;
    std::int64_t vectorTags = 0;
    const double portable =
        MedianMilliseconds([&] { portableTags = CountTags(FindSyncTagPortable, text); });
    const double vector =
        MedianMilliseconds([&] { vectorTags = CountTags(FindSyncTagVector, text); });
    std::printf("%ld MiB, %lld tags; vector search compiled in: %s\n", mebibytes,
                static_cast<long long>(portableTags), kVectorSearch ? "yes" : "no");
    std::printf("| run | ms | / copy |\n|---|---:|---:|\n");
    std::printf("| copy (memcpy) | %.1f | 1.00 |\n", copied);
    std::printf("| portable search | %.1f | %.2f |\n", portable, portable / copied);
    std::printf("| vector search | %.1f | %.2f |\n", vector, vector / copied);
    std::printf("vector / portable: %.2f\n", vector / portable);
    if (portableTags != vectorTags) {
        std::fprintf(stderr, "the searches disagree: %lld and %lld tags\n",
                     static_cast<long long>(portableTags), static_cast<long long>(vectorTags));
        return 1;
    }
    return 0;
}
