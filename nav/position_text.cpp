#include "position_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "angulos.h"
#include "utf8.h"

namespace vestrand {
namespace {

unsigned byteAt(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Bytes of the blank at the front of `text`, 0 when it begins with none.
std::size_t blankAtFront(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == ' ' || text[0] == '\t') return 1;
  if (text.size() >= 2 && byteAt(text, 0) == 0xC2 && byteAt(text, 1) == 0xA0) return 2;
  if (text.size() < 3) return 0;
  const unsigned a = byteAt(text, 0), b = byteAt(text, 1), c = byteAt(text, 2);
  // The third byte of a sequence lies within 0x80..0xBF: an ASCII byte after E2 80 is a stray
  // lead pair, not a typographic space, and must not take the byte after it along.
  const bool space = (a == 0xE2 && b == 0x80 && ((c >= 0x80 && c <= 0x8A) || c == 0xAF)) ||
                     (a == 0xE2 && b == 0x81 && c == 0x9F) || (a == 0xE3 && b == 0x80 && c == 0x80);
  return space ? 3 : 0;
}

std::size_t blankAtBack(std::string_view text) {
  for (std::size_t n = 1; n <= 3 && n <= text.size(); ++n) {
    if (blankAtFront(text.substr(text.size() - n)) == n) return n;
  }
  return 0;
}

std::string_view trim(std::string_view text) {
  while (std::size_t n = blankAtFront(text)) text.remove_prefix(n);
  while (std::size_t n = blankAtBack(text)) text.remove_suffix(n);
  return text;
}

// Where the first blank of `text` begins, or npos.
std::size_t findBlank(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (blankAtFront(text.substr(i)) != 0) return i;
  }
  return std::string_view::npos;
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

constexpr std::string_view kDegreeSign = "\xC2\xB0", kOrdinal = "\xC2\xBA";
constexpr std::string_view kPrime = "\xE2\x80\xB2", kDoublePrime = "\xE2\x80\xB3";

// The marks that may end the degrees, minutes and seconds (UTF-8). The masculine ordinal "º" is
// accepted beside the degree sign because the navigation library writes it as its degree mark.
bool consumeMark(std::string_view& text, int part) {
  switch (part) {
    case 0:
      return consume(text, kDegreeSign) || consume(text, kOrdinal);
    case 1:
      return consume(text, "'") || consume(text, kPrime);
    default:
      // Two apostrophes before a lone one: "15''" is the seconds mark, not a minute mark twice.
      return consume(text, "\"") || consume(text, "''") || consume(text, kDoublePrime);
  }
}

// Whether a decimal text that from_chars found out of range lies below the smallest double
// rather than above the largest: its leading digit's decimal place plus its exponent is negative.
bool belowTheSmallestDouble(std::string_view text) {
  constexpr long long kCap = 1000000;  // far beyond either end of a double; keeps the sums small
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long long place = 0;
  while (i < text.size() && text[i] == '0') ++i;
  if (i < text.size() && isDigit(text[i])) {
    while (i < text.size() && isDigit(text[i])) ++i, place = std::min(place + 1, kCap);
    --place;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) ++i;
  } else if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    place = -1;
    while (i < text.size() && text[i] == '0') ++i, place = std::max(place - 1, -kCap);
  }
  while (i < text.size() && isDigit(text[i])) ++i;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    while (i < text.size() && isDigit(text[i])) {
      exponent = std::min(exponent * 10 + (text[i] - '0'), kCap);
      ++i;
    }
    if (negative) exponent = -exponent;
  }
  return place + exponent < 0;
}

const char* const kTooSmall = "too close to 0 to hold in a double (finite, but below 5e-324)";

// A decimal comma in `text` made a point, in `buffer`; false when the text does not fit.
constexpr std::size_t kCommaNumberSize = 100;
bool commaToPoint(std::string_view text, char (&buffer)[kCommaNumberSize], std::string_view& out) {
  if (text.size() > kCommaNumberSize) return false;
  for (std::size_t i = 0; i < text.size(); ++i) buffer[i] = text[i] == ',' ? '.' : text[i];
  out = std::string_view(buffer, text.size());
  return true;
}

enum class Part { Read, Missing, TooSmall, TooLarge, TooLong };

// An unsigned decimal part: digits, optionally a decimal mark and more digits. No sign, no
// exponent.
Part consumePart(std::string_view& text, bool decimalComma, double& value, bool& hasFraction) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  if (n == 0) return Part::Missing;
  hasFraction = false;
  if (n < text.size() && (text[n] == '.' || (decimalComma && text[n] == ','))) {
    std::size_t m = n + 1;
    while (m < text.size() && isDigit(text[m])) ++m;
    if (m == n + 1) return Part::Missing;
    hasFraction = true;
    n = m;
  }
  std::string_view digits = text.substr(0, n);
  char buffer[kCommaNumberSize];
  if (decimalComma && !commaToPoint(digits, buffer, digits)) return Part::TooLong;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    return belowTheSmallestDouble(digits) ? Part::TooSmall : Part::TooLarge;
  }
  if (result.ec != std::errc() || !std::isfinite(value)) return Part::Missing;
  text.remove_prefix(n);
  return Part::Read;
}

const char* const kPartNames[] = {"degrees", "minutes", "seconds"};

// Degrees, minutes and seconds without sign or letter; see parseCoordinate for the forms.
bool parseSexagesimal(std::string_view text, bool decimalComma, double& magnitude,
                      std::string& error) {
  double parts[3] = {0.0, 0.0, 0.0};
  int count = 0;
  bool lastHadFraction = false;
  while (true) {
    if (count == 3) {
      error = "unexpected text after the seconds";
      return false;
    }
    if (lastHadFraction) {
      error = isDigit(text.front())
                  ? std::string("only the last part may have decimals, but the ") +
                        kPartNames[count - 1] + " have them"
                  : "unexpected '" + std::string(text) + "' after the " + kPartNames[count - 1];
      return false;
    }
    const std::string_view name = kPartNames[count];
    switch (consumePart(text, decimalComma, parts[count], lastHadFraction)) {
      case Part::Read:
        break;
      case Part::Missing:
        error = text.empty()
                    ? "the " + std::string(name) + " are missing"
                    : "expected the " + std::string(name) + " at '" + std::string(text) + "'";
        return false;
      case Part::TooSmall:
        error = "the " + std::string(name) + " are " + kTooSmall;
        return false;
      case Part::TooLarge:
        error = "the " + std::string(name) + " are too large to hold in a double";
        return false;
      case Part::TooLong:
        error = "the " + std::string(name) + " have too many digits for a decimal comma";
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

// "nan", "-inf", "Infinity", "nan(1)": words that from_chars reads as a double that is no number.
bool spellsNonFinite(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
         !std::isfinite(value);
}

bool hasSexagesimalMarks(std::string_view text) {
  for (const std::string_view mark : {kDegreeSign, kOrdinal, kPrime, kDoublePrime}) {
    if (text.find(mark) != std::string_view::npos) return true;
  }
  return text.find_first_of(":'\"") != std::string_view::npos ||
         findBlank(text) != std::string_view::npos;
}

bool readCoordinate(std::string_view text, Axis axis, bool decimalComma, double& degrees,
                    std::string& error) {
  const double limit = axis == Axis::Latitude ? 90.0 : 180.0;
  const char* const what = axis == Axis::Latitude ? "latitude" : "longitude";
  const char* const letters = axis == Axis::Latitude ? "N or S" : "E or W";
  text = trim(text);
  if (text.empty()) {
    error = std::string("an empty ") + what;
    return false;
  }
  // Before the letters: the n of "nan" is no hemisphere letter.
  if (spellsNonFinite(text)) {
    error = "not a finite number";
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
    // A degree mark may end signed decimal degrees: "-3.75°".
    if (text.ends_with(kDegreeSign) || text.ends_with(kOrdinal)) {
      text = trim(text.substr(0, text.size() - kDegreeSign.size()));
    }
    if (hasSexagesimalMarks(text)) {
      error = std::string("degrees with minutes need a hemisphere letter (") + letters + ")";
      return false;
    }
    char buffer[kCommaNumberSize];
    if (decimalComma && !commaToPoint(text, buffer, text)) {
      error = "too many digits for a decimal comma";
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
    if (!parseSexagesimal(text, decimalComma, magnitude, error)) return false;
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

const char* const kAmbiguous =
    "position: ambiguous, two numbers without a decimal mark may be degrees and minutes; write "
    "decimal degrees with a decimal mark (43.5083 -3.7533) or give both coordinates a hemisphere "
    "letter (43 30.5N 3 45.2W, 43\xC2\xB0"
    "30'30\"N 3\xC2\xB0"
    "45'12\"W)";

// No letter and no mark: signs, digits and decimal marks only.
bool isBareNumber(std::string_view text) {
  return text.find_first_not_of("+-0123456789.,") == std::string_view::npos;
}

bool hasDecimalMark(std::string_view text) {
  return text.find_first_of(".,") != std::string_view::npos;
}

// Whether the commas of `text` are decimal marks; see parsePosition for the rule.
bool commasAreDecimalMarks(std::string_view text, bool& twoInOneNumber) {
  std::size_t count = 0;
  bool allBetweenDigits = true;
  std::size_t last = std::string_view::npos;
  twoInOneNumber = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ',') continue;
    ++count;
    allBetweenDigits = allBetweenDigits && i > 0 && i + 1 < text.size() && isDigit(text[i - 1]) &&
                       isDigit(text[i + 1]);
    if (last != std::string_view::npos &&
        text.substr(last + 1, i - last - 1).find_first_not_of("0123456789") ==
            std::string_view::npos) {
      twoInOneNumber = true;
    }
    last = i;
  }
  const bool otherSeparator =
      text.find('/') != std::string_view::npos || findBlank(text) != std::string_view::npos;
  return count > 0 && allBetweenDigits && (count >= 2 || otherSeparator);
}

// An 'e' that reads as the exponent of a number: a digit before, a digit or signed digit after.
bool exponentShaped(std::string_view text, std::size_t i) {
  if ((text[i] != 'e' && text[i] != 'E') || i == 0 || !isDigit(text[i - 1])) return false;
  std::size_t j = i + 1;
  if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
  return j < text.size() && isDigit(text[j]);
}

// Cuts a trimmed position text into its latitude and longitude texts.
bool splitPosition(std::string_view text, bool decimalComma, bool twoCommasInOneNumber,
                   std::string_view& latText, std::string_view& lonText, std::string& error) {
  const std::size_t slash = text.find('/');
  const std::size_t comma = decimalComma ? std::string_view::npos : text.find(',');
  if (slash != std::string_view::npos && text.find('/', slash + 1) != std::string_view::npos) {
    error = "position: more than one '/'";
    return false;
  }
  if (decimalComma && twoCommasInOneNumber) {
    error =
        "position: a comma between digits is a decimal mark here, so separate latitude and "
        "longitude by a blank or a slash";
    return false;
  }
  if (comma != std::string_view::npos) {
    if (slash != std::string_view::npos) {
      error = "position: both a comma and a slash; separate latitude and longitude by one of them";
      return false;
    }
    if (text.find(',', comma + 1) != std::string_view::npos) {
      error =
          "position: more than one comma; where a comma separates latitude and longitude, "
          "decimals take a point (43.5083, -3.7533)";
      return false;
    }
  }
  const std::size_t separator = slash != std::string_view::npos ? slash : comma;
  if (separator != std::string_view::npos) {
    latText = text.substr(0, separator);
    lonText = text.substr(separator + 1);
    return true;
  }

  // No separator: the hemisphere letters say where the latitude ends. A letter inside a word
  // ("nan", "inf") is none; an exponent's e is none when no other letter is there.
  std::size_t letters[3] = {0, 0, 0};
  std::size_t count = 0;
  bool anyPlain = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (hemisphereSign(text[i]) == 0 || (i > 0 && isAsciiLetter(text[i - 1])) ||
        (i + 1 < text.size() && isAsciiLetter(text[i + 1]))) {
      continue;
    }
    anyPlain = anyPlain || !exponentShaped(text, i);
    if (count < 3) letters[count] = i;
    ++count;
  }
  if (!anyPlain) count = 0;

  std::string_view rest;
  if (count == 0) {
    const std::size_t blank = findBlank(text);
    if (blank == std::string_view::npos) {
      error =
          "position: expected a latitude and a longitude, separated by a blank, a comma or a "
          "slash";
      return false;
    }
    latText = text.substr(0, blank);
    const std::string_view after = trim(text.substr(blank));
    const std::size_t next = findBlank(after);
    lonText = after.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : trim(after.substr(next));
    if (!rest.empty() && !(isBareNumber(latText) && isBareNumber(lonText) &&
                           hasDecimalMark(latText) && hasDecimalMark(lonText))) {
      error = kAmbiguous;
      return false;
    }
  } else if (count == 1) {
    error =
        "position: a hemisphere letter on one coordinate only; give both coordinates a letter, "
        "or neither";
    return false;
  } else if (count > 2) {
    error = "position: more than two hemisphere letters";
    return false;
  } else {
    const std::size_t first = letters[0], second = letters[1];
    if (trim(text.substr(first + 1, second - first - 1)).empty()) {  // "43.5N W3.75"
      latText = text.substr(0, first + 1);
      lonText = text.substr(second);
    } else if (first == 0) {  // "N43.5 W3.75"
      if (second + 1 == text.size()) {
        error = "position: hemisphere letters go all before or all after their numbers";
        return false;
      }
      latText = text.substr(0, second);
      lonText = text.substr(second);
    } else {  // "43.5N 3.75W"
      latText = text.substr(0, first + 1);
      lonText = text.substr(first + 1, second - first);
      rest = trim(text.substr(second + 1));
    }
  }
  if (!rest.empty()) {
    error = "position: unexpected '" + std::string(rest) + "' after the longitude";
    return false;
  }
  return true;
}

// Invalid UTF-8 is refused before anything else: a stray byte read as part of a character would
// swallow the sign or digit after it.
bool refuseInvalidUtf8(std::string_view text, std::string& error) {
  const std::size_t at = firstInvalidUtf8(text);
  if (at == std::string_view::npos) return false;
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", byteAt(text, at));
  error = "not UTF-8 text: a broken character at byte " + std::to_string(at + 1) + " (" + hex + ")";
  return true;
}

// Windows-1252 text of the navigation library to UTF-8; it writes no byte from 0x80 to 0x9F,
// where the two encodings part.
std::string libraryTextToUtf8(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      out += *p;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
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
  const bool whole = result.ptr == text.data() + text.size();
  if (result.ec == std::errc::result_out_of_range && whole) {
    error = belowTheSmallestDouble(text) ? kTooSmall
                                         : "not a finite number (out of the range of a double)";
    return false;
  }
  if (result.ec != std::errc() || !whole) {
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
  if (refuseInvalidUtf8(text, error)) return false;
  return readCoordinate(text, axis, false, degrees, error);
}

bool parsePosition(std::string_view text, double& lat, double& lon, std::string& error) {
  std::string why;
  if (refuseInvalidUtf8(text, why)) {
    error = "position: " + why;
    return false;
  }
  text = trim(text);
  if (text.empty()) {
    error = "position: empty";
    return false;
  }
  bool twoCommasInOneNumber = false;
  const bool decimalComma = commasAreDecimalMarks(text, twoCommasInOneNumber);
  std::string_view latText, lonText;
  if (!splitPosition(text, decimalComma, twoCommasInOneNumber, latText, lonText, why)) {
    error = why;
    return false;
  }
  latText = trim(latText);
  lonText = trim(lonText);
  if (latText.empty() || lonText.empty()) {
    error = latText.empty() ? "latitude: missing" : "longitude: missing";
    return false;
  }
  if (isBareNumber(latText) && isBareNumber(lonText) &&
      !(hasDecimalMark(latText) && hasDecimalMark(lonText))) {
    error = kAmbiguous;
    return false;
  }
  double a = 0.0, b = 0.0;
  if (!readCoordinate(latText, Axis::Latitude, decimalComma, a, why)) {
    error = "latitude: " + why;
    return false;
  }
  if (!readCoordinate(lonText, Axis::Longitude, decimalComma, b, why)) {
    error = "longitude: " + why;
    return false;
  }
  lat = a;
  lon = b;
  return true;
}

double displayLongitude(double lon) {
  if (!std::isfinite(lon) || (lon >= -180.0 && lon <= 180.0)) return lon;
  // fmod is exact, and so is the one turn taken off its remainder.
  const double r = std::fmod(lon, 360.0);
  if (r > 180.0) return r - 360.0;
  if (r < -180.0) return r + 360.0;
  return r;
}

std::string coordinateText(double degrees, Axis axis, CoordinateForm form) {
  const bool isLat = axis == Axis::Latitude;
  if (!isLat) degrees = displayLongitude(degrees);
  if (form == CoordinateForm::DegreesMinutes) {
    char text[kSexagesimalTextSize];
    (isLat ? DegToLat : DegToLon)(degrees, text);
    if (std::string_view(text).ends_with("60.00'")) {
      // The library prints each field on its own; carry the minutes into the next degree.
      double sign = 0.0, whole = 0.0, minutes = 0.0;
      DegToSgGM(degrees, &sign, &whole, &minutes);
      (isLat ? DegToLat : DegToLon)(sign * (whole + 1.0), text);
    }
    return libraryTextToUtf8(text);
  }
  if (!std::isfinite(degrees)) return "-";
  const char hemisphere = isLat ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  const double magnitude = std::fabs(degrees);
  char text[64];
  if (form == CoordinateForm::Degrees) {
    std::snprintf(text, sizeof text, isLat ? "%c%09.6f\xC2\xBA" : "%c%010.6f\xC2\xBA", hemisphere,
                  magnitude);
  } else {
    // Rounded once, to the tenth of a second shown, so that no field can show 60.
    const double tenths = std::round(magnitude * 36000.0);
    const double whole = std::floor(tenths / 36000.0);
    const double minutes = std::floor((tenths - whole * 36000.0) / 600.0);
    const double seconds = (tenths - whole * 36000.0 - minutes * 600.0) / 10.0;
    std::snprintf(text, sizeof text,
                  isLat ? "%c%02.0f\xC2\xBA %02.0f' %04.1f\"" : "%c%03.0f\xC2\xBA %02.0f' %04.1f\"",
                  hemisphere, whole, minutes, seconds);
  }
  return text;
}

std::string positionText(double lat, double lon, CoordinateForm form) {
  return coordinateText(lat, Axis::Latitude, form) + "  " +
         coordinateText(lon, Axis::Longitude, form);
}

}  // namespace vestrand
