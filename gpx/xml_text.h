// Text made safe for an XML file declared as UTF-8: the one escaper of every file the programs
// write (GPX, SVG, RTZ).
#pragma once

#include <string>
#include <string_view>

namespace vestrand {

// Appends `text` to `out` as XML character data or attribute value: & < > " ' become entities,
// tab, line feed and carriage return character references (so a name never breaks a file's line
// structure), and what XML cannot carry (other control characters, bytes that are not
// well-formed UTF-8, surrogates, U+FFFE and U+FFFF) becomes U+FFFD. Plain text passes unchanged.
void appendXmlText(std::string& out, std::string_view text);

// The same, as a new text.
std::string xmlText(std::string_view text);

}  // namespace vestrand
