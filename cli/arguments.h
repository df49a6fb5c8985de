// Checks of the command line's values. Every check takes the option's name and its text and
// either returns the value or throws UsageError with a message naming both.
#pragma once

#include <position_text.h>

#include <stdexcept>
#include <string>

namespace vestrand::cli {

// The coordinate reader lives in the navigation library, so both programs read positions alike.
using vestrand::Axis;

// Bad input on the command line; the program exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds that keep a typo from producing nonsense or filling the disk.
inline constexpr double kMaxCourse = 360.0;         // degrees either way
inline constexpr double kMaxDistance = 500.0;       // track spacing and leg length, nautical miles
inline constexpr int kMaxCount = 1000000;           // leg pairs or loops
inline constexpr std::size_t kMaxStemLength = 40;   // characters
inline constexpr double kMinSearchSpeed = 0.1;      // knots; slower gives times of months
inline constexpr double kMaxSearchSpeed = 100.0;    // knots; beyond any search unit
inline constexpr double kMaxRunDistance = 21600.0;  // nautical miles: once round the globe
inline constexpr double kMaxHours = 8760.0;         // a year
inline constexpr double kDefaultSearchSpeed = 8.0;  // knots, when --speed is not given

// A datum or second position: see parseCoordinate for the forms.
double checkCoordinate(const std::string& option, const std::string& text, Axis axis);

// A course in degrees from -360 to 360.
double checkCourse(const std::string& option, const std::string& text);

// A track spacing or leg length in nautical miles, greater than 0 and at most 500.
double checkDistance(const std::string& option, const std::string& text);

// A speed in knots, from 0.1 to 100.
double checkSpeed(const std::string& option, const std::string& text);

// A number from `low` to `high`, in `unit` for the message.
double checkBounded(const std::string& option, const std::string& text, double low, double high,
                    const char* unit);

// A path to write to: not empty and free of control characters, which would break the
// one-path-a-line output. `what` names it in the message ("a folder", "a file").
const std::string& checkPath(const std::string& option, const std::string& text, const char* what);

// Any finite number (speed, hours, the distance to run).
double checkFinite(const std::string& option, const std::string& text);

// A whole number from 0 to 1,000,000 ("2" or "2.0").
int checkCount(const std::string& option, const std::string& text);

// A file-name stem: 1 to 40 letters, digits, '-' and '_', so it can never leave the folder, and
// not starting with '-', which every shell tool would take for an option.
std::string checkStem(const std::string& option, const std::string& text);

}  // namespace vestrand::cli
