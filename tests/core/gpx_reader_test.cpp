// The GPX reader: every file this program writes reads back to the same file, files of other
// programs read as they mean, and hostile files are refused with the file and the reason.
#include "gpx_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gpx.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using vestrand::GpxDocument;
using vestrand::testing::readFile;
using vestrand::testing::ScratchDir;

// Writes what was read with the program's own writer: routes, then waypoints, as it writes them.
std::string rewrite(const GpxDocument& doc) {
  ScratchDir dir;
  vestrand::SafeFile file;
  EXPECT_TRUE(file.open("again.gpx"));
  vestrand::GpxWriter gpx(file);
  for (const auto& route : doc.routes) {
    gpx.startRoute(route.name.c_str());
    for (const auto& p : route.points) gpx.routePoint(p.lat, p.lon, p.name.c_str());
    gpx.endRoute();
  }
  for (const auto& w : doc.waypoints) gpx.waypoint(w.lat, w.lon, w.name.c_str());
  EXPECT_TRUE(gpx.finish() && file.commit());
  return readFile("again.gpx");
}

TEST(GpxReader, EveryGoldenFileReadsBackToTheSameBytes) {
  for (const char* name :
       {"square-40N10W-c0-s1-n2.gpx", "sector-40N10W-c30-d2.gpx",
        "creeping-43.5N3.75W-c0-s1-l4-n1.gpx", "parallel-43.5N3.75W-c0-s1-l4-n1.gpx",
        "rhumbline-43.5N3.75W-44N3W.gpx"}) {
    const std::string path = std::string(VESTRAND_TEST_DATA) + "/" + name;
    GpxDocument doc;
    std::string error;
    ASSERT_TRUE(vestrand::readGpxFile(path, doc, error)) << error;
    EXPECT_FALSE(doc.routes.empty()) << name;
    EXPECT_EQ(rewrite(doc), readFile(path)) << name;
  }
}

TEST(GpxReader, ReadsGpx10AndOtherProgramsFiles) {
  // GPX 1.0 in Latin-1 with a track, extensions holding names of their own, a CDATA name,
  // entities, blanks and a plus sign around the numbers.
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
      "<gpx version=\"1.0\" creator=\"x\" xmlns=\"http://www.topografix.com/GPX/1/0\""
      " xmlns:e=\"urn:e\">\n"
      "<wpt lat=\" +43.5 \" lon=\"-3.75\"><ele>2</ele><name>Pe\xF1"
      "a &amp; co</name><e:x><name>no</name></e:x></wpt>\n"
      "<rte><name><![CDATA[R<1>]]></name><extensions><name>no</name></extensions>"
      "<rtept lat=\"1\" lon=\"2\"/><rtept lat=\"-1.25\" lon=\"359.5\"><name>B</name></rtept>"
      "</rte>\n"
      "<trk><trkseg><trkpt lat=\"0\" lon=\"0\"><time>2020-01-01T00:00:00Z</time></trkpt>"
      "</trkseg><trkseg/><name>T</name></trk></gpx>\n";
  GpxDocument doc;
  std::string error;
  ASSERT_TRUE(vestrand::readGpxBytes(text, "other.gpx", doc, error)) << error;
  ASSERT_EQ(doc.waypoints.size(), 1u);
  EXPECT_EQ(doc.waypoints[0].name,
            "Pe\xC3\xB1"
            "a & co");
  EXPECT_EQ(doc.waypoints[0].lat, 43.5);
  ASSERT_EQ(doc.routes.size(), 1u);
  EXPECT_EQ(doc.routes[0].name, "R<1>");
  ASSERT_EQ(doc.routes[0].points.size(), 2u);
  EXPECT_EQ(doc.routes[0].points[0].name, "");
  EXPECT_EQ(doc.routes[0].points[1].lon, 359.5);
  EXPECT_EQ(doc.routes[0].points[1].name, "B");
  ASSERT_EQ(doc.tracks.size(), 2u);
  EXPECT_EQ(doc.tracks[0].name, "T");
  EXPECT_EQ(doc.tracks[0].points.size(), 1u);
}

struct Hostile {
  const char* what;
  std::string text;
  const char* reason;
};

TEST(GpxReader, RefusesHostileFilesNamingFileAndReason) {
  const std::string head = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">";
  const auto rtept = [&](const std::string& attributes) {
    return head + "<rte><rtept " + attributes + "/></rte></gpx>";
  };
  const Hostile cases[] = {
      {"entity expansion",
       "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaa\"><!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;\">]><gpx><wpt lat=\"0\" lon=\"0\"><name>&b;</name></wpt></gpx>",
       "document type declaration"},
      {"external entity",
       "<!DOCTYPE gpx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><gpx>&x;</gpx>",
       "document type declaration"},
      {"network DTD", "<!DOCTYPE gpx SYSTEM \"http://192.0.2.1/gpx.dtd\"><gpx/>",
       "document type declaration"},
      {"undeclared entity", head + "<wpt lat=\"0\" lon=\"0\"><name>&x;</name></wpt></gpx>",
       "not well-formed XML"},
      {"cut file", head + "<rte><rtept lat=\"0\" lon=\"0\">",
       "ends before its elements are closed"},
      {"not XML", "lat,lon\n1,2\n", "not well-formed XML"},
      {"empty", "", "it is empty"},
      {"other root", "<kml/>", "root element is <kml>"},
      {"no lat", rtept("lon=\"1\""), "has no lat attribute"},
      {"bad number", rtept("lat=\"4x\" lon=\"1\""), "lat '4x' is not a number"},
      {"comma", rtept("lat=\"4,5\" lon=\"1\""), "is not a number"},
      {"hex", rtept("lat=\"0x10\" lon=\"1\""), "is not a number"},
      {"latitude", rtept("lat=\"90.0001\" lon=\"1\""), "lies beyond 90 degrees"},
      {"longitude", rtept("lat=\"0\" lon=\"-540.5\""), "lies beyond 540 degrees"},
      {"nan", rtept("lat=\"nan\" lon=\"1\""), "not a finite number"},
      {"infinity", rtept("lat=\"0\" lon=\"-inf\""), "not a finite number"},
      {"overflow", rtept("lat=\"1e400\" lon=\"1\""), "not a finite number"},
      {"long name",
       head + "<wpt lat=\"0\" lon=\"0\"><name>" + std::string(1001, 'n') + "</name></wpt></gpx>",
       "longer than 1000 bytes"},
  };
  for (const Hostile& c : cases) {
    GpxDocument doc;
    std::string error;
    EXPECT_FALSE(vestrand::readGpxBytes(c.text, "evil.gpx", doc, error)) << c.what;
    EXPECT_EQ(error.rfind("cannot read 'evil.gpx': ", 0), 0u) << c.what << ": " << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    EXPECT_TRUE(doc.routes.empty() && doc.waypoints.empty()) << c.what;
  }
  // The line is named where the file has one.
  GpxDocument doc;
  std::string error;
  EXPECT_FALSE(
      vestrand::readGpxBytes(head + "\n\n<wpt lat=\"91\" lon=\"0\"/></gpx>", "l.gpx", doc, error));
  EXPECT_NE(error.find("line 3: the wpt's lat '91' lies beyond 90 degrees"), std::string::npos)
      << error;
}

TEST(GpxReader, RefusesWhatIsNoRegularFileOrTooLarge) {
  ScratchDir dir;
  std::ofstream("big.gpx") << "<gpx>" << std::string(2000, ' ') << "</gpx>";
  ASSERT_EQ(::mkfifo("fifo.gpx", 0600), 0);
  fs::create_directory("folder.gpx");
  const std::pair<const char*, const char*> cases[] = {
      {"big.gpx", "larger than the 1000 bytes"},
      {"fifo.gpx", "not a regular file"},
      {"folder.gpx", "it is a folder"},
      {"missing.gpx", "No such file or directory"},
  };
  for (const auto& [path, reason] : cases) {
    GpxDocument doc;
    std::string error;
    EXPECT_FALSE(vestrand::readGpxFile(path, doc, error, 1000)) << path;
    EXPECT_NE(error.find(std::string("cannot read '") + path + "': "), std::string::npos) << error;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
