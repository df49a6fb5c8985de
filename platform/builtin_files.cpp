#include "builtin_files.h"

#include <QFile>
#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace cvirte_detail {

namespace {

bool ReadRegularFile(const std::string& path, std::string& contents) {
  std::error_code error;
  // A directory opens as a stream on some systems but has no text to give.
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The copies are compiled in from resources/resources.qrc under the prefix "/".
bool ReadBuiltInFile(const std::string& name, std::string& contents) {
  QFile file(QStringLiteral(":/") + QString::fromStdString(name));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  contents.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return true;
}

}  // namespace

bool IsBareName(const std::string& path) {
  return !path.empty() && path.find_first_of("/\\:") == std::string::npos;
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string& origin) {
  if (path.empty()) return false;
  if (ReadRegularFile(path, contents)) {
    origin = path;
    return true;
  }
  if (IsBareName(path) && ReadBuiltInFile(path, contents)) {
    origin = "built-in " + path;
    return true;
  }
  return false;
}

}  // namespace cvirte_detail
