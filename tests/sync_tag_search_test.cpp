// The sync tag search: its tables, its case and blank rules, its count limit,
// and agreement with a plain leftmost search; the body-tag prefix test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "sync_tag_search.h"

namespace {

class SyncTagSearch : public ::testing::Test {
protected:
    void SetUp() override { BuildSyncTagTables(); }
};

int Find(const std::string& text, std::int32_t count, std::int32_t* offset) {
    // An exact-size heap copy, so that AddressSanitizer sees any read past count.
    std::vector<char> bytes(text.begin(), text.begin() + (count > 0 ? count : 0));
    return FindSyncTag(bytes.data(), count, kSyncTag, g_syncTagLength, offset);
}

// Leftmost occurrence by comparing at every position, letters in either case.
int PlainFind(const std::string& text) {
    for (std::size_t at = 0; at + kSyncTagSize <= text.size(); ++at) {
        bool match = true;
        for (int k = 0; k < kSyncTagSize && match; ++k) {
            const auto t = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
            const char upper =
                (t >= 'a' && t <= 'z') ? static_cast<char>(t - 32) : static_cast<char>(t);
            match = upper == kSyncTag[k];
        }
        if (match) {
            return static_cast<int>(at);
        }
    }
    return -1;
}

TEST_F(SyncTagSearch, TablesForTheSyncTag) {
    EXPECT_EQ(g_syncTagLength, 12);
    EXPECT_STREQ(g_lowercaseTag, "<sync start=");
    const std::vector<std::pair<unsigned char, int>> own = {{'<', 11}, {'Y', 9}, {'N', 8}, {'C', 7},
                                                            {' ', 6},  {'S', 5}, {'A', 3}, {'R', 2},
                                                            {'T', 1},  {'=', 0}};
    for (int byte = 0; byte < 256; ++byte) {
        int expected = 12;
        for (const auto& entry : own) {
            if (entry.first == byte) {
                expected = entry.second;
            }
        }
        EXPECT_EQ(g_badCharacterTable[byte], expected) << "byte " << byte;
    }
    const int goodSuffix[12] = {23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 1};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(g_goodSuffixTable[k], goodSuffix[k]) << "position " << k;
    }
}

// The strong good-suffix shift by its definition: after a mismatch at k, the
// smallest move that keeps the matched suffix and brings another byte to k.
std::int32_t DefinedGoodSuffix(const std::string& p, int k) {
    const int m = static_cast<int>(p.size()) - 1;
    if (k == m) {
        return 1;
    }
    for (int d = 1;; ++d) {
        bool fits = true;
        for (int j = k + 1; j <= m && fits; ++j) {
            fits =
                j - d < 0 || p[static_cast<std::size_t>(j - d)] == p[static_cast<std::size_t>(j)];
        }
        if (fits &&
            (k - d < 0 || p[static_cast<std::size_t>(k - d)] != p[static_cast<std::size_t>(k)])) {
            return (m - k) + d;
        }
    }
}

TEST_F(SyncTagSearch, GoodSuffixTableMatchesItsDefinition) {
    std::mt19937 random(7);
    const std::vector<std::string> fixed = {
        "a", "aa", "aaaa", "abab", "abcab", "abaaba", "<SYNC START=", "ANPANMAN", "abracadabra"};
    std::vector<std::string> patterns = fixed;
    for (int n = 0; n < 3000; ++n) {
        std::string p(1 + random() % 12, 'a');
        for (char& c : p) {
            c = static_cast<char>('a' + random() % 3);
        }
        patterns.push_back(p);
    }
    for (const auto& p : patterns) {
        std::int32_t table[kMaxPatternLength];
        ASSERT_EQ(BuildGoodSuffixTable(p.data(), static_cast<std::int32_t>(p.size()), table), 1);
        for (int k = 0; k < static_cast<int>(p.size()); ++k) {
            ASSERT_EQ(table[k], DefinedGoodSuffix(p, k)) << "pattern " << p << " position " << k;
        }
    }
}

TEST_F(SyncTagSearch, TableBuildsRefuseEmptyAndOverlongPatterns) {
    const std::string longest(128, 'x');
    const std::string overlong(129, 'x');
    for (std::int32_t length : {0, -1, 129}) {
        std::int32_t bad[256];
        std::int32_t good[kMaxPatternLength];
        std::fill(std::begin(bad), std::end(bad), -7);
        std::fill(std::begin(good), std::end(good), -7);
        EXPECT_EQ(BuildBadCharacterTable(overlong.data(), length, bad), 0);
        EXPECT_EQ(BuildGoodSuffixTable(overlong.data(), length, good), 0);
        EXPECT_EQ(std::count(std::begin(bad), std::end(bad), -7), 256);
        EXPECT_EQ(std::count(std::begin(good), std::end(good), -7), kMaxPatternLength);
    }
    std::int32_t good[kMaxPatternLength];
    EXPECT_EQ(BuildGoodSuffixTable(longest.data(), 128, good), 1);
    EXPECT_EQ(good[127], 1);
    EXPECT_EQ(good[0], 128);
}

TEST_F(SyncTagSearch, FindsTheTagInEitherCaseButNotWithOtherBlanks) {
    struct Case {
        std::string text;
        int expected;  // match offset, or -1 for not found
    };
    const std::vector<Case> cases = {
        {"<SYNC START=1000>", 0},
        {"<sync start=1000>", 0},
        {"<Sync Start=1000>", 0},
        {"<sYnC sTaRt=1000>", 0},
        {"<SYNC  START=1000>", -1},
        {"<SYNC START =1000>", -1},
        {"<SYNC\tSTART=1000>", -1},
        {"<SYNC <SYNC START=5>", 6},
        {std::string("\0\0<SYNC START=5>", 16), 2},
        {"<SYNC START", -1},
        {"<P>a<SYNC START=1><P>b<SYNC START=2>", 4},
        {"\xbe\xc8<SYNC START=9>", 2},
        {"<SYNC START\xbd", -1},
    };
    for (const auto& c : cases) {
        std::int32_t offset = -99;
        const int found = Find(c.text, static_cast<std::int32_t>(c.text.size()), &offset);
        EXPECT_EQ(found, c.expected >= 0 ? 1 : 0) << c.text;
        EXPECT_EQ(offset, c.expected >= 0 ? c.expected : -99) << c.text;
    }
}

TEST_F(SyncTagSearch, ReadsNothingAtOrBeyondCount) {
    std::int32_t offset = -99;
    const std::string text = "xx<SYNC START=";
    EXPECT_EQ(Find(text, static_cast<std::int32_t>(text.size()) - 1, &offset), 0);
    EXPECT_EQ(Find(text, static_cast<std::int32_t>(text.size()), &offset), 1);
    EXPECT_EQ(offset, 2);
    offset = -99;
    EXPECT_EQ(Find(text, 0, &offset), 0);
    EXPECT_EQ(FindSyncTag(text.data(), -5, kSyncTag, g_syncTagLength, &offset), 0);
    EXPECT_EQ(offset, -99);
}

TEST_F(SyncTagSearch, AgreesWithAPlainSearchOnRandomText) {
    std::mt19937 random(11);
    // Tag letters make short steps; Korean bytes and digits full-length ones, so
    // that longer texts also run the search's unchecked stretch of steps up to
    // their very last byte.
    const std::string tagBytes = "<SYNCTARsyncta =>\t0x";
    const std::string farBytes =
        "\xB0\xA1\xC7\xD1\x80\xFE"
        "0123456789";
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % (n % 2 ? 60 : 300), ' ');
        const std::string& alphabet = (n % 4 < 2) ? tagBytes : farBytes;
        for (char& c : text) {
            c = (random() % 8 == 0) ? tagBytes[random() % tagBytes.size()]
                                    : alphabet[random() % alphabet.size()];
        }
        if (random() % 3 == 0 && text.size() > 12) {
            const std::string tag = (random() % 2) ? "<SYNC START=" : "<sync Start=";
            text.replace(random() % (text.size() - 11), 12, tag);
        }
        std::int32_t offset = -1;
        const int found = Find(text, static_cast<std::int32_t>(text.size()), &offset);
        const int expected = PlainFind(text);
        ASSERT_EQ(found ? offset : -1, expected) << text;
    }
}

// Texts dense in near misses: '<' with a 'C' or 'c' four bytes on, tags cut
// short, tags in mixed case, bytes that differ from a tag letter only in the
// case bit. Both searches, over every start and several ends, find the same.
std::string NearMissText(std::mt19937& random, std::size_t length) {
    static const std::vector<std::string> pieces = {"<SYNC START=",
                                                    "<sync start=",
                                                    "<SyNc StArT=",
                                                    "<SYNC",
                                                    "<xxxC",
                                                    "<SYNC START",
                                                    "<SYNC STARt",
                                                    "<SYNC\x80START=",
                                                    "<SYNC START\x1d",
                                                    "\x1cSYNC START=",
                                                    "<SYNC sTART-",
                                                    "<",
                                                    "C",
                                                    "c",
                                                    "\xe3",
                                                    "\xc3",
                                                    "=",
                                                    "\xb0\xa1",
                                                    std::string(1, '\0'),
                                                    " ",
                                                    "\r\n"};
    std::string text;
    while (text.size() < length) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

TEST_F(SyncTagSearch, VectorAndPortableSearchesAgree) {
    std::mt19937 random(20);
    for (int n = 0; n < 3000; ++n) {
        const std::string text = NearMissText(random, random() % 90);
        const auto size = static_cast<std::int32_t>(text.size());
        for (std::int32_t from = 0; from <= size; ++from) {
            const std::int32_t count = size - from - static_cast<std::int32_t>(random() % 3);
            std::vector<char> bytes(text.begin() + from,
                                    text.begin() + from + (count > 0 ? count : 0));
            std::int32_t portable = -1;
            std::int32_t vector = -1;
            const int p =
                FindSyncTagPortable(bytes.data(), count, kSyncTag, g_syncTagLength, &portable);
            const int v =
                FindSyncTagVector(bytes.data(), count, kSyncTag, g_syncTagLength, &vector);
            ASSERT_EQ(p, v) << text << " from " << from;
            ASSERT_EQ(portable, vector) << text << " from " << from;
            ASSERT_EQ(p ? portable : -1, PlainFind(std::string(bytes.begin(), bytes.end())))
                << text << " from " << from;
        }
    }
}

TEST_F(SyncTagSearch, VectorSearchRefusesWithoutTablesAndFallsBackForOtherPatterns) {
    const std::string text = "xx<SYNC START=5>";
    std::int32_t offset = -99;
    // Another twelve-byte pattern is searched for by the Boyer-Moore tables,
    // which hold the sync tag, so both searches give one answer for it.
    std::int32_t portable = -99;
    const char other[] = "<SYNC START>";
    EXPECT_EQ(FindSyncTagVector(text.data(), 16, other, 12, &offset),
              FindSyncTagPortable(text.data(), 16, other, 12, &portable));
    EXPECT_EQ(offset, portable);
    EXPECT_EQ(FindSyncTagVector(text.data(), 16, kSyncTag, 11, &offset), 0);
    g_syncTagLength = 0;
    EXPECT_EQ(FindSyncTagVector(text.data(), 16, kSyncTag, 12, &offset), 0);
    EXPECT_EQ(FindSyncTagPortable(text.data(), 16, kSyncTag, 12, &offset), 0);
    BuildSyncTagTables();
    EXPECT_EQ(FindSyncTagVector(text.data(), 16, kSyncTag, 12, &offset), 1);
    EXPECT_EQ(offset, 2);
}

TEST_F(SyncTagSearch, BodyTagsOnlyInCapitalsAtTheFirstByte) {
    struct Case {
        std::string line;
        const char* tag;
        int expected;
    };
    const std::vector<Case> cases = {
        {"<BODY>\r\n", kBodyTag, 1},     {"<BODY><P>", kBodyTag, 1},  {"<body>\r\n", kBodyTag, 0},
        {" <BODY>", kBodyTag, 0},        {"<BODY", kBodyTag, 0},      {"</BODY>\r\n", kBodyTag, 0},
        {"</BODY>\r\n", kBodyEndTag, 1}, {"</BODY>", kBodyEndTag, 1}, {"", kBodyTag, 0},
    };
    for (const auto& c : cases) {
        const auto tagLength = static_cast<std::int32_t>(std::strlen(c.tag));
        EXPECT_EQ(StartsWithTag(c.line.data(), static_cast<std::int32_t>(c.line.size()), c.tag,
                                tagLength),
                  c.expected)
            << c.line << " / " << c.tag;
    }
}

}  // namespace
