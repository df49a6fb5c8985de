// The program itself: when its layout cannot be loaded it says why on standard error and returns
// -1 (exit status 255).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

namespace {

using ::testing::HasSubstr;

struct Outcome {
  int status = -1;
  std::string errors;
};

Outcome RunProgram(
    const char* program, const QString& folder,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(folder);
  process.start(QString::fromUtf8(program), {});
  EXPECT_TRUE(process.waitForFinished(20000)) << program;
  return {process.exitCode(), process.readAllStandardError().toStdString()};
}

TEST(ProgramTest, BrokenLayoutBesideTheProgramIsReportedWithFileAndLine) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::ofstream(dir.filePath("Vestrand.uir").toStdString())
      << "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget class=\"QWidget\">\n</ui>\n";
  const Outcome outcome = RunProgram(VESTRAND_PROGRAM, dir.path());
  EXPECT_EQ(outcome.status, 255);
  EXPECT_THAT(outcome.errors, HasSubstr("Vestrand.uir:4:"));
}

TEST(ProgramTest, MissingLayoutIsReported) {
  // This build of the program carries no built-in layout, so an empty folder has none at all.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Outcome outcome = RunProgram(VESTRAND_PROGRAM_WITHOUT_BUILT_INS, dir.path());
  EXPECT_EQ(outcome.status, 255);
  EXPECT_THAT(outcome.errors,
              HasSubstr("Vestrand.uir is neither in the current directory nor built in"));
}

TEST(ProgramTest, MissingDisplayIsReportedInsteadOfAborting) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  const Outcome outcome = RunProgram(VESTRAND_PROGRAM, dir.path(), environment);
  EXPECT_EQ(outcome.status, 255);
  EXPECT_THAT(outcome.errors, HasSubstr("no display"));
}

}  // namespace
