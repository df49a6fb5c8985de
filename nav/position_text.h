// Positions as people type, paste and read them: text to latitude and longitude, and latitude and
// longitude to UTF-8 text.
//
// The readers are plain functions over string views with no state, no locale and no allocation
// beyond the error text, so that both programs and a fuzz target can call them on arbitrary bytes.
// Blanks are spaces, tabs and the Unicode spaces that pasted text carries: no-break (U+00A0), the
// typographic spaces U+2000..U+200A, narrow no-break (U+202F), U+205F and U+3000. Text that is
// not UTF-8 (a stray or cut multi-byte sequence) is refused by the coordinate and position
// readers, whatever follows it.
#pragma once

#include <string>
#include <string_view>

namespace vestrand {

enum class Axis { Latitude, Longitude };

// Parses the whole of `text` as one finite decimal number: "43.5", "-3.75", "+2", "1e-3".
// Blanks around the number are allowed; a decimal comma, hexadecimal, "inf" and "nan" are not.
// A number too close to 0 for a double (1e-400) is refused as such, not as an infinite one.
//
// @param[out] value the number; untouched on failure
// @param[out] error why the text was refused; untouched on success
// @return true when the text is a finite number
bool parseNumber(std::string_view text, double& value, std::string& error);

// Parses a latitude or longitude in degrees, north and east positive.
//
// Accepted forms:
//  - decimal degrees with an optional sign and an optional degree mark: "43.5", "-3.75", "-3.75°";
//  - degrees, minutes and seconds with a hemisphere letter before or after them, parts separated
//    by ':' or blanks or ended by their marks: "43:30N", "43:30:15.5N", "003:45W", "43.5N",
//    "43°30'15.5\"N", "N43º 30.00'" (the form the navigation library writes). The marks are
//    ° or º for degrees, ' or ′ for minutes, " or '' or ″ for seconds. Only the last part may have
//    decimals; minutes and seconds must be below 60.
// The letter must fit the axis (N or S for a latitude, E or W for a longitude, either case); a
// sign together with a letter is refused as ambiguous. The result must lie within +-90 for a
// latitude and +-180 for a longitude. The decimal mark is a point.
//
// @param[out] degrees the coordinate; untouched on failure
// @param[out] error why the text was refused, without the text itself; untouched on success
// @return true when the text is a coordinate within range
bool parseCoordinate(std::string_view text, Axis axis, double& degrees, std::string& error);

// Parses a whole position, latitude first, each coordinate in a form of parseCoordinate:
// "43.5083 -3.7533", "43.5083N 3.7533W", "N43.5083 W3.7533", "43 30.5N 3 45.2W",
// "43°30.5'N 003°45.2'W", "N 43° 30.500' W 003° 45.200'", "43:30.5N 3:45.2W",
// "43 30 30N 3 45 12W", "43°30'30\"N 3°45'12\"W", "43.5083, -3.7533", "43.5083/-3.7533".
//
// Where the latitude ends:
//  - at a slash, or at a comma that is not a decimal mark (see below); each side is then read on
//    its own, so "43.5N, -3.75" is accepted;
//  - otherwise at the hemisphere letters: both after their numbers ("43 30N 3 45W"), both before
//    ("N43 30 W3 45"), or side by side ("43.5N W3.75"). Either both coordinates have a letter or
//    neither has; without letters the two numbers are separated by blanks.
// Two bare numbers (no letter, no mark) are decimal degrees only when each has a decimal mark:
// "43.0 -3.0" is accepted, "43 30" and "43, -3" are refused as ambiguous, since "43 30" is often
// meant as 43°30'.
//
// Decimal comma: a comma between two digits is a decimal mark when the text has another comma or
// a blank or a slash to separate the coordinates ("43,5083N 3,7533W", "43,5 -3,7"); "43.5,-3.7"
// and "43.5,3.7" are separated by their one comma. When a comma separates the coordinates no
// other comma may appear: "43,5 , 3,7" is refused (a reader cannot tell the commas apart at a
// glance, and "43,5,3,7" would read either way). A number with a decimal comma may have at most
// 100 characters.
// An 'e' between a digit and a digit or sign is an exponent ("1e-3 2e-3") unless the text has
// another hemisphere letter.
//
// @param[out] lat, lon the position in degrees; untouched on failure
// @param[out] error why the text was refused, beginning with the part it concerns ("latitude: ",
//   "longitude: " or "position: "); untouched on success
// @return true when the text is one position within range and nothing else
bool parsePosition(std::string_view text, double& lat, double& lon, std::string& error);

// How coordinateText writes a coordinate.
enum class CoordinateForm {
  DegreesMinutes,         // "N43º 30.00'", "W003º 45.00'"
  DegreesMinutesSeconds,  // "N43º 30' 30.0\"", "W003º 45' 12.0\""
  Degrees,                // "N43.508333º", "W003.753300º"
};

// A latitude or longitude for people, in UTF-8, with its hemisphere letter and the degree mark º
// of the navigation library. Every field is rounded with the ones after it carried, so no text
// shows 60 minutes or 60 seconds: 9.9999999 gives "N10º  0.00'", 89.9999999 "N90º  0.00'".
//
// DegreesMinutes gives the bytes of DegToLat or DegToLon, converted to UTF-8, for every value whose
// minutes do not round up to 60 (so the texts already written stay the same, blank-padded minutes
// included: "N40º  0.00'"); for those that do, the text of the next whole degree.
// DegreesMinutesSeconds gives seconds with one decimal, Degrees six decimals; both give "-" for
// not-a-number and infinities.
//
// The hemisphere is that of the value, not of its rounded text: -0.0000001 gives "S00º  0.00'", a
// hair south of the equator being south, as DegToLat has always written it; only an exact zero
// (either sign) is N or E. A longitude is first brought into -180..180 by displayLongitude, so a
// pattern sailed across the antimeridian (181) reads W179º; latitudes are not normalised: 95
// gives "N95º  0.00'". parseCoordinate reads every text back to within half its last digit.
std::string coordinateText(double degrees, Axis axis,
                           CoordinateForm form = CoordinateForm::DegreesMinutes);

// A whole position for people: its latitude and longitude as coordinateText writes them, two
// blanks apart ("N43º 30.00'  W003º 45.00'"). The one way every program writes a position a
// person reads; files keep their own number forms.
std::string positionText(double lat, double lon,
                         CoordinateForm form = CoordinateForm::DegreesMinutes);

// A longitude as people read it and as the readers take it back: brought into -180..180 by whole
// turns (339.9 gives -20.1, -181 gives 179). Values within the range are returned as they are,
// both ends included; not-a-number and infinities unchanged. Sailed positions may run past 180
// (Derrota.h); every text and printed number of a position goes through here, the GPX files do
// not.
double displayLongitude(double lon);

}  // namespace vestrand
