// Tests of the fields room on small forecast files that make_field_files.sh makes at test time
// (VESTRAND_FIELD_FILES), and on Debian's real GFS file checked against grib_get_data.
#include <field.h>
#include <field_time.h>
#include <forcing.h>
#include <gtest/gtest.h>
#include <netcdf_reader.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace vestrand::fields {
namespace {

const std::string kFiles = VESTRAND_FIELD_FILES;
std::string file(const std::string& name) {
  return kFiles + "/" + name;
}

constexpr double kTolerance = 1e-6;  // m/s: values pass through float
const double kT06 = 1705298400.0;    // 2024-01-15T06:00:00Z
const double kHour = 3600.0;

FieldSet setOf(std::initializer_list<const char*> names, Quantity quantity) {
  FieldSet set;
  for (const char* name : names) {
    for (Field& f : readFieldFile(file(name))) {
      if (f.quantity == quantity) set.add(std::move(f));
    }
  }
  return set;
}

// --- Times -----------------------------------------------------------------------------------

TEST(FieldTime, IsoTextsReadAsUtcSeconds) {
  const struct {
    const char* text;
    double seconds;
  } cases[] = {
      {"2024-01-15T06:00Z", kT06},
      {"2024-01-15T06:00:00Z", kT06},
      {"2024-01-15 06:00", kT06},
      {"2024-01-15T07:30:00+01:30", kT06},
      {"2024-01-15T06:00:00.5Z", kT06 + 0.5},
      {"1970-01-01T00:00Z", 0.0},
      {"2024-02-29T00:00Z", 1709164800.0},
  };
  for (const auto& c : cases) {
    double seconds = -1;
    std::string error;
    EXPECT_TRUE(parseIsoTime(c.text, seconds, error)) << c.text << ": " << error;
    EXPECT_EQ(seconds, c.seconds) << c.text;
  }
  EXPECT_EQ(isoTimeText(kT06), "2024-01-15T06:00:00Z");
  EXPECT_EQ(isoTimeText(-1.0), "1969-12-31T23:59:59Z");
}

TEST(FieldTime, RefusesWhatIsNoTime) {
  for (const char* text : {"2024-01-15", "2023-02-29T00:00Z", "2024-13-01T00:00Z",
                           "2024-01-15T24:00Z", "2024-01-15T06:00 tomorrow", "noon"}) {
    double seconds = 0;
    std::string error;
    EXPECT_FALSE(parseIsoTime(text, seconds, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(FieldTime, CfUnits) {
  std::string error;
  const auto hours = parseCfTimeUnit("hours since 1950-01-01 00:00:00", error);
  ASSERT_TRUE(hours) << error;
  EXPECT_EQ(hours->secondsPerUnit, 3600.0);
  EXPECT_EQ(hours->epochSeconds, -631152000.0);
  const auto days = parseCfTimeUnit("days since 2024-1-15T06:00:00Z", error);
  ASSERT_TRUE(days) << error;
  EXPECT_EQ(days->secondsPerUnit, 86400.0);
  EXPECT_EQ(days->epochSeconds, kT06);
  EXPECT_FALSE(parseCfTimeUnit("hours after 2024-01-15", error));
}

// --- Interpolation ---------------------------------------------------------------------------

// wind.grib2: u = 1 + x + 2y + xy/2, v = -u at 06:00 (x = lon - 350, y = lat - 40); at 12:00
// twice u and v = 3. Bilinear interpolation reproduces such a field exactly.
double u06(double lat, double lon) {
  const double x = lon - 350.0, y = lat - 40.0;
  return 1 + x + 2 * y + x * y / 2;
}

TEST(Sampling, BilinearInSpaceAndLinearInTimeAtCornersEdgesAndInside) {
  const FieldSet wind = setOf({"wind.grib2"}, Quantity::Wind);
  const struct {
    double lat, lon, hoursAfter06;
  } cases[] = {
      {40, 350, 0},     {42, 352, 0},       {40, -10, 0},       {42, -8, 6},
      {42, 351.5, 0},   {40, -9.25, 6},     {41.25, 350.75, 0}, {41.25, -9.25, 0},
      {40.5, 351.9, 3}, {41.7, 350.1, 4.5}, {40, 350, 6},
  };
  for (const auto& c : cases) {
    double u = 0, v = 0;
    ASSERT_EQ(wind.sample(c.lat, c.lon, kT06 + c.hoursAfter06 * kHour, u, v), Cover::Value)
        << c.lat << " " << c.lon;
    const double lon = c.lon < 0 ? c.lon + 360 : c.lon;
    const double s = c.hoursAfter06 / 6.0;
    const double base = u06(c.lat, lon);
    EXPECT_NEAR(u, base * (1 + s), kTolerance) << c.lat << " " << c.lon << " " << s;
    EXPECT_NEAR(v, -base * (1 - s) + 3 * s, kTolerance) << c.lat << " " << c.lon << " " << s;
  }
}

TEST(Sampling, OutsideTheGridOrTheTimesIsOutside) {
  const FieldSet wind = setOf({"wind.grib2"}, Quantity::Wind);
  double u = 0, v = 0;
  EXPECT_EQ(wind.sample(42.01, 351, kT06, u, v), Cover::Outside);
  EXPECT_EQ(wind.sample(41, -7.99, kT06, u, v), Cover::Outside);
  EXPECT_EQ(wind.sample(41, 351, kT06 - 1, u, v), Cover::Outside);
  EXPECT_EQ(wind.sample(41, 351, kT06 + 6 * kHour + 1, u, v), Cover::Outside);
  EXPECT_EQ(wind.sample(NAN, 351, kT06, u, v), Cover::Outside);
  const std::string text = wind.outsideText(41, 351, kT06 - kHour);
  EXPECT_NE(text.find("no wind file holds 41.00000N 351.00000E at 2024-01-15T05:00:00Z"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("'" + file("wind.grib2") +
                      "' holds latitudes 40N to 42N, longitudes 350E "
                      "to 352E, times 2024-01-15T06:00:00Z to "
                      "2024-01-15T12:00:00Z (2 times) (not the time)"),
            std::string::npos)
      << text;
}

TEST(Sampling, MissingCornersAreLeftOutAndFourMissingGiveNoValue) {
  // wind-missing.grib2, u = v by rows from 42N: [M 2 3] [4 M M] [7 M M].
  const FieldSet wind = setOf({"wind-missing.grib2"}, Quantity::Wind);
  const struct {
    double lat, lon;
    Cover cover;
    double u;
  } cases[] = {
      {41.5, 350.5, Cover::Value, 3.0},   // 4 and 2 of four, equal weights
      {41.25, 350.5, Cover::Value, 3.5},  // 4 weighs 0.375, 2 weighs 0.125
      {42, 350.5, Cover::Value, 2.0},     // on an edge beside a missing point
      {40.5, 350.5, Cover::Value, 5.5},   // 7 and 4
      {42, 350, Cover::Missing, 0},       // on the missing point itself
      {40.5, 351.5, Cover::Missing, 0},   // all four missing
  };
  for (const auto& c : cases) {
    double u = 0, v = 0;
    ASSERT_EQ(wind.sample(c.lat, c.lon, kT06, u, v), c.cover) << c.lat << " " << c.lon;
    if (c.cover == Cover::Value) {
      EXPECT_NEAR(u, c.u, kTolerance) << c.lat << " " << c.lon;
      EXPECT_NEAR(v, c.u, kTolerance) << c.lat << " " << c.lon;
    }
  }
}

TEST(Sampling, AGridRoundTheGlobeInterpolatesAcrossItsSeam) {
  // wind-globe.grib2: u = 0, 10, 20, 30 at 0, 90, 180, 270E.
  const FieldSet wind = setOf({"wind-globe.grib2"}, Quantity::Wind);
  const double t = kT06 - 6 * kHour;
  const struct {
    double lon, u;
  } cases[] = {{-45, 15}, {315, 15}, {-90, 30}, {180, 20}, {-180, 20}, {359, 30.0 / 90}, {0, 0}};
  for (const auto& c : cases) {
    double u = 0, v = 0;
    ASSERT_EQ(wind.sample(5, c.lon, t, u, v), Cover::Value) << c.lon;
    EXPECT_NEAR(u, c.u, kTolerance) << c.lon;
    EXPECT_NEAR(v, 1.0, kTolerance) << c.lon;
  }
}

TEST(FieldSet, FilesOfOneGridMakeOneSeriesAndOtherGridsAreAreasInOrder) {
  // wind-later.grib2 gives 12:00 again (u = v = 1, replacing) and 18:00 (calm).
  const FieldSet wind =
      setOf({"wind.grib2", "wind-later.grib2", "wind-east.grib2"}, Quantity::Wind);
  ASSERT_EQ(wind.areas().size(), 2u);
  EXPECT_EQ(wind.areas()[0].times.size(), 3u);
  double u = 0, v = 0;
  ASSERT_EQ(wind.sample(41, 351, kT06 + 6 * kHour, u, v), Cover::Value);
  EXPECT_NEAR(u, 1.0, kTolerance);
  ASSERT_EQ(wind.sample(41, 351, kT06 + 9 * kHour, u, v), Cover::Value);
  EXPECT_NEAR(u, 0.5, kTolerance);
  // 352E lies on both grids: the first added gives it; 353E only the eastern one.
  ASSERT_EQ(wind.sample(42, 352, kT06, u, v), Cover::Value);
  EXPECT_NEAR(u, 9.0, kTolerance);
  ASSERT_EQ(wind.sample(42, 353, kT06, u, v), Cover::Value);
  EXPECT_NEAR(u, 7.0, kTolerance);
  EXPECT_EQ(wind.sample(42, 353, kT06 + 9 * kHour, u, v), Cover::Outside);
}

// --- NetCDF ----------------------------------------------------------------------------------

TEST(NetcdfReader, ScaleOffsetFillSurfaceLevelAndAxesFromNorthToSouth) {
  // current.nc: the surface level at 00:00 is, by rows from 2N, u = [0.6 0.7 0.8] [0.9 M 1.1]
  // [1.2 1.3 1.4] and v = 0.5; at 06:00 u = 0 and v = 1. The deeper level is 10.5 everywhere.
  const FieldSet current = setOf({"current.nc"}, Quantity::Current);
  const double t0 = kT06 - 6 * kHour;
  const struct {
    double lat, lon, hours;
    Cover cover;
    double u, v;
  } cases[] = {
      {2, -1, 0, Cover::Value, 0.6, 0.5},
      {0, 1, 0, Cover::Value, 1.4, 0.5},
      {0.5, 0.5, 0, Cover::Value, (1.3 + 1.4 + 1.1) / 3, 0.5},
      {1, 0, 0, Cover::Missing, 0, 0},
      {1, 0, 6, Cover::Value, 0.0, 1.0},
      {2, -1, 3, Cover::Value, 0.3, 0.75},
      {1, 0, 3, Cover::Value, 0.0, 1.0},  // missing at 00:00: 06:00 alone
  };
  for (const auto& c : cases) {
    double u = 0, v = 0;
    ASSERT_EQ(current.sample(c.lat, c.lon, t0 + c.hours * kHour, u, v), c.cover)
        << c.lat << " " << c.lon << " " << c.hours;
    if (c.cover != Cover::Value) continue;
    EXPECT_NEAR(u, c.u, kTolerance) << c.lat << " " << c.lon << " " << c.hours;
    EXPECT_NEAR(v, c.v, kTolerance) << c.lat << " " << c.lon << " " << c.hours;
  }
}

TEST(NetcdfReader, CommonNamesCentimetresMissingValueAndLongitudesTo360) {
  // current-names.nc: water_u in cm/s = [100 200] at 40N, [M 400] at 41N, 350 and 351E.
  const std::vector<Field> fields = readFieldFile(file("current-names.nc"));
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0].uName, "water_u");
  FieldSet current;
  current.add(fields[0]);
  double u = 0, v = 0;
  ASSERT_EQ(current.sample(40, -9.5, kT06, u, v), Cover::Value);
  EXPECT_NEAR(u, 1.5, kTolerance);
  ASSERT_EQ(current.sample(40.5, -9.5, kT06, u, v), Cover::Value);
  EXPECT_NEAR(u, (1.0 + 2.0 + 4.0) / 3, kTolerance);
  EXPECT_NEAR(v, 0.0, kTolerance);
}

TEST(NetcdfReader, AnUnevenAxisIsLocatedByBisection) {
  const FieldSet current = setOf({"current-uneven.nc"}, Quantity::Current);
  const struct {
    double lat, u;
  } cases[] = {{0, 1}, {0.5, 1.5}, {1, 2}, {2, 3}, {2.5, 3.5}, {3, 4}};
  for (const auto& c : cases) {
    double u = 0, v = 0;
    ASSERT_EQ(current.sample(c.lat, 0.5, kT06, u, v), Cover::Value) << c.lat;
    EXPECT_NEAR(u, c.u, kTolerance) << c.lat;
  }
}

TEST(GribReader, ReadsACurrent) {
  const std::vector<Field> fields = readFieldFile(file("current.grib2"));
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0].quantity, Quantity::Current);
  EXPECT_EQ(fields[0].uName, "ucurr");
  EXPECT_EQ(fields[0].u[4], 0.5f);
  EXPECT_EQ(fields[0].v[4], -0.25f);
}

// --- Refusals, once each -----------------------------------------------------------------------

TEST(Readers, RefuseHostileFilesNamingTheFileAndTheReason) {
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"refuse-text.grib2", "neither a GRIB nor a NetCDF file"},
      {"refuse-cut.grib2", "message 2 is cut short: it claims 206 bytes"},
      {"refuse-cut.grib1", "message 1 is cut short: it claims 180 bytes"},
      {"refuse-large.grib1", "message 1 is cut short: it claims 21600 bytes"},
      {"refuse-large-zero.grib1", "message 1 is cut short: it claims 0 bytes"},
      {"refuse-order.grib2", "message 1 is broken: section 2 follows section 6"},
      {"refuse-coded.grib2", "codes 1560281092 values for a grid of 3 x 3 points"},
      {"refuse-reduced.grib2", "lies on a 'reduced_gg' grid; only regular latitude-longitude"},
      {"refuse-values.grib2", "holds 496 values for a grid of 3 x 3 points"},
      {"refuse-huge.grib2", "grid of 20000 x 10000 points, more than the 33554432"},
      {"refuse-one-row.grib2", "grid of 3 x 1 points, too few to interpolate between"},
      {"refuse-alone.grib2", "has no north component \\(10v\\)"},
      {"refuse-twice.grib2", "gives the wind of 2024-01-15T00:00:00Z a second time"},
      {"refuse-all-missing.grib2", "every value of the wind \\(10u, 10v\\) is missing"},
      {"refuse-beyond.grib2", "has a component of 9999 m/s, beyond any wind"},
      {"refuse-step-unit.grib2", "counts its forecast step in unit 254, which is no unit"},
      {"refuse-no-wind.grib2", "no 10 m wind .* and no current .*; it holds t$"},
      {"refuse-cut.nc", "not a NetCDF file that can be read"},
      {"refuse-header.nc", "not a NetCDF file that can be read \\(the header is broken"},
      {"refuse-type.nc", "a variable is of type 12, which this format cannot hold"},
      {"refuse-no-current.nc", "no current: no variables with the standard names"},
      {"refuse-layout.nc", "uo is laid out as \\(time, lon, lat\\); expected"},
      {"refuse-times.nc", "times are out of order: 2024-01-15T00:00:00Z follows"},
      {"refuse-units.nc", "the time unit 'fortnights' is none of"},
      {"refuse-calendar.nc", "the calendar '360_day' is not read"},
      {"refuse-axis.nc", "the latitudes are not in order"},
      {"refuse-fill.nc", "every value of the current \\(uo, vo\\) is missing"},
      {"refuse-nan.nc", "every value of the current \\(uo, vo\\) is missing"},
      {"refuse-huge.nc", "2 times of 6000 x 6000 points are more than the 33554432"},
      {"no-such-file.nc", "No such file or directory"},
  };
  for (const auto& c : cases) {
    try {
      readFieldFile(file(c.name));
      ADD_FAILURE() << c.name << " was read";
    } catch (const FieldFileError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("'" + file(c.name) + "': ", 0), 0u) << message;
      EXPECT_TRUE(std::regex_search(message, std::regex(c.reason))) << message;
    }
  }
}

// A netCDF-4 file is read in a child process: the fields come back whole, and HDF5 going round
// for ever or failing on a hostile file ends in a refusal, not in a hang or a crash.
TEST(NetcdfReader, Netcdf4FilesAreReadApartFromTheProgram) {
  const std::vector<Field> here = readNetcdfFileHere(file("current4.nc"));
  const std::vector<Field> apart = readNetcdfFile(file("current4.nc"));
  ASSERT_EQ(apart.size(), here.size());
  for (std::size_t k = 0; k < here.size(); ++k) {
    EXPECT_EQ(apart[k].quantity, here[k].quantity);
    EXPECT_EQ(apart[k].format, here[k].format);
    EXPECT_EQ(apart[k].uName, here[k].uName);
    EXPECT_EQ(apart[k].files, here[k].files);
    EXPECT_EQ(apart[k].times, here[k].times);
    EXPECT_TRUE(apart[k].grid == here[k].grid);
    EXPECT_EQ(apart[k].grid.wraps, here[k].grid.wraps);
    ASSERT_EQ(apart[k].u.size(), here[k].u.size());
    EXPECT_EQ(0, std::memcmp(apart[k].u.data(), here[k].u.data(), here[k].u.size() * 4));
    EXPECT_EQ(0, std::memcmp(apart[k].v.data(), here[k].v.data(), here[k].v.size() * 4));
  }
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"refuse-hdf5-loop.nc", "not read within 2 s: the netCDF-4 \\(HDF5\\) library did not"},
      {"refuse-hdf5-crash.nc", "netCDF-4 \\(HDF5\\) library (failed reading it|did not)"},
      {"refuse-huge.nc", "2 times of 6000 x 6000 points are more than"},
  };
  for (const auto& c : cases) {
    try {
      readNetcdfFileApart(file(c.name), 2.0);
      ADD_FAILURE() << c.name << " was read";
    } catch (const FieldFileError& e) {
      EXPECT_TRUE(std::regex_search(e.what(), std::regex(c.reason))) << e.what();
    }
  }
}

// Axes no forecast has, refused before they are sampled: values closer than a millionth of a
// degree leave no step to divide by.
TEST(Readers, RefuseAxesWithoutAStep) {
  bool latReversed = false, lonReversed = false;
  for (const auto& [lats, reason] :
       {std::pair{std::vector<double>{0.0, 5e-324}, "two latitudes lie closer together"},
        std::pair{std::vector<double>{10.0, 10.0000000001, 11.0}, "two latitudes lie closer"},
        std::pair{std::vector<double>{0.0, 1e-6, 1.0}, ""}}) {
    try {
      makeGrid("g.nc", lats, {0.0, 1.0}, latReversed, lonReversed);
      EXPECT_STREQ(reason, "") << lats[1];
    } catch (const FieldFileError& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
      EXPECT_STRNE(reason, "") << e.what();
    }
  }
}

TEST(Forcing, FilesOfTheWrongQuantityAreRefused) {
  try {
    readForcing({file("current.nc")}, {});
    ADD_FAILURE() << "a current file was taken for wind";
  } catch (const FieldFileError& e) {
    EXPECT_STREQ(
        e.what(),
        ("'" + file("current.nc") + "' holds no wind, yet it is given as a wind file").c_str());
  }
}

// --- Forcing ---------------------------------------------------------------------------------

TEST(Forcing, ConstantsFieldsAndTheOutsidePolicy) {
  Forcing forcing = readForcing({file("wind.grib2")}, {});
  forcing.setConstantCurrent(0.25, -0.5);
  ForcingSample s = forcing.sample(41, 351, kT06);
  EXPECT_EQ(s.windSource, Source::Field);
  EXPECT_TRUE(s.hasWind);
  EXPECT_NEAR(s.windU, u06(41, 351), kTolerance);
  EXPECT_EQ(s.currentSource, Source::Constant);
  EXPECT_EQ(s.curU, 0.25);
  EXPECT_EQ(s.curV, -0.5);

  s = forcing.sample(10, 10, kT06);
  EXPECT_EQ(s.windSource, Source::Outside);
  EXPECT_FALSE(s.hasWind);
  forcing.setConstantWind(3, 4);
  EXPECT_EQ(forcing.sample(10, 10, kT06).windSource, Source::Outside);
  forcing.setOutsidePolicy(OutsidePolicy::Constant);
  s = forcing.sample(10, 10, kT06);
  EXPECT_EQ(s.windSource, Source::Constant);
  EXPECT_EQ(s.windU, 3.0);
  EXPECT_EQ(s.windV, 4.0);
  EXPECT_EQ(Forcing().sample(0, 0, 0).windSource, Source::None);
}

TEST(Forcing, DirectionsOfWindAndCurrent) {
  EXPECT_NEAR(fromDegrees(0, -5), 0.0, 1e-12);    // a north wind blows south
  EXPECT_NEAR(fromDegrees(-5, 0), 90.0, 1e-12);   // an east wind blows west
  EXPECT_NEAR(towardDegrees(1, 0), 90.0, 1e-12);  // a current setting east
  EXPECT_NEAR(towardDegrees(-1, -1), 225.0, 1e-12);
  double u = 0, v = 0;
  componentsOf(90, 1, u, v);
  EXPECT_NEAR(u, 1852.0 / 3600.0, 1e-12);
  EXPECT_NEAR(v, 0.0, 1e-12);
}

// --- The real file ---------------------------------------------------------------------------

// grib_get_data's listing: "lat lon value" lines after a heading.
std::vector<std::array<double, 3>> listing(const std::string& path) {
  std::ifstream in(path);
  std::string heading;
  std::getline(in, heading);
  std::vector<std::array<double, 3>> rows;
  std::array<double, 3> row{};
  while (in >> row[0] >> row[1] >> row[2]) rows.push_back(row);
  return rows;
}

// grib_get_data prints eleven significant digits of the decoded double; ours went through float.
bool near(double a, double b) {
  return std::fabs(a - b) <= 1e-6 * (1 + std::fabs(b));
}

// The reader at grid points of a real global 2.5 degree file against grib_get_data's listing
// (rows from 90N, columns from 0E): the poles, the first and last longitudes, places between.
void checkAgainstListing(const char* path, const char* listed, double time) {
  const auto u = listing(file(std::string(listed) + "-10u.txt"));
  const auto v = listing(file(std::string(listed) + "-10v.txt"));
  ASSERT_EQ(u.size(), 144u * 73u);
  ASSERT_EQ(v.size(), u.size());
  FieldSet wind;
  for (Field& f : readFieldFile(path)) wind.add(std::move(f));
  for (const std::size_t k :
       {std::size_t{0}, std::size_t{143}, std::size_t{5000}, std::size_t{6337}, u.size() - 1}) {
    double su = 0, sv = 0;
    const double lon = u[k][1] > 180 ? u[k][1] - 360 : u[k][1];
    ASSERT_EQ(wind.sample(u[k][0], lon, time, su, sv), Cover::Value) << k;
    EXPECT_TRUE(near(su, u[k][2])) << k << ": " << su << " against " << u[k][2];
    EXPECT_TRUE(near(sv, v[k][2])) << k << ": " << sv << " against " << v[k][2];
  }
  // Between grid points, across the seam from 357.5E to 0E too: the mean of the four values
  // around the centre of a cell.
  const auto at = [](const std::vector<std::array<double, 3>>& rows, int row, int column) {
    return rows[static_cast<std::size_t>(row * 144 + column)][2];
  };
  for (const auto& [lat, lon, row, column] :
       {std::tuple{43.75, -1.25, 18, 143}, std::tuple{-33.75, 151.25, 49, 60}}) {
    const int next = (column + 1) % 144;
    const double eu =
        (at(u, row, column) + at(u, row, next) + at(u, row + 1, column) + at(u, row + 1, next)) / 4;
    const double ev =
        (at(v, row, column) + at(v, row, next) + at(v, row + 1, column) + at(v, row + 1, next)) / 4;
    double su = 0, sv = 0;
    ASSERT_EQ(wind.sample(lat, lon, time, su, sv), Cover::Value);
    EXPECT_TRUE(near(su, eu)) << lat << " " << lon << ": " << su << " against " << eu;
    EXPECT_TRUE(near(sv, ev)) << lat << " " << lon << ": " << sv << " against " << ev;
  }
}

TEST(GribReader, TheRealGfsFileAgreesWithGribGetData) {
  checkAgainstListing(VESTRAND_GFS_FILE, "gfs", 1295092800.0);  // 2011-01-15T12:00:00Z, +120 h
}

TEST(GribReader, TheRealGrib1GfsFileAgreesWithGribGetData) {
  checkAgainstListing(VESTRAND_GFS_GRIB1_FILE, "gfs1", 1318291200.0);  // 2011-10-11T00:00:00Z
}

}  // namespace
}  // namespace vestrand::fields
