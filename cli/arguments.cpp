#include "arguments.h"

#include <cmath>

#include "report.h"

namespace vestrand::cli {
namespace {

[[noreturn]] void refuse(const std::string& option, const std::string& text,
                         const std::string& reason) {
  throw UsageError(option + " '" + text + "' refused: " + reason);
}

double number(const std::string& option, const std::string& text) {
  double value = 0.0;
  std::string error;
  if (!parseNumber(text, value, error)) refuse(option, text, error);
  return value + 0.0;  // "-0" is zero; its sign would show in texts and names
}

}  // namespace

double checkCoordinate(const std::string& option, const std::string& text, Axis axis) {
  double value = 0.0;
  std::string error;
  if (!parseCoordinate(text, axis, value, error)) refuse(option, text, error);
  return value;
}

double checkCourse(const std::string& option, const std::string& text) {
  const double value = number(option, text);
  if (!(std::fabs(value) <= kMaxCourse)) {
    refuse(option, text, "a course must lie from -360 to 360 degrees");
  }
  return value;
}

double checkDistance(const std::string& option, const std::string& text) {
  const double value = number(option, text);
  if (!(value > 0.0)) refuse(option, text, "must be greater than 0 nautical miles");
  if (value > kMaxDistance) refuse(option, text, "must be at most 500 nautical miles");
  return value;
}

double checkSpeed(const std::string& option, const std::string& text) {
  return checkBounded(option, text, kMinSearchSpeed, kMaxSearchSpeed, "knots");
}

double checkBounded(const std::string& option, const std::string& text, double low, double high,
                    const char* unit) {
  const double value = number(option, text);
  if (!(value >= low && value <= high)) {
    refuse(option, text,
           "must lie from " + shortestNumber(low) + " to " + shortestNumber(high) + " " + unit);
  }
  return value;
}

const std::string& checkPath(const std::string& option, const std::string& text, const char* what) {
  if (text.empty()) throw UsageError(option + " '' refused: " + what + " must have a name");
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      refuse(option, text, "a path must not hold control characters such as a line end");
    }
  }
  return text;
}

double checkFinite(const std::string& option, const std::string& text) {
  return number(option, text);
}

int checkCount(const std::string& option, const std::string& text) {
  const double value = number(option, text);
  if (value != std::trunc(value)) refuse(option, text, "not a whole number");
  if (value < 0.0) refuse(option, text, "must not be negative");
  if (value > kMaxCount) refuse(option, text, "must be at most 1000000");
  return static_cast<int>(value);
}

std::string checkStem(const std::string& option, const std::string& text) {
  if (text.empty()) refuse(option, text, "a stem must not be empty");
  if (text.size() > kMaxStemLength) refuse(option, text, "a stem must not exceed 40 characters");
  if (text.front() == '-') refuse(option, text, "a stem must not start with '-'");
  for (const char c : text) {
    const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!allowed) refuse(option, text, "a stem may hold only letters, digits, '-' and '_'");
  }
  return text;
}

}  // namespace vestrand::cli
