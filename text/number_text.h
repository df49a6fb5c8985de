// Numbers and values as texts people read: one locale-free way to write a number, and one way to
// fill values into a text (the language files' %1, %2, ...).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vestrand {

// Numbers as printf's "%.<decimals>f" and "%g" write them in the C locale, whatever locale the
// process has chosen (Qt's window chooses the user's): always a full stop. Not-a-number and the
// infinities give "-"; zero, -0 and a negative number that rounds to zero give "0", "0.00", ...
// @param[in] decimals 0 to 17; others are brought into that range
std::string fixedText(double value, int decimals);
std::string generalText(double value);
// The shortest text that reads back as the same double: "8", "0.1", "1e-300"; "-" as above.
std::string shortestText(double value);

// `pattern` with %1 ... %9 replaced by the values in order, in one pass, so a value that holds
// "%2" stays as it is. A % before anything else, or a number beyond the values, is kept.
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace vestrand
