// Routes as NMEA 0183 sentences, the way most chart plotters and autopilots take a route from a
// serial port or the network: one $--WPL sentence per route point, then the $--RTE sentences
// that list the points in order. Only the text is made here; nmea_link.h sends it.
//
// What the sentences hold, and why:
//  - Every sentence is "$" + talker + fields + "*" + checksum + CR LF, at most 82 characters in
//    all, as NMEA 0183 allows; the checksum is the exclusive or of the characters between '$' and
//    '*', as two upper-case hexadecimal digits.
//  - Positions are ddmm.mmmm (latitude) and dddmm.mmmm (longitude) with N, S, E or W: four
//    decimals of a minute, about 0.2 m. Longitudes are wrapped into -180..180 first, since a
//    pattern may be written past the antimeridian.
//  - Plotters keep waypoint names of six characters or fewer, and a name sent twice replaces the
//    earlier waypoint. The points are therefore named with a prefix from the route and their
//    number within the file: "VS01", "VS02", ... The prefix is the leading letters of the route
//    name's first word that begins with a letter, after the last " - " if the name holds one (the
//    pattern's code in this program's names: "20121225143000 - VS 30.0" gives "VS"), in capitals;
//    "WP" when there is none. Numbering runs on over the routes of one file, so the second route
//    of a file starts where the first ended and gets the same names whether it is sent with the
//    first or alone. The digits are as many as the file's largest number needs (at least two),
//    the same for every name, and the prefix is cut to the six characters that remain: names
//    with different numbers can never be equal.
//  - The route's identifier in RTE is its name after the last " - ", with the characters NMEA
//    reserves (, * $ ! \ ^ ~ and non-printing or non-ASCII ones) left out, cut to 16 characters.
//  - The RTE sentences are "c" (complete route) sentences, as many as the names need, each with
//    the number of sentences and its own number.
//
// Units: positions in decimal degrees, north and east positive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vestrand {

// The longest sentence NMEA 0183 allows, "$" and CR LF included.
inline constexpr std::size_t kNmeaMaxSentence = 82;
// The longest waypoint name plotters keep.
inline constexpr std::size_t kNmeaMaxName = 6;
// The most points one upload may number: six digits.
inline constexpr std::size_t kNmeaMaxPoints = 999999;

// A route to send: its name and its points in order.
struct NmeaRoute {
  std::string name;
  struct Point {
    double lat = 0.0;  // degrees, -90..90
    double lon = 0.0;  // degrees, any (wrapped into -180..180)
  };
  std::vector<Point> points;
  // The number of the route's first point within its file, from 1: where a route sent alone
  // takes up the numbering of the whole file.
  std::size_t firstNumber = 1;
};

// What goes to the plotter.
struct NmeaUpload {
  std::vector<std::string> sentences;  // each with its CR LF, in sending order
  std::vector<std::string> names;      // the waypoint names, route by route, in order
};

// A talker is two capital letters ("GP", "EC", "II").
bool validNmeaTalker(std::string_view talker);

// "$" + body + "*" + checksum + "\r\n".
std::string nmeaSentence(std::string_view body);

// ddmm.mmmm,N / dddmm.mmmm,W: the two fields of a latitude or longitude, comma between them.
std::string nmeaLatitude(double lat);
std::string nmeaLongitude(double lon);

// The prefix of the waypoint names of a route named `routeName` (see above), before it is cut.
std::string nmeaNamePrefix(std::string_view routeName);

// The sentences of the routes: every route's WPL sentences, then every route's RTE sentences.
// @param[in] talker two capital letters
// @param[in] lastNumber the largest point number of the file the routes come from, which decides
//   the digits of every name; 0: the largest number among these routes
// @param[out] upload the sentences and names
// @param[out] error why nothing can be sent: no route, a route of no points, a position that is
//   not finite or lies beyond 90 degrees, more than kNmeaMaxPoints points, a bad talker
// @return true when the upload was made
bool makeNmeaUpload(const std::vector<NmeaRoute>& routes, std::string_view talker,
                    std::size_t lastNumber, NmeaUpload& upload, std::string& error);

}  // namespace vestrand
