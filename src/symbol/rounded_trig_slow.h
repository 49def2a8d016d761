#ifndef SYMCONV_SYMBOL_ROUNDED_TRIG_SLOW_H_
#define SYMCONV_SYMBOL_ROUNDED_TRIG_SLOW_H_

// The quad-precision path of rounded_trig.cc on its own, for the tests that
// hold the fast path against it. Same results as RoundedSin, RoundedCos and
// RoundedAtan2, only much slower.
double SlowRoundedSin(double x);
double SlowRoundedCos(double x);
double SlowRoundedAtan2(double y, double x);

// How many quad results so far lay too near halfway between two doubles
// for the quad path to decide; kept for the tests, which expect none.
unsigned long SlowUndecidedCount();

#endif  // SYMCONV_SYMBOL_ROUNDED_TRIG_SLOW_H_
