// The language reader on arbitrary files: short files, long lines, invalid UTF-8, no final line
// end, binary content. Every entry must stay a non-empty terminated text of at most 59 bytes of
// valid UTF-8, a line that is already such a text must arrive unchanged, and a missing or empty
// line must show the English text of its line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Languaje.h"
#include "fuzz_support.h"
#include "texts.h"

namespace {

// The first twenty lines as the reader sees them: split at line feeds, a carriage return before
// a line feed dropped. A final line feed ends the last line rather than starting another.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size() && lines.size() < nLanguajeResources) {
    std::size_t end = text.find('\n', start);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) {
      end = text.size();
    } else if (end > start && text[end - 1] == '\r') {
      --end;
    }
    lines.push_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A path with a folder, so that no built-in copy can stand in for it.
  static const std::string path = vestrand_fuzz::ScratchFolder() + "/fuzz.lrf";
  vestrand_fuzz::WriteFileOrDie(path, data, size);
  std::memset(lrfData, 'X', sizeof lrfData);  // a stale table must not show through
  if (ReadLanguajeResourceFile(path.c_str()) != 0) vestrand_fuzz::Violated("the file did not open");

  const std::vector<std::string_view> lines =
      Lines(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int i = 0; i < nLanguajeResources; ++i) {
    const std::size_t length = strnlen(lrfData[i], nb);
    if (length >= static_cast<std::size_t>(nb)) vestrand_fuzz::Violated("an entry is unterminated");
    const std::string_view entry(lrfData[i], length);
    if (!vestrand_fuzz::IsValidUtf8(entry)) vestrand_fuzz::Violated("an entry is not valid UTF-8");
    if (entry.empty()) vestrand_fuzz::Violated("an entry is empty");
    const std::string_view line =
        i < static_cast<int>(lines.size()) ? lines[i] : std::string_view();
    // A missing or empty line shows the English text of its line instead.
    const std::string_view expected =
        line.empty() ? vestrand::englishText(vestrand::textOfLine(i + 1)) : line;
    if (line.size() <= static_cast<std::size_t>(nb - 1) &&
        line.find('\0') == std::string_view::npos && vestrand_fuzz::IsValidUtf8(line) &&
        entry != expected) {
      vestrand_fuzz::Violated("a short valid line did not arrive unchanged");
    }
  }
  return 0;
}
