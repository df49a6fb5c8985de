#include "cloud_area.h"

#include <algorithm>
#include <cmath>

namespace vestrand::drift {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr std::size_t kSteps = 256;
constexpr double kReach = 5.0;  // standard deviations

}  // namespace

CloudPoc::CloudPoc(const ParticleCloud& c, const CloudSummary& s) {
  if (!(s.weight > 0.0)) return;
  const double east = 60.0 * std::cos(s.lat * kRadiansPerDegree);
  const double axis = s.axisCourse * kRadiansPerDegree;
  const double ue = std::sin(axis), un = std::cos(axis);  // unit vector along the axis
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (!(c.weight[i] > 0.0f)) continue;
    const double x = (c.lon(i) - s.lon) * east, y = (c.lat(i) - s.lat) * 60.0;
    along_.push_back(static_cast<float>(std::fabs(x * ue + y * un)));
    across_.push_back(static_cast<float>(std::fabs(-x * un + y * ue)));
    weight_.push_back(c.weight[i]);
    total_ += c.weight[i];
  }
}

double CloudPoc::operator()(double length, double width) const {
  if (!(total_ > 0.0)) return 0.0;
  const double a = length / 2.0, b = width / 2.0;
  double inside = 0.0;
  for (std::size_t i = 0; i < weight_.size(); ++i) {
    if (along_[i] <= a && across_[i] <= b) inside += weight_[i];
  }
  return inside / total_;
}

CloudRectangle optimalCloudRectangle(const CloudPoc& poc, const CloudSummary& s, double effort,
                                     SearchConditions conditions) {
  CloudRectangle r;
  r.lat = s.lat;
  r.lon = s.lon;
  r.axisCourse = s.axisCourse;
  if (!(poc.total() > 0.0) || !(effort > 0.0)) return r;
  // The grid's reach: the farthest particle each way, but no farther than five standard
  // deviations, so that a stray particle does not coarsen the grid for all; never zero.
  double maxA = 0.0, maxB = 0.0;
  for (std::size_t i = 0; i < poc.weight().size(); ++i) {
    maxA = std::max(maxA, static_cast<double>(poc.along()[i]));
    maxB = std::max(maxB, static_cast<double>(poc.across()[i]));
  }
  const double floor = 1e-3 * std::max({maxA, maxB, 1e-3});
  maxA = std::max(std::min(maxA, kReach * s.sdAlong), floor);
  maxB = std::max(std::min(maxB, kReach * s.sdAcross), floor);
  const double da = maxA / kSteps, db = maxB / kSteps;
  // weight[i][j]: of the particles whose half-sides fall in step i along and j across; then the
  // sums over every smaller step, so that the POC of each rectangle of the grid is one look-up.
  std::vector<double> table((kSteps + 1) * (kSteps + 1), 0.0);
  auto cell = [&](std::size_t i, std::size_t j) -> double& { return table[i * (kSteps + 1) + j]; };
  for (std::size_t k = 0; k < poc.weight().size(); ++k) {
    const auto i = static_cast<std::size_t>(std::ceil(poc.along()[k] / da));
    const auto j = static_cast<std::size_t>(std::ceil(poc.across()[k] / db));
    if (i <= kSteps && j <= kSteps) cell(i, j) += poc.weight()[k];
  }
  for (std::size_t i = 0; i <= kSteps; ++i) {
    for (std::size_t j = 0; j <= kSteps; ++j) {
      if (i > 0) cell(i, j) += cell(i - 1, j);
      if (j > 0) cell(i, j) += cell(i, j - 1);
      if (i > 0 && j > 0) cell(i, j) -= cell(i - 1, j - 1);
    }
  }
  double best = -1.0;
  for (std::size_t i = 1; i <= kSteps; ++i) {
    for (std::size_t j = 1; j <= kSteps; ++j) {
      const double a = static_cast<double>(i) * da, b = static_cast<double>(j) * db;
      const double pos = cell(i, j) / poc.total() * podFor(conditions, effort / (4.0 * a * b));
      if (pos > best) {
        best = pos;
        r.length = 2.0 * a;
        r.width = 2.0 * b;
      }
    }
  }
  r.poc = poc(r.length, r.width);
  r.coverage = effort / (r.length * r.width);
  r.pod = podFor(conditions, r.coverage);
  r.pos = r.poc * r.pod;
  return r;
}

}  // namespace vestrand::drift
