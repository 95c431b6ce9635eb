#pragma once

#include <functional>

// The one wait of the program.  Pauses are given in units of 1/100,000,000 of
// a day (0.864 ms), as the unit's timings were always stated.  The wait keeps
// the event loop running (received text, timers and clicks are handled while
// it lasts) and sleeps in it: it never spins.
constexpr double kDelayUnitMs = 0.864;

void Delay(int units);

// Milliseconds of a given number of units, for messages and tests.
constexpr double DelayMs(int units) { return units * kDelayUnitMs; }

// Every wait started since the program began, and the units they were given:
// tests count a handler's waits instead of timing it on a loaded machine.
struct DelayTally {
    long long waits = 0;
    long long units = 0;
};
DelayTally DelaysSoFar();

// How many waits are running now, one inside another (0: none, the program
// is idle in its own event loop or in a dialog).
int WaitDepth();

// Cuts every running wait short: each wait that is running now, or starts
// before the outermost of them has returned, calls `raise`, which throws, so
// that every handler waiting on something that is gone is abandoned.  False
// (and nothing is kept) when no wait is running.
bool InterruptWaits(std::function<void()> raise);
