// Forecast files in the drift group, driven through the real widgets: a steady current file gives
// the datum of the same current typed as a constant, a drift leaving the file asks before the
// constant serves there, an object class takes its leeway from the wind files, and a file that is
// no forecast is refused with its name. The files are made at test time with ncgen (netcdf-bin),
// or by the fields tests.
#include <QComboBox>
#include <QProcess>
#include <cmath>
#include <fstream>
#include <string>

#include "DriftObject.h"
#include "ForecastFiles.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

// 0.5 m/s east and 0.25 m/s south over 40..42N 11..9W all of 2012-12-25 and 26.
constexpr char kSteadyCurrent[] = R"(netcdf steady {
dimensions:
  time = 2 ; lat = 3 ; lon = 3 ;
variables:
  double time(time) ; time:units = "hours since 2012-12-25 00:00:00" ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float uo(time, lat, lon) ; uo:standard_name = "eastward_sea_water_velocity" ;
  uo:units = "m s-1" ;
  float vo(time, lat, lon) ; vo:standard_name = "northward_sea_water_velocity" ;
  vo:units = "m s-1" ;
data:
  time = 0, 48 ;
  lat = 40, 41, 42 ;
  lon = -11, -10, -9 ;
  uo = 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5,
       0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5 ;
  vo = -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25,
       -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25 ;
}
)";

class ForecastTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::ofstream("steady.cdl") << kSteadyCurrent;
    ASSERT_EQ(QProcess::execute("ncgen", {"-o", "steady.nc", "steady.cdl"}), 0);
    files = win->forecastFiles();
    ASSERT_NE(files, nullptr);
  }

  // The datum the drift group gives for 3 hours from `from`, a leeway of 0.4 kn toward 030 and
  // the current typed (empty: none).
  static void Drift(const char* from, const char* set, const char* drift) {
    EnterDrift({from, "3", set, drift, "30", "0.4"});
  }

  ForecastFiles* files = nullptr;
};

TEST_F(ForecastTest, ASteadyFileDriftsAsTheSameConstantCurrent) {
  // The file's current as a set and drift: toward 116.565 degrees at 0.5590 m/s.
  const double set = std::atan2(0.5, -0.25) * 180.0 / M_PI;
  const double knots = std::hypot(0.5, 0.25) * 3600.0 / 1852.0;
  const std::string setText = std::to_string(set), driftText = std::to_string(knots);
  Drift("41N 10W", setText.c_str(), driftText.c_str());
  ASSERT_NE(win->currentDrift(), nullptr);
  const vestrand::DriftedDatum constant = win->currentDrift()->drifted;

  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Current, "steady.nc"));
  EXPECT_THAT(files->listText(), HasSubstr("Current: steady.nc, latitudes 40"));
  EXPECT_THAT(files->listText(), HasSubstr("2012-12-25T00:00:00Z to 2012-12-27T00:00:00Z"));
  Drift("41N 10W", "", "");
  ASSERT_NE(win->currentDrift(), nullptr);
  const vestrand::DriftedDatum forecast = win->currentDrift()->drifted;
  // Within 0.001 NM: to_string keeps six decimals of the constants.
  EXPECT_NEAR(forecast.lat, constant.lat, 0.001 / 60.0);
  EXPECT_NEAR(forecast.lon, constant.lon, 0.001 / 60.0);
  EXPECT_GT(forecast.distance, 1.0);
  EXPECT_THAT(questions, ::testing::IsEmpty());
}

TEST_F(ForecastTest, OutsideTheFileTheWindowAsks) {
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Current, "steady.nc"));
  // Cancelled: nothing applied, the datum as it was.
  answer = 0;
  Drift("45N 10W", "90", "1");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_THAT(questions[0], HasSubstr("Outside the forecast files\n"));
  EXPECT_THAT(questions[0], HasSubstr("steady.nc"));
  EXPECT_EQ(win->currentDrift(), nullptr);
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Drift not applied: outside the forecast files");
  // The constant serves: 3 hours of 1 kn east and 0.4 kn toward 030.
  answer = 1;
  Drift("45N 10W", "90", "1");
  ASSERT_EQ(questions.size(), 2u);
  ASSERT_NE(win->currentDrift(), nullptr);
  const double east = 3.0 * (1.0 + 0.4 * std::sin(M_PI / 6.0));
  const double north = 3.0 * 0.4 * std::cos(M_PI / 6.0);
  EXPECT_NEAR(win->currentDrift()->drifted.distance, std::hypot(east, north), 0.01);
}

// An object class's three datums take their leeway from the wind file, not from the wind typed:
// the file's steady wind from 300 at 20 kn gives the datums that wind typed gives without files.
TEST_F(ForecastTest, AClassDriftsWithTheWindFilesWind) {
  Control<QLineEdit>(mainPanel, kDateField)->setText("2024/01/15");
  Control<QLineEdit>(mainPanel, kTimeField)->setText("06:00:00");
  win->widget<QComboBox>("driftLeewayMode")->setCurrentIndex(1);
  win->widget<QLineEdit>("driftObjectFilter")->setText("LIFE-RAFT-DB-10");
  ASSERT_TRUE(win->driftObject()->chooser()->choose("LIFE-RAFT-DB-10"));
  const auto drift = [this](const char* from, const char* knots) {
    win->widget<QLineEdit>("driftWindFrom")->setText(from);
    win->widget<QLineEdit>("driftWindSpeed")->setText(knots);
    EnterDrift({"43 30.0 N 3 45.0 W", "6", "", "", "", ""});
    EXPECT_NE(win->currentDrift(), nullptr) << Text(mainPanel, kStatusLine);
    return win->currentDrift() != nullptr ? win->currentDrift()->datums : vestrand::Datums{};
  };
  const vestrand::Datums typed = drift("300", "20");
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Wind,
                             VESTRAND_FIELD_FILES "/drift-wind-steady.grib2"));
  const vestrand::Datums filed = drift("90", "5");
  ASSERT_TRUE(typed.diverges());
  // Within 0.001 NM: stepping through a steady field differs from one sailing in the metres.
  for (const auto& [f, t] :
       {std::pair{&filed.left, &typed.left}, std::pair{&filed.right, &typed.right},
        std::pair{&filed.downwind, &typed.downwind}}) {
    EXPECT_NEAR(f->lat, t->lat, 0.001 / 60.0);
    EXPECT_NEAR(f->lon, t->lon, 0.001 / 60.0);
  }
  EXPECT_NEAR(GetDegLatitude(mainPanel), std::round(typed.downwind.lat * 360000.0) / 360000.0,
              0.001 / 60.0);
}

// The files' wind (from 300 at 20 kn) and current (toward 070 at 0.6 kn) as arrows over the
// pattern at the datum time, and their values at the datum in the summary.
TEST_F(ForecastTest, ArrowsShowTheFilesWindAndCurrentAtTheDatumTime) {
  Control<QLineEdit>(mainPanel, kDateField)->setText("2024/01/15");
  Control<QLineEdit>(mainPanel, kTimeField)->setText("06:00:00");
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Wind,
                             VESTRAND_FIELD_FILES "/drift-wind-steady.grib2"));
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Current,
                             VESTRAND_FIELD_FILES "/drift-current-steady.nc"));
  EnterDrift({"43 30.0 N 3 45.0 W", "0", "", "", "", ""});
  ASSERT_NE(win->currentDrift(), nullptr) << Text(mainPanel, kStatusLine);
  const int page = ShowPage(kSquarePage);
  Type(page, square_page::kCourse, "0");
  Type(page, square_page::kSpacing, "1");
  Type(page, square_page::kCount, "2");
  const auto arrows = [this](vestrand::Rgb colour, double& toward) {
    int count = 0;
    for (const vestrand::FigureLine& line : planView->preview()->figure().lines) {
      if (line.colour != colour) continue;
      ++count;
      // Tail to tip, pixels with y down.
      const double a =
          std::atan2(line.points[1].x - line.points[0].x, line.points[0].y - line.points[1].y);
      toward = std::fmod(a * 180.0 / M_PI + 360.0, 360.0);
    }
    return count;
  };
  double toward = 0.0;
  EXPECT_EQ(arrows(kWindArrowColour, toward), 0);
  files->setArrowsShown(true);
  EXPECT_EQ(arrows(kWindArrowColour, toward), 25);
  EXPECT_NEAR(toward, 120.0, 3.0);
  EXPECT_EQ(arrows(kCurrentArrowColour, toward), 25);
  EXPECT_NEAR(toward, 70.0, 3.0);
  EXPECT_THAT(planView->summaryText(),
              HasSubstr("Forecast at the datum\twind from 300°T at 20.0 kn, current toward 70°T at "
                        "0.60 kn, 2024-01-15T06:00:00Z"));
}

TEST_F(ForecastTest, AHostileFileIsRefusedWithItsName) {
  std::ofstream("not-a-forecast.nc") << "a forecast, they said\n";
  EXPECT_FALSE(files->addFile(vestrand::fields::Quantity::Wind, "not-a-forecast.nc"));
  EXPECT_THAT(Text(mainPanel, kStatusLine),
              HasSubstr("Forecast file refused: 'not-a-forecast.nc': "));
  EXPECT_TRUE(files->empty());
  // The current file given for the wind holds no wind: refused too.
  EXPECT_FALSE(files->addFile(vestrand::fields::Quantity::Wind, "steady.nc"));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("steady.nc"));
}

}  // namespace
}  // namespace gui_test
