// The one way every file is written: refusals, failures, interrupts and leftovers.
#include "safe_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using vestrand::FileBatch;
using vestrand::SafeFile;
using vestrand::testing::readFile;
using vestrand::testing::ScratchDir;
namespace hooks = vestrand::safe_file_testing;

void put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> entries() {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(".")) names.insert(e.path().filename().string());
  return names;
}

// The notes of a child process, through a pipe.
int notesPipe = -1;
void noteToPipe(const std::string& note) {
  const std::string line = note + "\n";
  [[maybe_unused]] const ssize_t n = ::write(notesPipe, line.data(), line.size());
}

// Runs `body` in a child process, which exits 0 when it returns true. Returns the wait status and
// the notes the child gave, or with `standardError` everything it wrote there.
template <typename Body>
std::pair<int, std::string> inChild(Body body, bool standardError = false) {
  int ends[2];
  if (::pipe(ends) != 0) return {-1, "no pipe"};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    notesPipe = ends[1];
    if (standardError) {
      ::dup2(ends[1], STDERR_FILENO);
    } else {
      vestrand::setNoteFunction(noteToPipe);
    }
    ::_exit(body() ? 0 : 1);
  }
  ::close(ends[1]);
  std::string notes;
  char buffer[512];
  for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) notes.append(buffer, n);
  ::close(ends[0]);
  int status = -1;
  ::waitpid(child, &status, 0);
  return {status, notes};
}

// Every case runs with unnamed data files and with named temporaries, the two ways a
// filesystem may offer.
class SafeFileTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { hooks::SetUnnamedFiles(GetParam()); }
  void TearDown() override {
    hooks::SetUnnamedFiles(true);
    hooks::SetWriteFunction(nullptr);
    hooks::SetStepHook(nullptr);
    vestrand::setNoteFunction(nullptr);
  }
  ScratchDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Ways, SafeFileTest, ::testing::Values(true, false),
                         [](const auto& way) { return way.param ? "unnamed" : "named"; });

TEST_P(SafeFileTest, RefusesWhatIsNoWritableRegularFile) {
  put("data.txt", "earlier");
  put("protected.txt", "earlier");
  ::chmod("protected.txt", 0444);
  fs::create_symlink("data.txt", "link.txt");
  fs::create_symlink("missing.txt", "dangling.txt");
  fs::create_directory("folder.txt");
  ::mkfifo("fifo.txt", 0644);
  const struct {
    const char* path;
    const char* reason;
  } cases[] = {
      {"link.txt", "it is a symbolic link"},
      {"dangling.txt", "it is a symbolic link"},
      {"folder.txt", "Is a directory"},
      {"fifo.txt", "it is not a regular file (a device, a FIFO or a socket)"},
      {"/dev/null", "it is not a regular file (a device, a FIFO or a socket)"},
      {"protected.txt", getuid() == 0 ? "it is write-protected" : "Permission denied"},
      {"missing/x.txt", "No such file or directory"},
  };
  const auto before = entries();
  for (const auto& c : cases) {
    SafeFile file;
    EXPECT_FALSE(file.open(c.path)) << c.path;
    EXPECT_EQ(file.error(), std::string("cannot write '") + c.path + "': " + c.reason);
  }
  EXPECT_EQ(entries(), before);
  EXPECT_EQ(readFile("data.txt"), "earlier");
  EXPECT_EQ(readFile("protected.txt"), "earlier");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_P(SafeFileTest, ReplacesWholeKeepingPermissionsWithNamesOfAnyLegalLength) {
  const std::string name = std::string(250, 'n') + ".gpx";  // 254 bytes, the longest there is
  put(name, "earlier");
  ::chmod(name.c_str(), 0640);
  SafeFile file;
  ASSERT_TRUE(file.open(name)) << file.error();
  ASSERT_TRUE(file.write("new "));
  // Until commit the earlier file is what readers see; only a named temporary shows beside it.
  EXPECT_EQ(readFile(name), "earlier");
  EXPECT_EQ(entries().size(), GetParam() ? 1u : 2u);
  EXPECT_EQ(std::string(vestrand::anyTemporaryFile()).empty(), GetParam());
  ASSERT_TRUE(file.write("file"));
  ASSERT_TRUE(file.commit()) << file.error();
  EXPECT_EQ(readFile(name), "new file");
  EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), std::set<std::string>{name});
  EXPECT_STREQ(vestrand::anyTemporaryFile(), "");
}

TEST_P(SafeFileTest, FailedWriteLeavesTheEarlierFileAndNothingElse) {
  put("out.gpx", "earlier");
  // An injected short write: a full disk. A real file size limit is the command line's case.
  hooks::SetWriteFunction([](const void*, std::size_t, std::size_t, std::FILE*) -> std::size_t {
    errno = ENOSPC;
    return 0;
  });
  SafeFile full;
  ASSERT_TRUE(full.open("out.gpx"));
  EXPECT_FALSE(full.write("x"));
  EXPECT_FALSE(full.commit());
  EXPECT_EQ(full.error(), "cannot write 'out.gpx': No space left on device");
  EXPECT_EQ(readFile("out.gpx"), "earlier");
  EXPECT_EQ(entries(), std::set<std::string>{"out.gpx"});
}

// A signal at each step of a commit: the folder then holds the earlier file or the whole new
// one and nothing else, and the program ends as the signal ends it. SIGKILL runs no handler: a
// named temporary stays, and so does a finished unnamed file, which takes a temporary's name
// until it is published, for a later run to sweep.
TEST_P(SafeFileTest, InterruptAtAnyStepLeavesNoTemporaryAndNoHalfFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    for (const auto at : {hooks::Step::Opened, hooks::Step::Finished, hooks::Step::Published}) {
      put("out.gpx", "earlier");
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        vestrand::installInterruptCleanup();
        static int chosen;
        static hooks::Step when;
        chosen = signal;
        when = at;
        hooks::SetStepHook([](hooks::Step s, const std::string&) {
          if (s == when) ::raise(chosen);
        });
        SafeFile file;
        file.open("out.gpx");
        file.write("new file");
        file.commit();
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
      EXPECT_EQ(readFile("out.gpx"), at == hooks::Step::Published ? "new file" : "earlier");
      auto left = entries();
      EXPECT_EQ(left.erase("out.gpx"), 1u);
      const bool kept = signal == SIGKILL &&
                        (at == hooks::Step::Finished || (at == hooks::Step::Opened && !GetParam()));
      EXPECT_EQ(left.size(), kept ? 1u : 0u) << signal << " " << int(at);
      for (const auto& name : left) {
        EXPECT_TRUE(name.starts_with(".vestrand-") && name.ends_with(".tmp")) << name;
        fs::remove(name);
      }
    }
  }
}

TEST_P(SafeFileTest, LeftoversOfEndedProcessesGoAtTheNextWrite) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone);
  const std::string alive = std::to_string(::getppid());
  // Hour-old files, one of them no leftover by its name: a leftover still being written may
  // belong to a writer elsewhere, so only old ones go.
  const std::string old[] = {".vestrand-" + dead + "-0.tmp", "p.gpx.part" + dead + "-3",
                             "notes.part" + dead + "-1"};
  const std::string kept[] = {".vestrand-" + alive + "-0.tmp", "p.svg.part" + alive + "-0",
                              ".vestrand-" + dead + "-9.tmp", old[2]};
  for (const auto& name : kept) put(name, "kept");
  const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
  for (const auto& name : old) {
    put(name, "left");
    ::utimensat(AT_FDCWD, name.c_str(), times, 0);
  }
  // A folder is swept once per run, so this test writes into a folder of its own.
  static std::string notes;
  notes.clear();
  vestrand::setNoteFunction([](const std::string& note) { notes += note; });
  SafeFile file;
  ASSERT_TRUE(file.open("new.gpx"));
  ASSERT_TRUE(file.commit());
  std::set<std::string> expected(std::begin(kept), std::end(kept));
  expected.insert("new.gpx");
  EXPECT_EQ(entries(), expected);
  EXPECT_TRUE(notes.starts_with("found 3 temporary files in the current folder")) << notes;
  EXPECT_TRUE(
      notes.ends_with("; removed 2; kept 1 changed within the last minute, which another "
                      "computer may be writing"))
      << notes;
}

TEST_P(SafeFileTest, ABatchPutsEveryFileInPlaceOrNone) {
  put("a.gpx", "earlier");
  {
    FileBatch twice;
    ASSERT_NE(twice.create("a.gpx"), nullptr);
    EXPECT_EQ(twice.create("./a.gpx"), nullptr);
    EXPECT_EQ(twice.error(), "cannot write './a.gpx': the run names this file twice");
  }
  {
    FileBatch failing;
    SafeFile* first = failing.create("a.gpx");
    ASSERT_NE(first, nullptr);
    first->write("new");
    EXPECT_EQ(failing.create("missing/b.svg"), nullptr);
    EXPECT_EQ(failing.error(), "cannot write 'missing/b.svg': No such file or directory");
  }
  EXPECT_EQ(readFile("a.gpx"), "earlier");
  EXPECT_EQ(entries(), std::set<std::string>{"a.gpx"});

  // More files than are kept open at once.
  FileBatch many;
  for (int i = 0; i < 100; ++i) {
    SafeFile* file = many.create("part" + std::to_string(i) + ".rtz");
    ASSERT_NE(file, nullptr) << many.error();
    file->write(std::to_string(i));
  }
  ASSERT_TRUE(many.commit()) << many.error();
  EXPECT_EQ(many.written().size(), 100u);
  EXPECT_EQ(readFile("part99.rtz"), "99");
  EXPECT_EQ(entries().size(), 101u);
}

// A signal while the run's files are renamed into place waits until the last is in place; one
// while they are finished leaves none. Either way no temporary stays.
TEST_P(SafeFileTest, InterruptedRunIsPutInPlaceWholeOrNotAtAll) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    for (const auto at : {hooks::Step::Finished, hooks::Step::Published}) {
      for (int i = 0; i < 5; ++i) put("part" + std::to_string(i) + ".rtz", "earlier");
      static int chosen;
      static hooks::Step when;
      chosen = signal;
      when = at;
      const auto [status, notes] = inChild([] {
        vestrand::installInterruptCleanup();
        hooks::SetStepHook([](hooks::Step s, const std::string& path) {
          if (s == when && path == (when == hooks::Step::Finished ? "part4.rtz" : "part0.rtz")) {
            ::raise(chosen);
          }
        });
        FileBatch batch;
        for (int i = 0; i < 5; ++i) batch.create("part" + std::to_string(i) + ".rtz")->write("new");
        batch.commit();
        return true;
      });
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
      const bool placed = at == hooks::Step::Published;
      EXPECT_EQ(notes, placed ? "interrupted after the run's 5 files were put in place\n" : "");
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(readFile("part" + std::to_string(i) + ".rtz"), placed ? "new" : "earlier");
      }
      EXPECT_EQ(entries().size(), 5u) << signal;
    }
  }
}

// SIGKILL between two renames leaves part of the run and the temporaries of the rest; the next
// write into the folder says so, and removes them once they are a minute old.
TEST_P(SafeFileTest, RunKilledWhilePuttingFilesInPlaceIsReportedByTheNext) {
  const auto [status, notes] = inChild([] {
    hooks::SetStepHook([](hooks::Step s, const std::string& path) {
      if (s == hooks::Step::Published && path == "b.rtz") ::raise(SIGKILL);
    });
    FileBatch batch;
    for (const char* name : {"a.rtz", "b.rtz", "c.rtz", "d.rtz"}) batch.create(name)->write("new");
    batch.commit();
    return true;
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(notes, "");
  std::vector<std::string> leftovers;
  for (const auto& name : entries()) {
    if (name.starts_with(".vestrand-")) leftovers.push_back(name);
  }
  ASSERT_EQ(leftovers.size(), 2u);
  const int killed = std::stoi(leftovers[0].substr(10));
  const std::string found =
      "found 2 temporary files in the current folder of a run that ended "
      "before putting its files in place (process " +
      std::to_string(killed) + "): files it wrote there may be missing or older than the others; ";
  const auto next = [] {
    SafeFile file;
    return file.open("next.gpx") && file.commit();
  };
  const auto [recent, recentNotes] = inChild(next);
  EXPECT_EQ(recent, 0);
  EXPECT_EQ(
      recentNotes,
      found + "kept 2 changed within the last minute, which another computer may be writing\n");
  const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 120, 0}};
  for (const auto& name : leftovers) ::utimensat(AT_FDCWD, name.c_str(), times, 0);
  const auto [old, oldNotes] = inChild(next);
  EXPECT_EQ(old, 0);
  EXPECT_EQ(oldNotes, found + "removed 2\n");
  EXPECT_EQ(entries(), (std::set<std::string>{"a.rtz", "b.rtz", "next.gpx"}));
}

// The note goes to standard error under the program's name, with the folder's control characters
// shown, not acted on.
TEST_P(SafeFileTest, NotesShowControlCharactersEscaped) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  fs::create_directory("a\x1b[2J\nb");
  const std::string leftover = "a\x1b[2J\nb/.vestrand-" + std::to_string(gone) + "-0.tmp";
  put(leftover, "left");
  const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
  ::utimensat(AT_FDCWD, leftover.c_str(), times, 0);
  const auto [status, text] = inChild(
      [] {
        SafeFile file;
        return file.open("a\x1b[2J\nb/new.gpx") && file.commit();
      },
      true);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text,
            "safe_file_test: found 1 temporary file in 'a\\x1b[2J\\nb' of a run that ended "
            "before putting its files in place (process " +
                std::to_string(gone) +
                "): files it wrote there may be missing or older than the others; "
                "removed 1\n");
}

// All files of a run in one folder hold one descriptor of it: far more files than the limit of
// open files still make one run.
TEST_P(SafeFileTest, ARunOfMoreFilesThanTheOpenFileLimitIsWritten) {
  const auto [status, notes] = inChild([] {
    const struct rlimit limit = {128, 128};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    FileBatch batch;
    for (int i = 0; i < 300; ++i) {
      SafeFile* file = batch.create("part" + std::to_string(i) + ".rtz");
      if (file == nullptr) return false;
      file->write("x");
    }
    return batch.commit();
  });
  EXPECT_EQ(status, 0) << notes;
  EXPECT_EQ(entries().size(), 300u);
}

// With the interrupt handling installed, a file size limit fails the write with the system's
// reason instead of ending the program.
TEST_P(SafeFileTest, FileSizeLimitIsAWriteError) {
  put("big.gpx", "earlier");
  const auto [status, notes] = inChild([] {
    vestrand::installInterruptCleanup();
    const struct rlimit limit = {1000, 1000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    SafeFile file;
    if (!file.open("big.gpx")) return false;
    file.write(std::string(4000, 'x'));
    return !file.commit() && file.error() == "cannot write 'big.gpx': File too large";
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile("big.gpx"), "earlier");
  EXPECT_EQ(entries(), std::set<std::string>{"big.gpx"});
}

}  // namespace
