// Line-wise text files. The files the program reads are a few lines long, so a file is read whole
// at open and served from memory; that also lets a built-in copy stand in for a missing file.
#include <cstring>
#include <limits>
#include <map>
#include <string>

#include "builtin_files.h"
#include "cvirte.h"

namespace {

struct OpenFile {
  std::string text;
  std::size_t next = 0;  // offset of the next line
};

std::map<int, OpenFile> openFiles;
int lastHandle = 0;

}  // namespace

int CVI_OpenFile(const char* path, int readWrite, int action, int fileType) {
  (void)action;
  (void)fileType;
  // Only reading is needed: the language files are the one user.
  if (path == nullptr || readWrite != VAL_READ_ONLY) return -1;
  OpenFile file;
  std::string origin;
  if (cvirte_detail::ReadWholeFile(path, std::numeric_limits<std::size_t>::max(), file.text,
                                   origin) != cvirte_detail::ReadResult::kRead) {
    return -1;
  }
  const int handle = ++lastHandle;
  openFiles.emplace(handle, std::move(file));
  return handle;
}

int ReadLine(int handle, char* buffer, int maxCharacters) {
  if (buffer == nullptr) return -1;
  buffer[0] = 0;
  const auto found = openFiles.find(handle);
  if (found == openFiles.end() || maxCharacters < 0) return -1;
  OpenFile& file = found->second;
  if (file.next >= file.text.size()) return -2;

  const std::size_t start = file.next;
  std::size_t end = file.text.find('\n', start);
  if (end == std::string::npos) {
    end = file.text.size();
    file.next = end;
  } else {
    file.next = end + 1;
    if (end > start && file.text[end - 1] == '\r') --end;
  }
  std::size_t length = end - start;
  if (length > static_cast<std::size_t>(maxCharacters)) length = maxCharacters;
  std::memcpy(buffer, file.text.data() + start, length);
  buffer[length] = 0;
  return static_cast<int>(length);
}

void CopyString(char* target, int targetIndex, const char* source, int sourceIndex,
                int maxCharacters) {
  if (target == nullptr || source == nullptr || targetIndex < 0 || sourceIndex < 0) return;
  const char* from = source + sourceIndex;
  std::size_t length = std::strlen(from);
  // A negative limit copies the whole text, as the historical run-time did.
  if (maxCharacters >= 0 && length > static_cast<std::size_t>(maxCharacters)) {
    length = maxCharacters;
  }
  std::memmove(target + targetIndex, from, length);
  target[targetIndex + length] = 0;
}

int CVI_CloseFile(int handle) {
  return openFiles.erase(handle) == 1 ? 0 : -1;
}
