// simulate: the probability map of thousands of possible objects drifted from the last known
// position, scored against the searches that did not find them.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "simulate_options.h"

namespace vestrand {
struct SearchPlan;
struct SearchPlanInput;
}  // namespace vestrand
namespace vestrand::fields {
class Forcing;
}  // namespace vestrand::fields

namespace vestrand::cli {

struct Options;

// Runs simulate: prints the map's figures (and the paths of the files written first).
int runSimulate(const SimulateOptions& o, const CLI::App& sub);

// plan --particles N [--seed S]: declares the two options on plan.
void addPlanParticles(CLI::App* plan, SimulateOptions& o);

// The plan made over a simulated cloud instead of the circular normal distribution: the
// particles are seeded with the position error sqrt(X^2 + Y^2), drifted by the plan's current and
// leeway to the middle of the search period (the datum's hours plus half the longest time on
// scene), and the area is the cloud's (drift/cloud_area.h). With forecast files (`files`, as the
// plan's drift read them, with their constants) every particle is drifted through them, as
// simulate drifts it. Does nothing without --particles.
// @param[in,out] plan the closed-form plan, replaced by the cloud's
// @return whether it was replaced
bool planOverParticles(const Options& o, const CLI::App& sub, const SearchPlanInput& input,
                       const fields::Forcing* files, SearchPlan& plan);

// Both plans' POS, for people ("POS over particles ...") and as JSON members to add to the plan's
// object: ,"particles":{"pos":P,"normal_pos":Q}.
std::string particlePlanText(const SearchPlan& plan, double normalPos);
std::string particlePlanJson(const SearchPlan& plan, double normalPos);

// Reads an ISO 8601 time in UTC, as the forecast fields read them (field_time.h): seconds since
// 1970-01-01T00:00:00Z.
// @return false when the text is not a real date and time; `error` says why
bool parseUtcTime(const std::string& text, double& seconds, std::string& error);

// "2026-12-07T14:30:00Z" for seconds since the epoch, to the whole second.
std::string utcTimeText(double seconds);

}  // namespace vestrand::cli
