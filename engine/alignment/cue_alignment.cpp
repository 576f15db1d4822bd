// The alignment in four steps. (1) The rate: for each rate tried, every pair
// of a file cue and a reference cue votes for the offset that would join their
// starts; the right rate piles the votes of most cues into one narrow bin.
// Free rates are searched coarse to fine, the named ratios exactly. (2) The
// offsets the votes pile on at that rate are the candidates for pieces. (3) A
// dynamic programme over the file's cues in time order picks one candidate per
// cue, paying a penalty for every change of piece. (4) A least-squares fit of
// one rate and one offset per piece on the matched starts, outliers trimmed,
// then the rate snapped to a named ratio when the two differ by less than the
// matching can tell.
#include "cue_alignment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Offsets searched on either side of 0, in milliseconds.
constexpr double kOffsetReach = 600000.0;
// The free rates searched.
constexpr double kLowestRate = 0.9;
constexpr double kHighestRate = 1.1;
// A cue start or end this close to the reference's counts as matched.
constexpr double kSearchTolerance = 400.0;
constexpr double kMatchTolerance = 250.0;
// Offset candidates for pieces.
constexpr int kCandidates = 16;
// A named rate is taken when it moves no time by more than this from the fit.
constexpr double kSnapDrift = 40.0;

// The frame-rate ratios that are taken exactly when they fit: index 0 is 1.
struct NamedRate {
    const char* text;
    double value;
};

// 23.976 stands for 24000/1001.
constexpr double kFilm = 24000.0 / 1001.0;
constexpr std::int32_t kNamedRateCount = 7;
const NamedRate kNamedRates[kNamedRateCount] = {
    {"1", 1.0},
    {"25/23.976", 25.0 / kFilm},
    {"23.976/25", kFilm / 25.0},
    {"24/23.976", 24.0 / kFilm},
    {"23.976/24", kFilm / 24.0},
    {"25/24", 25.0 / 24.0},
    {"24/25", 24.0 / 25.0},
};

struct Cues {
    std::vector<double> starts;
    std::vector<double> ends;  // -1 where unknown
};

struct Reference {
    std::vector<double> starts;      // sorted
    std::vector<double> sortedEnds;  // the known ends, sorted
};

struct Piece {
    std::size_t first;  // the file cues first .. last
    std::size_t last;
    double offset;
};

struct Fit {
    double rate;
    std::vector<Piece> pieces;
};

// Distance from x to the nearest value of a sorted list.
double NearestDistance(const std::vector<double>& sorted, double x) {
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), x);
    double best = 1e300;
    if (at != sorted.end()) {
        best = *at - x;
    }
    if (at != sorted.begin()) {
        best = std::min(best, x - *(at - 1));
    }
    return best;
}

double NearestValue(const std::vector<double>& sorted, double x) {
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), x);
    if (at == sorted.end()) {
        return *(at - 1);
    }
    if (at == sorted.begin() || *at - x < x - *(at - 1)) {
        return *at;
    }
    return *(at - 1);
}

// Votes rs - rate * fs for every pair within reach into bins of `width`.
void CountVotes(const Cues& file, const Reference& reference, double rate, double width,
                std::vector<std::int32_t>* bins) {
    const auto count = static_cast<std::size_t>(2.0 * kOffsetReach / width) + 2;
    bins->assign(count, 0);
    const std::vector<double>& rs = reference.starts;
    std::size_t low = 0;
    std::size_t high = 0;
    for (const double start : file.starts) {
        const double x = rate * start;
        while (low < rs.size() && rs[low] < x - kOffsetReach) {
            ++low;
        }
        while (high < rs.size() && rs[high] <= x + kOffsetReach) {
            ++high;
        }
        for (std::size_t k = low; k < high; ++k) {
            const auto bin = static_cast<std::size_t>((rs[k] - x + kOffsetReach) / width);
            if (bin < count) {
                ++(*bins)[bin];
            }
        }
    }
}

// The most votes in two neighbouring bins, and the offset between them.
std::int32_t BestPair(const std::vector<std::int32_t>& bins, double width, double* offset) {
    std::int32_t best = -1;
    for (std::size_t b = 0; b + 1 < bins.size(); ++b) {
        const std::int32_t pair = bins[b] + bins[b + 1];
        if (pair > best) {
            best = pair;
            *offset = static_cast<double>(b + 1) * width - kOffsetReach;
        }
    }
    return best;
}

std::int32_t ScoreRate(const Cues& file, const Reference& reference, double rate, double width,
                       std::vector<std::int32_t>* bins) {
    CountVotes(file, reference, rate, width, bins);
    double offset = 0.0;
    return BestPair(*bins, width, &offset);
}

struct RateScore {
    double rate;
    std::int32_t score;
};

// The best rates of a grid, each a local best, most votes first.
std::vector<RateScore> BestOfGrid(const Cues& file, const Reference& reference, double from,
                                  double to, double step, double width, std::size_t keep,
                                  std::vector<std::int32_t>* bins) {
    std::vector<RateScore> grid;
    for (double rate = from; rate <= to + step * 0.5; rate += step) {
        grid.push_back(RateScore{rate, ScoreRate(file, reference, rate, width, bins)});
    }
    std::vector<RateScore> peaks;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        const bool left = k == 0 || grid[k - 1].score <= grid[k].score;
        const bool right = k + 1 == grid.size() || grid[k + 1].score < grid[k].score;
        if (left && right) {
            peaks.push_back(grid[k]);
        }
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const RateScore& a, const RateScore& b) { return a.score > b.score; });
    if (peaks.size() > keep) {
        peaks.resize(keep);
    }
    return peaks;
}

double FindRate(const Cues& file, const Reference& reference, double span) {
    std::vector<std::int32_t> bins;
    // A step leaves at most two bins between the right rate and the nearest
    // one tried, over the file's span.
    const double coarseWidth = 2000.0;
    const double coarseStep = std::min(0.01, 4.0 * coarseWidth / span);
    const double fineWidth = 50.0;
    RateScore best{1.0, -1};
    const std::vector<RateScore> coarse =
        BestOfGrid(file, reference, kLowestRate, kHighestRate, coarseStep, coarseWidth, 3, &bins);
    for (const RateScore& candidate : coarse) {
        const std::vector<RateScore> middle =
            BestOfGrid(file, reference, candidate.rate - coarseStep, candidate.rate + coarseStep,
                       coarseStep / 10.0, coarseWidth / 10.0, 1, &bins);
        for (const RateScore& near : middle) {
            const double step = coarseStep / 40.0;
            const std::vector<RateScore> fine =
                BestOfGrid(file, reference, near.rate - coarseStep / 10.0,
                           near.rate + coarseStep / 10.0, step, fineWidth, 1, &bins);
            for (const RateScore& found : fine) {
                if (found.score > best.score) {
                    best = found;
                }
            }
        }
    }
    for (std::int32_t k = 0; k < kNamedRateCount; ++k) {
        const std::int32_t score =
            ScoreRate(file, reference, kNamedRates[k].value, fineWidth, &bins);
        if (score >= best.score) {
            best = RateScore{kNamedRates[k].value, score};
        }
    }
    return best.rate;
}

// The offsets most votes pile on at `rate`, at least 300 ms apart.
std::vector<double> CandidateOffsets(const Cues& file, const Reference& reference, double rate) {
    const double width = 100.0;
    std::vector<std::int32_t> bins;
    CountVotes(file, reference, rate, width, &bins);
    std::vector<std::pair<std::int32_t, std::size_t>> peaks;
    for (std::size_t b = 1; b + 1 < bins.size(); ++b) {
        const std::int32_t sum = bins[b - 1] + bins[b] + bins[b + 1];
        if (sum > 0 && bins[b] >= bins[b - 1] && bins[b] >= bins[b + 1]) {
            peaks.emplace_back(sum, b);
        }
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::size_t> chosen;
    std::vector<double> offsets;
    for (const auto& peak : peaks) {
        if (chosen.size() == static_cast<std::size_t>(kCandidates)) {
            break;
        }
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](std::size_t b) {
            return (b > peak.second ? b - peak.second : peak.second - b) < 3;
        });
        if (near) {
            continue;
        }
        chosen.push_back(peak.second);
        const std::size_t b = peak.second;
        const double weighted = bins[b - 1] * -1.0 + bins[b + 1] * 1.0;
        const double centre =
            (static_cast<double>(b) + 0.5 + weighted / peak.first) * width - kOffsetReach;
        offsets.push_back(centre);
    }
    return offsets;
}

// How well one file cue lands on the reference under rate and offset: 1 for
// a start or end right on one, falling to 0 at the tolerance.
double CueScore(const Cues& file, std::size_t j, const Reference& reference, double rate,
                double offset, double tolerance) {
    const double startGap =
        NearestDistance(reference.starts, rate * file.starts[j] + offset) / tolerance;
    double best = 1.0 - startGap;
    if (file.ends[j] >= 0.0 && !reference.sortedEnds.empty()) {
        const double endGap =
            NearestDistance(reference.sortedEnds, rate * file.ends[j] + offset) / tolerance;
        best = std::max(best, 1.0 - endGap);
    }
    return best > 0.0 ? best : 0.0;
}

int Matches(const Cues& file, std::size_t j, const Reference& reference, double rate,
            double offset) {
    return CueScore(file, j, reference, rate, offset, kMatchTolerance) > 0.0;
}

// The best choice of one candidate offset per cue, paying `penalty` for each
// change, and never letting a cue's mapped start fall below the one before.
std::vector<Piece> ChoosePieces(const Cues& file, const Reference& reference, double rate,
                                const std::vector<double>& offsets, double penalty) {
    const std::size_t n = file.starts.size();
    const std::size_t c = offsets.size();
    std::vector<double> score(c);
    std::vector<double> next(c);
    std::vector<std::uint8_t> from(n * c);
    for (std::size_t k = 0; k < c; ++k) {
        score[k] = CueScore(file, 0, reference, rate, offsets[k], kSearchTolerance);
        from[k] = static_cast<std::uint8_t>(k);
    }
    for (std::size_t j = 1; j < n; ++j) {
        for (std::size_t k = 0; k < c; ++k) {
            double best = score[k];
            std::size_t bestFrom = k;
            const double here = rate * file.starts[j] + offsets[k];
            for (std::size_t o = 0; o < c; ++o) {
                if (o != k && score[o] - penalty > best &&
                    rate * file.starts[j - 1] + offsets[o] <= here) {
                    best = score[o] - penalty;
                    bestFrom = o;
                }
            }
            next[k] = best + CueScore(file, j, reference, rate, offsets[k], kSearchTolerance);
            from[j * c + k] = static_cast<std::uint8_t>(bestFrom);
        }
        score.swap(next);
    }
    std::size_t state =
        static_cast<std::size_t>(std::max_element(score.begin(), score.end()) - score.begin());
    std::vector<Piece> pieces;
    Piece piece{n - 1, n - 1, offsets[state]};
    for (std::size_t j = n - 1; j > 0; --j) {
        const std::size_t before = from[j * c + state];
        if (before != state) {
            piece.first = j;
            pieces.push_back(piece);
            piece = Piece{0, j - 1, offsets[before]};
            state = before;
        }
    }
    piece.first = 0;
    pieces.push_back(piece);
    std::reverse(pieces.begin(), pieces.end());
    return pieces;
}

struct Pair {
    double old;
    double target;
    std::size_t piece;
};

std::vector<Pair> MatchedStarts(const Cues& file, const Reference& reference, const Fit& fit,
                                double tolerance) {
    std::vector<Pair> pairs;
    for (std::size_t p = 0; p < fit.pieces.size(); ++p) {
        for (std::size_t j = fit.pieces[p].first; j <= fit.pieces[p].last; ++j) {
            const double x = fit.rate * file.starts[j] + fit.pieces[p].offset;
            const double target = NearestValue(reference.starts, x);
            if (std::fabs(target - x) <= tolerance) {
                pairs.push_back(Pair{file.starts[j], target, p});
            }
        }
    }
    return pairs;
}

// Least squares of one rate (unless fixed) and one offset per piece.
void FitPairs(const std::vector<Pair>& pairs, int fixedRate, Fit* fit) {
    const std::size_t count = fit->pieces.size();
    std::vector<double> sumOld(count, 0.0);
    std::vector<double> sumTarget(count, 0.0);
    std::vector<double> number(count, 0.0);
    for (const Pair& pair : pairs) {
        sumOld[pair.piece] += pair.old;
        sumTarget[pair.piece] += pair.target;
        number[pair.piece] += 1.0;
    }
    if (!fixedRate) {
        double cross = 0.0;
        double square = 0.0;
        for (const Pair& pair : pairs) {
            const double oldMean = sumOld[pair.piece] / number[pair.piece];
            const double targetMean = sumTarget[pair.piece] / number[pair.piece];
            cross += (pair.old - oldMean) * (pair.target - targetMean);
            square += (pair.old - oldMean) * (pair.old - oldMean);
        }
        // Too little spread to tell a rate: keep the one found.
        if (square > 1e12 && cross > 0.0) {
            fit->rate = cross / square;
        }
    }
    for (std::size_t p = 0; p < count; ++p) {
        if (number[p] > 0.0) {
            fit->pieces[p].offset = (sumTarget[p] - fit->rate * sumOld[p]) / number[p];
        }
    }
}

// Drops the pairs far off the fit: beyond three robust deviations, and never
// closer than 40 ms.
std::vector<Pair> TrimOutliers(const std::vector<Pair>& pairs, const Fit& fit) {
    std::vector<double> residuals;
    for (const Pair& pair : pairs) {
        residuals.push_back(
            std::fabs(pair.target - fit.rate * pair.old - fit.pieces[pair.piece].offset));
    }
    if (residuals.empty()) {
        return pairs;
    }
    std::vector<double> sorted = residuals;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double limit = std::max(40.0, 3.0 * 1.4826 * sorted[sorted.size() / 2]);
    std::vector<Pair> kept;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (residuals[k] <= limit) {
            kept.push_back(pairs[k]);
        }
    }
    return kept;
}

void RefineFit(const Cues& file, const Reference& reference, int fixedRate, Fit* fit) {
    const double tolerances[] = {kSearchTolerance, 300.0, 200.0, 200.0};
    for (const double tolerance : tolerances) {
        std::vector<Pair> pairs = MatchedStarts(file, reference, *fit, tolerance);
        FitPairs(pairs, fixedRate, fit);
        pairs = TrimOutliers(pairs, *fit);
        FitPairs(pairs, fixedRate, fit);
    }
}

// Moves each change of piece to the widest gap between the file's cues among
// those that neither piece matches, where a cut most likely lies.
void PlaceCuts(const Cues& file, const Reference& reference, Fit* fit) {
    for (std::size_t p = 1; p < fit->pieces.size(); ++p) {
        Piece& before = fit->pieces[p - 1];
        Piece& after = fit->pieces[p];
        std::size_t low = after.first;
        while (low > before.first + 1 &&
               !Matches(file, low - 1, reference, fit->rate, before.offset)) {
            --low;
        }
        std::size_t high = after.first;
        while (high < after.last && !Matches(file, high, reference, fit->rate, after.offset)) {
            ++high;
        }
        std::size_t cut = after.first;
        double widest = -1.0;
        for (std::size_t j = low; j <= high; ++j) {
            const double previousEnd =
                file.ends[j - 1] >= 0.0 ? file.ends[j - 1] : file.starts[j - 1];
            const double gap = file.starts[j] - previousEnd;
            if (gap > widest) {
                widest = gap;
                cut = j;
            }
        }
        before.last = cut - 1;
        after.first = cut;
    }
}

std::size_t CountMatched(const Cues& file, const Reference& reference, const Fit& fit,
                         double shift) {
    std::size_t matched = 0;
    for (const Piece& piece : fit.pieces) {
        for (std::size_t j = piece.first; j <= piece.last; ++j) {
            matched += static_cast<std::size_t>(
                Matches(file, j, reference, fit.rate, piece.offset + shift));
        }
    }
    return matched;
}

// The share of cues the same map matches when moved off by a few seconds:
// what a reference of another film would match.
double ChanceShare(const Cues& file, const Reference& reference, const Fit& fit) {
    const double shifts[] = {-23300.0, -11900.0, -5300.0, 6100.0, 12700.0, 21100.0};
    double sum = 0.0;
    for (const double shift : shifts) {
        sum += static_cast<double>(CountMatched(file, reference, fit, shift));
    }
    return sum / (6.0 * static_cast<double>(file.starts.size()));
}

// The named rate the fit cannot be told from, or -1.
std::int32_t SnapRate(double rate, double span) {
    std::int32_t best = -1;
    double nearest = kSnapDrift;
    for (std::int32_t k = 0; k < kNamedRateCount; ++k) {
        const double drift = std::fabs(kNamedRates[k].value - rate) * span;
        if (drift <= nearest) {
            nearest = drift;
            best = k;
        }
    }
    return best;
}

void StoreMap(const Cues& file, const Fit& fit, TimeMap* map) {
    map->pieceCount = static_cast<std::int32_t>(fit.pieces.size());
    map->rate = fit.rate;
    map->pieceFrom[0] = 0;
    map->offset[0] = fit.pieces[0].offset;
    // A piece starts right behind the last time of the piece before (its last
    // cue's end), so that the silence between them, where the films differ,
    // holds no time of either and the map never has to hold a time back.
    for (std::size_t p = 1; p < fit.pieces.size(); ++p) {
        const std::size_t last = fit.pieces[p - 1].last;
        const double first = file.starts[fit.pieces[p].first];
        const double behind = std::max(file.starts[last], file.ends[last]) + 1.0;
        map->pieceFrom[p] = static_cast<std::int64_t>(std::min(first, behind));
        map->offset[p] = fit.pieces[p].offset;
    }
}

// The pairs of a file cue and a reference cue within reach of each other.
double PairsWithinReach(const Cues& file, const Reference& reference) {
    const std::vector<double>& rs = reference.starts;
    std::size_t low = 0;
    std::size_t high = 0;
    double pairs = 0.0;
    for (const double start : file.starts) {
        while (low < rs.size() && rs[low] < start - kOffsetReach) {
            ++low;
        }
        while (high < rs.size() && rs[high] <= start + kOffsetReach) {
            ++high;
        }
        pairs += static_cast<double>(high - low);
    }
    return pairs;
}

// Every k-th cue of the file, k chosen so that the votes of one rate stay
// within those of a dense two-hour film however dense the files are; the file itself when it
// is within that already.
Cues VotingCues(const Cues& file, const Reference& reference) {
    constexpr double kVoteBudget = 6.0e5;
    const double pairs = PairsWithinReach(file, reference);
    if (pairs <= kVoteBudget) {
        return file;
    }
    const auto step = static_cast<std::size_t>(std::ceil(pairs / kVoteBudget));
    Cues sample;
    for (std::size_t j = 0; j < file.starts.size(); j += step) {
        sample.starts.push_back(file.starts[j]);
        sample.ends.push_back(file.ends[j]);
    }
    return sample;
}

Fit FindFit(const Cues& file, const Reference& reference, double span) {
    const Cues voting = VotingCues(file, reference);
    Fit fit{FindRate(voting, reference, span), {}};
    const std::vector<double> offsets = CandidateOffsets(voting, reference, fit.rate);
    if (offsets.empty()) {
        fit.pieces.push_back(Piece{0, file.starts.size() - 1, 0.0});
        return fit;
    }
    double penalty = 8.0 + 0.01 * static_cast<double>(file.starts.size());
    fit.pieces = ChoosePieces(file, reference, fit.rate, offsets, penalty);
    while (fit.pieces.size() > static_cast<std::size_t>(kMaxMapPieces)) {
        penalty *= 2.0;
        fit.pieces = ChoosePieces(file, reference, fit.rate, offsets, penalty);
    }
    RefineFit(file, reference, 0, &fit);
    PlaceCuts(file, reference, &fit);
    RefineFit(file, reference, 0, &fit);
    return fit;
}

}  // namespace

TimeMap IdentityMap() {
    TimeMap map{};
    map.pieceCount = 1;
    map.rate = 1.0;
    return map;
}

int MapTime(const TimeMap& map, std::int64_t time, std::int32_t* mapped) {
    const auto old = static_cast<double>(time);
    std::int32_t piece = 0;
    double floor = -1e300;
    for (std::int32_t p = 1; p < map.pieceCount && map.pieceFrom[p] <= time; ++p) {
        floor =
            std::max(floor, map.rate * static_cast<double>(map.pieceFrom[p]) + map.offset[p - 1]);
        piece = p;
    }
    const double value = std::max(map.rate * old + map.offset[piece], floor);
    const double rounded = std::floor(value + 0.5);
    if (!(rounded >= 0.0 && rounded <= 2147483647.0)) {
        return 0;
    }
    *mapped = static_cast<std::int32_t>(rounded);
    return 1;
}

void AlignCues(const std::vector<Cue>& fileCues, const std::vector<Cue>& referenceCues,
               Alignment* alignment) {
    *alignment = Alignment{IdentityMap(),
                           0,
                           static_cast<std::int64_t>(fileCues.size()),
                           0,
                           static_cast<std::int64_t>(referenceCues.size()),
                           0.0,
                           0,
                           0};
    if (fileCues.size() < 2 || referenceCues.empty()) {
        return;
    }
    Cues file;
    for (const Cue& cue : fileCues) {
        file.starts.push_back(static_cast<double>(cue.start));
        file.ends.push_back(cue.end >= 0 ? static_cast<double>(cue.end) : -1.0);
    }
    Reference reference;
    for (const Cue& cue : referenceCues) {
        reference.starts.push_back(static_cast<double>(cue.start));
        if (cue.end >= 0) {
            reference.sortedEnds.push_back(static_cast<double>(cue.end));
        }
    }
    std::sort(reference.sortedEnds.begin(), reference.sortedEnds.end());
    const double span = std::max(60000.0, file.starts.back() - file.starts.front());
    Fit fit = FindFit(file, reference, span);
    const std::int32_t named = SnapRate(fit.rate, span);
    if (named >= 0) {
        fit.rate = kNamedRates[named].value;
        RefineFit(file, reference, 1, &fit);
    }
    StoreMap(file, fit, &alignment->map);
    alignment->rateName = named;
    alignment->cuesMatched = static_cast<std::int64_t>(CountMatched(file, reference, fit, 0.0));
    alignment->chanceShare = ChanceShare(file, reference, fit);
    const double share =
        static_cast<double>(alignment->cuesMatched) / static_cast<double>(file.starts.size());
    // Where chance alone matches most cues (cues far denser than the
    // tolerance), even a full match says little.
    const double chance = alignment->chanceShare;
    const double above = std::max(0.0, (share - chance) / std::max(1.0 - chance, 0.5));
    alignment->confidence = static_cast<std::int32_t>(std::floor(above * 100.0 + 0.5));
    alignment->confident = alignment->confidence >= 50 && alignment->cuesMatched >= 5;
}

std::string ClockText(std::int64_t milliseconds) {
    const char* sign = milliseconds < 0 ? "-" : "";
    const std::int64_t value = milliseconds < 0 ? -milliseconds : milliseconds;
    const long long hours = value / 3600000;
    const long long minutes = value / 60000 % 60;
    const long long seconds = value / 1000 % 60;
    const long long rest = value % 1000;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld.%03lld", sign, hours, minutes,
                      seconds, rest);
    } else {
        std::snprintf(text, sizeof text, "%s%lld:%02lld.%03lld", sign, minutes, seconds, rest);
    }
    return text;
}

namespace {

std::string SecondsText(double milliseconds) {
    const auto whole = static_cast<long long>(std::llround(milliseconds));
    const long long size = whole < 0 ? -whole : whole;
    char text[48];
    std::snprintf(text, sizeof text, "%c%lld.%03lld s", whole < 0 ? '-' : '+', size / 1000,
                  size % 1000);
    return text;
}

}  // namespace

std::string DescribeAlignment(const Alignment& alignment) {
    const TimeMap& map = alignment.map;
    std::string text = SecondsText(map.offset[0]);
    if (alignment.rateName != 0) {
        char rate[48];
        if (alignment.rateName > 0) {
            std::snprintf(rate, sizeof rate, ", rate %s", kNamedRates[alignment.rateName].text);
        } else {
            std::snprintf(rate, sizeof rate, ", rate %.6f", map.rate);
        }
        text += rate;
    }
    if (map.pieceCount == 2) {
        text +=
            ", one cut at " + ClockText(map.pieceFrom[1]) + " then " + SecondsText(map.offset[1]);
    } else if (map.pieceCount > 2) {
        text += ", " + std::to_string(map.pieceCount - 1) + " cuts:";
        for (std::int32_t p = 1; p < map.pieceCount; ++p) {
            text += std::string(p > 1 ? "," : "") + " at " + ClockText(map.pieceFrom[p]) +
                    " then " + SecondsText(map.offset[p]);
        }
    }
    text += "; " + std::to_string(alignment.cuesMatched) + " of " +
            std::to_string(alignment.cueCount) + " cues match the reference; confidence " +
            std::to_string(alignment.confidence) + " %";
    return text;
}
