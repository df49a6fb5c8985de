// The program itself: when it cannot start it says why on standard error and returns -1 (exit
// status 255).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

TEST(ProgramTest, FailedStartIsReportedOnStandardError) {
  const struct {
    const char* what;
    const char* layout;  // in the working folder, in place of the built-in copy; nullptr: none
    bool display;
    const char* reason;
  } cases[] = {
      {"broken layout",
       "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget class=\"QWidget\">\n</ui>\n", true,
       "Vestrand.uir:4:"},
      {"missing display", nullptr, false, "no display"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (c.layout != nullptr) std::ofstream(dir.filePath("Vestrand.uir").toStdString()) << c.layout;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!c.display) {
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
      }
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.start(QString::fromUtf8(VESTRAND_PROGRAM), {});
    ASSERT_TRUE(process.waitForFinished(20000)) << c.what;
    EXPECT_EQ(process.exitCode(), 255) << c.what;
    EXPECT_THAT(process.readAllStandardError().toStdString(), ::testing::HasSubstr(c.reason))
        << c.what;
  }
}

// The window handles interrupts and the file size limit as the command line does (the safe
// writer's tests show what that handling does): read from the running program's signal masks.
TEST(ProgramTest, InstallsTheCommandLinesSignalHandling) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcess process;
  process.setWorkingDirectory(dir.path());
  process.start(QString::fromUtf8(VESTRAND_PROGRAM), {});
  ASSERT_TRUE(process.waitForStarted(20000));
  const auto mask = [&](const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(process.processId()) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with(field + ":")) {
        return std::stoull(line.substr(field.size() + 1), nullptr, 16);
      }
    }
    return 0ull;
  };
  const auto bit = [](int signal) { return 1ull << (signal - 1); };
  const std::uint64_t caught = bit(SIGINT) | bit(SIGTERM) | bit(SIGHUP);
  for (int i = 0;
       i < 200 && ((mask("SigCgt") & caught) != caught || !(mask("SigIgn") & bit(SIGXFSZ))); ++i) {
    QThread::msleep(50);
  }
  EXPECT_EQ(mask("SigCgt") & caught, caught);
  EXPECT_NE(mask("SigIgn") & bit(SIGXFSZ), 0u);
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(20000));
  EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);  // ended by SIGTERM, as the handler ends it
}

}  // namespace
