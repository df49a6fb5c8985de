#include "recording_runtime.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "cvirte.h"

namespace vestrand::testing {

RecordingRuntime& runtime() {
  static RecordingRuntime instance;
  return instance;
}

}  // namespace vestrand::testing

namespace {

using vestrand::testing::runtime;

struct OpenFile {
  std::string content;
  std::size_t position = 0;
};

std::map<int, OpenFile>& openFiles() {
  static std::map<int, OpenFile> files;
  return files;
}

void record(std::string call) {
  runtime().calls.push_back(std::move(call));
}

}  // namespace

int GetCtrlVal(int panel, int control, int* value) {
  record("GetCtrlVal " + std::to_string(panel) + " " + std::to_string(control));
  *value = runtime().selectorValue;
  return 0;
}

int SetCtrlVal(int panel, int control, const char* text) {
  record("SetCtrlVal " + std::to_string(panel) + " " + std::to_string(control) + " " + text);
  return 0;
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
  record("SetCtrlAttribute " + std::to_string(panel) + " " + std::to_string(control) + " " +
         std::to_string(attribute) + " " + value);
  return 0;
}

int SetTabPageAttribute(int panel, int tabControl, int pageIndex, int attribute,
                        const char* value) {
  record("SetTabPageAttribute " + std::to_string(panel) + " " + std::to_string(tabControl) + " " +
         std::to_string(pageIndex) + " " + std::to_string(attribute) + " " + value);
  return 0;
}

int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle) {
  record("GetPanelHandleFromTabPage " + std::to_string(panel) + " " + std::to_string(tabControl) +
         " " + std::to_string(pageIndex));
  *pageHandle = vestrand::testing::RecordingRuntime::pageHandle(pageIndex);
  return 0;
}

int CVI_OpenFile(const char* path, int readWrite, int action, int fileType) {
  record("CVI_OpenFile " + std::string(path) + " " + std::to_string(readWrite) + " " +
         std::to_string(action) + " " + std::to_string(fileType));
  const auto found = runtime().files.find(path);
  if (found == runtime().files.end()) return -1;
  const int handle = static_cast<int>(openFiles().size()) + 1;
  openFiles()[handle] = OpenFile{found->second, 0};
  return handle;
}

int ReadLine(int handle, char* buffer, int maxCharacters) {
  buffer[0] = 0;
  const auto found = openFiles().find(handle);
  if (found == openFiles().end()) return -1;
  OpenFile& file = found->second;
  if (file.position >= file.content.size()) return -2;
  std::size_t end = file.content.find('\n', file.position);
  if (end == std::string::npos) end = file.content.size();
  std::string line = file.content.substr(file.position, end - file.position);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  line.resize(std::min(line.size(), static_cast<std::size_t>(maxCharacters)));
  std::memcpy(buffer, line.c_str(), line.size() + 1);
  file.position = end + 1;
  return static_cast<int>(line.size());
}

void CopyString(char* target, int targetIndex, const char* source, int sourceIndex,
                int maxCharacters) {
  const char* from = source + sourceIndex;
  char* to = target + targetIndex;
  int n = 0;
  for (; n < maxCharacters && from[n] != 0; ++n) to[n] = from[n];
  to[n] = 0;
}

int CVI_CloseFile(int handle) {
  record("CVI_CloseFile");
  return openFiles().erase(handle) == 1 ? 0 : -1;
}
