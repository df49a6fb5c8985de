// Where the run-time finds the files the program opens by bare name: the current directory
// first, then the copies built into the program. Internal to the platform layer.
#pragma once

#include <cstddef>
#include <string>

namespace cvirte_detail {

// True when `path` names no directory, so the built-in copies may stand in for it.
bool IsBareName(const std::string& path);

enum class ReadResult { kRead, kNotFound, kTooLarge };

// True when `path` names a regular file: a folder or a device has no text to give.
bool IsRegularFile(const std::string& path);

// Reads the built-in copy of the bare name `name`, of at most `limit` bytes.
ReadResult ReadBuiltInFile(const std::string& name, std::size_t limit, std::string& contents);

// Reads a whole file of at most `limit` bytes. A bare name that is no regular file in the current
// directory is looked up among the built-in copies. `origin` tells where the text came from
// ("english.lrf" or "built-in english.lrf"), for messages; it is set for a file too large too,
// whose text is then not read.
ReadResult ReadWholeFile(const std::string& path, std::size_t limit, std::string& contents,
                         std::string& origin);

}  // namespace cvirte_detail
