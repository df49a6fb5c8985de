// Every file the programs write is put in place whole or not at all.
//
// A SafeFile is written beside its target and only takes the target's name in commit(), after
// its data is on the disk; the folder is synced after the rename, so a power cut or a pulled USB
// stick after "written" never leaves an empty or half file, and an earlier file of that name
// stays as it was until then.
//
// Where the filesystem allows it the data is an unnamed file of the target's folder (O_TMPFILE),
// so a SIGKILL while the data is written leaves nothing behind; at commit it is linked under a
// temporary name and then renamed over the target. Elsewhere (vfat, say) it is a named temporary
// ".vestrand-<pid>-<n>.tmp" from the start. Either name does not grow with the target's, and a
// later write into the folder removes such temporaries of processes that no longer run.
// Every named temporary of the process is known to the handlers of installInterruptCleanup().
// All files of the process in one folder share one descriptor of that folder, so a run of a
// thousand files stays far below the usual limit of 1024 open files.
//
// A target that is anything but a regular file (a folder, a symbolic link, a device, a FIFO, a
// socket) or that is write-protected is refused. A replaced file keeps its permissions.
//
// Failures read "cannot write 'PATH': REASON", the reason being the system's where it has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vestrand {

class OpenFolder;  // a folder's descriptor, shared by the files written there

class SafeFile {
 public:
  SafeFile();
  ~SafeFile();  // abandons a file that was not committed
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Starts a new file for `path`; a bare name lands in the current directory.
  // @return false when the target is refused or the data file cannot be created; error() says why
  bool open(const std::string& path);

  // Appends bytes. After the first failure nothing more is written and false is returned.
  bool write(const void* data, std::size_t size);
  bool write(std::string_view text) { return write(text.data(), text.size()); }

  // Fails the file with a reason of the caller's (a value it refuses to write); commit() then
  // puts nothing in place.
  void fail(const std::string& reason);

  // finish() then publish().
  bool commit();
  // Flushes the data to the disk and closes the file under a temporary name beside the target.
  bool finish();
  // Renames the finished file over the target and syncs the folder.
  bool publish();
  // Drops the file: the target is untouched and no temporary stays.
  void abandon();

  bool isOpen() const { return state_ == State::Writing; }
  bool failed() const { return !error_.empty(); }
  const std::string& path() const { return path_; }
  // Why the file failed; empty while all is well.
  const std::string& error() const { return error_; }
  std::uint64_t size() const { return size_; }
  // The stream the data goes through while writing, null otherwise.
  std::FILE* stream() const { return stream_; }

 private:
  friend class FileBatch;
  enum class State { Closed, Writing, Finished };
  bool failWith(int error);
  void release();
  // Renames the finished file over the target, leaving the folder's sync to the caller.
  bool rename();

  State state_ = State::Closed;
  std::string path_;
  std::string name_;                    // the target's name within its folder
  std::shared_ptr<OpenFolder> folder_;  // the target's folder, for the rename and its sync
  std::FILE* stream_ = nullptr;
  bool unnamed_ = false;
  bool replacing_ = false;
  unsigned mode_ = 0;           // permissions of the file replaced
  std::string temporary_;       // name of the temporary within the folder, empty while unnamed
  struct Registration;          // the temporary as the interrupt handlers know it
  Registration* registration_;  // never null
  std::string error_;
  std::uint64_t size_ = 0;
};

// The files of one run, put in place together: nothing is renamed into place before every file
// is complete, so a failure while writing any of them leaves every target as it was. While the
// renames run, SIGINT, SIGTERM and SIGHUP are held off (with installInterruptCleanup()): the run
// is put in place whole, then the program says so (a note, see setNoteFunction()) and ends as
// the signal ends it. Only a failure of the renames themselves, or SIGKILL, can leave a run half in
// place; the error then says which files were written and which not, and a later write into the
// folder finds what SIGKILL left (see setNoteFunction()).
class FileBatch {
 public:
  FileBatch();
  ~FileBatch();  // abandons what was not committed
  FileBatch(const FileBatch&) = delete;
  FileBatch& operator=(const FileBatch&) = delete;

  // Opens one more file of the run.
  // @return the file to write, or null (error() says why) when the path names a file already in
  //   the run or the file cannot be opened; the run is then abandoned
  SafeFile* create(const std::string& path);

  // Finishes and publishes every file in the order created.
  bool commit();
  void abandon();

  // Paths put in place by commit(), in order.
  const std::vector<std::string>& written() const { return written_; }
  const std::string& error() const { return error_; }

 private:
  // Renames every finished file into place and syncs their folders.
  bool place();

  std::vector<std::unique_ptr<SafeFile>> files_;
  std::vector<std::string> keys_;  // the files' folders and names, to find one named twice
  std::vector<std::string> written_;
  std::string error_;
};

// True when two paths name the same file (the same folder and name, however spelt), whether or
// not it exists yet.
bool sameFile(const std::string& a, const std::string& b);

// Makes SIGINT, SIGTERM and SIGHUP remove every temporary file of the process before it ends as
// the signal would have ended it (so the exit status says it was interrupted), and makes a file
// size limit an ordinary write error instead of a kill. Call once at start, before any thread.
void installInterruptCleanup();

// Where the writer's notes go. The first write of a run into a folder that holds temporaries of a
// process no longer running (a run killed with SIGKILL, or a crash) says what it found and what it
// did with them, and a run interrupted while its files were renamed into place says that it put
// them all in place. By default "<program>: <note>" goes to standard error, control characters
// shown escaped. Null restores the default.
using NoteFunction = void (*)(const std::string& note);
void setNoteFunction(NoteFunction function);

// Removes every named temporary file of the process. Async-signal-safe.
void removeTemporaryFiles() noexcept;

// The name of one named temporary of the process, or the empty text. Async-signal-safe.
const char* anyTemporaryFile() noexcept;

namespace safe_file_testing {
// The one path of the data to the disk, with fwrite's contract; must set errno when it writes
// short. Null restores the real one.
using WriteFunction = std::size_t (*)(const void* data, std::size_t size, std::size_t count,
                                      std::FILE* stream);
void SetWriteFunction(WriteFunction function);
// Whether unnamed files may be used; false makes every file take the named-temporary way.
void SetUnnamedFiles(bool allowed);
// Called at each step of a commit, so a test can interrupt the program at that moment.
enum class Step { Opened, Finished, Published };
using StepHook = void (*)(Step step, const std::string& path);
void SetStepHook(StepHook hook);
}  // namespace safe_file_testing

}  // namespace vestrand
