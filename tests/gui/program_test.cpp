// The program itself: when it cannot start it says why on standard error and returns -1 (exit
// status 255).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

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

}  // namespace
