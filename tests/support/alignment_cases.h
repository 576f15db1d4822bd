// Generated cases for aligning to a reference: a correctly timed SAMI file,
// its cues as a reference in another format with the noise of another
// translation (starts and ends off by tens of milliseconds, about a tenth of
// the cues dropped, some merged or split in two, a few extra), and the SAMI
// file re-timed by a known transform of one kind. Used by the alignment
// benchmark and by the property test of the alignment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum CaseKind : int {
    CASE_OFFSET = 0,    // one offset of up to two minutes
    CASE_RATE = 1,      // a frame-rate change (a common ratio or a free one) with an offset
    CASE_CUTS = 2,      // one or two cuts, offsets seconds to half a minute apart
    CASE_RATE_CUT = 3,  // a rate change with a cut
};
inline constexpr int kCaseKindCount = 4;

struct AlignmentCase {
    std::string correctSami;  // the truth
    std::string fileSami;     // the same file re-timed by the case's transform
    std::string reference;    // the reference's bytes
    std::string referenceName;
    std::vector<std::int64_t> truth;  // the right time of each sync tag of fileSami, in order
    std::string transform;            // what was done, for messages
};

const char* CaseKindName(CaseKind kind);

// A case of `kind` for a film of about `minutes`; the seed picks everything
// else, the reference's format (SubRip, WebVTT, ASS) included.
AlignmentCase MakeAlignmentCase(CaseKind kind, std::uint32_t seed, std::int32_t minutes);

// The reference of another film of the same length: what must be refused.
std::string MakeOtherFilmReference(std::uint32_t seed, std::int32_t minutes, std::string* name);

// The times behind "<SYNC Start=" in a SAMI text, in order.
std::vector<std::int64_t> SyncTimesOf(const std::string& sami);

// The text with the digits behind every "<SYNC Start=" taken out: equal for
// two files exactly when they differ in their sync times alone.
std::string WithoutSyncTimes(const std::string& sami);
