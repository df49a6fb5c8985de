// Text to numbers for the command line: plain decimal numbers and datum coordinates, either in
// decimal degrees or in sexagesimal text with a hemisphere letter.
//
// Plain functions over string views with no state, no locale and no allocation beyond the error
// text, so that a fuzz target can call them on arbitrary bytes.
#pragma once

#include <string>
#include <string_view>

namespace vestrand::cli {

enum class Axis { Latitude, Longitude };

// Parses the whole of `text` as one finite decimal number: "43.5", "-3.75", "+2", "1e-3".
// Blanks around the number are allowed; a decimal comma, hexadecimal, "inf" and "nan" are not.
//
// @param[out] value the number; untouched on failure
// @param[out] error why the text was refused; untouched on success
// @return true when the text is a finite number
bool parseNumber(std::string_view text, double& value, std::string& error);

// Parses a latitude or longitude in degrees, north and east positive.
//
// Accepted forms:
//  - decimal degrees with an optional sign: "43.5", "-3.75";
//  - degrees, minutes and seconds with a hemisphere letter before or after them, parts separated
//    by ':' or blanks or ended by their marks: "43:30N", "43:30:15.5N", "003:45W", "43.5N",
//    "43°30'15.5\"N", "N43º 30.00'" (the form the navigation library writes). Only the last part
//    may have decimals; minutes and seconds must be below 60.
// The letter must fit the axis (N or S for a latitude, E or W for a longitude, either case); a
// sign together with a letter is refused as ambiguous. The result must lie within +-90 for a
// latitude and +-180 for a longitude.
//
// @param[out] degrees the coordinate; untouched on failure
// @param[out] error why the text was refused, without the text itself; untouched on success
// @return true when the text is a coordinate within range
bool parseCoordinate(std::string_view text, Axis axis, double& degrees, std::string& error);

}  // namespace vestrand::cli
