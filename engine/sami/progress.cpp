// Progress in whole percents; the front end hears of a percent only when it
// changes, and the run works out in advance where the next one begins.
#include "progress.h"

#include <limits>

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// The fewest bytes of `total` whose whole percent is above `percent`:
// processed * 100 / total > percent exactly when processed * 100 >= (percent +
// 1) * total. Files are far below 2^56 bytes, so no product overflows.
std::int64_t BytesOfNextPercent(std::int32_t percent, std::int64_t total) {
    if (total <= 0 || percent >= 100) {
        return kNever;
    }
    const std::int64_t needed = (std::int64_t{percent} + 1) * total;
    return (needed + 99) / 100;
}

}  // namespace

void StartProgress(ProgressRule* rule, ProgressCallback progress, void* context,
                   std::int64_t total) {
    rule->progress = progress;
    rule->context = context;
    rule->total = total;
    rule->last = 0;
    rule->nextStep = progress != nullptr ? BytesOfNextPercent(0, total) : kNever;
}

void CrossProgressStep(ProgressRule* rule, std::int64_t processed) {
    // A file that grew while it was read could pass its own total.
    const std::int64_t bounded = processed < rule->total ? processed : rule->total;
    const auto percent = static_cast<std::int32_t>(bounded * 100 / rule->total);
    rule->nextStep = BytesOfNextPercent(percent, rule->total);
    if (percent != rule->last) {
        rule->last = percent;
        rule->progress(rule->context, percent);
    }
}

void FinishProgress(const ProgressRule* rule) {
    if (rule->progress != nullptr) {
        rule->progress(rule->context, 100);
    }
}
