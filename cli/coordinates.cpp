#include "coordinates.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vestrand::cli {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The hemisphere letter's sign, or 0 when `c` is no hemisphere letter.
int hemisphereSign(char c) {
  switch (c) {
    case 'N':
    case 'n':
    case 'E':
    case 'e':
      return 1;
    case 'S':
    case 's':
    case 'W':
    case 'w':
      return -1;
    default:
      return 0;
  }
}

bool fitsAxis(char letter, Axis axis) {
  const char upper = static_cast<char>(letter & ~0x20);
  return axis == Axis::Latitude ? (upper == 'N' || upper == 'S') : (upper == 'E' || upper == 'W');
}

// Consumes `mark` at the front of `text` if it is there.
bool consume(std::string_view& text, std::string_view mark) {
  if (text.substr(0, mark.size()) != mark) return false;
  text.remove_prefix(mark.size());
  return true;
}

// The marks that may end the degrees, minutes and seconds (UTF-8). The masculine ordinal "º" is
// accepted beside the degree sign because the navigation library writes it as its degree mark.
bool consumeMark(std::string_view& text, int part) {
  switch (part) {
    case 0:
      return consume(text, "\xC2\xB0") || consume(text, "\xC2\xBA");
    case 1:
      return consume(text, "'") || consume(text, "\xE2\x80\xB2");
    default:
      // Two apostrophes before a lone one: "15''" is the seconds mark, not a minute mark twice.
      return consume(text, "\"") || consume(text, "''") || consume(text, "\xE2\x80\xB3");
  }
}

// An unsigned decimal part: digits, optionally a point and more digits. No sign, no exponent.
bool consumePart(std::string_view& text, double& value, bool& hasFraction) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  if (n == 0) return false;
  hasFraction = false;
  if (n < text.size() && text[n] == '.') {
    std::size_t m = n + 1;
    while (m < text.size() && isDigit(text[m])) ++m;
    if (m == n + 1) return false;
    hasFraction = true;
    n = m;
  }
  const auto result = std::from_chars(text.data(), text.data() + n, value);
  if (result.ec != std::errc() || !std::isfinite(value)) return false;
  text.remove_prefix(n);
  return true;
}

const char* const kPartNames[] = {"degrees", "minutes", "seconds"};

// Degrees, minutes and seconds without sign or letter; see parseCoordinate for the forms.
bool parseSexagesimal(std::string_view text, double& magnitude, std::string& error) {
  double parts[3] = {0.0, 0.0, 0.0};
  int count = 0;
  bool lastHadFraction = false;
  while (true) {
    if (count == 3) {
      error = "unexpected text after the seconds";
      return false;
    }
    if (lastHadFraction) {
      error = std::string("only the last part may have decimals, but the ") +
              kPartNames[count - 1] + " have them";
      return false;
    }
    if (!consumePart(text, parts[count], lastHadFraction)) {
      error = text.empty() ? std::string("the ") + kPartNames[count] + " are missing"
                           : std::string("expected the ") + kPartNames[count] + " at '" +
                                 std::string(text) + "'";
      return false;
    }
    ++count;
    if (text.empty()) break;
    const bool marked = consumeMark(text, count - 1);
    const std::size_t before = text.size();
    text = trim(text);
    const bool blank = text.size() != before;
    if (!marked && !blank && !consume(text, ":")) {
      error = "unexpected '" + std::string(text) + "' after the " + kPartNames[count - 1];
      return false;
    }
    text = trim(text);
    if (text.empty()) {
      if (!marked && !blank) {
        // After the seconds there is no further part to name.
        error = count == 3 ? std::string("unexpected ':' after the seconds")
                           : std::string("the ") + kPartNames[count] + " are missing after ':'";
        return false;
      }
      break;
    }
  }
  for (int i = 1; i < count; ++i) {
    if (!(parts[i] < 60.0)) {
      error = std::string("the ") + kPartNames[i] + " must be below 60";
      return false;
    }
  }
  magnitude = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
  return true;
}

}  // namespace

bool parseNumber(std::string_view text, double& value, std::string& error) {
  text = trim(text);
  if (text.empty()) {
    error = "not a number (empty)";
    return false;
  }
  // from_chars takes no plus sign; allow one in front of a digit or a point.
  if (text.size() > 1 && text.front() == '+' && (isDigit(text[1]) || text[1] == '.')) {
    text.remove_prefix(1);
  }
  double parsed = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    error = "not a finite number (out of the range of a double)";
    return false;
  }
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    error = "not a number";
    return false;
  }
  if (!std::isfinite(parsed)) {
    error = "not a finite number";
    return false;
  }
  value = parsed;
  return true;
}

bool parseCoordinate(std::string_view text, Axis axis, double& degrees, std::string& error) {
  const double limit = axis == Axis::Latitude ? 90.0 : 180.0;
  const char* const what = axis == Axis::Latitude ? "latitude" : "longitude";
  const char* const letters = axis == Axis::Latitude ? "N or S" : "E or W";
  text = trim(text);
  if (text.empty()) {
    error = std::string("an empty ") + what;
    return false;
  }

  char letter = '\0';
  if (hemisphereSign(text.back()) != 0) {
    letter = text.back();
    text.remove_suffix(1);
  } else if (hemisphereSign(text.front()) != 0) {
    letter = text.front();
    text.remove_prefix(1);
  }
  text = trim(text);

  double value = 0.0;
  if (letter == '\0') {
    if (text.find_first_of(":'\" ") != std::string_view::npos ||
        text.find('\xC2') != std::string_view::npos) {
      error = std::string("degrees with minutes need a hemisphere letter (") + letters + ")";
      return false;
    }
    if (!parseNumber(text, value, error)) return false;
  } else {
    if (!fitsAxis(letter, axis)) {
      error = std::string("the hemisphere letter ") + letter + " does not fit a " + what +
              " (use " + letters + ")";
      return false;
    }
    if (hemisphereSign(text.empty() ? '\0' : text.back()) != 0 ||
        hemisphereSign(text.empty() ? '\0' : text.front()) != 0) {
      error = "more than one hemisphere letter";
      return false;
    }
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
      error = "a sign and a hemisphere letter together are ambiguous; use one of them";
      return false;
    }
    double magnitude = 0.0;
    if (!parseSexagesimal(text, magnitude, error)) return false;
    value = hemisphereSign(letter) * magnitude;
  }

  if (!(std::fabs(value) <= limit)) {
    error = std::string("a ") + what + " must lie within \xC2\xB1" +
            (axis == Axis::Latitude ? "90" : "180") + " degrees";
    return false;
  }
  degrees = value;
  return true;
}

}  // namespace vestrand::cli
