#include "builtin_files.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace cvirte_detail {

namespace {

ReadResult ReadRegularFile(const std::string& path, std::size_t limit, std::string& contents) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return ReadResult::kNotFound;
  if (size > limit) return ReadResult::kTooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadResult::kNotFound;
  // The file as it was when its size was taken; what is appended later is not read.
  contents.resize(static_cast<std::size_t>(size));
  in.read(contents.data(), static_cast<std::streamsize>(size));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) return ReadResult::kNotFound;
  return ReadResult::kRead;
}

}  // namespace

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// The copies are compiled in from resources/resources.qrc under the prefix "/".
ReadResult ReadBuiltInFile(const std::string& name, std::size_t limit, std::string& contents) {
  QFile file(QStringLiteral(":/") + QString::fromStdString(name));
  if (!file.open(QIODevice::ReadOnly)) return ReadResult::kNotFound;
  if (static_cast<std::uintmax_t>(file.size()) > limit) return ReadResult::kTooLarge;
  const QByteArray bytes = file.readAll();
  contents.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return ReadResult::kRead;
}

bool IsBareName(const std::string& path) {
  return !path.empty() && path.find_first_of("/\\:") == std::string::npos;
}

ReadResult ReadWholeFile(const std::string& path, std::size_t limit, std::string& contents,
                         std::string& origin) {
  if (path.empty()) return ReadResult::kNotFound;
  if (IsRegularFile(path)) {
    const ReadResult read = ReadRegularFile(path, limit, contents);
    origin = path;
    // A file that cannot be read gives way to the built-in copy, as a missing one does.
    if (read != ReadResult::kNotFound) return read;
  }
  if (!IsBareName(path)) return ReadResult::kNotFound;
  origin = "built-in " + path;
  return ReadBuiltInFile(path, limit, contents);
}

}  // namespace cvirte_detail
