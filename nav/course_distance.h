// Course and distance between two positions with one plain answer to "was a course found".
//
// The historical functions of Derrota.h each say it their own way (RumboDistancia 1 or -1,
// RumboDistanciaLox 0 or -1, RumboDistanciaOrtodromica always 1) and stay as they are for the
// results stored with those codes. These wrappers call them and add what they leave unsaid.
#pragma once

namespace vestrand {

struct CourseDistance {
  bool courseFound;  // false where no course is defined; course is then not-a-number
  double course;     // degrees true, 0..360 as the historical function gives it
  double distance;   // nautical miles; given also when no course is
};

// The course is undefined, and courseFound false, where
//  - the points lie less than 1e-8 nautical miles apart (the historical -1 cases, and for the
//    great circle the same tolerance);
//  - the departure is a pole (|lat1| == 90): every way from it is south (north), and the number
//    the formulas give depends only on the longitude given to the pole;
//  - plane sailing ends at a pole: its mean-latitude course depends on the longitude given to the
//    pole, which is arbitrary;
//  - the great circle joins antipodal points (within 1e-8 nautical miles of 10800): every great
//    circle through one passes through the other.
// Into a pole the rhumb line and the great circle have a course: the meridian, 0 or 180 (the great
// circle gives 360 for a westerly longitude difference, its historical convention).
//
// The distance is the historical function's wherever that is a number, with two exceptions of
// the rhumb line, whose meridional parts are infinite at a pole: into a pole its course is 0 or
// 180 and its distance the meridian arc, 60 * |lat2 - lat1| (the historical function, whose short
// pi leaves the north pole's meridional parts finite, spirals a little off the meridian there:
// 40N 70W to the pole gives 2.1 degrees and 3002.02 instead of 0 and 3000); and between the same
// pole, where it gives not-a-number, the distance is 0.
//
// Positions in degrees, north and east positive; latitudes beyond +-90 are outside the domain.
CourseDistance planeCourseDistance(double lat1, double lon1, double lat2, double lon2);
CourseDistance rhumbCourseDistance(double lat1, double lon1, double lat2, double lon2);
CourseDistance greatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2);

}  // namespace vestrand
