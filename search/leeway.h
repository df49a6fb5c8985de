// Leeway: how a search object moves through the water under the wind, by its class.
//
// The table holds the published coefficients of 85 classes of search objects (people in the
// water, life rafts, boats, debris), built into the program from resources/leeway-classes.csv
// exactly as published. Each class has three fitted lines of the wind speed U10 (10 m above the
// sea, m/s): the downwind part, and the crosswind part of an object that drifts to the right of
// downwind or to the left of it. Each line is
//
//   leeway [cm/s] = slope [%] * U10 [m/s] + offset [cm/s]
//
// (a per cent of a speed in m/s is that many cm/s), with the standard error of a single object
// about the line in cm/s.
//
// Directions: the wind is given the way weather is reported, the direction it blows *from*
// (degrees true); downwind is that direction + 180. A positive crosswind part moves the object
// to the right of downwind (clockwise, seen from above), a negative one to the left. The right
// side's line gives a positive part for most classes and the left side's a negative one, but
// some classes are not mirror images (PIW-4, SAILBOAT-1), and a few lines change sign with the
// wind. The divergence angle of a side is atan2(crosswind, downwind), signed the same way.
//
// Units: wind speeds in knots (U10 in m/s = knots / 1.94384), leeway speeds in knots unless a
// name says cm/s, directions and angles in degrees.
#pragma once

#include <span>
#include <string_view>

namespace vestrand {

// U10 in m/s is the wind speed in knots divided by this (the conversion of the leeway reports).
inline constexpr double kKnotsPerMetrePerSecond = 1.94384;
// One knot, 1852 m an hour, in cm/s.
inline constexpr double kCentimetresPerSecondPerKnot = 185200.0 / 3600.0;

// @param[in] knots a wind speed, knots
// @return U10, metres per second
constexpr double windMetresPerSecond(double knots) {
  return knots / kKnotsPerMetrePerSecond;
}
// @param[in] cms a speed in cm/s
// @return knots
constexpr double knotsFromCentimetresPerSecond(double cms) {
  return cms / kCentimetresPerSecondPerKnot;
}

// One fitted line of the table, as published.
struct LeewayLine {
  double slopePct = 0.0;   // per cent of U10
  double offsetCms = 0.0;  // cm/s
  double sdCms = 0.0;      // standard error of one object about the line, cm/s

  // The line's value for a wind.
  // @param[in] u10 wind speed 10 m above the sea, m/s
  // @return cm/s, signed; may be negative (light winds, some offsets)
  constexpr double cms(double u10) const { return slopePct * u10 + offsetCms; }
};

// One class of search object, a row of the table.
struct LeewayClass {
  int id = 0;                    // 1..85, stable
  std::string_view key;          // "PIW-1", "LIFE-RAFT-DB-10", ...: ASCII letters, digits, '-'
  int depth = 0;                 // 0 a main class; 1..3 a sub-class of the class above it
  std::string_view description;  // English, as published
  LeewayLine downwind;           // the downwind part
  LeewayLine right;              // the crosswind part of an object drifting right of downwind
  LeewayLine left;               // the same, drifting left (usually negative)
};

// The 85 classes, in the order and numbering of the table (class i at index i - 1).
std::span<const LeewayClass> leewayClasses();

// @param[in] id a class number
// @return the class, or nullptr when no class has that number
const LeewayClass* leewayClassById(int id);

// @param[in] key a class key, letters in any case ("piw-1" finds "PIW-1")
// @return the class, or nullptr when no class has that key
const LeewayClass* leewayClassByKey(std::string_view key);

// The class a person names on a command line or in a field: its number ("1") or its key.
// @return the class, or nullptr when the text names none
const LeewayClass* findLeewayClass(std::string_view idOrKey);

// One side of the leeway: the downwind part together with that side's crosswind part.
struct LeewaySide {
  double crosswind = 0.0;  // knots, signed: positive to the right of downwind
  double course = 0.0;     // direction of the leeway vector, degrees true in [0, 360)
  double speed = 0.0;      // length of the leeway vector, knots
  double angle = 0.0;      // divergence angle from downwind, degrees in [-90, 90], + right
};

// The leeway of a class for one wind.
struct Leeway {
  double windFrom = 0.0;        // as given, degrees true
  double windSpeed = 0.0;       // as given, knots
  double u10 = 0.0;             // metres per second
  double downwindCourse = 0.0;  // windFrom + 180, degrees true in [0, 360)
  double downwind = 0.0;        // the downwind part, knots, never below 0
  // The fitted line gave a negative downwind part (light winds, a negative offset), which was
  // set to 0: the object is taken to move across the wind only. The crosswind parts are kept.
  bool downwindClamped = false;
  LeewaySide right;
  LeewaySide left;
  // The table's standard errors, knots.
  double sdDownwind = 0.0;
  double sdRight = 0.0;
  double sdLeft = 0.0;
};

// @param[in] objectClass a row of the table
// @param[in] windFrom direction the wind blows from, degrees true, any finite value
// @param[in] windSpeed knots, 0 or more
// @return both sides' leeway; the caller refuses winds that are not finite or negative
Leeway leewayOf(const LeewayClass& objectClass, double windFrom, double windSpeed);

// The sources of the table, for a program's documentation, its About text and the package's
// copyright file: plain UTF-8 text, lines ending in '\n'.
std::string_view leewaySources();

}  // namespace vestrand
