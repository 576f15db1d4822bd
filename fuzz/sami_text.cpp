// A plain byte-by-byte reading, deliberately unlike the engine's search.
#include "sami_text.h"

#include "sync_tag_search.h"

namespace {

bool IsTimeByte(char c) {
    return c == ' ' || c == '\t' || c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

}  // namespace

bool IsSyncTagAt(const std::string& text, std::size_t at) {
    if (at + kSyncTagSize > text.size()) {
        return false;
    }
    for (int k = 0; k < kSyncTagSize; ++k) {
        auto c = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
        c = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
        if (c != static_cast<unsigned char>(kSyncTag[k])) {
            return false;
        }
    }
    return true;
}

std::string WithoutTimes(const std::string& text) {
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        if (!IsSyncTagAt(text, at)) {
            kept += text[at++];
            continue;
        }
        kept.append(text, at, kSyncTagSize);
        at += kSyncTagSize;
        while (at < text.size() && IsTimeByte(text[at])) {
            ++at;
        }
    }
    return kept;
}
