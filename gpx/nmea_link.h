// Sending NMEA 0183 sentences to a plotter: over a serial port, UDP or TCP, or to standard
// output. No Qt: the command line and the window both call it (the window from a worker thread,
// since a route of many points at 4800 baud takes a while).
//
// Serial ports are opened without becoming the program's controlling terminal, set raw at the
// baud rate with 8 data bits, no parity, 1 stop bit and no flow control (8N1), and drained after
// every sentence so that the pause really falls between sentences on the wire. A path that is
// not a character device, or a character device that is not a terminal, is refused. UDP sends
// one datagram per sentence (how network multiplexers and plotters listen); TCP connects as a
// client, within kNmeaConnectSeconds. Writes never raise SIGPIPE: a closed connection is an
// error with its reason.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrand {

inline constexpr int kNmeaConnectSeconds = 10;

// Where the sentences go.
struct NmeaTarget {
  enum class Kind { StandardOutput, Serial, Udp, Tcp };
  Kind kind = Kind::StandardOutput;
  std::string path;  // Serial: the device
  std::string host;  // Udp, Tcp: a name or an address (IPv6 without its brackets)
  std::string port;  // Udp, Tcp: 1..65535, as text
};

// Reads "-", "udp:HOST:PORT", "tcp:HOST:PORT" ("udp:[::1]:10110" for IPv6) or a device path.
// @param[out] error why the text was refused ("the port '70000' is not a number from 1 to
//   65535"); untouched on success
bool parseNmeaTarget(std::string_view text, NmeaTarget& target, std::string& error);

// The baud rates a serial port can be set to here: 1200 to 115200, the standard steps.
bool validNmeaBaud(long baud);

struct NmeaSendOptions {
  long baud = 4800;   // serial ports only; NMEA 0183's own rate
  int pauseMs = 100;  // between sentences, milliseconds, 0..10000
  // Called after each sentence with the number sent so far; returning false stops the sending
  // (the window's cancel button). Null: send them all.
  std::function<bool(std::size_t sent)> progress;
};

// The target as people read it: "standard output", "serial port /dev/ttyUSB0 at 4800 baud",
// "UDP 192.168.1.10:10110".
std::string nmeaTargetText(const NmeaTarget& target, long baud);

// Sends the sentences in order, each whole, with the pause between them.
// @param[out] error on failure, the target and the reason ("cannot send to serial port
//   /dev/ttyUSB0: it is not a character device"), with how many sentences had gone
// @return true when every sentence was handed to the target (and, for a serial port, sent)
bool sendNmeaSentences(const std::vector<std::string>& sentences, const NmeaTarget& target,
                       const NmeaSendOptions& options, std::string& error);

}  // namespace vestrand
