// UTF-8 as every part of the programs checks it: what a well-formed character is (Unicode's table
// of well-formed byte sequences: no overlong forms, no surrogates, nothing past U+10FFFF), and
// the ways a text that is not UTF-8 is refused, mended or cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vestrand {

// Bytes of the well-formed character at the start of `text`, 1 to 4; 0 when none starts there
// (a stray continuation byte, a byte that begins nothing, a cut or broken sequence) or the text
// is empty.
std::size_t utf8CharLength(std::string_view text);

// Bytes of the maximal ill-formed subsequence at the start of `text`, where no character starts:
// the lead byte and the continuation bytes that still fitted it, at least 1. A replacement
// character stands for each such subsequence.
std::size_t utf8BadLength(std::string_view text);

// Where `text` stops being UTF-8: the offset of the first byte that begins no character, or npos.
std::size_t firstInvalidUtf8(std::string_view text);

// `text` with every byte that is not part of a well-formed character replaced by U+FFFD, one for
// each such byte; well-formed text passes unchanged.
std::string validUtf8(std::string_view text);

// The first `limit` bytes or fewer of `text`, up to its first zero byte, as valid UTF-8: every
// well-formed character passes unchanged, every other maximal ill-formed subsequence becomes
// U+FFFD while that still fits, a character that would pass the limit is dropped whole and a
// sequence cut short by the end of the text is dropped.
std::string boundedUtf8(std::string_view text, std::size_t limit);

}  // namespace vestrand
