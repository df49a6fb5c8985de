// The search plan page through its real widgets: its figures are the library's, "Write plan"
// writes what the command line writes, the units' table keeps 1 to 8 rows, refusals name the
// field in the window's language, and the simulation runs in the background, can be cancelled
// and carries a search into the next map.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "ForecastFiles.h"
#include "SearchPlanPage.h"
#include "WindowLand.h"
#include "number_text.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

constexpr char kStem[] = "20121225143000";

class SearchPlanTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    page = win->searchPlanPage();
    ASSERT_NE(page, nullptr);
    auto* tabs = Control<QTabWidget>(mainPanel, kSearchTabs);
    tabs->setCurrentIndex(tabs->count() - 1);
  }

  QLineEdit* Field(const char* name) const { return page->findChild<QLineEdit*>(name); }

  // A person in the water 45N 30W six hours ago, wind from 250 at 20 kn, current 090 at 0.4 kn,
  // X 2 NM, two units.
  void EnterCase() {
    Field("planLastKnown")->setText("45N 30W");
    Field("planTime")->setText("2024-01-15T06:00Z");
    Field("planHours")->setText("6");
    Field("planObjectFilter")->setText("PIW-1");
    Field("planWindFrom")->setText("250");
    Field("planWindSpeed")->setText("20");
    Field("planCurrentSet")->setText("90");
    Field("planCurrentDrift")->setText("0.4");
    Field("planX")->setText("2");
    page->addUnit();
    auto* units = page->findChild<QTableWidget*>("planUnits");
    const char* cells[2][4] = {{"Alpha", "12", "4", "1.5"}, {"Bravo", "20", "3", "2"}};
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 4; ++c) units->item(r, c)->setText(cells[r][c]);
    }
  }

  // The same case through the library.
  static vestrand::SearchPlan LibraryPlan() {
    vestrand::SearchPlanInput in;
    in.datums = vestrand::leewayDatums(
        45.0, -30.0, 6.0, {90.0, 0.4},
        vestrand::leewayOf(*vestrand::findLeewayClass("PIW-1"), 250.0, 20.0));
    in.x = 2.0;
    in.y = 0.1;
    in.units = {{"Alpha", 12.0, 4.0, 1.5, {}}, {"Bravo", 20.0, 3.0, 2.0, {}}};
    vestrand::SearchPlan plan;
    EXPECT_EQ(vestrand::planSearch(in, plan), vestrand::PlanFault::None);
    return plan;
  }

  // The POS over 2000 particles of `vestrand-cli plan <arguments>`; NaN, and a failure, when it
  // gives none.
  static double CommandLineParticlesPos(const std::string& arguments) {
    const std::string command = std::string(VESTRAND_CLI) + " plan " + arguments +
                                " --no-gpx --json --particles 2000 > cli.json";
    const int status = std::system(command.c_str());
    const std::string json = ReadBytes("cli.json");
    const std::size_t at = json.find("\"particles\":{\"pos\":");
    if (status != 0 || at == std::string::npos) {
      ADD_FAILURE() << command << " gave " << status << ": " << json;
      return std::numeric_limits<double>::quiet_NaN();
    }
    return std::stod(json.substr(at + 19));
  }

  SearchPlanPage* page = nullptr;
};

TEST_F(SearchPlanTest, FiguresAndDatumsAreTheLibrarys) {
  EnterCase();
  const vestrand::SearchPlan plan = LibraryPlan();
  const std::string summary = planView->summaryText();
  const auto nm = [](double v) { return vestrand::fixedText(v, 2) + " NM"; };
  for (const std::string& row :
       {"Total probable error E\t" + nm(plan.error.total), "Search radius R\t" + nm(plan.radius),
        "Search factor fs\t" + vestrand::fixedText(plan.searchFactor, 2),
        "Track spacing S, Alpha\t" + nm(plan.units[0].spacing),
        "Track spacing S, Bravo\t" + nm(plan.units[1].spacing),
        "Probability of success POS\t" + vestrand::fixedText(100.0 * plan.planned.pos, 1) + " %"}) {
    EXPECT_THAT(summary, HasSubstr(row));
  }
  std::vector<std::string> marks;
  for (const vestrand::FigureMark& m : planView->preview()->figure().marks) {
    marks.push_back(m.name.text);
  }
  EXPECT_THAT(marks, ::testing::IsSupersetOf({"Datum L", "Datum R", "Datum DW"}));
  EXPECT_EQ(planView->preview()->figure().routes.size(), 2u);
}

TEST_F(SearchPlanTest, WritePlanWritesTheCommandLinesFileByteForByte) {
  EnterCase();
  QTest::mouseClick(page->writeButton(), Qt::LeftButton);
  const std::string name = kStem + std::string(" PLAN.gpx");
  ASSERT_TRUE(std::filesystem::exists(name)) << Text(mainPanel, kStatusLine);
  std::filesystem::create_directory("cli");
  const std::string command =
      std::string(VESTRAND_CLI) +
      " plan --lat 45 --lon -30 --hours 6 --object PIW-1 --wind-from 250 --wind-speed 20"
      " --current-set 90 --current-drift 0.4 --x-error 2 --unit Alpha:12:4:1.5"
      " --unit Bravo:20:3:2 --land none --dir cli --stem " +
      kStem + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadBytes(name), ReadBytes("cli/" + name));
}

// Off Santander the area takes in the coast: with the window's land setting the page leaves land
// out as the command line does with the matching --land, and says how much.
TEST_F(SearchPlanTest, NearTheCoastThePlanIsTheCommandLinesWithTheSameLand) {
  const struct {
    LandSetting setting;
    const char* option;
    bool landRow;
  } cases[] = {{LandSetting::Automatic, "", true}, {LandSetting::None, " --land none", false}};
  for (const auto& c : cases) {
    win->landMenu()->action(c.setting)->trigger();
    Field("planLastKnown")->setText("43:30N 003:45W");
    Field("planHours")->setText("6");
    Field("planObjectFilter")->setText("PIW-1");
    Field("planWindFrom")->setText("300");
    Field("planWindSpeed")->setText("20");
    Field("planCurrentSet")->setText("70");
    Field("planCurrentDrift")->setText("0.6");
    Field("planX")->setText("2");
    if (page->unitCount() == 1) page->addUnit();
    auto* units = page->findChild<QTableWidget*>("planUnits");
    const char* cells[2][4] = {{"Salvamar", "15", "3", "0.6"}, {"Helimer", "80", "1.5", "0.8"}};
    for (int r = 0; r < 2; ++r) {
      for (int col = 0; col < 4; ++col) units->item(r, col)->setText(cells[r][col]);
    }
    const std::string summary = planView->summaryText();
    EXPECT_EQ(summary.find("Land left out\t") != std::string::npos, c.landRow) << summary;
    EXPECT_EQ(planView->preview()->figure().land.rings.empty(), !c.landRow) << c.option;
    if (c.landRow) {
      ASSERT_NE(page->shownPlan(), std::nullopt);
      EXPECT_GT(page->shownPlan()->areaLandShare, 0.0);
      EXPECT_THAT(summary,
                  HasSubstr("Land left out\t" +
                            vestrand::fixedText(100.0 * page->shownPlan()->areaLandShare, 1) +
                            " % of the area"));
    }

    QTest::mouseClick(page->writeButton(), Qt::LeftButton);
    const std::string name = kStem + std::string(" PLAN.gpx");
    ASSERT_TRUE(std::filesystem::exists(name)) << Text(mainPanel, kStatusLine);
    std::filesystem::create_directory("cli");
    const std::string command =
        std::string(VESTRAND_CLI) +
        " plan --lat 43:30N --lon 003:45W --hours 6 --current-set 70 --current-drift 0.6"
        " --object PIW-1 --wind-from 300 --wind-speed 20 --x-error 2 --unit Salvamar:15:3:0.6"
        " --unit Helimer:80:1.5:0.8 --dir cli --stem " +
        kStem + c.option + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(name), ReadBytes("cli/" + name)) << c.option;
    std::filesystem::remove(name);
    std::filesystem::remove("cli/" + name);
  }
}

TEST_F(SearchPlanTest, UnitsTableKeepsOneToEightRows) {
  EXPECT_EQ(page->unitCount(), 1);
  EXPECT_FALSE(page->removeUnit());
  for (int n = 2; n <= 8; ++n) EXPECT_TRUE(page->addUnit()) << n;
  EXPECT_FALSE(page->addUnit());
  EXPECT_EQ(page->unitCount(), 8);
  EXPECT_FALSE(page->findChild<QPushButton*>("addUnitButton")->isEnabled());
  QTest::mouseClick(page->findChild<QPushButton*>("removeUnitButton"), Qt::LeftButton);
  EXPECT_EQ(page->unitCount(), 7);
  EXPECT_TRUE(page->findChild<QPushButton*>("addUnitButton")->isEnabled());
}

TEST_F(SearchPlanTest, RefusalsNameTheFieldInTheWindowsLanguage) {
  EnterCase();
  const struct {
    const char* field;
    const char* text;
    int language;
    const char* said;
  } cases[] = {
      {"planWindSpeed", "150", 0, "Wind speed (kn): '150' refused: expected 0 to 100"},
      {"planX", "sextant", 0, "Initial position error X"},
      {"planWindSpeed", "150", 1, "Force du vent (nd) : « 150 » refusé : attendu de 0 à 100"},
      {"planTime", "yesterday", 4, "Zeit des Unfalls"},
      // Madrid: the whole area is on land, which the plan leaves out.
      {"planLastKnown", "40:25N 003:42W", 0,
       "'40:25N 003:42W' refused: The object's distribution or the search area lies wholly on land "
       "(GSHHG"},
  };
  for (const auto& c : cases) {
    Choose(mainPanel, kLanguageSelector, c.language);
    const QString before = Field(c.field)->text();
    Field(c.field)->setText(c.text);
    // A time is read only when given, and the simulation is what needs it.
    std::string refusal;
    if (std::string(c.field) == "planTime") {
      EXPECT_FALSE(page->simulate(refusal));
    }
    const std::string shown =
        refusal.empty() ? planView->preview()->message().toStdString() : refusal;
    EXPECT_THAT(shown, HasSubstr(c.said)) << c.field;
    Field(c.field)->setText(before);
  }
  Choose(mainPanel, kLanguageSelector, 0);
  auto* units = page->findChild<QTableWidget*>("planUnits");
  units->item(1, 0)->setText("alpha");
  EXPECT_THAT(planView->preview()->message().toStdString(), HasSubstr("Name: 'alpha' refused"));
}

TEST_F(SearchPlanTest, SimulationRunsToTheEndAndShowsTheMap) {
  EnterCase();
  page->setParticles(2000);
  std::string refusal;
  ASSERT_TRUE(page->simulate(refusal)) << refusal;
  EXPECT_TRUE(page->simulating());
  page->finishSimulation();
  ASSERT_TRUE(page->simulation().has_value());
  const PlanSimulation& s = *page->simulation();
  EXPECT_FALSE(s.cancelled);
  EXPECT_FALSE(s.map.cells.empty());
  EXPECT_FALSE(s.outline50.empty());
  ASSERT_TRUE(s.plan.has_value());
  EXPECT_EQ(page->findChild<QProgressBar*>("simulationProgress")->value(), 1000);
  EXPECT_EQ(planView->preview()->figure().cells.size(), s.map.cells.size());
  EXPECT_EQ(Text(mainPanel, kStatusLine),
            "Simulated 2000 particles: the plan is made over the map");
}

// Off Santander a current toward the coast strands particles: the map keeps them, the plan over
// the cloud leaves them and the land out, as the command line's plan --particles does.
TEST_F(SearchPlanTest, TheSimulationStrandsOnTheCoastAsTheCommandLines) {
  win->landMenu()->action(LandSetting::Automatic)->trigger();
  Field("planLastKnown")->setText("43:30N 003:45W");
  Field("planTime")->setText("2024-01-15T06:00Z");
  Field("planHours")->setText("6");
  Field("planObjectFilter")->setText("PIW-1");
  Field("planWindFrom")->setText("0");
  Field("planWindSpeed")->setText("5");
  Field("planCurrentSet")->setText("180");
  Field("planCurrentDrift")->setText("0.1");
  Field("planX")->setText("2");
  auto* units = page->findChild<QTableWidget*>("planUnits");
  const char* cells[4] = {"Salvamar", "15", "3", "0.6"};
  for (int col = 0; col < 4; ++col) units->item(0, col)->setText(cells[col]);
  page->setParticles(2000);
  std::string refusal;
  ASSERT_TRUE(page->simulate(refusal)) << refusal;
  page->finishSimulation();
  ASSERT_TRUE(page->simulation().has_value());
  const PlanSimulation& s = *page->simulation();
  EXPECT_GT(s.stranding.particles, 0u);
  EXPECT_GT(s.strandedShare, 0.0);
  EXPECT_LT(s.strandedShare, 1.0);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Stranded\t"));
  ASSERT_TRUE(s.plan.has_value());

  EXPECT_NEAR(s.plan->planned.pos,
              CommandLineParticlesPos(
                  "--lat 43:30N --lon 003:45W --time 2024-01-15T06:00Z --hours 6 --current-set 180"
                  " --current-drift 0.1 --object PIW-1 --wind-from 0 --wind-speed 5 --x-error 2"
                  " --unit Salvamar:15:3:0.6"),
              1e-9);
}

// Forecast files on the page: the datums are drifted through them (the steady files give those of
// the constants they hold), the simulation drifts through them as plan --particles does, and a
// drift out of them is refused until the box lets the constants serve there.
TEST_F(SearchPlanTest, ThePagesDatumsAndSimulationDriftThroughForecastFiles) {
  win->landMenu()->action(LandSetting::None)->trigger();
  Field("planLastKnown")->setText("43:30N 003:45W");
  Field("planTime")->setText("2024-01-15T00:00Z");
  Field("planHours")->setText("20");
  Field("planObjectFilter")->setText("PIW-1");
  Field("planWindFrom")->setText("90");
  Field("planWindSpeed")->setText("5");
  Field("planX")->setText("2");
  auto* units = page->findChild<QTableWidget*>("planUnits");
  const char* cells[4] = {"A", "2", "3", "0.6"};
  for (int col = 0; col < 4; ++col) units->item(0, col)->setText(cells[col]);
  ForecastFiles* files = page->forecastFiles();
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Wind,
                             VESTRAND_FIELD_FILES "/drift-wind-steady.grib2"));
  ASSERT_TRUE(files->addFile(vestrand::fields::Quantity::Current,
                             VESTRAND_FIELD_FILES "/drift-current-steady.nc"));
  std::string refusal;
  std::optional<vestrand::SearchPlan> plan = page->makePlan(refusal);
  ASSERT_TRUE(plan.has_value()) << refusal;
  const vestrand::Datums want =
      vestrand::leewayDatums(43.5, -3.75, 20.0, {70.0, 0.6},
                             vestrand::leewayOf(*vestrand::findLeewayClass("PIW-1"), 300.0, 20.0));
  EXPECT_NEAR(plan->datums.left.lat, want.left.lat, 0.01 / 60.0);
  EXPECT_NEAR(plan->datums.right.lon, want.right.lon, 0.01 / 60.0);
  // The files' arrows over the plan when asked.
  const auto arrows = [this] {
    int count = 0;
    for (const vestrand::FigureLine& line : planView->preview()->figure().lines) {
      count += line.colour == kWindArrowColour || line.colour == kCurrentArrowColour;
    }
    return count;
  };
  EXPECT_EQ(arrows(), 0);
  files->setArrowsShown(true);
  EXPECT_EQ(arrows(), 50);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Forecast at the datum\twind from 300°T"));
  files->setArrowsShown(false);

  page->setParticles(2000);
  ASSERT_TRUE(page->simulate(refusal)) << refusal;
  page->finishSimulation();
  ASSERT_TRUE(page->simulation().has_value()) << Text(mainPanel, kStatusLine);
  ASSERT_TRUE(page->simulation()->plan.has_value());
  EXPECT_NEAR(page->simulation()->plan->planned.pos,
              CommandLineParticlesPos(
                  std::string("--land none --lat 43.5 --lon -3.75 --time 2024-01-15T00:00Z --hours "
                              "20 --object PIW-1 --x-error 2 --unit A:2:3:0.6 --wind-file ") +
                  VESTRAND_FIELD_FILES "/drift-wind-steady.grib2 --current-file " +
                  VESTRAND_FIELD_FILES "/drift-current-steady.nc"),
              1e-9);

  Field("planTime")->setText("");
  EXPECT_FALSE(page->makePlan(refusal).has_value());
  EXPECT_THAT(refusal, HasSubstr("the forecast files need the time"));
  Field("planTime")->setText("2024-01-15T00:00Z");
  Field("planLastKnown")->setText("41:30N 003:45W");
  EXPECT_FALSE(page->makePlan(refusal).has_value());
  EXPECT_THAT(refusal, HasSubstr("drift-wind-steady.grib2"));
  EXPECT_THAT(refusal, HasSubstr("tick \"Outside the forecast files"));
  page->setOutsideConstant(true);
  EXPECT_TRUE(page->makePlan(refusal).has_value()) << refusal;
}

TEST_F(SearchPlanTest, CancelFromTheProgressStopsTheSimulation) {
  EnterCase();
  page->setParticles(2000);
  page->setProgressHook([this](double) { page->cancelSimulation(); });
  std::string refusal;
  ASSERT_TRUE(page->simulate(refusal)) << refusal;
  page->finishSimulation();
  EXPECT_FALSE(page->simulating());
  EXPECT_FALSE(page->simulation().has_value());
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Simulation cancelled");
  EXPECT_TRUE(page->findChild<QPushButton*>("simulateButton")->isEnabled());
}

TEST_F(SearchPlanTest, SearchedLowersTheWeightAndReportsThePos) {
  EnterCase();
  page->setParticles(2000);
  std::string refusal;
  EXPECT_FALSE(page->markSearched(refusal));
  EXPECT_EQ(refusal, "Simulate first: a search is scored against the simulated map");
  ASSERT_TRUE(page->simulate(refusal));
  page->finishSimulation();
  Field("planSearchedStart")->setText("2024-01-15T12:00Z");
  ASSERT_TRUE(page->markSearched(refusal)) << refusal;
  page->finishSimulation();
  ASSERT_TRUE(page->simulation().has_value());
  const PlanSimulation& s = *page->simulation();
  ASSERT_EQ(s.searches.size(), 2u);
  EXPECT_GT(s.searches[0].pos, 0.05);
  EXPECT_GT(s.cumulativePos, s.searches[0].pos);
  EXPECT_LT(s.cumulativePos, 1.0);
  EXPECT_THAT(planView->summaryText(),
              HasSubstr("Cumulative POS\t" + vestrand::fixedText(100.0 * s.cumulativePos, 1)));
}

TEST(MatchingClasses, EveryWordOfTheDescriptionInAnyOrder) {
  const std::vector<const vestrand::LeewayClass*> all = MatchingClasses("  ");
  EXPECT_EQ(all.size(), vestrand::leewayClasses().size());
  for (const vestrand::LeewayClass* c : MatchingClasses("RAFT life")) {
    const QString text =
        QString::fromStdString(std::string(c->key) + " " + std::string(c->description));
    EXPECT_TRUE(text.contains("raft", Qt::CaseInsensitive) &&
                text.contains("life", Qt::CaseInsensitive))
        << text.toStdString();
  }
  EXPECT_FALSE(MatchingClasses("life raft").empty());
  EXPECT_TRUE(MatchingClasses("raft zeppelin").empty());
}

}  // namespace
}  // namespace gui_test
