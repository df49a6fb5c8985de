// Angles and hours: normalisation, conventions and sexagesimal text.
//
// Angles are doubles in degrees, hours doubles in hours. Texts are single-byte Windows-1252 and
// NUL-terminated; the degree mark is the byte 0xBA, not 0xB0.
#pragma once

// The short pi used by every conversion of the navigation library. It is the historical 15-digit
// value, slightly below the double nearest to pi; the published tables depend on it.
inline constexpr double kPi = 3.14159265358979;

// Bytes a caller's buffer must hold for the sexagesimal texts (NUL included). Enough for every
// value below 1000 in magnitude; texts of absurd values (1e12 and more) are cut to fit.
inline constexpr int kSexagesimalTextSize = 28;

// Brings an angle into [0, 360] by whole turns: 0 stays 0, 360 stays 360, 720 gives 360, -360
// gives 0, -1e-20 gives 360 (the addition rounds). Not-a-number and infinities give not-a-number;
// magnitudes beyond a thousand turns are reduced by a remainder with the same end conventions.
double ang_0_360(double angle);

// One correction of a whole turn in each direction: inputs from -540 to 540 land in
// [-180, 180] with both ends kept (-180 stays -180, 180 stays 180); -600 gives -240.
double ang_180(double angle);

// Brings an hour into [0, 24] by whole days, with the ends the reverse of ang_0_360: 0 gives 24
// and 24 gives 0. Not-a-number and infinities give not-a-number; magnitudes beyond a thousand
// days are reduced by a remainder with the same end conventions.
double time_0_24(double hours);

// Writes the diagnostic table "0_360.dat" in the current directory: one line "x\tang_0_360(x)"
// for x = -1000, -995, ..., 1360 (473 lines, six decimals each).
// @return true when the whole table was written and closed.
bool Test_ang_0_360();

// Nautical bearing (clockwise from north) to mathematical angle (counter-clockwise from east) and
// back; the same reflection about the 45 degree line. Results in [0, 360). Inputs outside
// 0..360 are first brought into range by ang_0_360; not-a-number gives not-a-number.
double AnguloNautico2Matematico(double bearing);
double AnguloMatematico2Nautico(double angle);

// Longitude on the 0..360 scale (counted westward) to a signed longitude (east positive) and back.
// No range check: L360ToLEW(-10) is 10, LEWToL360(200) is 160.
double L360ToLEW(double lon360);
double LEWToL360(double lon);

// Sign (+1 or -1; +1 for either zero), whole degrees of |value| and minutes with their fraction.
void DegToSgGM(double value, double* sign, double* degrees, double* minutes);

// Degrees and decimal minutes: "  5º 15.0'", " -5º 30.0'", "-  0º 30.0'".
// The buffer must hold kSexagesimalTextSize bytes.
void DegToGMd(double value, char* text);
// As DegToGMd, into a static area of its own; the pointer is valid until the next call.
const char* DegToGMd2(double value);

// Latitude with its hemisphere: "N43º 30.00'", "S05º 15.00'".
void DegToLat(double lat, char* text);
// Longitude with its hemisphere: "W008º 45.00'", "E179º 30.00'".
void DegToLon(double lon, char* text);

// Hours, minutes, seconds of |hours|, the sign dropped: "01:30:00", "123:27:22".
void H2HMS(double hours, char* text);
const char* H2HMS2(double hours);

// Signed degrees, minutes, seconds: D2DMS with one decimal ("+12º 20' 44.2\""), D2DMS2 with four.
void D2DMS(double value, char* text);
const char* D2DMS2(double value);
