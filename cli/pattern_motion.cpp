// The options that move a pattern as a whole: the first turn, and the drift it is laid in.
#include <number_text.h>
#include <plan_summary.h>

#include <string>

#include "arguments.h"
#include "commands.h"
#include "report.h"

namespace vestrand::cli {

void addTurnAndDriftOptions(CLI::App* sub, Options& o) {
  sub->add_option("--first-turn", o.firstTurn,
                  "starboard (default) or port: port mirrors the pattern about its first leg")
      ->type_name("SIDE");
  sub->add_option("--drift-set", o.driftSet,
                  "lay the pattern in water drifting toward this direction, degrees true, -360 to "
                  "360 (with --drift-speed); each turning point moves with the water for the time "
                  "the unit takes to reach it at --search-speed")
      ->type_name("DEG");
  sub->add_option("--drift-speed", o.driftSpeed,
                  "speed of the drift, knots, 0 to 20 and below half the search speed; 0 lays the "
                  "pattern on the ground")
      ->type_name("KN");
}

void applyTurnAndDrift(PatternParams& p, const Options& o, const CLI::App& sub, double speed) {
  if (given(&sub, "--first-turn")) {
    if (o.firstTurn == "port") {
      p.firstTurn = Turn::Port;
    } else if (o.firstTurn != "starboard") {
      throw UsageError("--first-turn '" + o.firstTurn + "' refused: expected port or starboard");
    }
  }
  if (sub.get_option_no_throw("--drift-set") == nullptr) return;
  const bool hasSet = given(&sub, "--drift-set");
  const bool hasSpeed = given(&sub, "--drift-speed");
  if (hasSet != hasSpeed) {
    throw UsageError(hasSet ? "--drift-set '" + o.driftSet +
                                  "' refused: a direction needs its speed, --drift-speed"
                            : "--drift-speed '" + o.driftSpeed +
                                  "' refused: a speed needs its direction, --drift-set");
  }
  if (!hasSet) return;
  WaterDrift drift;
  drift.set = checkCourse("--drift-set", o.driftSet);
  drift.speed = checkBounded("--drift-speed", o.driftSpeed, 0.0, kMaxDriftSpeed, "knots");
  if (const std::string fault = driftFault(drift, speed); !fault.empty()) {
    throw UsageError("--drift-speed '" + o.driftSpeed + "' refused: " + fault);
  }
  p.drift = drift;
  p.searchSpeed = speed;
}

std::string compensationText(const PatternParams& p, const PlanSummary& summary) {
  return "drift     " + shortestNumber(p.drift.set) + "\xC2\xB0 at " +
         shortestNumber(p.drift.speed) + " kn: legs laid in the drifting water, " +
         fixedText(summary.groundTrack, 2) + " NM over the ground\n";
}

std::string compensationJsonMembers(const PatternParams& p, const PlanSummary& summary) {
  return ",\"drift\":{\"set\":" + shortestNumber(p.drift.set) +
         ",\"speed_kn\":" + shortestNumber(p.drift.speed) +
         ",\"ground_track_nm\":" + shortestNumber(summary.groundTrack) + "}";
}

}  // namespace vestrand::cli
