// Line-wise text files, read lazily: a language file in the current directory overrides the
// built-in one, so it may be anything, and neither its size nor a line without an end may cost
// memory or time. A line is scanned for its end over a bounded number of bytes only.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "builtin_files.h"
#include "cvirte.h"

namespace {

// Bytes of one line scanned for its end; a longer line ends the file.
constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;
// The built-in copies are the program's own few-line files.
constexpr std::size_t kMaxBuiltInBytes = std::size_t{1} << 20;

struct CloseStream {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};

// The bytes of one open file: the file on disk through the C library's buffer, or the text of a
// built-in copy.
class OpenFile {
 public:
  explicit OpenFile(std::FILE* stream) : stream_(stream) {}
  explicit OpenFile(std::string text) : text_(std::move(text)) {}

  int Next() {
    if (stream_) return std::getc(stream_.get());
    return next_ < text_.size() ? static_cast<unsigned char>(text_[next_++]) : EOF;
  }
  int Peek() {
    if (!stream_) return next_ < text_.size() ? static_cast<unsigned char>(text_[next_]) : EOF;
    const int c = std::getc(stream_.get());
    if (c != EOF) std::ungetc(c, stream_.get());
    return c;
  }
  bool Failed() const { return stream_ && std::ferror(stream_.get()) != 0; }

  bool ended = false;  // a line passed kMaxLineBytes: the rest of the file is not read

 private:
  std::unique_ptr<std::FILE, CloseStream> stream_;
  std::string text_;
  std::size_t next_ = 0;
};

std::map<int, OpenFile> openFiles;
int lastHandle = 0;

}  // namespace

int CVI_OpenFile(const char* path, int readWrite, int action, int fileType) {
  (void)action;
  (void)fileType;
  // Only reading is needed: the language files are the one user.
  if (path == nullptr || *path == 0 || readWrite != VAL_READ_ONLY) return -1;
  // Binary: the reader drops the carriage return before a line feed itself, on every system.
  std::FILE* stream = cvirte_detail::IsRegularFile(path) ? std::fopen(path, "rb") : nullptr;
  const int handle = lastHandle + 1;
  if (stream != nullptr) {
    openFiles.emplace(handle, OpenFile(stream));
  } else {
    std::string text;
    if (!cvirte_detail::IsBareName(path) ||
        cvirte_detail::ReadBuiltInFile(path, kMaxBuiltInBytes, text) !=
            cvirte_detail::ReadResult::kRead) {
      return -1;
    }
    openFiles.emplace(handle, OpenFile(std::move(text)));
  }
  lastHandle = handle;
  return handle;
}

int ReadLine(int handle, char* buffer, int maxCharacters) {
  if (buffer == nullptr) return -1;
  buffer[0] = 0;
  const auto found = openFiles.find(handle);
  if (found == openFiles.end() || maxCharacters < 0) return -1;
  OpenFile& file = found->second;
  if (file.ended) return -2;

  int c = file.Next();
  if (c == EOF) return file.Failed() ? -1 : -2;
  const auto limit = static_cast<std::size_t>(maxCharacters);
  std::size_t stored = 0;
  std::size_t scanned = 0;
  while (c != EOF && c != '\n') {
    if (scanned == kMaxLineBytes) {
      file.ended = true;
      break;
    }
    ++scanned;
    if (c == '\r' && file.Peek() == '\n') {
      c = file.Next();
      continue;
    }
    if (stored < limit) buffer[stored++] = static_cast<char>(c);
    c = file.Next();
  }
  if (file.Failed()) {
    buffer[0] = 0;
    return -1;
  }
  buffer[stored] = 0;
  return static_cast<int>(stored);
}

int CVI_CloseFile(int handle) {
  return openFiles.erase(handle) == 1 ? 0 : -1;
}
