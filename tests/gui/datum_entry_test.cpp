// The datum entry: a position pasted into one field fills the datum, which is read back in
// every form; refusals are marked and said; a date or time not understood names no file.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <cstring>
#include <string>

#include "DatumEntry.h"
#include "position_text.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

constexpr double kSecondHundredth = 1.0 / 360000.0;  // what the seconds field keeps

class DatumEntryTest : public WindowTest {
 protected:
  // Pastes a text into the position field as an operator would, then presses Enter.
  static void Paste(const std::string& text) {
    auto* field = Control<QLineEdit>(mainPanel, kPositionField);
    QApplication::clipboard()->setText(QString::fromStdString(text));
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Return);
  }
  static bool Marked(int control) {
    return Control(mainPanel, control)->property(kNotUnderstoodProperty).toBool();
  }
};

// Both hemispheres' switches; the read-back's forms are the position texts' own.
TEST_F(DatumEntryTest, PastedPositionFillsTheDatumAndIsReadBack) {
  const struct {
    const char* text;
    double lat, lon;
  } cases[] = {{"43 30.5N 3 45.2W", 43.0 + 30.5 / 60.0, -(3.0 + 45.2 / 60.0)},
               {"43°30'30\"S 3°45'12\"E", -(43.0 + 30.5 / 60.0), 3.0 + 45.2 / 60.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Paste(c.text);
    EXPECT_NEAR(GetDegLatitude(mainPanel), c.lat, kSecondHundredth);
    EXPECT_NEAR(GetDegLongitude(mainPanel), c.lon, kSecondHundredth);
    EXPECT_FALSE(Marked(kPositionField));
  }
  EXPECT_EQ(
      Text(mainPanel, kDatumReadBack),
      "S43º 30.50'  E003º 45.20'\nS43º 30' 30.0\"  E003º 45' 12.0\"\nS43.508333º  E003.753333º");
  // The read-back follows the fields themselves too.
  Type(mainPanel, kLatitudeDegrees, "44");
  EXPECT_THAT(Text(mainPanel, kDatumReadBack), ::testing::StartsWith("S44º 30.50'"));
}

TEST_F(DatumEntryTest, TextNotUnderstoodIsMarkedAndSaidAndTheDatumStays) {
  Paste("43 30.5N 3 45.2W");
  const double lat = GetDegLatitude(mainPanel);
  const double lon = GetDegLongitude(mainPanel);
  Paste("91N 3W");
  EXPECT_TRUE(Marked(kPositionField));
  std::string reason;
  double ignored = 0.0;
  vestrand::parsePosition("91N 3W", ignored, ignored, reason);
  // The reason is longer than Text() reads.
  EXPECT_EQ(Control<QLabel>(mainPanel, kStatusLine)->text().toStdString(),
            "Position not understood: " + reason);
  EXPECT_EQ(GetDegLatitude(mainPanel), lat);
  EXPECT_EQ(GetDegLongitude(mainPanel), lon);
}

TEST_F(DatumEntryTest, StampNotUnderstoodIsMarkedAndNamesNoFile) {
  struct Case {
    int field;
    const char* text;
    const char* status;
  };
  const Case cases[] = {
      {kDateField, "2013/02/29", "The date field holds '2013/02/29'"},
      {kTimeField, "24:00:00", "The time field holds '24:00:00', not a time HH:MM:SS"},
  };
  const int sector = ShowPage(kSectorPage);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Type(mainPanel, c.field, c.text);
    EXPECT_TRUE(Marked(c.field));
    Press(sector, 4);
    EXPECT_THAT(Files(), ::testing::IsEmpty());
    EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr(c.status));
    // Stamping again clears both fields' marks, and the command writes.
    Press(mainPanel, kStampAgainButton);
    EXPECT_EQ(Text(mainPanel, kDateField), "2012/12/25");
    EXPECT_EQ(Text(mainPanel, kTimeField), "14:30:00");
    EXPECT_EQ(Text(mainPanel, kStatusLine), "Date and time stamped: 2012/12/25 14:30:00");
    EXPECT_FALSE(Marked(kDateField) || Marked(kTimeField));
  }
  Press(sector, 4);
  EXPECT_EQ(Files().size(), 1u);
}

TEST_F(DatumEntryTest, CopyPutsDegreesAndMinutesOnTheClipboard) {
  Paste("N43.5083 W3.7533");
  QApplication::clipboard()->clear();
  Press(mainPanel, kCopyPositionButton);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "N43º 30.50'  W003º 45.20'");
  // The entry speaks the language chosen.
  Choose(mainPanel, kLanguageSelector, 1);  // French
  Press(mainPanel, kCopyPositionButton);
  EXPECT_EQ(Text(mainPanel, kStatusLine),
            "Copié dans le presse-papiers : N43º 30.50'  W003º 45.20'");
}

}  // namespace
}  // namespace gui_test
