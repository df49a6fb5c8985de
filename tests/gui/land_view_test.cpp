// Land in the window, driven through the real widgets: the preview draws it near a coast and not
// at sea, keeps its layer while the chart stays, warns of a pattern run over land on the status
// line in the window's language while the files are still written, puts land under the briefing's
// chart, and remembers the menu's setting. The shorelines are the GSHHG files of the machine.
#include <QAction>
#include <QImage>
#include <QSettings>
#include <filesystem>
#include <string>

#include "WindowLand.h"
#include "land_atlas.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr char kRoute[] = "20121225143000 - CS 90.0";

class LandTest : public WindowTest {
 protected:
  void SetUp() override {
    if (!vestrand::land::Atlas::standard().installed(vestrand::land::Resolution::Low)) {
      GTEST_SKIP() << "the GSHHG shorelines (gmt-gshhg-low) are not installed";
    }
    WindowTest::SetUp();
  }

  // A creeping line of 60 NM legs run east from 49.5 N 2.3 W: its first leg crosses the Cotentin
  // and its second turning point lies on it (the command line's land warnings test).
  static void EnterCotentin() {
    Paste("49 30N 2 18W");
    const int page = ShowPage(kParallelPage);
    Choose(page, parallel_page::kPattern, 4);
    Type(page, parallel_page::kCourse, "90");
    Type(page, parallel_page::kSpacing, "1");
    Type(page, parallel_page::kLeg, "60");
    Type(page, parallel_page::kLoops, "1");
  }

  // Pixels of the preview painted in the land's colour.
  int LandPixels() const {
    const QImage image = planView->preview()->grab().toImage();
    const QColor land(vestrand::kLandFill.r, vestrand::kLandFill.g, vestrand::kLandFill.b);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == land ? 1 : 0;
    }
    return count;
  }
};

TEST_F(LandTest, ThePreviewDrawsLandNearACoastAndNoneAtSea) {
  const struct {
    const char* datum;
    bool land;
  } cases[] = {{"40N 10W", false}, {"43 30N 3 45W", true}, {"49 30N 2 18W", true}};
  const int sector = ShowPage(kSectorPage);
  Type(sector, sector_page::kLeg, "8");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.datum);
    Paste(c.datum);
    const vestrand::FigureLand& land = planView->preview()->figure().land;
    EXPECT_EQ(!land.rings.empty(), c.land);
    EXPECT_EQ(!land.shores.empty(), c.land);
    EXPECT_EQ(LandPixels() > 0, c.land);
    EXPECT_FALSE(land.source.empty());  // the shorelines were looked at, at sea too
  }
  // A change that leaves the chart where it is keeps the layer made for it.
  const long long made = planView->preview()->landCache().made();
  Type(mainPanel, kSearchSpeed, "12");
  EXPECT_EQ(planView->preview()->landCache().made(), made);
  EXPECT_GT(LandPixels(), 0);
}

TEST_F(LandTest, ALegAcrossAPeninsulaIsWarnedAndTheFileStillWritten) {
  EnterCotentin();
  Press(Page(kParallelPage), parallel_page::kCommand);
  const std::string name = std::string("20121225143000 CS 90.gpx");
  EXPECT_THAT(Files(), ElementsAre(name));
  const std::string status = Text(mainPanel, kStatusLine);
  EXPECT_THAT(status, HasSubstr("Written: " + name + "; leg 1 of " + kRoute +
                                " crosses land at N49º 30.00' W001º 5"));
  EXPECT_THAT(status, HasSubstr("; turning point 2 of " + std::string(kRoute) +
                                " is on land at N49º 30.00' W001º 31.81'"));
  EXPECT_THAT(planView->summaryText(), HasSubstr("On land\tleg 1 of "));
  EXPECT_THAT(messages, IsEmpty());

  // In French, with the same numbers; without land, no warning.
  Choose(mainPanel, kLanguageSelector, 1);
  answer = 1;
  Press(Page(kParallelPage), parallel_page::kCommand);
  EXPECT_THAT(Text(mainPanel, kStatusLine),
              HasSubstr("; le point de virage 2 de " + std::string(kRoute) +
                        " est à terre en N49º 30.00' W001º 31.81'"));
  win->landMenu()->action(LandSetting::None)->trigger();
  Press(Page(kParallelPage), parallel_page::kCommand);
  EXPECT_THAT(Text(mainPanel, kStatusLine), Not(HasSubstr("terre")));
  EXPECT_TRUE(planView->preview()->figure().land.rings.empty());
}

TEST_F(LandTest, TheBriefingIsWrittenWithLandUnderItsChart) {
  EnterCotentin();
  const std::string name = "20121225143000 CS 90 briefing.pdf";
  win->saveBriefing();
  ASSERT_THAT(Files(), ElementsAre(name));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("; leg 1 of "));
  const auto withLand = std::filesystem::file_size(name);
  // The land is drawn: the same briefing without it is smaller.
  win->landMenu()->action(LandSetting::None)->trigger();
  answer = 1;
  win->saveBriefing();
  EXPECT_LT(std::filesystem::file_size(name), withLand);
  EXPECT_THAT(Text(mainPanel, kStatusLine), Not(HasSubstr("; leg 1 of ")));
}

TEST_F(LandTest, TheLandSettingIsRemembered) {
  EXPECT_EQ(win->landSetting(), LandSetting::Automatic);
  EXPECT_TRUE(win->landMenu()->action(LandSetting::Automatic)->isChecked());
  win->landMenu()->action(LandSetting::Low)->trigger();
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Land from the low resolution shorelines");
  EXPECT_EQ(QSettings(SettingsFile(), QSettings::IniFormat).value("land").toInt(),
            static_cast<int>(LandSetting::Low));
  Close();
  Open();
  EXPECT_EQ(win->landSetting(), LandSetting::Low);
  EXPECT_TRUE(win->landMenu()->action(LandSetting::Low)->isChecked());
  // A setting beyond the menu's is no setting: the defaults are used.
  Close();
  QSettings(SettingsFile(), QSettings::IniFormat).setValue("land", 7);
  Open();
  EXPECT_EQ(win->landSetting(), LandSetting::Automatic);
  EXPECT_EQ(Text(mainPanel, kStatusLine),
            "The remembered settings could not be read; the defaults are used");
}

}  // namespace
}  // namespace gui_test
