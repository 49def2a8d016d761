#include "symbol/sym_symbol.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "symbol/line_reader.h"
#include "symbol/rounded_trig.h"

namespace {

// One full turn as the arc sampling adds it to a negative sweep.
constexpr double kFullTurn = 6.28318530718;
constexpr int kArcSamples = 201;
constexpr double kArcStepFraction = 0.005;  // 1 / (kArcSamples - 1)

void AddLine(CSymbol* symbol, const double* v) {
  auto line = std::make_unique<CLine>();
  line->start.x = v[0];
  line->start.y = v[1];
  line->start.z = v[2];
  line->end.x = v[3];
  line->end.y = v[4];
  line->end.z = v[5];
  symbol->lines.Add(std::move(line));
}

void AddCircle(CSymbol* symbol, const double* v) {
  auto circle = std::make_unique<CCircle>();
  circle->radius = v[3];
  circle->points.Add(std::make_unique<CPrecisionPoint>(v[0], v[1], v[2]));
  symbol->circles.Add(std::move(circle));
}

void AddArc(CSymbol* symbol, const double* v) {
  auto arc = std::make_unique<CArc>();
  arc->points.Reserve(2);
  arc->points.Add(std::make_unique<CPrecisionPoint>(v[0], v[1], v[2]));
  arc->points.Add(std::make_unique<CPrecisionPoint>(SymArcAngles(v)));
  symbol->arcs.Add(std::move(arc));
}

// The numbers of a record, in order; a list that runs short repeats its
// last field.
void ReadFields(std::string_view fields, double* v, int count) {
  for (int i = 0; i < count; ++i) v[i] = getNumber(fields);
}

// Widens the extents by one point; z plays no part. Symbol is CSymbol or
// CFlatSymbol, whose extents are alike.
template <class Symbol>
void TakeInX(Symbol* symbol, double px) {
  if (px > symbol->maxX) symbol->maxX = px;
  if (px < symbol->minX) symbol->minX = px;
}

template <class Symbol>
void TakeInY(Symbol* symbol, double py) {
  if (py > symbol->maxY) symbol->maxY = py;
  if (py < symbol->minY) symbol->minY = py;
}

template <class Symbol>
void TakeIn(Symbol* symbol, double px, double py) {
  TakeInX(symbol, px);
  TakeInY(symbol, py);
}

// Which coordinates of an arc's sample can decide the extents.
constexpr unsigned char kDecidesX = 1;
constexpr unsigned char kDecidesY = 2;

// The samples of an arc whose x, and whose y, can decide the extents: bit i
// of a set for sample i, so that the few marked are found a word at a time.
struct CDecidingSamples {
  static constexpr int kWords = (kArcSamples + 63) / 64;
  uint64_t x[kWords];
  uint64_t y[kWords];

  static void Mark(uint64_t (&set)[kWords], int i) {
    set[i / 64] |= uint64_t{1} << (i % 64);
  }
};

// theta - k pi/2 for |theta| below 130, with pi/2 in parts of 30 bits, so
// that k times each is exact. The rest of pi/2 is below 2^-120.
double FromQuarterTurns(double theta, int k) {
  constexpr double kParts[] = {0x1.921fb54000000p+0, 0x1.10b4611800000p-30,
                               0x1.313198a000000p-61, 0x1.701b839800000p-92};
  double d = theta;
  for (double part : kParts) d -= k * part;
  return d;
}

// |theta - k pi/2|, within 1e-15 of itself and 1e-30, for |theta| below 130
// and theta within 0.7 of k pi/2, theta - k P0 being exact so close.
double DistanceFromQuarterTurns(double theta, int k) {
  return std::fabs(FromQuarterTurns(theta, k));
}

// The cosine of theta, |theta| below 130, within kEstimateError, as
// CosOfQuarters(t, k) of theta = t + k pi/2, |t| < 0.79 (the sine of theta
// with k - 1): only to pass over the samples that cannot widen the extents
// whatever their correctly rounded values. t is off by less than 1e-13, the
// series below stop short by less than 1e-11, their rounding adds less than
// 1e-15.
constexpr double kEstimateError = 1e-10;

struct CQuarterTurns {
  int k;
  double t;
};

CQuarterTurns ToQuarterTurns(double theta) {
  constexpr double kTwoOverPi = 0.6366197723675814;
  const double quarters = theta * kTwoOverPi;
  const int k =
      static_cast<int>(quarters < 0 ? quarters - 0.5 : quarters + 0.5);
  return {k, FromQuarterTurns(theta, k)};
}

double CosOfQuarters(double t, int k) {
  const double u = t * t;
  // Taylor series to t^11 and t^12, in Horner's form from the last term.
  if (k & 1) {
    double sine = 1.0;
    for (int n = 10; n >= 2; n -= 2) sine = 1.0 - u / (n * (n + 1)) * sine;
    sine *= t;
    return k & 2 ? sine : -sine;
  }
  double cosine = 1.0;
  for (int n = 12; n >= 2; n -= 2) cosine = 1.0 - u / (n * (n - 1)) * cosine;
  return k & 2 ? -cosine : cosine;
}

// Whether c + r * v, v being the correctly rounded value that estimate is
// within kEstimateError of, might pass lo or hi. Rounding is monotonic, so
// it lies between the two computed with v's bounds; false only when both
// lie within the extents (a NaN: true), where taking it in changes nothing.
bool MightWiden(double lo, double hi, double c, double r, double estimate) {
  const double a = c + r * (estimate - kEstimateError);
  const double b = c + r * (estimate + kEstimateError);
  return !(a <= hi && b <= hi && a >= lo && b >= lo);
}

// Marks the samples of an arc that decide its extents, and which of their
// coordinates do, of those in axes, or returns false when the arc is
// outside the range where that is shown below.
//
// Sample i is at theta_i = s + i * step, a point at x = cx + r cos theta_i,
// y = cy + r sin theta_i; the computed theta_i move one way as i grows.
// Between neighbouring multiples of pi the exact cos is monotonic, and so
// is RoundedCos, being correctly rounded, and so is x, rounding in r * c +
// cx keeping order (reversing it for r < 0). Among the samples between two
// such multiples the largest and smallest x are therefore at the first or
// the last: the extents of x come from the end samples and the two samples
// either side of each multiple of pi (|step| <= 0.32 leaves many samples
// between multiples). Of those two, the nearer to the multiple has the cos
// further towards its extreme there, as |cos| falls with the distance both
// ways: it alone decides, unless the two are too near to tell apart. y, by
// the same reasoning for sin, comes from the samples by the odd multiples
// of pi/2. Rounding moves a multiple's computed sample index by less than
// 1e-5 of a sample (theta and k pi/2 are off by less than 1e-12, |step| is
// at least 1e-7): one more sample is taken on the side of an index within
// 1e-3 of a whole one. The bounds keep every value finite and nonzero
// products from underflowing, so equal values have equal bits (no -0.0),
// and the extents come out bit for bit as from all 201 samples.
bool MarkDecidingSamples(double s, double step, double r,
                         const CPrecisionPoint& centre, unsigned char axes,
                         CDecidingSamples* decides) {
  const double a = std::fabs(r);
  if (!(a >= 1e-200 && a <= 1e200 && std::fabs(centre.x) <= 1e200 &&
        std::fabs(centre.y) <= 1e200 && std::fabs(s) <= 64.0 &&
        std::fabs(step) >= 1e-7 && std::fabs(step) <= 0.32)) {
    return false;
  }
  constexpr double kHalfPi = 1.5707963267948966;
  // Far more than any rounding of theta or k pi/2.
  constexpr double kMargin = 1e-6;
  const double last = s + static_cast<double>(kArcSamples - 1) * step;
  const double lo = std::min(s, last) - kMargin;
  const double hi = std::max(s, last) + kMargin;
  *decides = {};
  CDecidingSamples::Mark(decides->x, 0);
  CDecidingSamples::Mark(decides->y, 0);
  CDecidingSamples::Mark(decides->x, kArcSamples - 1);
  CDecidingSamples::Mark(decides->y, kArcSamples - 1);
  // |theta| stays below 130 here: k fits an int, and is exact.
  for (int k = static_cast<int>(std::ceil(lo / kHalfPi)); k * kHalfPi <= hi;
       ++k) {
    if (!(axes & (k % 2 == 0 ? kDecidesX : kDecidesY))) continue;
    uint64_t(&what)[CDecidingSamples::kWords] =
        k % 2 == 0 ? decides->x : decides->y;
    const double index = (k * kHalfPi - s) / step;
    const double below = std::floor(index);
    const int first =
        std::max(static_cast<int>(below) - (index - below < 1e-3 ? 1 : 0), 0);
    const int end =
        std::min(static_cast<int>(below) + (index - below > 1.0 - 1e-3 ? 3 : 2),
                 kArcSamples);
    double distance[3];
    double nearest = HUGE_VAL;
    for (int i = first; i < end; ++i) {
      const double theta = s + static_cast<double>(i) * step;
      distance[i - first] = DistanceFromQuarterTurns(theta, k);
      nearest = std::min(nearest, distance[i - first]);
    }
    // Distances this close might be in either order.
    const double tie = nearest * (1.0 + 1e-12) + 1e-28;
    for (int i = first; i < end; ++i) {
      if (distance[i - first] <= tie) CDecidingSamples::Mark(what, i);
    }
  }
  return true;
}

// Which axes an arc's samples may still widen. Every sample's x is
// c + r * cos with |cos| <= 1, so |r * cos| <= |r| and, rounding being
// monotonic, c - |r| <= x <= c + |r|: when both bounds lie within the
// extents no sample passes them (and a NaN bound compares false: sampled).
template <class Symbol>
unsigned char AxesToSample(const Symbol* symbol, const CPrecisionPoint& centre,
                           double r) {
  const double a = std::fabs(r);
  unsigned char axes = 0;
  if (!(centre.x + a <= symbol->maxX && centre.x - a >= symbol->minX)) {
    axes |= kDecidesX;
  }
  if (!(centre.y + a <= symbol->maxY && centre.y - a >= symbol->minY)) {
    axes |= kDecidesY;
  }
  return axes;
}

// The arc from its start angle downward over its sweep, at 201 points.
template <class Symbol>
void TakeInArc(Symbol* symbol, const CPrecisionPoint& centre,
               const CPrecisionPoint& angles) {
  const double s = angles.x;
  const double r = angles.z;
  const unsigned char axes = AxesToSample(symbol, centre, r);
  if (axes == 0) return;
  double d = s - angles.y;
  if (d < 0) d = d + kFullTurn;
  const double step = -kArcStepFraction * d;
  CDecidingSamples decides;
  const bool marked = MarkDecidingSamples(s, step, r, centre, axes, &decides);
  if (!marked) {
    for (int w = 0; w < CDecidingSamples::kWords; ++w) {
      const int left = kArcSamples - 64 * w;
      const uint64_t all =
          left >= 64 ? ~uint64_t{0} : (uint64_t{1} << left) - 1;
      decides.x[w] = decides.y[w] = all;
    }
  }
  // Most samples decide nothing: only the marked ones are visited, in
  // order, as all would be. Of those, where the arc is marked, a coordinate
  // that the estimate shows within the extents is not computed.
  const uint64_t x_mask = axes & kDecidesX ? ~uint64_t{0} : 0;
  const uint64_t y_mask = axes & kDecidesY ? ~uint64_t{0} : 0;
  for (int w = 0; w < CDecidingSamples::kWords; ++w) {
    const uint64_t x = decides.x[w] & x_mask;
    const uint64_t y = decides.y[w] & y_mask;
    for (uint64_t left = x | y; left != 0; left &= left - 1) {
      const int bit = std::countr_zero(left);
      const int i = 64 * w + bit;
      const double theta = s + static_cast<double>(i) * step;
      unsigned char which =
          ((x >> bit) & 1) * kDecidesX | ((y >> bit) & 1) * kDecidesY;
      if (marked) {
        const CQuarterTurns q = ToQuarterTurns(theta);
        if ((which & kDecidesX) &&
            !MightWiden(symbol->minX, symbol->maxX, centre.x, r,
                        CosOfQuarters(q.t, q.k))) {
          which &= ~kDecidesX;
        }
        if ((which & kDecidesY) &&
            !MightWiden(symbol->minY, symbol->maxY, centre.y, r,
                        CosOfQuarters(q.t, q.k - 1))) {
          which &= ~kDecidesY;
        }
      }
      switch (which) {
        case kDecidesX | kDecidesY: {
          double sine, cosine;
          RoundedSinCos(theta, &sine, &cosine);
          TakeIn(symbol, centre.x + r * cosine, centre.y + r * sine);
          break;
        }
        case kDecidesX:
          TakeInX(symbol, centre.x + r * RoundedCos(theta));
          break;
        case kDecidesY:
          TakeInY(symbol, centre.y + r * RoundedSin(theta));
          break;
        default:
          break;
      }
    }
  }
}

// Each circle widens each extent on its own side only.
template <class Symbol>
void TakeInCircle(Symbol* symbol, const CPrecisionPoint& centre, double r) {
  if (centre.x + r > symbol->maxX) symbol->maxX = centre.x + r;
  if (centre.x - r < symbol->minX) symbol->minX = centre.x - r;
  if (centre.y + r > symbol->maxY) symbol->maxY = centre.y + r;
  if (centre.y - r < symbol->minY) symbol->minY = centre.y - r;
}

// Subtracts (dx, dy) from every line end and every arc and circle centre
// (subtracting 0.0 leaves a coordinate as it is, -0.0 too, so one pass
// gives what a pass for each axis would). The arcs' angle points are not
// positions and stay.
void Shift(CSymbol* symbol, double dx, double dy) {
  for (std::size_t i = 0; i < symbol->lines.GetSize(); ++i) {
    CLine* line = symbol->lines[i];
    line->start.x -= dx;
    line->start.y -= dy;
    line->end.x -= dx;
    line->end.y -= dy;
  }
  auto shiftCentre = [dx, dy](CPrecisionPointArray& points) {
    if (points.GetSize() > 0) {
      points[0]->x -= dx;
      points[0]->y -= dy;
    }
  };
  for (std::size_t i = 0; i < symbol->arcs.GetSize(); ++i) {
    shiftCentre(symbol->arcs[i]->points);
  }
  for (std::size_t i = 0; i < symbol->circles.GetSize(); ++i) {
    shiftCentre(symbol->circles[i]->points);
  }
}

void Shift(CFlatSymbol* symbol, double dx, double dy) {
  for (CLine& line : symbol->lines) {
    line.start.x -= dx;
    line.start.y -= dy;
    line.end.x -= dx;
    line.end.y -= dy;
  }
  for (CFlatSymbol::CArcShape& arc : symbol->arcs) {
    arc.centre.x -= dx;
    arc.centre.y -= dy;
  }
  for (CFlatSymbol::CCircleShape& circle : symbol->circles) {
    circle.centre.x -= dx;
    circle.centre.y -= dy;
  }
}

}  // namespace

int SymRecordFields(char letter) {
  switch (letter) {
    case 'L':
    case 'A':
      return 6;
    case 'C':
      return 4;
    default:
      return 0;
  }
}

void AddSymRecord(CSymbol* symbol, char letter, const double* numbers) {
  switch (letter) {
    case 'L':
      AddLine(symbol, numbers);
      break;
    case 'C':
      AddCircle(symbol, numbers);
      break;
    case 'A':
      AddArc(symbol, numbers);
      break;
    default:
      break;
  }
}

void AddSymRecord(CFlatSymbol* symbol, char letter, const double* numbers) {
  switch (letter) {
    case 'L':
      AddSymLine(symbol, numbers);
      break;
    case 'C':
      AddSymCircle(symbol, numbers);
      break;
    case 'A':
      AddSymArc(symbol, numbers);
      break;
    default:
      break;
  }
}

bool ReadSymText(std::string_view text, CSymbol* symbol) {
  const int n = countLines(text);
  if (n == 1) return false;  // a header alone
  CRemainingText rest(text);
  getLine(rest);  // the header says nothing that the conversion uses
  for (int i = 1; i < n; ++i) {
    const std::string_view line = getLine(rest);
    // The letter alone decides; the byte after it is a separator.
    const char letter = line.empty() ? '\0' : line[0];
    const std::string_view fields = line.size() > 2 ? line.substr(2) : "";
    const int count = SymRecordFields(letter);
    if (count == 0) continue;  // blank lines and anything else are skipped
    double v[6];
    ReadFields(fields, v, count);
    AddSymRecord(symbol, letter, v);
  }
  return true;
}

namespace {

void TakeInShapes(CSymbol* symbol) {
  for (std::size_t i = 0; i < symbol->lines.GetSize(); ++i) {
    const CLine* line = symbol->lines[i];
    TakeIn(symbol, line->start.x, line->start.y);
    TakeIn(symbol, line->end.x, line->end.y);
  }
  for (std::size_t i = 0; i < symbol->arcs.GetSize(); ++i) {
    const CArc* arc = symbol->arcs[i];
    if (arc->points.GetSize() >= 2) {
      TakeInArc(symbol, *arc->points[0], *arc->points[1]);
    }
  }
  for (std::size_t i = 0; i < symbol->circles.GetSize(); ++i) {
    const CCircle* circle = symbol->circles[i];
    if (circle->points.GetSize() >= 1) {
      TakeInCircle(symbol, *circle->points[0], circle->radius);
    }
  }
}

// The same order as for a CSymbol, shape by shape.
void TakeInShapes(CFlatSymbol* symbol) {
  for (const CLine& line : symbol->lines) {
    TakeIn(symbol, line.start.x, line.start.y);
    TakeIn(symbol, line.end.x, line.end.y);
  }
  for (const CFlatSymbol::CArcShape& arc : symbol->arcs) {
    TakeInArc(symbol, arc.centre, arc.angles);
  }
  for (const CFlatSymbol::CCircleShape& circle : symbol->circles) {
    TakeInCircle(symbol, circle.centre, circle.radius);
  }
}

template <class Symbol>
void MeasureAndShiftShapes(Symbol* symbol) {
  symbol->maxX = -999999999.0;
  symbol->minX = 999999999.0;
  symbol->maxY = -999999999.0;
  symbol->minY = 999999999.0;
  TakeInShapes(symbol);
  // Where the text's own origin lies, seen from the corner (minX, maxY).
  symbol->origin.x = -symbol->minX;
  symbol->origin.y = -symbol->maxY;
  symbol->origin.z = 0.0;
  // Right of the y axis and below the x axis, where the symbol reaches
  // across them, in one pass over the shapes.
  const double dx = symbol->minX < 0 ? symbol->minX : 0.0;
  const double dy = symbol->maxY > 0 ? symbol->maxY : 0.0;
  if (dx != 0.0 || dy != 0.0) Shift(symbol, dx, dy);
  if (symbol->minX < 0) {
    symbol->maxX = symbol->maxX - symbol->minX;
    symbol->minX = 0;
  }
  if (symbol->maxY > 0) {
    symbol->minY = symbol->minY - symbol->maxY;
    symbol->maxY = 0;
  }
}

}  // namespace

void MeasureAndShift(CSymbol* symbol) { MeasureAndShiftShapes(symbol); }

void MeasureAndShift(CFlatSymbol* symbol) { MeasureAndShiftShapes(symbol); }
