// Sailings: the dead-reckoning step and the inverse problem (course and distance between two
// positions) by plane, Mercator and great-circle sailing.
//
// Units throughout: positions in decimal degrees (north and east positive), courses in degrees
// true (clockwise from north), distances in nautical miles (one minute of arc of latitude),
// speeds in knots and times in hours. Every degree-to-radian conversion is angle * pi / 180 with
// the 15-digit pi of angulos.h, so results agree to the last digit with the historical tables.
//
// No function normalises its results unless it says so: latitudes may leave -90..90 and
// longitudes -180..180. Latitudes beyond +-90 are outside the domain of the Mercator functions.
#pragma once

// Arrival position by plane sailing on the mean latitude.
//
// @param[in] lat1 start latitude (degrees)
// @param[in] lon1 start longitude (degrees)
// @param[in] speed knots; negative runs the reciprocal course
// @param[in] course degrees true; any value, never reduced to 0..360
// @param[in] time hours
// @param[out] lat2 arrival latitude (degrees); written first, then read back for the mean latitude
// @param[out] lon2 arrival longitude (degrees); not wrapped across the antimeridian
//
// The inputs are taken by value, so lat2 and lon2 may point at the variables passed as lat1 and
// lon1 to advance a position in place. Near the poles cos(mean latitude) tends to zero and the
// longitude change grows without bound (finite at exactly +-90 because of the short pi).
void PosicionLlegada(double lat1, double lon1, double speed, double course, double time,
                     double* lat2, double* lon2);

// Course and distance by plane sailing on the mean latitude; the longitude difference is taken
// the short way round (ang_180).
//
// @param[out] course degrees in [0, 360] (360 only when adding two pi rounds up)
// @param[out] distance nautical miles
// @return 1 when a course was worked out; -1 when the points lie less than 1e-8 nautical miles
//   apart, with course 0 and the small distance.
int RumboDistancia(double lat1, double lon1, double lat2, double lon2, double* course,
                   double* distance);

// Initial course and distance along the great circle on a sphere of 60 nautical miles a degree.
//
// @param[out] course degrees in [0, 360] (ang_0_360 convention: a westerly course limited to due
//   north gives 360)
// @param[out] distance nautical miles
// @return always 1. Coincident points give course 0 and distance 0; nearly coincident or nearly
//   antipodal points always give numbers (the arc cosine's argument is kept within -1..1).
int RumboDistanciaOrtodromica(double lat1, double lon1, double lat2, double lon2, double* course,
                              double* distance);

// Meridional parts of a latitude on the WGS-84 ellipsoid.
//
// @param[in] lat degrees, -90..90
// @return minutes of arc; odd in lat to within the last digits; about 117063.5 at 90 (finite,
//   because the short pi keeps the tangent below infinity).
double ParteMeridional(double lat);

// Rhumb-line (Mercator) course and distance on the ellipsoid.
//
// @param[out] course degrees in [0, 360]
// @param[out] distance nautical miles
// @return 0 when a course was worked out; -1 when the points lie less than 1e-8 nautical miles
//   apart, with course 0 and the small distance.
int RumboDistanciaLox(double lat1, double lon1, double lat2, double lon2, double* course,
                      double* distance);

// Arrival position along a rhumb line; the arguments as for PosicionLlegada.
//
// Courses of exactly 90 and 270 run along the parallel (departure divided by the cosine of the
// arrival latitude); every other course uses the meridional parts. The arrival longitude is
// brought into -180..180 by ang_180; the latitude is not folded at the poles.
// @return always 0.
int PosicionLlegadaLox(double lat1, double lon1, double speed, double course, double time,
                       double* lat2, double* lon2);
