#ifndef SYMCONV_DXF_TEXT_TRIG_H_
#define SYMCONV_DXF_TEXT_TRIG_H_

/// Sine and cosine of an angle in degrees for the text layout, giving the
/// same doubles on every build: only IEEE arithmetic, no C library routine.
/// Whole multiples of 90 degrees give exact 0, 1 and -1. Every angle of the
/// text layout goes through these two.
double SinDegrees(double degrees);
double CosDegrees(double degrees);

#endif  // SYMCONV_DXF_TEXT_TRIG_H_
