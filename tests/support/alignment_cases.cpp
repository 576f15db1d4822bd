// The generator of alignment cases. A film's cues are drawn first (with a
// silence at each place where a cut will be, wide enough for the cut's jump),
// then written three ways: as the correct SAMI file, re-timed by the case's
// transform, and as a noisy reference.
#include "alignment_cases.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Random {
    std::uint64_t state;

    std::uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
    // A whole number in [low, high].
    std::int64_t Between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(Next() % static_cast<std::uint32_t>(high - low + 1));
    }
    double Unit() { return static_cast<double>(Next()) / 2147483648.0; }
    bool Chance(double p) { return Unit() < p; }
    // Roughly normal, from the sum of four uniforms.
    double Noise(double deviation) {
        const double sum = Unit() + Unit() + Unit() + Unit() - 2.0;
        return sum * deviation * 1.732;
    }
};

struct TrueCue {
    std::int64_t start;
    std::int64_t end;
    int piece;
};

// The transform from the true time to the file's: file = rate * true + offset[piece].
struct Transform {
    double rate;
    std::vector<double> offsets;
};

const char* const kNamedRates[] = {"25/23.976", "23.976/25", "24/23.976",
                                   "23.976/24", "25/24",     "24/25"};
const double kRateValues[] = {25.0 * 1001.0 / 24000.0,
                              24000.0 / 1001.0 / 25.0,
                              24.0 * 1001.0 / 24000.0,
                              24000.0 / 1001.0 / 24.0,
                              25.0 / 24.0,
                              24.0 / 25.0};

// Cues from 130 s on; a silence of `gaps[k]` ms stands before cue cutAt[k].
std::vector<TrueCue> DrawFilm(Random* random, std::int32_t minutes,
                              const std::vector<std::int64_t>& gaps, int* cutAt) {
    std::vector<TrueCue> cues;
    const std::int64_t length = std::int64_t{minutes} * 60000;
    std::int64_t time = 130000;
    const std::int64_t total = length / 4800;
    std::size_t nextCut = 0;
    int piece = 0;
    while (time < length + 130000) {
        if (nextCut < gaps.size() && static_cast<std::int64_t>(cues.size()) >=
                                         total * static_cast<std::int64_t>(nextCut + 1) /
                                             static_cast<std::int64_t>(gaps.size() + 1)) {
            cutAt[nextCut] = static_cast<int>(cues.size());
            time += gaps[nextCut];
            ++nextCut;
            ++piece;
        }
        const std::int64_t duration = random->Between(900, 5500);
        cues.push_back(TrueCue{time, time + duration, piece});
        // Sometimes the next cue follows at once, with no blank between.
        time += duration + (random->Chance(0.2) ? 0 : random->Between(150, 4000));
    }
    return cues;
}

void AppendText(Random* random, std::string* text) {
    const std::int64_t length = random->Between(6, 30);
    for (std::int64_t k = 0; k < length; ++k) {
        if (random->Chance(0.15)) {
            text->push_back(' ');
        } else {
            // Two bytes of a CP949 syllable.
            text->push_back(static_cast<char>(random->Between(0xB0, 0xC8)));
            text->push_back(static_cast<char>(random->Between(0xA1, 0xFE)));
        }
    }
    if (random->Chance(0.3)) {
        *text += "<br>- ";
        text->push_back(static_cast<char>(random->Between(0xB0, 0xC8)));
        text->push_back(static_cast<char>(random->Between(0xA1, 0xFE)));
    }
}

const char kSamiHead[] =
    "<SAMI>\r\n<HEAD>\r\n<TITLE>Generated film</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
    "P { margin-left:8pt; margin-right:8pt; text-align:center; font-size:20pt; }\r\n"
    ".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }\r\n-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n";

// The SAMI text with each time passed through `timeOf`; `times` receives the
// true time of every sync tag written.
template <typename TimeOf>
std::string WriteSami(const std::vector<TrueCue>& cues, const std::vector<std::string>& texts,
                      TimeOf timeOf, std::vector<std::int64_t>* times) {
    std::string sami = kSamiHead;
    for (std::size_t k = 0; k < cues.size(); ++k) {
        sami += "<SYNC Start=" + std::to_string(timeOf(cues[k].start, cues[k].piece)) +
                "><P Class=KRCC>\r\n" + texts[k] + "\r\n";
        times->push_back(cues[k].start);
        if (k + 1 == cues.size() || cues[k + 1].start > cues[k].end) {
            sami += "<SYNC Start=" + std::to_string(timeOf(cues[k].end, cues[k].piece)) +
                    "><P Class=KRCC>&nbsp;\r\n";
            times->push_back(cues[k].end);
        }
    }
    return sami + "</BODY>\r\n</SAMI>\r\n";
}

std::string ClockOf(std::int64_t milliseconds, char mark, bool centiseconds) {
    const std::int64_t value = milliseconds < 0 ? 0 : milliseconds;
    char text[64];
    if (centiseconds) {
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld.%02lld", static_cast<long long>(value / 3600000),
            static_cast<long long>(value / 60000 % 60), static_cast<long long>(value / 1000 % 60),
            static_cast<long long>(value % 1000 / 10));
    } else {
        std::snprintf(
            text, sizeof text, "%02lld:%02lld:%02lld%c%03lld",
            static_cast<long long>(value / 3600000), static_cast<long long>(value / 60000 % 60),
            static_cast<long long>(value / 1000 % 60), mark, static_cast<long long>(value % 1000));
    }
    return text;
}

struct Span {
    std::int64_t start;
    std::int64_t end;
};

// Another translation's cues: jittered, a tenth dropped, some merged or split,
// a few extra.
std::vector<Span> NoisyCues(Random* random, const std::vector<TrueCue>& cues) {
    std::vector<Span> spans;
    for (std::size_t k = 0; k < cues.size(); ++k) {
        if (random->Chance(0.1)) {
            continue;
        }
        Span span{cues[k].start, cues[k].end};
        if (k + 1 < cues.size() && random->Chance(0.06)) {
            span.end = cues[k + 1].end;
            ++k;
        }
        if (random->Chance(0.05) && span.end - span.start > 1200) {
            const std::int64_t middle = (span.start + span.end) / 2;
            spans.push_back(Span{span.start, middle});
            span.start = middle + 40;
        }
        spans.push_back(span);
        if (random->Chance(0.03)) {
            const std::int64_t at = span.end + random->Between(100, 3000);
            spans.push_back(Span{at, at + random->Between(500, 2000)});
        }
    }
    for (Span& span : spans) {
        span.start += static_cast<std::int64_t>(std::lround(random->Noise(30.0)));
        span.end += static_cast<std::int64_t>(std::lround(random->Noise(30.0)));
        span.end = span.end > span.start ? span.end : span.start + 1;
    }
    return spans;
}

std::string WriteReference(Random* random, const std::vector<Span>& spans, int format,
                           std::string* name) {
    std::string text;
    if (format == 0) {
        *name = "reference.srt";
        for (std::size_t k = 0; k < spans.size(); ++k) {
            text += std::to_string(k + 1) + "\r\n" + ClockOf(spans[k].start, ',', false) + " --> " +
                    ClockOf(spans[k].end, ',', false) + "\r\nLine " + std::to_string(k) +
                    "\r\n\r\n";
        }
    } else if (format == 1) {
        *name = "reference.vtt";
        text = "WEBVTT\n\n";
        for (const Span& span : spans) {
            text += ClockOf(span.start, '.', false) + " --> " + ClockOf(span.end, '.', false) +
                    (random->Chance(0.5) ? " line:90% align:center" : "") + "\nA line\n\n";
        }
    } else {
        *name = "reference.ass";
        text =
            "\xEF\xBB\xBF[Script Info]\nScriptType: v4.00+\n\n[Events]\n"
            "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
        for (const Span& span : spans) {
            text += "Dialogue: 0," + ClockOf(span.start, '.', true) + "," +
                    ClockOf(span.end, '.', true) + ",Default,,0,0,0,,Well, then, go\n";
        }
    }
    return text;
}

Transform DrawTransform(Random* random, CaseKind kind, std::string* description) {
    Transform transform{1.0, {}};
    double offset = static_cast<double>(random->Between(-120000, 120000));
    int cuts = 0;
    std::string rateText = "1";
    if (kind == CASE_RATE || kind == CASE_RATE_CUT) {
        if (random->Chance(0.7)) {
            const std::int64_t pick = random->Between(0, 5);
            transform.rate = kRateValues[pick];
            rateText = kNamedRates[pick];
        } else {
            transform.rate = 1.0 + (random->Unit() - 0.5) * 0.06;
            rateText = std::to_string(transform.rate);
        }
        offset = static_cast<double>(random->Between(-60000, 60000));
        cuts = kind == CASE_RATE_CUT ? 1 : 0;
    } else if (kind == CASE_CUTS) {
        cuts = random->Chance(0.5) ? 1 : 2;
        offset = static_cast<double>(random->Between(-60000, 60000));
    }
    transform.offsets.push_back(offset);
    *description =
        "offset " + std::to_string(static_cast<long long>(offset)) + " ms, rate " + rateText;
    for (int k = 0; k < cuts; ++k) {
        const double jump =
            static_cast<double>(random->Between(2000, 30000)) * (random->Chance(0.5) ? 1.0 : -1.0);
        transform.offsets.push_back(transform.offsets.back() + jump);
        *description += ", cut then " + std::to_string(static_cast<long long>(jump)) + " ms";
    }
    return transform;
}

std::vector<TrueCue> FilmFor(Random* random, std::int32_t minutes, const Transform& transform,
                             std::vector<std::string>* texts) {
    // A silence at each cut wide enough that the file's times still rise.
    std::vector<std::int64_t> gaps;
    for (std::size_t p = 1; p < transform.offsets.size(); ++p) {
        const double jump = std::fabs(transform.offsets[p] - transform.offsets[p - 1]);
        gaps.push_back(static_cast<std::int64_t>(jump) + random->Between(2000, 6000));
    }
    int cutAt[4] = {0, 0, 0, 0};
    std::vector<TrueCue> cues = DrawFilm(random, minutes, gaps, cutAt);
    for (std::size_t k = 0; k < cues.size(); ++k) {
        std::string text;
        AppendText(random, &text);
        texts->push_back(text);
    }
    return cues;
}

}  // namespace

const char* CaseKindName(CaseKind kind) {
    switch (kind) {
        case CASE_OFFSET:
            return "offset";
        case CASE_RATE:
            return "rate and offset";
        case CASE_CUTS:
            return "cuts";
        case CASE_RATE_CUT:
            return "rate and a cut";
    }
    return "?";
}

AlignmentCase MakeAlignmentCase(CaseKind kind, std::uint32_t seed, std::int32_t minutes) {
    Random random{seed * 2654435761ull + static_cast<std::uint64_t>(kind) * 97 + 1};
    AlignmentCase result;
    const Transform transform = DrawTransform(&random, kind, &result.transform);
    std::vector<std::string> texts;
    const std::vector<TrueCue> cues = FilmFor(&random, minutes, transform, &texts);
    std::vector<std::int64_t> ignored;
    result.correctSami = WriteSami(
        cues, texts, [](std::int64_t time, int) { return time; }, &ignored);
    result.fileSami = WriteSami(
        cues, texts,
        [&](std::int64_t time, int piece) {
            return static_cast<std::int64_t>(
                std::llround(transform.rate * static_cast<double>(time) +
                             transform.offsets[static_cast<std::size_t>(piece)]));
        },
        &result.truth);
    const std::vector<Span> spans = NoisyCues(&random, cues);
    result.reference =
        WriteReference(&random, spans, static_cast<int>(seed % 3), &result.referenceName);
    return result;
}

std::string MakeOtherFilmReference(std::uint32_t seed, std::int32_t minutes, std::string* name) {
    Random random{seed * 40503ull + 7};
    std::vector<std::string> texts;
    const std::vector<TrueCue> cues = FilmFor(&random, minutes, Transform{1.0, {0.0}}, &texts);
    return WriteReference(&random, NoisyCues(&random, cues), static_cast<int>(seed % 3), name);
}

std::vector<std::int64_t> SyncTimesOf(const std::string& sami) {
    std::vector<std::int64_t> times;
    const std::string tag = "<SYNC Start=";
    for (std::size_t at = sami.find(tag); at != std::string::npos; at = sami.find(tag, at + 1)) {
        times.push_back(std::atoll(sami.c_str() + at + tag.size()));
    }
    return times;
}

std::string WithoutSyncTimes(const std::string& sami) {
    std::string text;
    const std::string tag = "<SYNC Start=";
    std::size_t from = 0;
    for (std::size_t at = sami.find(tag); at != std::string::npos; at = sami.find(tag, at + 1)) {
        std::size_t digits = at + tag.size();
        text.append(sami, from, digits - from);
        while (digits < sami.size() && sami[digits] >= '0' && sami[digits] <= '9') {
            ++digits;
        }
        from = digits;
    }
    text.append(sami, from, std::string::npos);
    return text;
}
