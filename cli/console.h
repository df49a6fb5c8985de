// What every command of vestrand-cli shares: its exit statuses, its failures and its one way of
// printing a result.
#pragma once

#include <string>
#include <string_view>

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

// `text` as a terminal may show it: control characters (C0, DEL and the C1 range, which some
// terminals obey as escapes) are written escaped, "\n", "\t", "\r" or "\x1b", and bytes that are
// not UTF-8 become U+FFFD. A value echoed in a message can then neither clear the screen nor
// split the message into lines that read as two.
std::string shownSafely(std::string_view text);

// Prints "vestrand-cli: <message>" on standard error, its values shown safely; `kind` ("warning")
// comes after the program's name when given.
void printMessage(std::string_view message, std::string_view kind = {});

}  // namespace vestrand::cli
