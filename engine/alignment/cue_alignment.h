// Finding the transform that lays the cues of a file onto those of a
// reference: one offset; an offset and a rate (a common frame-rate ratio
// exactly, or a free one); or pieces with their own offsets where the film is
// cut differently, with one rate across them. Fewer pieces win unless more
// explain clearly more cues. The result says how many cues it explains and
// whether that is clearly more than chance, so that a reference of another
// film is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reference_cues.h"

inline constexpr std::int32_t kMaxMapPieces = 8;

// A monotone piecewise-linear map of times: new = rate * old + offset[p] in
// piece p, which holds the old times from pieceFrom[p] (the first piece also
// every time below) up to the next piece's. Where a piece starts below the
// end of the one before, its first times are held at that end, so the map
// never falls.
struct TimeMap {
    std::int32_t pieceCount;  // 1 .. kMaxMapPieces
    double rate;
    std::int64_t pieceFrom[kMaxMapPieces];
    double offset[kMaxMapPieces];
};

// The map that leaves every time as it is.
TimeMap IdentityMap();

// One time through the map, to the nearest millisecond: 1 with *mapped, or 0
// when the result would leave 0 .. 2^31 - 1.
int MapTime(const TimeMap& map, std::int64_t time, std::int32_t* mapped);

struct Alignment {
    TimeMap map;
    std::int32_t rateName;       // index of the named frame-rate ratio, or -1 for a free rate
    std::int64_t cueCount;       // the file's cues
    std::int64_t cuesMatched;    // of them, those the map lays on a reference cue
    std::int64_t referenceCues;  // the reference's cues
    double chanceShare;          // the share that matches by chance alone
    std::int32_t confidence;     // 0 .. 100: how far the match stands above chance
    int confident;               // the map may be written without --force
};

// Finds the map from `fileCues` (the file's times) to `referenceCues`, both
// sorted by start.
void AlignCues(const std::vector<Cue>& fileCues, const std::vector<Cue>& referenceCues,
               Alignment* alignment);

// What the alignment found, as a person reads it: "+7.020 s, rate 25/23.976,
// one cut at 41:12.300 then +2.500 s; 612 of 640 cues match the reference;
// confidence 93 %".
std::string DescribeAlignment(const Alignment& alignment);

// A time in milliseconds as [H:]MM:SS.mmm.
std::string ClockText(std::int64_t milliseconds);
