#pragma once

// How many times faster than real time the program's clock and its progress timer run: 1 in the
// shipped program; the test build of the program is compiled with a larger value.
#ifndef CORVANE_TIME_SCALE
#define CORVANE_TIME_SCALE 1
#endif

constexpr unsigned kTimeScale = CORVANE_TIME_SCALE;
static_assert(kTimeScale >= 1, "the clock cannot run slower than real time");
