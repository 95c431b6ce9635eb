#pragma once

// The one wait of the program.  Pauses are given in units of 1/100,000,000 of
// a day (0.864 ms), as the unit's timings were always stated.  The wait keeps
// the event loop running (received text, timers and clicks are handled while
// it lasts) and sleeps in it: it never spins a core.
constexpr double kDelayUnitMs = 0.864;

void Delay(int units);

// Milliseconds of a given number of units, for messages and tests.
constexpr double DelayMs(int units) { return units * kDelayUnitMs; }
