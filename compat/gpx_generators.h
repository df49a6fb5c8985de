// The historical generators of the search patterns, kept for the library's callers and nothing
// newer. Each writes one GPX file into the current directory, named from the stem and the course
// rounded to a whole number, and reports a failure through GPXLastError() (gpx_stream.h). New
// code describes a pattern (vestrand.gpx.h) and writes it with writePatternFiles
// (pattern_files.h), into any folder, as GPX or RTZ, with errors as values.
//
// Implemented in the patterns library, which the callers link.
#pragma once

// Each returns true only when the whole file was written and put in place; otherwise nothing
// replaces an earlier file of that name and GPXLastError() says which file and why.

// Expanding square from the datum, which is also the commence search point: legs grow by one
// track spacing every second leg, turning 90 degrees to starboard. File "<stem> SS <c>.gpx".
bool gpxExpandingSquareSearchPattern(double lat, double lon, double course, double spacing,
                                     int count, const char* stem);

// Sector search of seven legs with 120 degree turns; `leg` is the sector's radius.
// File "<stem> VS <c>.gpx".
bool gpxSectorSearchPattern(double lat, double lon, double course, double leg, const char* stem);

// Creeping line for one unit, creeping to the right of the course from the datum.
// File "<stem> CS <c>.gpx".
bool gpxCreepingLineSingleunit(double lat, double lon, double course, double spacing, double leg,
                               int loops, const char* stem);

// Parallel sweep for two units, one each side of the course line through the datum.
// File "<stem> PS_PM <c>.gpx".
bool gpxParallelSearchPattern2ships(double lat, double lon, double course, double spacing,
                                    double leg, int loops, const char* stem);
