// The historical GPX stream API, kept for the library's callers and nothing newer: one file at a
// time through the stream GPXfp, OpenGPX, then route blocks (StartRouteGPX, RouteGPX...,
// EndRouteGPX) and waypoints (WayPointGPX) in the caller's order, then CloseGPX; the two-point
// line's file; and GPXLastError, where the historical functions say why a file failed. New code
// writes through vestrand::GpxWriter (gpx.h) into a SafeFile, and reports errors as values.
//
// Each file goes through a SafeFile: it is put in place, synced to the disk, only when CloseGPX
// finds every byte written; on any failure nothing replaces an earlier file of that name. After a
// failed open the block operations do nothing.
#pragma once

#include <cstdio>

// The stream of the file being written, or null when none is open (or its open failed).
extern std::FILE* GPXfp;

// Opens `path` for writing and writes the two header lines. A bare name lands in the current
// directory. A target that is not a regular file, or is write-protected, is refused.
// @return false when the file cannot be created; GPXLastError() tells why.
bool OpenGPX(const char* path);

void StartRouteGPX(const char* name);
void RouteGPX(double lat, double lon, const char* name);
void EndRouteGPX();
void WayPointGPX(double lat, double lon, const char* name);

// Writes the footer, closes the stream and puts the file in place.
// @return true only when the whole file was written, closed and renamed to its final name.
bool CloseGPX();

// Abandons the file being written: the temporary file is removed, nothing replaces the target.
void AbortGPX(const char* reason);

// A whole two-point route: the first point with the empty name, the second named with the route
// name itself. Needs an open file.
void gpxLine(double lat1, double lon1, double lat2, double lon2, const char* name);

// A whole file "<stem> RL.gpx": the route "<stem> - P1P2" from gpxLine and the waypoints "P1"
// and "P2". A stem whose names would exceed 99 characters writes nothing.
// @return true only when the whole file was written and closed.
bool gpxRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem);

// Why the last file failed, naming the file and the reason; empty after a success.
const char* GPXLastError();
// Records a failure found by a caller before any file was opened (an over-long name).
void GPXSetLastError(const char* message);
