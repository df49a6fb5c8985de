// NMEA 0183 routes: the sentences against published examples and a real reader (GPSBabel), and
// their way to a plotter over UDP, TCP and a pseudo-terminal standing in for a serial port.
#include "nmea.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gpx_reader.h"
#include "nmea_link.h"
#include "test_support.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using vestrand::NmeaRoute;
using vestrand::NmeaUpload;
using vestrand::testing::ScratchDir;

// A sentence is whole: '$', a checksum that fits, CR LF, at most 82 characters.
void expectWhole(const std::string& s) {
  ASSERT_GE(s.size(), 6u) << s;
  EXPECT_LE(s.size(), vestrand::kNmeaMaxSentence) << s;
  EXPECT_EQ(s.front(), '$') << s;
  EXPECT_EQ(s.substr(s.size() - 2), "\r\n") << s;
  unsigned sum = 0;
  for (std::size_t i = 1; i < s.size() - 5; ++i) sum ^= static_cast<unsigned char>(s[i]);
  char expected[4];
  std::snprintf(expected, sizeof expected, "%02X", sum);
  EXPECT_EQ(s[s.size() - 5], '*') << s;
  EXPECT_EQ(s.substr(s.size() - 4, 2), expected) << s;
}

std::vector<std::string> fields(const std::string& sentence) {
  std::vector<std::string> out;
  std::string body = sentence.substr(1, sentence.find('*') - 1);
  for (std::size_t at = 0;;) {
    const std::size_t comma = body.find(',', at);
    out.push_back(body.substr(at, comma - at));
    if (comma == std::string::npos) return out;
    at = comma + 1;
  }
}

NmeaRoute line(const std::string& name, std::size_t points, std::size_t first = 1) {
  NmeaRoute route{name, {}, first};
  for (std::size_t i = 0; i < points; ++i) {
    route.points.push_back({40.0 + 0.01 * static_cast<double>(i), -10.0});
  }
  return route;
}

TEST(NmeaSentences, ChecksumsOfPublishedExamples) {
  EXPECT_EQ(vestrand::nmeaSentence("GPWPL,4807.038,N,01131.000,E,WPTNME"),
            "$GPWPL,4807.038,N,01131.000,E,WPTNME*5C\r\n");
  EXPECT_EQ(vestrand::nmeaSentence(
                "GPRTE,2,1,c,0,PBRCPK,PBRTO,PTELGR,PPLAND,PYAMBU,PPFAIR,PWARRN,PMORTL,PLISMR"),
            "$GPRTE,2,1,c,0,PBRCPK,PBRTO,PTELGR,PPLAND,PYAMBU,PPFAIR,PWARRN,PMORTL,PLISMR*73\r\n");
}

TEST(NmeaSentences, PositionsInDegreesAndMinutes) {
  const struct {
    double value;
    const char* lat;
    const char* lon;
  } cases[] = {
      {48.1173, "4807.0380,N", "04807.0380,E"},
      {-3.75, "0345.0000,S", "00345.0000,W"},
      {-0.0, "0000.0000,N", "00000.0000,E"},
      {-1e-9, "0000.0000,N", "00000.0000,E"},       // rounds to no minutes: no hemisphere sign
      {43.9999999, "4400.0000,N", "04400.0000,E"},  // 59.999994' carries into the degrees
      {90.0, "9000.0000,N", "09000.0000,E"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vestrand::nmeaLatitude(c.value), c.lat) << c.value;
    EXPECT_EQ(vestrand::nmeaLongitude(c.value), c.lon) << c.value;
  }
  // Patterns may run past the antimeridian; plotters take -180..180.
  EXPECT_EQ(vestrand::nmeaLongitude(190.5), "16930.0000,W");
  EXPECT_EQ(vestrand::nmeaLongitude(-359.0), "00100.0000,E");
}

TEST(NmeaSentences, NamePrefixesComeFromTheRoute) {
  const std::pair<const char*, const char*> cases[] = {
      {"20121225143000 - VS 30.0", "VS"},
      {"20121225143000 - PS-left 0.0", "PS"},
      {"big - SS 0.0 (1/2)", "SS"},
      {"leg-1 - P1P2", "P"},
      {"Harbour \xE2\x86\x92 buoy", "HARBOUR"},
      {"2020-01-01", "WP"},
      {"", "WP"},
  };
  for (const auto& [name, prefix] : cases) EXPECT_EQ(vestrand::nmeaNamePrefix(name), prefix);
}

TEST(NmeaSentences, ThirtyPointsSplitOverRteSentences) {
  NmeaUpload upload;
  std::string error;
  ASSERT_TRUE(vestrand::makeNmeaUpload({line("x - CS 0.0", 30)}, "GP", 0, upload, error));
  ASSERT_EQ(upload.names.size(), 30u);
  EXPECT_EQ(upload.names.front(), "CS01");
  EXPECT_EQ(upload.names.back(), "CS30");
  std::vector<std::string> listed;
  std::size_t rte = 0;
  for (std::size_t i = 0; i < upload.sentences.size(); ++i) {
    const std::string& s = upload.sentences[i];
    expectWhole(s);
    const std::vector<std::string> f = fields(s);
    if (i < 30) {  // the waypoints first, in order
      ASSERT_EQ(f.size(), 6u) << s;
      EXPECT_EQ(f[0], "GPWPL");
      EXPECT_EQ(f[5], upload.names[i]);
      continue;
    }
    ASSERT_EQ(f[0], "GPRTE") << s;
    ++rte;
    EXPECT_EQ(f[2], std::to_string(rte));
    EXPECT_EQ(f[3], "c");
    EXPECT_EQ(f[4], "CS 0.0");
    listed.insert(listed.end(), f.begin() + 5, f.end());
  }
  // 30 names of 4 characters: the route's header leaves room for 11 a sentence, so 3 sentences.
  EXPECT_EQ(rte, 3u);
  for (std::size_t i = 30; i < upload.sentences.size(); ++i) {
    EXPECT_EQ(fields(upload.sentences[i])[1], std::to_string(rte));
  }
  EXPECT_EQ(listed, upload.names);
}

TEST(NmeaSentences, NamesAreUniqueAndShortOverRoutesOfAFile) {
  // Two routes of a file of 1,500 points, the second sent alone: four digits, prefix of two.
  NmeaUpload all, second;
  std::string error;
  const std::vector<NmeaRoute> routes = {line("a - PS-left 0.0", 700),
                                         line("a - PS-right 0.0", 800, 701)};
  ASSERT_TRUE(vestrand::makeNmeaUpload(routes, "II", 0, all, error)) << error;
  ASSERT_TRUE(vestrand::makeNmeaUpload({routes[1]}, "II", 1500, second, error)) << error;
  const std::set<std::string> unique(all.names.begin(), all.names.end());
  EXPECT_EQ(unique.size(), 1500u);
  for (const std::string& name : all.names) EXPECT_LE(name.size(), vestrand::kNmeaMaxName);
  EXPECT_EQ(all.names[0], "PS0001");
  EXPECT_EQ(all.names[700], "PS0701");
  EXPECT_EQ(second.names, std::vector<std::string>(all.names.begin() + 700, all.names.end()));
  for (const std::string& s : all.sentences) expectWhole(s);
}

TEST(NmeaSentences, RefusesWhatCannotBeSent) {
  NmeaUpload upload;
  std::string error;
  EXPECT_FALSE(vestrand::makeNmeaUpload({line("r", 3)}, "gp", 0, upload, error));
  EXPECT_NE(error.find("talker 'gp'"), std::string::npos) << error;
  EXPECT_FALSE(vestrand::makeNmeaUpload({line("r", 1)}, "GP", 0, upload, error));
  EXPECT_NE(error.find("the route 'r' has 1 point"), std::string::npos) << error;
  NmeaRoute bad = line("r", 2);
  bad.points[1].lat = NAN;
  EXPECT_FALSE(vestrand::makeNmeaUpload({bad}, "GP", 0, upload, error));
  EXPECT_FALSE(vestrand::makeNmeaUpload({line("r", 2)}, "GP", 1000000, upload, error));
  EXPECT_NE(error.find("1000000 points"), std::string::npos) << error;
}

// GPSBabel, a reader written by others, reads every waypoint back to the same position to a
// ten-thousandth of a minute.
TEST(NmeaSentences, GpsbabelReadsTheWaypointsBack) {
  ScratchDir dir;
  NmeaRoute route{"x - SS 0.0", {}, 1};
  for (const auto& [lat, lon] : std::vector<std::pair<double, double>>{{40.0, -10.0},
                                                                       {40.028867513, -9.978238611},
                                                                       {-33.8567844, 151.2152967},
                                                                       {43.9999999, -3.0000001},
                                                                       {-0.00001, 0.00001},
                                                                       {12.5, 190.25},
                                                                       {-89.5, -179.99}}) {
    route.points.push_back({lat, lon});
  }
  NmeaUpload upload;
  std::string error;
  ASSERT_TRUE(vestrand::makeNmeaUpload({route}, "GP", 0, upload, error)) << error;
  {
    std::ofstream out("route.nmea", std::ios::binary);
    for (const std::string& s : upload.sentences) out << s;
  }
  const std::string command =
      std::string(VESTRAND_GPSBABEL) + " -i nmea -f route.nmea -o gpx -F back.gpx 2>gpsbabel.err";
  ASSERT_EQ(std::system(command.c_str()), 0) << vestrand::testing::readFile("gpsbabel.err");
  vestrand::GpxDocument back;
  ASSERT_TRUE(vestrand::readGpxFile("back.gpx", back, error)) << error;
  ASSERT_EQ(back.waypoints.size(), route.points.size());
  constexpr double kTenThousandthMinute = 1e-4 / 60.0;  // degrees
  for (std::size_t i = 0; i < route.points.size(); ++i) {
    const auto& p = route.points[i];
    const double lon = p.lon > 180.0 ? p.lon - 360.0 : p.lon;
    EXPECT_EQ(back.waypoints[i].name, upload.names[i]);
    EXPECT_NEAR(back.waypoints[i].lat, p.lat, kTenThousandthMinute) << i;
    EXPECT_NEAR(back.waypoints[i].lon, lon, kTenThousandthMinute) << i;
  }
}

// --- The ways to the plotter ------------------------------------------------------------------

std::vector<std::string> someSentences() {
  NmeaUpload upload;
  std::string error;
  EXPECT_TRUE(vestrand::makeNmeaUpload({line("x - VS 30.0", 30)}, "GP", 0, upload, error));
  return upload.sentences;
}

// A listening socket on the loopback, any free port.
int listener(int type, std::string& port) {
  const int fd = ::socket(AF_INET, type, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      (type == SOCK_STREAM && ::listen(fd, 1) != 0) ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::close(fd);
    return -1;
  }
  port = std::to_string(ntohs(address.sin_port));
  return fd;
}

// Reads until `want` bytes came or nothing came for two seconds.
std::string readAvailable(int fd, std::size_t want, bool datagrams) {
  std::string got;
  char buffer[4096];
  pollfd p{fd, POLLIN, 0};
  while (got.size() < want && ::poll(&p, 1, 2000) == 1) {
    const ssize_t n =
        datagrams ? ::recv(fd, buffer, sizeof buffer, 0) : ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
    if (datagrams) got += '|';  // one sentence a datagram, as listeners expect
  }
  return got;
}

std::string joined(const std::vector<std::string>& sentences, const char* after) {
  std::string all;
  for (const std::string& s : sentences) all += s + after;
  return all;
}

TEST(NmeaLink, UdpSendsOneDatagramPerSentence) {
  std::string port;
  const int fd = listener(SOCK_DGRAM, port);
  ASSERT_GE(fd, 0);
  vestrand::NmeaTarget target;
  std::string error;
  ASSERT_TRUE(vestrand::parseNmeaTarget("udp:127.0.0.1:" + port, target, error)) << error;
  const std::vector<std::string> sentences = someSentences();
  vestrand::NmeaSendOptions options;
  options.pauseMs = 1;
  EXPECT_TRUE(vestrand::sendNmeaSentences(sentences, target, options, error)) << error;
  EXPECT_EQ(readAvailable(fd, joined(sentences, "|").size(), true), joined(sentences, "|"));
  ::close(fd);
}

TEST(NmeaLink, TcpSendsTheStream) {
  std::string port;
  const int fd = listener(SOCK_STREAM, port);
  ASSERT_GE(fd, 0);
  vestrand::NmeaTarget target;
  std::string error;
  ASSERT_TRUE(vestrand::parseNmeaTarget("tcp:[::ffff:127.0.0.1]:" + port, target, error));
  const std::vector<std::string> sentences = someSentences();
  vestrand::NmeaSendOptions options;
  options.pauseMs = 0;
  // The kernel completes the connection from the backlog before accept().
  EXPECT_TRUE(vestrand::sendNmeaSentences(sentences, target, options, error)) << error;
  const int peer = ::accept(fd, nullptr, nullptr);
  ASSERT_GE(peer, 0);
  EXPECT_EQ(readAvailable(peer, joined(sentences, "").size(), false), joined(sentences, ""));
  ::close(peer);
  ::close(fd);
}

TEST(NmeaLink, SerialPortIsAPseudoTerminalPairFromSocat) {
  ScratchDir dir;
  const std::string a = (dir.path() / "ttyA").string(), b = (dir.path() / "ttyB").string();
  const std::string first = "pty,raw,echo=0,link=" + a, second = "pty,raw,echo=0,link=" + b;
  const char* argv[] = {VESTRAND_SOCAT, first.c_str(), second.c_str(), nullptr};
  pid_t socat = 0;
  ASSERT_EQ(
      ::posix_spawn(&socat, VESTRAND_SOCAT, nullptr, nullptr, const_cast<char**>(argv), environ),
      0);
  for (int i = 0; i < 100 && !(fs::exists(a) && fs::exists(b)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const int reader = ::open(b.c_str(), O_RDONLY | O_NOCTTY);
  ASSERT_GE(reader, 0);
  vestrand::NmeaTarget target;
  std::string error;
  ASSERT_TRUE(vestrand::parseNmeaTarget(a, target, error));
  const std::vector<std::string> sentences = someSentences();
  vestrand::NmeaSendOptions options;
  options.baud = 38400;
  options.pauseMs = 1;
  std::size_t reported = 0;
  options.progress = [&](std::size_t sent) {
    reported = sent;
    return true;
  };
  std::string got;
  std::thread drain([&] { got = readAvailable(reader, joined(sentences, "").size(), false); });
  EXPECT_TRUE(vestrand::sendNmeaSentences(sentences, target, options, error)) << error;
  drain.join();
  EXPECT_EQ(got, joined(sentences, ""));
  EXPECT_EQ(reported, sentences.size());
  // The port keeps the settings it was given: 38400 baud, 8 data bits, no parity, 1 stop bit.
  const int port = ::open(a.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  termios settings{};
  ASSERT_EQ(::tcgetattr(port, &settings), 0);
  EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B38400));
  EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
  ::close(port);
  ::close(reader);
  ::kill(socat, SIGTERM);
  ::waitpid(socat, nullptr, 0);
  // A path that is no character device is refused before anything is sent.
  std::ofstream("plain") << "not a port";
  ASSERT_TRUE(vestrand::parseNmeaTarget("plain", target, error));
  EXPECT_FALSE(vestrand::sendNmeaSentences(sentences, target, options, error));
  EXPECT_EQ(error,
            "cannot send to serial port plain at 38400 baud: it is not a character device; "
            "nothing was sent");
}

TEST(NmeaLink, TargetsAreReadOrRefused) {
  vestrand::NmeaTarget t;
  std::string error;
  ASSERT_TRUE(vestrand::parseNmeaTarget("udp:plotter.local:10110", t, error));
  EXPECT_EQ(vestrand::nmeaTargetText(t, 4800), "UDP plotter.local:10110");
  ASSERT_TRUE(vestrand::parseNmeaTarget("tcp:[fe80::1]:2000", t, error));
  EXPECT_EQ(vestrand::nmeaTargetText(t, 4800), "TCP [fe80::1]:2000");
  ASSERT_TRUE(vestrand::parseNmeaTarget("/dev/ttyUSB0", t, error));
  EXPECT_EQ(vestrand::nmeaTargetText(t, 9600), "serial port /dev/ttyUSB0 at 9600 baud");
  for (const char* bad :
       {"udp:host", "udp::10110", "tcp:host:0", "tcp:host:65536", "udp:::1:5", "tcp:[::1]5", ""}) {
    EXPECT_FALSE(vestrand::parseNmeaTarget(bad, t, error)) << bad;
  }
}

}  // namespace
