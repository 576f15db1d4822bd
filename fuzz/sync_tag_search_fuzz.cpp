// FindSyncTag on arbitrary bytes and counts against a plain search for the
// leftmost occurrence, letters in either case; the count is never read past.
// The vector and the portable search agree over every window the input's
// second byte steps through, as the file walk hands them windows.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sync_tag_search.h"

namespace {

int PlainFind(const char* text, std::int32_t count) {
    for (std::int32_t at = 0; at + kSyncTagSize <= count; ++at) {
        int k = 0;
        for (; k < kSyncTagSize; ++k) {
            auto t = static_cast<unsigned char>(text[at + k]);
            t = (t >= 'a' && t <= 'z') ? static_cast<unsigned char>(t - 32) : t;
            if (t != static_cast<unsigned char>(kSyncTag[k])) {
                break;
            }
        }
        if (k == kSyncTagSize) {
            return at;
        }
    }
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int built = BuildSyncTagTables();
    (void)built;
    if (size < 1) {
        return 0;
    }
    // The first byte chooses how much of the rest the count leaves out.
    const auto cut = static_cast<std::int32_t>(data[0] % 16);
    // An exact-size copy, so that AddressSanitizer catches a read past the end.
    const std::vector<char> text(data + 1, data + size);
    const std::int32_t count = static_cast<std::int32_t>(text.size()) - cut;
    std::int32_t offset = -1;
    const int found = FindSyncTag(text.data(), count, kSyncTag, g_syncTagLength, &offset);
    if ((found ? offset : -1) != PlainFind(text.data(), count)) {
        std::abort();
    }
    if (size < 2 || count < 1) {
        return 0;
    }
    const auto step = static_cast<std::int32_t>(1 + data[1] % 32);
    for (std::int32_t from = 0; from < count; from += step) {
        const std::vector<char> window(text.begin() + from, text.begin() + count);
        const auto length = static_cast<std::int32_t>(window.size());
        std::int32_t portable = -1;
        std::int32_t vector = -1;
        const int portableFound =
            FindSyncTagPortable(window.data(), length, kSyncTag, g_syncTagLength, &portable);
        const int vectorFound =
            FindSyncTagVector(window.data(), length, kSyncTag, g_syncTagLength, &vector);
        if (portableFound != vectorFound || portable != vector) {
            std::abort();
        }
    }
    return 0;
}
