// Finding the sync tag "<SYNC START=" anywhere in a range of bytes, its letters in
// either case: 16 bytes at a time where the processor has SSE2, elsewhere by a
// Boyer-Moore search whose two tables are built once; and the byte-exact prefix
// test that recognises the body tags at the start of a line.
#pragma once

#include <cstdint>

inline constexpr char kSyncTag[] = "<SYNC START=";
inline constexpr std::int32_t kSyncTagSize = 12;
inline constexpr std::int32_t kMaxPatternLength = 128;

inline constexpr char kBodyTag[] = "<BODY>";
inline constexpr std::int32_t kBodyTagLength = 6;
inline constexpr char kBodyEndTag[] = "</BODY>";
inline constexpr std::int32_t kBodyEndTagLength = 7;

// The search state: zero until BuildSyncTagTables runs, read-only afterwards.
extern std::int32_t g_syncTagLength;
extern std::int32_t g_badCharacterTable[256];
extern std::int32_t g_goodSuffixTable[kMaxPatternLength];
extern char g_lowercaseTag[kSyncTagSize + 1];

// Builds the tables and the lowercase tag for the sync tag; returns 1.
int BuildSyncTagTables();

// Fill `table` for a pattern of 1 to 128 bytes and return 1; any other length
// is refused with 0 and the table is left as it was.
int BuildBadCharacterTable(const char* pattern, std::int32_t length, std::int32_t* table);
int BuildGoodSuffixTable(const char* pattern, std::int32_t length, std::int32_t* table);

// Leftmost occurrence of the sync tag within text[0 .. count-1]: 1 and the offset
// of its first byte in *matchOffset, or 0 with *matchOffset untouched. Reads no
// byte at index count or beyond; NUL bytes are ordinary bytes.
int FindSyncTag(const char* text, std::int32_t count, const char* pattern,
                std::int32_t patternLength, std::int32_t* matchOffset);

// The two searches FindSyncTag chooses from when the engine is compiled, with
// its contract, so that they can be held against each other: the Boyer-Moore
// search, and the vector search (the same Boyer-Moore search again where the
// processor has no SSE2; kVectorSearch tells).
int FindSyncTagPortable(const char* text, std::int32_t count, const char* pattern,
                        std::int32_t patternLength, std::int32_t* matchOffset);
int FindSyncTagVector(const char* text, std::int32_t count, const char* pattern,
                      std::int32_t patternLength, std::int32_t* matchOffset);
#if defined(__SSE2__)
inline constexpr int kVectorSearch = 1;
#else
inline constexpr int kVectorSearch = 0;
#endif

// 1 when the text begins with the tag byte for byte (no case folding), else 0.
int StartsWithTag(const char* text, std::int32_t textLength, const char* tag,
                  std::int32_t tagLength);
