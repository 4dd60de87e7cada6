#include "tools/payloadgen/separation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace payloadgen {
namespace {

// Black generation: black starts at this lightness, grows towards the darkest
// printable lightness along a curve with this exponent (below 1: black comes
// in early, which keeps the chromatic inks off their limits and the colour
// tables smooth), and is damped for chromatic colours on this chroma scale.
constexpr double kBlackStartL = 75.0;
constexpr double kBlackCurveExponent = 0.8;
constexpr double kBlackChromaScale = 60.0;
// Weight of the black-generation goal against the colour error, per unit
// amount. The first pass (10 % off the planned black costs as much as 0.3 dE)
// settles how much black to use; the second pass, starting there, nearly
// ignores the goal and corrects the colour where inks run into their limits.
constexpr double kBlackGoalWeight = 3.0;
constexpr double kPolishBlackGoalWeight = 0.1;
constexpr int kMaxIterations = 80;

// Solves a * x = b for a small dense system by Gaussian elimination with
// partial pivoting. Returns false when the matrix is singular.
bool solve4(double a[4][4], double b[4], double x[4]) {
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 4; ++row) {
      if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
    }
    if (std::fabs(a[pivot][col]) < 1e-14) return false;
    if (pivot != col) {
      for (int k = 0; k < 4; ++k) std::swap(a[col][k], a[pivot][k]);
      std::swap(b[col], b[pivot]);
    }
    for (int row = col + 1; row < 4; ++row) {
      const double factor = a[row][col] / a[col][col];
      for (int k = col; k < 4; ++k) a[row][k] -= factor * a[col][k];
      b[row] -= factor * b[col];
    }
  }
  for (int row = 3; row >= 0; --row) {
    double sum = b[row];
    for (int k = row + 1; k < 4; ++k) sum -= a[row][k] * x[k];
    x[row] = sum / a[row][row];
  }
  return true;
}

double sumOfSquares(const double r[4]) {
  return r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3];
}

}  // namespace

Separator::Separator(const InkModel& model, Rendering rendering)
    : model_(model), rendering_(rendering) {
  // Rich black: full black with as much of each chromatic ink as the limit
  // leaves room for.
  const double chromatic = std::clamp((model_.totalInkLimit - 1.0) / 3.0, 0.0, 1.0);
  darkestL_ = relativeLab(model_, {chromatic, chromatic, chromatic, 1.0}).L;
}

double Separator::mappedLightness(double L) const {
  const double clamped = std::clamp(L, 0.0, 100.0);
  if (rendering_ == Rendering::kColorimetric) return clamped;
  // Measured down from white, so that L* 100 stays exactly 100.
  return 100.0 - (100.0 - darkestL_) * (100.0 - clamped) / 100.0;
}

Cmyk Separator::project(Cmyk cmyk) const {
  for (double& amount : cmyk) amount = std::clamp(amount, 0.0, 1.0);
  const double total = cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3];
  if (total > model_.totalInkLimit) {
    // Take the excess from the chromatic inks: black keeps its amount.
    const double chromatic = cmyk[0] + cmyk[1] + cmyk[2];
    const double keep = chromatic > 0.0
                            ? std::max(0.0, chromatic - (total - model_.totalInkLimit)) / chromatic
                            : 0.0;
    for (int ink = 0; ink < 3; ++ink) cmyk[ink] *= keep;
  }
  return cmyk;
}

void Separator::residuals(const Cmyk& cmyk, const Goal& goal, double out[4]) const {
  const LabColour lab = relativeLab(model_, cmyk);
  out[0] = lab.L - goal.colour.L;
  out[1] = lab.a - goal.colour.a;
  out[2] = lab.b - goal.colour.b;
  out[3] = goal.blackWeight * (cmyk[3] - goal.black);
}

Cmyk Separator::separate(const LabColour& target) const {
  const LabColour goal{mappedLightness(target.L), target.a, target.b};

  // Black generation: none above kBlackStartL, full black at the darkest
  // printable lightness, less of it the more chromatic the colour is.
  const double darkness =
      std::clamp((kBlackStartL - goal.L) / (kBlackStartL - darkestL_), 0.0, 1.0);
  const double chroma = std::hypot(goal.a, goal.b);
  const double damping = chroma / kBlackChromaScale;
  const double blackGoal = std::pow(darkness, kBlackCurveExponent) / (1.0 + damping * damping);

  // Start from the complementary amounts of a grey of the goal's lightness,
  // nudged by the goal's hue, with the planned black.
  const double grey = 1.0 - goal.L / 100.0;
  Cmyk x = project({grey - goal.a / 400.0 + goal.b / 800.0, grey + goal.a / 300.0,
                    grey + goal.b / 250.0, blackGoal});
  for (int ink = 0; ink < 3; ++ink) x[ink] = std::clamp(x[ink] - blackGoal * 0.6, 0.0, 1.0);

  x = refine(x, {goal, blackGoal, kBlackGoalWeight});
  return refine(x, {goal, blackGoal, kPolishBlackGoalWeight});
}

Cmyk Separator::refine(Cmyk x, const Goal& goal) const {
  double r[4];
  residuals(x, goal, r);
  double cost = sumOfSquares(r);
  double lambda = 1e-2;
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    // Jacobian by one-sided differences, stepping away from the nearer bound.
    double jacobian[4][4];
    for (int ink = 0; ink < 4; ++ink) {
      const double h = x[ink] > 0.5 ? -1e-6 : 1e-6;
      Cmyk probe = x;
      probe[ink] += h;
      double rp[4];
      residuals(probe, goal, rp);
      for (int i = 0; i < 4; ++i) jacobian[i][ink] = (rp[i] - r[i]) / h;
    }
    // Levenberg-Marquardt step: (J'J + lambda diag(J'J)) d = -J'r.
    double normal[4][4];
    double gradient[4];
    for (int row = 0; row < 4; ++row) {
      gradient[row] = 0.0;
      for (int i = 0; i < 4; ++i) gradient[row] -= jacobian[i][row] * r[i];
      for (int col = 0; col < 4; ++col) {
        double sum = 0.0;
        for (int i = 0; i < 4; ++i) sum += jacobian[i][row] * jacobian[i][col];
        normal[row][col] = sum;
      }
      normal[row][row] += lambda * normal[row][row] + 1e-9;
    }
    // An amount held at 0 or 1 that the descent would push further out
    // stays where it is, so the others can still move (a plain projection
    // of the whole step would stall there).
    for (int ink = 0; ink < 4; ++ink) {
      const bool atLower = x[ink] <= 0.0 && gradient[ink] < 0.0;
      const bool atUpper = x[ink] >= 1.0 && gradient[ink] > 0.0;
      if (!atLower && !atUpper) continue;
      for (int k = 0; k < 4; ++k) {
        normal[ink][k] = 0.0;
        normal[k][ink] = 0.0;
      }
      normal[ink][ink] = 1.0;
      gradient[ink] = 0.0;
    }
    double step[4];
    if (!solve4(normal, gradient, step)) break;

    const Cmyk candidate =
        project({x[0] + step[0], x[1] + step[1], x[2] + step[2], x[3] + step[3]});
    double rc[4];
    residuals(candidate, goal, rc);
    const double candidateCost = sumOfSquares(rc);
    if (candidateCost < cost) {
      double moved = 0.0;
      for (int ink = 0; ink < 4; ++ink) moved = std::max(moved, std::fabs(candidate[ink] - x[ink]));
      x = candidate;
      std::copy(rc, rc + 4, r);
      cost = candidateCost;
      lambda = std::max(lambda * 0.3, 1e-7);
      if (moved < 1e-7) break;
    } else {
      lambda *= 10.0;
      if (lambda > 1e8) break;
    }
  }
  return x;
}

}  // namespace payloadgen
