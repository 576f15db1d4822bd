// Reading a frame rate given on the command line: a decimal number (25, 23.976)
// or a fraction of two (24000/1001), above 0.
#pragma once

// 1 and the rate in *rate when the text is such a rate, else 0 with *rate
// untouched.
int ReadFrameRate(const char* text, double* rate);

// Reads "FROM:TO" into the two rates; 0 when either part is no rate.
int ReadFrameRatePair(const char* text, double* fromRate, double* toRate);
