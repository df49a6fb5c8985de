// The search area over a simulated cloud instead of a circular normal distribution: a rectangle
// centred on the cloud's weighted mean, its long axis along the cloud's principal axis, its two
// half-sides those that give the highest POS of a uniform coverage by the effort, its POC the
// weight inside it.
//
// Units: positions in degrees, courses in degrees true, lengths in nautical miles, efforts in
// square nautical miles.
#pragma once

#include <vector>

#include "detection.h"
#include "particle_cloud.h"
#include "probability_map.h"

namespace vestrand::drift {

// The weight of the cloud inside rectangles about its mean, in the axes of its principal axis.
class CloudPoc {
 public:
  CloudPoc(const ParticleCloud& cloud, const CloudSummary& summary);
  // @param[in] length, width the rectangle's sides along and across the axis, nautical miles
  // @return the share of the cloud's weight inside, 0 to 1 (0 for a cloud without weight)
  double operator()(double length, double width) const;

  // How far each particle lies from the mean along and across the axis, nautical miles, and
  // its weight.
  const std::vector<float>& along() const { return along_; }
  const std::vector<float>& across() const { return across_; }
  const std::vector<float>& weight() const { return weight_; }
  double total() const { return total_; }

 private:
  std::vector<float> along_, across_, weight_;
  double total_ = 0.0;
};

struct CloudRectangle {
  double lat = 0.0, lon = 0.0;  // the centre: the cloud's weighted mean
  double axisCourse = 0.0;      // of the long axis, degrees true in [0, 180)
  double length = 0.0, width = 0.0;
  double poc = 0.0, coverage = 0.0, pod = 0.0, pos = 0.0;
};

// The rectangle whose POS, POC times the POD of coverage Z / (length x width) by the
// conditions' law, is highest: searched over a grid of 256 half-sides each way, up to the
// farthest particle within five standard deviations of the mean, then worked exactly.
// @param[in] effort Z, above 0
CloudRectangle optimalCloudRectangle(const CloudPoc& poc, const CloudSummary& summary,
                                     double effort, SearchConditions conditions);

}  // namespace vestrand::drift
