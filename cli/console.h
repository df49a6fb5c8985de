// What every command of vestrand-cli shares: its exit statuses, its failures and its one way of
// printing a result.
#pragma once

#include <string>

namespace vestrand::cli {

inline constexpr int kExitWriteFailure = 1;
inline constexpr int kExitUsage = 2;

// A file could not be written: the message is printed and the program exits with status 1.
struct WriteFailure {
  std::string message;
};

// Prints the text and makes sure it reached its reader: a script that gets no path must not see
// success. @return 0, or kExitWriteFailure when standard output failed
int printResult(const std::string& text);

}  // namespace vestrand::cli
