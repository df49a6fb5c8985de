// The drift group's object class and wind: the three datums are the library's, the downwind one
// becomes the datum, the preview marks all three and the briefing lists them; the leeway by hand
// is as it was.
#include <QComboBox>
#include <QListWidget>
#include <QProcess>
#include <cmath>

#include "DriftObject.h"
#include "datums.h"
#include "number_text.h"
#include "position_text.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

class DriftObjectTest : public WindowTest {
 protected:
  // Chooses the class with key `key` (or leaves the leeway by hand for null) and the wind.
  void ChooseClass(const char* key, const char* windFrom, const char* windSpeed) {
    auto* mode = win->widget<QComboBox>("driftLeewayMode");
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(key != nullptr ? 1 : 0);
    if (key == nullptr) return;
    win->widget<QLineEdit>("driftObjectFilter")->setText(key);
    ASSERT_TRUE(win->driftObject()->chooser()->choose(key));
    win->widget<QLineEdit>("driftWindFrom")->setText(windFrom);
    win->widget<QLineEdit>("driftWindSpeed")->setText(windSpeed);
  }

  std::vector<std::string> MarkNames() const {
    std::vector<std::string> names;
    for (const vestrand::FigureMark& m : planView->preview()->figure().marks) {
      names.push_back(m.name.text);
    }
    return names;
  }
};

// A class whose sides diverge, so that left and right differ; the current adds to all three.
TEST_F(DriftObjectTest, TheThreeDatumsAreTheLibrarysAndTheDownwindOneIsTheDatum) {
  ChooseClass("LIFE-RAFT-DB-10", "200", "25");
  EnterDrift({"43 30.0 N 3 45.0 W", "6", "45", "0.5", "", ""});
  const vestrand::Datums want = vestrand::leewayDatums(
      43.5, -3.75, 6.0, {45, 0.5},
      vestrand::leewayOf(*vestrand::leewayClassByKey("LIFE-RAFT-DB-10"), 200.0, 25.0));
  ASSERT_TRUE(want.diverges());
  const AppliedDrift* got = win->currentDrift();
  ASSERT_NE(got, nullptr) << Text(mainPanel, kStatusLine);
  for (const auto& [g, w] :
       {std::pair{&got->datums.left, &want.left}, std::pair{&got->datums.right, &want.right},
        std::pair{&got->datums.downwind, &want.downwind}}) {
    EXPECT_NEAR(g->lat, w->lat, 1e-9);
    EXPECT_NEAR(g->lon, w->lon, 1e-9);
  }
  EXPECT_NEAR(got->datums.divergence, want.divergence, 1e-9);
  EXPECT_NEAR(GetDegLatitude(mainPanel), std::round(want.downwind.lat * 360000.0) / 360000.0, 1e-9);
  EXPECT_NEAR(GetDegLongitude(mainPanel), std::round(want.downwind.lon * 360000.0) / 360000.0,
              1e-9);
  const auto at = [](const vestrand::DriftedDatum& p) {
    return vestrand::positionText(p.lat, p.lon);
  };
  EXPECT_EQ(Text(mainPanel, kStatusLine),
            win->texts().get(vestrand::Text::DriftDatumsApplied,
                             {at(want.downwind), at(want.left), at(want.right),
                              vestrand::fixedText(want.divergence, 2)}));
  ShowPage(kSectorPage);
  EXPECT_THAT(MarkNames(), ::testing::IsSupersetOf({"Datum L", "Datum R", "Datum DW"}));
}

// Back to the leeway by hand after a class: today's one datum, no side datums marked.
TEST_F(DriftObjectTest, TheLeewayByHandStillGivesOneDatum) {
  ChooseClass("PIW-1", "90", "20");
  ChooseClass(nullptr, nullptr, nullptr);
  EnterDrift({"43 30.0 N 3 45.0 W", "2.5", "45", "1", "200", "0.8"});
  const vestrand::DriftedDatum d = vestrand::driftedDatum(43.5, -3.75, 2.5, {45, 1}, {200, 0.8});
  EXPECT_NEAR(GetDegLatitude(mainPanel), std::round(d.lat * 360000.0) / 360000.0, 1e-9);
  EXPECT_NEAR(GetDegLongitude(mainPanel), std::round(d.lon * 360000.0) / 360000.0, 1e-9);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Datum drifted"));
  ShowPage(kSectorPage);
  EXPECT_THAT(MarkNames(), ::testing::Not(::testing::Contains("Datum L")));
}

TEST_F(DriftObjectTest, AWindOutOfRangeIsRefusedByName) {
  struct Case {
    const char* from;
    const char* speed;
    const char* reason;
  };
  for (const Case& c : {Case{"200", "101", "Wind speed (kn) must be from 0 to 100"},
                        Case{"200", "-1", "Wind speed (kn) must be from 0 to 100"},
                        Case{"200", "fast", "Wind speed (kn) holds 'fast', not a number"},
                        Case{"200", "", "Wind speed (kn) is empty"},
                        Case{"361", "10", "Wind from (\u00B0T) must be from -360 to 360"}}) {
    SCOPED_TRACE(c.reason);
    const double lat = GetDegLatitude(mainPanel), lon = GetDegLongitude(mainPanel);
    ChooseClass("PIW-1", c.from, c.speed);
    EnterDrift({"43.5 -3.75", "2", "", "", "", ""});
    EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr(c.reason));
    EXPECT_EQ(GetDegLatitude(mainPanel), lat);
    EXPECT_EQ(GetDegLongitude(mainPanel), lon);
    EXPECT_EQ(win->currentDrift(), nullptr);
  }
}

// The briefing's drift section names the class and wind and lists the three datums.
TEST_F(DriftObjectTest, TheBriefingListsTheThreeDatums) {
  ChooseClass("LIFE-RAFT-DB-10", "200", "25");
  EnterDrift({"43 30.0 N 3 45.0 W", "6", "45", "0.5", "", ""});
  ShowPage(kParallelPage);
  Press(mainPanel, kBriefingButton);
  QProcess text;
  text.start("pdftotext", {"-layout", "20121225143000 PS_PM 0 briefing.pdf", "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const std::string words =
      QString::fromUtf8(text.readAllStandardOutput()).simplified().toStdString();
  const AppliedDrift* d = win->currentDrift();
  ASSERT_NE(d, nullptr);
  EXPECT_THAT(words, HasSubstr("LIFE-RAFT-DB-10, wind from 200°T at 25 kn"));
  for (const vestrand::DriftedDatum* p : {&d->datums.left, &d->datums.right, &d->datums.downwind}) {
    const std::string at =
        QString::fromStdString(vestrand::positionText(p->lat, p->lon)).simplified().toStdString();
    EXPECT_THAT(words, HasSubstr(at));
  }
  EXPECT_THAT(words, HasSubstr(vestrand::fixedText(d->datums.divergence, 2) + " NM"));
}

}  // namespace
}  // namespace gui_test
