// The plan preview and summary beside the search pages, driven through the real widgets.
#include <QImage>
#include <cstring>
#include <string>

#include "Languaje.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class PlanViewTest : public WindowTest {
 protected:
  const vestrand::PlanDrawing& Drawing() const { return planView->preview()->drawing(); }
  std::string Summary() const { return planView->summaryText(); }

  // The worked example: a sector search from 40°N 10°W, course 30, legs of 2 NM.
  void EnterWorkedExample() {
    EnterDatum("40", "0", "0", 1, "10", "0", "0", 0);
    const int sector = ShowPage(kSectorPage);
    Type(sector, 2, "30");
    Type(sector, 3, "2");
  }
};

TEST_F(PlanViewTest, SummaryShowsTheWorkedExample) {
  EnterWorkedExample();
  EXPECT_EQ(Summary(),
            "Pattern\tSector (VS), 1 unit\n"
            "Legs\t7\n"
            "Track length\t18.00 NM\n"
            "Search speed (kn)\t8 kn\n"
            "Time at search speed\t2:15 (2.25 h)\n"
            "Area searched\t4.00 NM along the course x 3.46 NM across, 13.86 NM²\n"
            "Unit 1\t20121225143000 - VS 30.0: 7 legs, 18.00 NM, 2:15 (2.25 h)\n"
            "Datum\tN40º  0.00'  W010º  0.00'\n"
            "CSP\tN39º 58.27'  W010º  1.30'\n");
  ASSERT_EQ(Drawing().routes.size(), 1u);
  EXPECT_EQ(Drawing().routes[0].points.size(), 8u);
  // Routes are named as in the file, stem included.
  EXPECT_EQ(Drawing().routes[0].name, "20121225143000 - VS 30.0");
  Type(mainPanel, kTimeField, "09:05:03");
  EXPECT_EQ(Drawing().routes[0].name, "20121225090503 - VS 30.0");
  Type(mainPanel, kSearchSpeed, "4");
  EXPECT_THAT(Summary(), HasSubstr("Time at search speed\t4:30 (4.50 h)\n"));
}

TEST_F(PlanViewTest, ChangingTheDatumMovesThePlan) {
  EnterWorkedExample();
  Type(mainPanel, kLatitudeDegrees, "41");
  EXPECT_DOUBLE_EQ(Drawing().datumLat, 41.0);
  EXPECT_THAT(Summary(), HasSubstr("Datum\tN41º  0.00'"));
  Choose(mainPanel, kLongitudeDegrees + 3, 1);  // east
  EXPECT_DOUBLE_EQ(Drawing().datumLon, 10.0);
  EXPECT_THAT(Summary(), HasSubstr("E010º  0.00'"));
}

TEST_F(PlanViewTest, TypingLoopsOrLegPairsRedrawsThePreview) {
  const struct { int tab, control; } fields[] = {{kParallelPage, 3}, {kSquarePage, 2}};
  for (const auto& f : fields) {
    const int page = ShowPage(f.tab);
    const long long before = planView->refreshCount();
    const std::size_t points = Drawing().pointCount();
    Type(page, f.control, "5");
    EXPECT_GT(planView->refreshCount(), before) << "page " << f.tab;
    EXPECT_NE(Drawing().pointCount(), points) << "page " << f.tab;
  }
  EXPECT_THAT(Summary(), HasSubstr("CSP/Datum\t"));
}

// The preview follows the pattern chosen and paints the plan library's figure for its size: the
// routes' lines in their units' colours where the figure puts them, the datum's cross in ink.
TEST_F(PlanViewTest, PreviewPaintsItsFigure) {
  Choose(ShowPage(kParallelPage), 2, 1);
  PlanPreview* preview = planView->preview();
  const vestrand::PlanFigure& figure = preview->figure();
  EXPECT_EQ(figure.size.width, preview->width());
  EXPECT_EQ(figure.size.height, preview->height());
  ASSERT_EQ(figure.routes.size(), 2u);

  const QImage image = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const auto colourAt = [&image](vestrand::PixelPoint p) {
    return image.pixel(static_cast<int>(p.x), static_cast<int>(p.y)) & 0xFFFFFF;
  };
  for (const vestrand::FigureRoute& route : figure.routes) {
    ASSERT_GE(route.line.size(), 2u);
    const vestrand::PixelPoint a = route.line[0].at, b = route.line[1].at;
    const QRgb colour = (route.colour.r << 16) | (route.colour.g << 8) | route.colour.b;
    EXPECT_EQ(colourAt({(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}), colour) << route.name;
  }
  ASSERT_EQ(figure.marks.front().shape, vestrand::MarkShape::Cross);
  EXPECT_EQ(colourAt(figure.marks.front().at), 0x202020u);
}

TEST_F(PlanViewTest, StartPageExplainsInsteadOfDrawing) {
  ShowPage(kSectorPage);
  ShowPage(kStartPage);
  EXPECT_TRUE(Drawing().routes.empty());
  EXPECT_EQ(planView->preview()->message().toStdString(), kEnglishExtras[8]);
  EXPECT_EQ(Summary(), "\t\n");
}

}  // namespace
}  // namespace gui_test
