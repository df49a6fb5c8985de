#include "nmea_link.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace vestrand {
namespace {

// A port or peer that takes no byte for this long is given up: a serial port has no flow control
// here, so only a dead device or a stalled connection waits that long.
constexpr int kStallMs = 10000;

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { reset(-1); }
  // Never closes the standard streams, which the program keeps.
  void reset(int fd) {
    if (fd_ > 2) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }

 private:
  int fd_ = -1;
};

std::string systemReason(int error) {
  return std::strerror(error);
}

bool waitFor(int fd, short events, std::string& reason) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int ready = ::poll(&p, 1, kStallMs);
    if (ready > 0) return true;
    if (ready == 0) {
      reason = "it took no data for " + std::to_string(kStallMs / 1000) + " seconds";
      return false;
    }
    if (errno != EINTR) {
      reason = systemReason(errno);
      return false;
    }
  }
}

// Writes every byte; sockets through send() so that a closed peer is an error, not a SIGPIPE.
bool writeAll(int fd, std::string_view data, bool socket, std::string& reason) {
  while (!data.empty()) {
    const ssize_t n = socket ? ::send(fd, data.data(), data.size(), MSG_NOSIGNAL)
                             : ::write(fd, data.data(), data.size());
    if (n >= 0) {
      data.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!waitFor(fd, POLLOUT, reason)) return false;
      continue;
    }
    reason =
        errno == ECONNREFUSED ? "nothing listens there (connection refused)" : systemReason(errno);
    return false;
  }
  return true;
}

speed_t speedOf(long baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

bool openSerial(const NmeaTarget& target, long baud, Descriptor& port, std::string& reason) {
  struct stat info {};
  if (::stat(target.path.c_str(), &info) != 0) {
    reason = systemReason(errno);
    return false;
  }
  if (!S_ISCHR(info.st_mode)) {
    reason = "it is not a character device";
    return false;
  }
  // Non-blocking, so that a modem line without carrier cannot hold the open.
  port.reset(::open(target.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (port.get() < 0) {
    reason = systemReason(errno);
    return false;
  }
  if (::fstat(port.get(), &info) != 0 || !S_ISCHR(info.st_mode)) {
    reason = "it is not a character device";
    return false;
  }
  termios settings{};
  if (::tcgetattr(port.get(), &settings) != 0) {
    reason = "it is not a serial port (" + systemReason(errno) + ")";
    return false;
  }
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  const speed_t speed = speedOf(baud);
  if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
      ::tcsetattr(port.get(), TCSANOW, &settings) != 0) {
    reason = "cannot set " + std::to_string(baud) + " baud 8N1: " + systemReason(errno);
    return false;
  }
  return true;
}

bool openSocket(const NmeaTarget& target, Descriptor& socket, std::string& reason) {
  const bool stream = target.kind == NmeaTarget::Kind::Tcp;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = stream ? SOCK_STREAM : SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int status = ::getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &found);
  if (status != 0) {
    reason = "cannot find the host: " + std::string(::gai_strerror(status));
    return false;
  }
  reason = "no address of the host could be reached";
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    socket.reset(
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
    if (socket.get() < 0) {
      reason = systemReason(errno);
      continue;
    }
    if (::connect(socket.get(), a->ai_addr, a->ai_addrlen) == 0) break;
    if (errno != EINPROGRESS) {
      reason = errno == ECONNREFUSED ? "nothing listens there (connection refused)"
                                     : systemReason(errno);
      socket.reset(-1);
      continue;
    }
    pollfd p{socket.get(), POLLOUT, 0};
    int ready;
    while ((ready = ::poll(&p, 1, kNmeaConnectSeconds * 1000)) < 0 && errno == EINTR) {
    }
    int failure = 0;
    socklen_t size = sizeof failure;
    if (ready == 1 && ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &failure, &size) == 0 &&
        failure == 0) {
      break;
    }
    reason = ready == 0 ? "no answer within " + std::to_string(kNmeaConnectSeconds) + " seconds"
             : failure == ECONNREFUSED ? "nothing listens there (connection refused)"
                                       : systemReason(failure != 0 ? failure : errno);
    socket.reset(-1);
  }
  ::freeaddrinfo(found);
  return socket.get() >= 0;
}

std::string sentCount(std::size_t sent, std::size_t total) {
  if (sent == 0) return "nothing was sent";
  return std::to_string(sent) + " of " + std::to_string(total) + " sentences were sent";
}

bool validPort(std::string_view port) {
  if (port.empty() || port.size() > 5) return false;
  long value = 0;
  for (const char c : port) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 65535;
}

}  // namespace

bool parseNmeaTarget(std::string_view text, NmeaTarget& target, std::string& error) {
  NmeaTarget result;
  if (text == "-") {
    target = result;
    return true;
  }
  const bool udp = text.starts_with("udp:");
  if (!udp && !text.starts_with("tcp:")) {
    if (text.empty()) {
      error = "an empty text names no port";
      return false;
    }
    result.kind = NmeaTarget::Kind::Serial;
    result.path = std::string(text);
    target = result;
    return true;
  }
  result.kind = udp ? NmeaTarget::Kind::Udp : NmeaTarget::Kind::Tcp;
  std::string_view rest = text.substr(4);
  std::size_t colon;
  if (rest.starts_with("[")) {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
      error = "expected [ADDRESS]:PORT after '" + std::string(text.substr(0, 4)) + "'";
      return false;
    }
    result.host = std::string(rest.substr(1, close - 1));
    colon = close + 1;
  } else {
    colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
      error = "expected HOST:PORT after '" + std::string(text.substr(0, 4)) + "'";
      return false;
    }
    result.host = std::string(rest.substr(0, colon));
    if (result.host.find(':') != std::string::npos) {
      error =
          "write an IPv6 address in brackets: " + std::string(text.substr(0, 4)) + "[ADDRESS]:PORT";
      return false;
    }
  }
  result.port = std::string(rest.substr(colon + 1));
  if (result.host.empty()) {
    error = "the host is missing";
    return false;
  }
  if (!validPort(result.port)) {
    error = "the port '" + result.port + "' is not a number from 1 to 65535";
    return false;
  }
  target = result;
  return true;
}

bool validNmeaBaud(long baud) {
  return speedOf(baud) != B0;
}

std::string nmeaTargetText(const NmeaTarget& target, long baud) {
  const std::string host =
      target.host.find(':') != std::string::npos ? "[" + target.host + "]" : target.host;
  switch (target.kind) {
    case NmeaTarget::Kind::StandardOutput:
      return "standard output";
    case NmeaTarget::Kind::Serial:
      return "serial port " + target.path + " at " + std::to_string(baud) + " baud";
    case NmeaTarget::Kind::Udp:
      return "UDP " + host + ":" + target.port;
    case NmeaTarget::Kind::Tcp:
      return "TCP " + host + ":" + target.port;
  }
  return "";
}

bool sendNmeaSentences(const std::vector<std::string>& sentences, const NmeaTarget& target,
                       const NmeaSendOptions& options, std::string& error) {
  const std::string where = "cannot send to " + nmeaTargetText(target, options.baud) + ": ";
  if (options.pauseMs < 0 || options.pauseMs > 10000) {
    error = where + "a pause of " + std::to_string(options.pauseMs) + " ms is not 0 to 10000 ms";
    return false;
  }
  Descriptor out;
  std::string reason;
  bool opened = true;
  switch (target.kind) {
    case NmeaTarget::Kind::StandardOutput:
      out.reset(STDOUT_FILENO);
      break;
    case NmeaTarget::Kind::Serial:
      if (!validNmeaBaud(options.baud)) {
        reason = std::to_string(options.baud) +
                 " baud is none of 1200, 2400, 4800, 9600, "
                 "19200, 38400, 57600 and 115200";
        opened = false;
      } else {
        opened = openSerial(target, options.baud, out, reason);
      }
      break;
    case NmeaTarget::Kind::Udp:
    case NmeaTarget::Kind::Tcp:
      opened = openSocket(target, out, reason);
      break;
  }
  if (!opened) {
    error = where + reason + "; nothing was sent";
    return false;
  }
  const bool socket = target.kind == NmeaTarget::Kind::Udp || target.kind == NmeaTarget::Kind::Tcp;
  const bool serial = target.kind == NmeaTarget::Kind::Serial;
  for (std::size_t i = 0; i < sentences.size(); ++i) {
    if (i > 0 && options.pauseMs > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(options.pauseMs));
    }
    bool sent = writeAll(out.get(), sentences[i], socket, reason);
    // The pause must fall on the wire, not in the driver's buffer.
    while (sent && serial && ::tcdrain(out.get()) != 0) {
      if (errno == EINTR) continue;
      reason = systemReason(errno);
      sent = false;
    }
    if (!sent) {
      error = where + reason + "; " + sentCount(i, sentences.size());
      return false;
    }
    if (options.progress && !options.progress(i + 1)) {
      error = where + "stopped; " + sentCount(i + 1, sentences.size());
      return false;
    }
  }
  return true;
}

}  // namespace vestrand
