// The test front end's progress bar: it records every percent it is given.
#pragma once

#include <cstdint>
#include <vector>

extern std::vector<std::int32_t> g_recordedPercents;

// Forgets the recorded percents and sets the progress rule's last percent.
void ResetProgress(std::int32_t lastPercent);
