// The datums of a search drifted through wind and current that vary in space and time (forecast
// files, or constants, behind fields::Forcing), step by step instead of with one vector.
//
// Each datum is sailed on its own: the left, right and downwind datums of an object class, or the
// one datum of a leeway given by hand. At every step the wind and current are sampled at the
// datum's own position and time; a class's leeway is worked from that wind (leewayOf), so the
// downwind direction turns with the wind, and the side's leeway is added to the current. A step
// is Heun's: the motion at the step's start and the motion at the end that motion would reach,
// averaged, then sailed by plane sailing. It is of second order: a steady field gives the datums
// of one long sailing to a few metres in a day, and a field that varies linearly in time between
// the times of its files is followed exactly.
//
// The drift distance of a curved path, from which the search takes its drift error (De = 0.3 x
// the drift distance), is the one of a straight drift: from the last known position to the
// downwind datum, by plane sailing. Each datum's course and speed are those of that straight line
// (distance over hours).
//
// Where the current has no value (inside a current file, every grid value around the position is
// missing: the file's land), the object has reached the coast: it strands at the start of that
// step and stays there for the rest of the drift. A wind without value is no coast: the drift
// stops there (DriftFault::NoWind). A position or time outside the files stops it too, unless the
// forcing's outside policy gives the constants there (DriftFault::Outside).
//
// Units: positions in decimal degrees (north and east positive, longitudes not wrapped), times
// in seconds since 1970-01-01T00:00:00 UTC (fields/field_time.h), hours, speeds in knots, the
// fields' components in m/s. Winds in knots and m/s convert by the leeway's factor
// (kKnotsPerMetrePerSecond), currents by the knot of 1852 m an hour.
#pragma once

#include "datums.h"
#include "forcing.h"
#include "leeway.h"

namespace vestrand {

// The steps the command line and the window offer, minutes.
inline constexpr double kMinDriftStepMinutes = 1.0;
inline constexpr double kMaxDriftStepMinutes = 60.0;
inline constexpr double kDefaultDriftStepMinutes = 10.0;
// Hours a drift may span: ten days, as the drift of one vector.
inline constexpr double kMaxForecastDriftHours = 240.0;

// What drifts: an object class, whose leeway comes from the wind at each step, or a leeway by
// hand, constant, with only the current taken from the forcing.
struct DriftObject {
  const LeewayClass* objectClass = nullptr;
  DriftVector leeway;  // by hand; used when objectClass is null
};

// Which leeway of a class moves a datum.
enum class LeewayPart { Downwind, Left, Right };

// The motion of a drifting object over the ground at a position and time.
struct DriftMotion {
  double east = 0.0;  // knots
  double north = 0.0;
  fields::Source wind = fields::Source::None;  // where the wind came from (a class only)
  fields::Source current = fields::Source::None;
  double windKnots = 0.0;  // the wind sampled, knots (a class only)
  // The class's downwind part came out below 0 in this wind and was taken as 0 (leeway.h).
  bool downwindClamped = false;
};

// The current plus the leeway at a position and time. A current with Source::None counts as none;
// a class's leeway needs a wind with a value (Source::Field or Constant), otherwise east and north
// are 0 and `wind` says why. With Source::Outside or Missing of either part the motion is no
// motion to sail by; the caller decides (forecastDatums: refuse, strand).
// @param[in] lat degrees, -90..90; lon degrees, any value; time seconds since the epoch
DriftMotion driftMotion(const fields::Forcing& forcing, const DriftObject& object, LeewayPart part,
                        double lat, double lon, double time);

// The components of a constant wind for a Forcing, m/s toward east and north, from the way
// weather is reported: the direction it blows from (degrees true) and its speed in knots. The
// leeway's conversion is used, so that a sample gives back exactly that speed in knots.
void windComponents(double fromDegrees, double knots, double& u, double& v);
// The components of a constant current for a Forcing, m/s, from its set and drift (knots).
void currentComponents(const DriftVector& current, double& u, double& v);

struct ForecastDriftInput {
  double lat = 0.0;  // last known position, degrees
  double lon = 0.0;
  double time = 0.0;   // of the last known position, seconds since the epoch
  double hours = 0.0;  // to the datum time, 0 to kMaxForecastDriftHours
  double stepMinutes = kDefaultDriftStepMinutes;  // kMinDriftStepMinutes..kMaxDriftStepMinutes
  DriftObject object;
};

// Why a drift through the forcing has no datums.
enum class DriftFault {
  None,
  BadInput,   // a position, time, hours or step not finite or out of range
  Outside,    // a datum left the files' extent or times and the policy refuses there
  NoWind,     // a class's datum reached a place without wind (every grid value missing)
  PastPole,   // a datum would drift beyond 90 degrees of latitude
  NotFinite,  // a position became a number that is not finite
};

// Where a datum stranded: the start of the step at which the current had no value.
struct Stranding {
  bool stranded = false;
  double lat = 0.0, lon = 0.0;  // degrees
  double time = 0.0;            // seconds since the epoch
};

struct ForecastDatums {
  Datums datums;                // as leewayDatums and manualDatums give them; hours as asked
  double from = 0.0, to = 0.0;  // the span sailed through: the last known position's time and
                                // the datum time, seconds since the epoch
  int steps = 0;                // steps of stepMinutes, the last one shorter when they do not fit
  double stepMinutes = 0.0;
  int samples = 0;  // motions sampled, over all datums
  // A class's downwind part below 0, taken as 0: at how many samples, and the strongest wind
  // (knots) among them.
  int clampedSamples = 0;
  double clampedWindKnots = 0.0;
  Stranding downwind, left, right;  // left and right are the downwind's for a leeway by hand

  // Set with a fault: the datum, the quantity (Outside, NoWind) and where and when.
  DriftFault fault = DriftFault::None;
  LeewayPart faultDatum = LeewayPart::Downwind;
  fields::Quantity faultQuantity = fields::Quantity::Wind;
  double faultLat = 0.0, faultLon = 0.0, faultTime = 0.0;
};

// Drifts the datums through the forcing. Every sample allocates nothing; a drift of 240 hours in
// steps of one minute samples 86,400 motions for a class (six per step).
// @return the datums, or a fault with where it arose (the datums then unspecified)
ForecastDatums forecastDatums(const fields::Forcing& forcing, const ForecastDriftInput& input);

}  // namespace vestrand
