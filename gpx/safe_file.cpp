#include "safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace vestrand {
namespace {

std::size_t realWrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream) {
  return fwrite_unlocked(data, size, count, stream);
}

safe_file_testing::WriteFunction writeFunction = realWrite;
bool unnamedAllowed = true;
safe_file_testing::StepHook stepHook = nullptr;

void step(safe_file_testing::Step s, const std::string& path) {
  if (stepHook != nullptr) stepHook(s, path);
}

std::string describe(const std::string& path, const std::string& reason) {
  return "cannot write '" + path + "': " + reason;
}

// A folder's name may hold control characters; on a terminal they would act, not show.
void noteOnStandardError(const std::string& note) {
  std::string shown;
  for (const char c : note) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\n') {
      shown += "\\n";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, shown.c_str());
}

NoteFunction noteFunction = noteOnStandardError;

// ---------------------------------------------------------------- temporaries and signals

// One named temporary as a signal handler sees it. Slots are never freed, only reused, so a
// handler walking the list never meets freed memory; the path is complete before `used` is set.
struct Slot {
  std::atomic<bool> used{false};
  char path[PATH_MAX] = {};
  Slot* next = nullptr;
};
std::atomic<Slot*> slots{nullptr};

Slot* takeSlot(const std::string& path) {
  if (path.size() >= PATH_MAX) return nullptr;
  Slot* slot = slots.load();
  while (slot != nullptr && slot->used.load()) slot = slot->next;
  if (slot == nullptr) {
    slot = new Slot;
    slot->next = slots.load();
    slots.store(slot);
  }
  std::memcpy(slot->path, path.c_str(), path.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  slot->used.store(true);
  return slot;
}

// While a run's files are renamed into place the handlers only keep the signal; the run then
// ends the program with it once every file is in place. A handler may run on any thread, so the
// signal is kept before `holding` is read: whichever side reads second ends the program.
std::atomic<int> holding{0};
std::atomic<int> heldSignal{0};

void endWith(int signal) {
  removeTemporaryFiles();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

extern "C" void removeTemporariesAndEnd(int signal) {
  heldSignal.store(signal);
  if (holding.load() > 0) return;
  endWith(signal);
}

// /proc/self/fd is how an unnamed file gets its name without privileges; without /proc there
// would be no way to keep the data, so the named way is taken from the start.
bool canNameUnnamedFiles() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

// The folder part and the name part of a path: "a/b.gpx" gives "a" and "b.gpx", "b.gpx" gives "."
// and "b.gpx", "/b.gpx" gives "/" and "b.gpx".
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A temporary left by a process that no longer runs: ".vestrand-<pid>-<n>.tmp", or the
// "<name>.part<pid>-<n>" that earlier versions wrote. Returns its process, or 0.
long leftoverProcess(const char* name) {
  const char* digits = nullptr;
  if (std::strncmp(name, ".vestrand-", 10) == 0) {
    digits = name + 10;
  } else if (const char* part = std::strstr(name, ".part"); part != nullptr && part != name) {
    const std::string_view before(name, static_cast<std::size_t>(part - name));
    if (!before.ends_with(".gpx") && !before.ends_with(".svg")) return 0;
    digits = part + 5;
  } else {
    return 0;
  }
  char* end = nullptr;
  const long pid = std::strtol(digits, &end, 10);
  if (end == digits || *end != '-' || pid <= 0) return 0;
  return pid;
}

// Leftovers of killed processes are removed once per folder per run, and said so: a run killed
// while its files were renamed into place left some of them out. A file still growing is kept
// even if its process looks gone: another machine may be writing into a shared folder.
void removeLeftovers(int folder, const std::string& where) {
  static std::set<std::string> swept;
  struct stat info;
  if (::fstat(folder, &info) != 0) return;
  char absolute[PATH_MAX];
  const std::string key = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
                          (::realpath(where.c_str(), absolute) != nullptr ? absolute : where);
  if (!swept.insert(key).second) return;
  const int copy = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (copy < 0) return;
  DIR* listing = ::fdopendir(copy);
  if (listing == nullptr) {
    ::close(copy);
    return;
  }
  const std::time_t now = std::time(nullptr);
  std::set<long> processes;
  int removed = 0;
  int recent = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const long pid = leftoverProcess(entry->d_name);
    if (pid == 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    struct stat file;
    if (::fstatat(folder, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(file.st_mode)) {
      continue;
    }
    processes.insert(pid);
    if (now - file.st_mtime < 60) {
      ++recent;
    } else if (::unlinkat(folder, entry->d_name, 0) == 0) {
      ++removed;
    }
  }
  ::closedir(listing);
  if (processes.empty()) return;
  std::string note = "found " + std::to_string(removed + recent) + " temporary file" +
                     (removed + recent == 1 ? "" : "s") + " in " +
                     (where == "." ? std::string("the current folder") : "'" + where + "'") +
                     " of a run that ended before putting its files in place (process";
  for (const long pid : processes) note += " " + std::to_string(pid);
  note += "): files it wrote there may be missing or older than the others";
  if (removed > 0) note += "; removed " + std::to_string(removed);
  if (recent > 0) {
    note += "; kept " + std::to_string(recent) +
            " changed within the last minute, which another computer may be writing";
  }
  noteFunction(note);
}

// Why a target may not be written, or the empty text. Sets `replacing` and `mode` for a file
// that exists.
std::string refusal(const std::string& path, bool& replacing, unsigned& mode) {
  struct stat info;
  replacing = false;
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return std::strerror(errno);
  }
  // Renaming over a link would replace the link, not the file it points to; renaming over a
  // device or a FIFO would replace it with a regular file.
  if (S_ISLNK(info.st_mode)) return "it is a symbolic link";
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(info.st_mode)) return "it is not a regular file (a device, a FIFO or a socket)";
  // A rename would get past a write-protection that writing in place would respect; root is
  // held to the permission bits too.
  if (::access(path.c_str(), W_OK) != 0) return std::strerror(errno);
  if ((info.st_mode & 0222) == 0) return "it is write-protected";
  replacing = true;
  mode = info.st_mode & 07777;
  return {};
}

}  // namespace

class OpenFolder {
 public:
  explicit OpenFolder(int descriptor) : fd(descriptor) {}
  ~OpenFolder() { ::close(fd); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  const int fd;
};

namespace {

std::mutex openFoldersLock;
std::map<std::pair<dev_t, ino_t>, std::weak_ptr<OpenFolder>> openFolders;

// The folder `path` names, sharing the descriptor that files of the process written there
// already hold. Null with `error` set when it cannot be opened.
std::shared_ptr<OpenFolder> openFolder(const std::string& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat info;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    error = errno;
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  const std::lock_guard lock(openFoldersLock);
  std::erase_if(openFolders, [](const auto& entry) { return entry.second.expired(); });
  std::weak_ptr<OpenFolder>& entry = openFolders[{info.st_dev, info.st_ino}];
  if (std::shared_ptr<OpenFolder> shared = entry.lock()) {
    ::close(fd);
    return shared;
  }
  auto folder = std::make_shared<OpenFolder>(fd);
  entry = folder;
  return folder;
}

// The rename lasts only once the folder's entry is on the disk. Filesystems that cannot sync a
// folder say EINVAL or EBADF.
bool syncFolder(const OpenFolder& folder) {
  return ::fsync(folder.fd) == 0 || errno == EINVAL || errno == EBADF;
}

}  // namespace

struct SafeFile::Registration {
  Slot* slot = nullptr;
  void set(const std::string& path) {
    clear();
    slot = takeSlot(path);
  }
  void clear() {
    if (slot != nullptr) slot->used.store(false);
    slot = nullptr;
  }
};

void removeTemporaryFiles() noexcept {
  for (Slot* slot = slots.load(); slot != nullptr; slot = slot->next) {
    if (slot->used.load()) ::unlink(slot->path);
  }
}

const char* anyTemporaryFile() noexcept {
  for (Slot* slot = slots.load(); slot != nullptr; slot = slot->next) {
    if (slot->used.load()) return slot->path;
  }
  return "";
}

void setNoteFunction(NoteFunction function) {
  noteFunction = function != nullptr ? function : noteOnStandardError;
}

void installInterruptCleanup() {
  ::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = removeTemporariesAndEnd;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// ---------------------------------------------------------------- SafeFile

SafeFile::SafeFile() : registration_(new Registration) {}

SafeFile::~SafeFile() {
  abandon();
  delete registration_;
}

bool SafeFile::failWith(int error) {
  if (error_.empty()) error_ = describe(path_, std::strerror(error != 0 ? error : EIO));
  return false;
}

void SafeFile::fail(const std::string& reason) {
  if (error_.empty()) error_ = describe(path_, reason);
}

void SafeFile::release() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (!temporary_.empty() && folder_ != nullptr) ::unlinkat(folder_->fd, temporary_.c_str(), 0);
  temporary_.clear();
  registration_->clear();
  folder_.reset();
  state_ = State::Closed;
}

void SafeFile::abandon() {
  release();
}

bool SafeFile::open(const std::string& path) {
  release();
  path_ = path;
  error_.clear();
  size_ = 0;
  if (path.empty()) {
    error_ = "cannot write a file without a name";
    return false;
  }
  const std::string why = refusal(path, replacing_, mode_);
  if (!why.empty()) {
    error_ = describe(path, why);
    return false;
  }
  const auto [folder, name] = splitPath(path);
  name_ = name;
  if (name_.empty()) return failWith(EISDIR);
  int folderError = 0;
  folder_ = openFolder(folder, folderError);
  if (folder_ == nullptr) return failWith(folderError);
  removeLeftovers(folder_->fd, folder);

  int fd = -1;
  unnamed_ = false;
  if (unnamedAllowed && canNameUnnamedFiles()) {
    fd = ::openat(folder_->fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    // Filesystems without unnamed files say so in several ways; anything else is a real error
    // that a named temporary would meet too.
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
      const int error = errno;
      release();
      return failWith(error);
    }
    unnamed_ = fd >= 0;
  }
  if (fd < 0) {
    char absolute[PATH_MAX];
    const std::string base = ::realpath(folder.c_str(), absolute) != nullptr ? absolute : folder;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temporary_ =
          ".vestrand-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
      // Known to the handlers before it exists, so no moment leaves a file they cannot see.
      registration_->set(base + "/" + temporary_);
      fd = ::openat(folder_->fd, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      const int error = errno;
      temporary_.clear();
      release();
      return failWith(error);
    }
  }
  if (replacing_) ::fchmod(fd, mode_);
  stream_ = ::fdopen(fd, "w");
  if (stream_ == nullptr) {
    const int error = errno;
    ::close(fd);
    release();
    return failWith(error);
  }
  // Writers hand over large pieces of their own; the stream adds no second copy.
  std::setvbuf(stream_, nullptr, _IONBF, 0);
  state_ = State::Writing;
  step(safe_file_testing::Step::Opened, path_);
  return true;
}

bool SafeFile::write(const void* data, std::size_t size) {
  if (state_ != State::Writing || failed()) return false;
  if (size == 0) return true;
  errno = 0;
  if (writeFunction(data, 1, size, stream_) != size) return failWith(errno);
  size_ += size;
  return true;
}

bool SafeFile::finish() {
  if (state_ == State::Finished) return true;
  if (state_ != State::Writing) {
    if (error_.empty()) error_ = describe(path_, "the file is not open");
    return false;
  }
  if (!failed() && (std::fflush(stream_) != 0 || std::ferror(stream_))) failWith(errno);
  const int fd = ::fileno(stream_);
  // On the disk before it gets its name, so that a crash leaves the old file or the new one.
  // Filesystems that cannot sync (EINVAL) have nothing more to give.
  if (!failed() && ::fsync(fd) != 0 && errno != EINVAL) failWith(errno);
  if (!failed() && unnamed_) {
    char absolute[PATH_MAX];
    const std::string folderPath = splitPath(path_).first;
    const std::string base =
        ::realpath(folderPath.c_str(), absolute) != nullptr ? absolute : folderPath;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    static unsigned counter = 0;
    int linked = -1;
    for (int attempt = 0; attempt < 100 && linked != 0; ++attempt) {
      temporary_ =
          ".vestrand-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
      registration_->set(base + "/" + temporary_);
      linked = ::linkat(AT_FDCWD, self.c_str(), folder_->fd, temporary_.c_str(), AT_SYMLINK_FOLLOW);
      if (linked != 0 && errno != EEXIST) break;
    }
    if (linked != 0) {
      const int error = errno;
      temporary_.clear();
      registration_->clear();
      failWith(error);
    }
  }
  const int closed = std::fclose(stream_);
  stream_ = nullptr;
  if (!failed() && closed != 0) failWith(errno);
  if (failed()) {
    release();
    return false;
  }
  state_ = State::Finished;
  step(safe_file_testing::Step::Finished, path_);
  return true;
}

bool SafeFile::publish() {
  const std::shared_ptr<OpenFolder> folder = folder_;  // rename() lets go of it
  if (!rename()) return false;
  if (!syncFolder(*folder)) return failWith(errno);
  return true;
}

bool SafeFile::rename() {
  if (state_ != State::Finished && !finish()) return false;
  // The target may have changed since open; refuse what would not have been accepted then.
  bool replacing = false;
  unsigned mode = 0;
  const std::string why = refusal(path_, replacing, mode);
  if (!why.empty()) {
    error_ = describe(path_, why);
    release();
    return false;
  }
  if (::renameat(folder_->fd, temporary_.c_str(), folder_->fd, name_.c_str()) != 0) {
    failWith(errno);
    release();
    return false;
  }
  temporary_.clear();
  registration_->clear();
  release();
  step(safe_file_testing::Step::Published, path_);
  return true;
}

bool SafeFile::commit() {
  return finish() && publish();
}

// ---------------------------------------------------------------- FileBatch

namespace {

// The file a path names, spelt one way: the folder's real path and the name. A folder that does
// not exist keeps its spelling; opening the file then fails anyway.
std::string fileKey(const std::string& path) {
  const auto [folder, name] = splitPath(path);
  char absolute[PATH_MAX];
  const std::string base = ::realpath(folder.c_str(), absolute) != nullptr ? absolute : folder;
  return base + "/" + name;
}

// Beyond this many open files of one run the earlier ones are finished early, so that a run of
// many files never meets the process's limit of open files.
constexpr std::size_t kMaxOpenFiles = 64;

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  return fileKey(a) == fileKey(b);
}

FileBatch::FileBatch() = default;

FileBatch::~FileBatch() {
  abandon();
}

SafeFile* FileBatch::create(const std::string& path) {
  const std::string key = fileKey(path);
  for (const std::string& other : keys_) {
    if (other == key) {
      abandon();
      error_ = describe(path, "the run names this file twice");
      return nullptr;
    }
  }
  std::size_t open = 0;
  for (const auto& file : files_) open += file->isOpen() ? 1 : 0;
  if (open >= kMaxOpenFiles) {
    for (auto& file : files_) {
      if (file->isOpen() && !file->finish()) {
        error_ = file->error();
        abandon();
        return nullptr;
      }
    }
  }
  auto file = std::make_unique<SafeFile>();
  if (!file->open(path)) {
    error_ = file->error();
    abandon();
    return nullptr;
  }
  keys_.push_back(key);
  files_.push_back(std::move(file));
  return files_.back().get();
}

bool FileBatch::commit() {
  written_.clear();
  for (auto& file : files_) {
    if (!file->finish()) {
      error_ = file->error();
      abandon();
      return false;
    }
  }
  holding.fetch_add(1);
  const bool placed = place();
  if (holding.fetch_sub(1) == 1) {
    if (const int signal = heldSignal.exchange(0); signal != 0) {
      noteFunction(placed
                       ? "interrupted after the run's " + std::to_string(written_.size()) +
                             (written_.size() == 1 ? " file was" : " files were") + " put in place"
                       : error_ + "; interrupted");
      endWith(signal);
    }
  }
  return placed;
}

bool FileBatch::place() {
  // Each folder is synced once, after its last rename: a thousand parts cost one sync, not a
  // thousand, and the signals are held off no longer than that.
  std::vector<std::pair<std::shared_ptr<OpenFolder>, std::string>> folders;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    std::shared_ptr<OpenFolder> folder = files_[i]->folder_;
    if (!files_[i]->rename()) {
      error_ = files_[i]->error();
      if (!written_.empty()) {
        error_ += "; written:";
        for (const std::string& path : written_) error_ += " '" + path + "'";
        error_ += "; not written:";
        for (std::size_t j = i; j < files_.size(); ++j) error_ += " '" + files_[j]->path() + "'";
      }
      abandon();
      return false;
    }
    written_.push_back(files_[i]->path());
    const auto same = [&](const auto& entry) { return entry.first == folder; };
    if (std::none_of(folders.begin(), folders.end(), same)) {
      folders.emplace_back(std::move(folder), files_[i]->path());
    }
  }
  files_.clear();
  keys_.clear();
  for (const auto& [folder, path] : folders) {
    if (!syncFolder(*folder)) {
      error_ = describe(path, std::strerror(errno));
      return false;
    }
  }
  return true;
}

void FileBatch::abandon() {
  files_.clear();
  keys_.clear();
}

namespace safe_file_testing {
void SetWriteFunction(WriteFunction function) {
  writeFunction = function != nullptr ? function : realWrite;
}
void SetUnnamedFiles(bool allowed) {
  unnamedAllowed = allowed;
}
void SetStepHook(StepHook hook) {
  stepHook = hook;
}
}  // namespace safe_file_testing

}  // namespace vestrand
