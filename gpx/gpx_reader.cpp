#include "gpx_reader.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace vestrand {
namespace {

// What an open element is to the reader; everything it has no use for is Skipped, and so is
// everything inside that.
enum class Element { Gpx, Route, RoutePoint, Waypoint, Track, Segment, TrackPoint, Name, Skipped };

constexpr double kMaxLongitude = 540.0;
constexpr std::size_t kChunk = 64 * 1024;

std::string text(const xmlChar* chars) {
  return chars != nullptr ? reinterpret_cast<const char*>(chars) : "";
}

bool equal(const xmlChar* a, const char* b) {
  return a != nullptr && std::strcmp(reinterpret_cast<const char*>(a), b) == 0;
}

// The state of one reading, reached from libxml2's callbacks.
class Reader {
 public:
  Reader(GpxDocument& document, std::uint64_t maxBytes) : doc_(document), maxBytes_(maxBytes) {}

  // Feeds the next bytes; the last call has `last` set.
  bool feed(const char* bytes, std::size_t size, bool last);
  bool create(const std::string& name);
  ~Reader() {
    if (ctxt_ != nullptr) xmlFreeParserCtxt(ctxt_);
  }
  const std::string& problem() const { return problem_; }

 private:
  static Reader& of(void* ctx) { return *static_cast<Reader*>(ctx); }
  static void onStart(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar* uri, int,
                      const xmlChar**, int attributeCount, int, const xmlChar** attributes);
  static void onEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*);
  static void onCharacters(void* ctx, const xmlChar* chars, int length);
  static void onDoctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*);
  static void onError(void* ctx, xmlErrorPtr error);

  void start(const xmlChar* local, const xmlChar* uri, int count, const xmlChar** attributes);
  void end();
  Element classify(const xmlChar* local, const xmlChar* uri) const;
  bool readPoint(const char* element, int count, const xmlChar** attributes, GpxPoint& point);
  bool coordinate(const char* element, const char* attribute, std::string_view value, double limit,
                  double& result);
  // Records the first problem, with the line it was found on, and stops the parser.
  void refuse(const std::string& reason);

  GpxDocument& doc_;
  std::uint64_t maxBytes_;
  std::uint64_t fed_ = 0;
  xmlParserCtxtPtr ctxt_ = nullptr;
  std::vector<Element> open_;
  std::string namespace_;  // of the root element
  bool rootSeen_ = false;
  bool terminating_ = false;  // the last bytes are being parsed
  std::string name_;          // the text of the <name> being read
  GpxPoint point_;            // the point being read
  std::string trackName_;
  std::string problem_;
};

void Reader::refuse(const std::string& reason) {
  if (!problem_.empty()) return;
  const int line = ctxt_ != nullptr && ctxt_->input != nullptr ? ctxt_->input->line : 0;
  problem_ = line > 0 ? "line " + std::to_string(line) + ": " + reason : reason;
  if (ctxt_ != nullptr) xmlStopParser(ctxt_);
}

Element Reader::classify(const xmlChar* local, const xmlChar* uri) const {
  const Element parent = open_.back();
  if (parent == Element::Skipped || parent == Element::Name) return Element::Skipped;
  if (text(uri) != namespace_) return Element::Skipped;
  const bool named = equal(local, "name");
  switch (parent) {
    case Element::Gpx:
      if (equal(local, "rte")) return Element::Route;
      if (equal(local, "wpt")) return Element::Waypoint;
      if (equal(local, "trk")) return Element::Track;
      return Element::Skipped;
    case Element::Route:
      if (named) return Element::Name;
      return equal(local, "rtept") ? Element::RoutePoint : Element::Skipped;
    case Element::Track:
      if (named) return Element::Name;
      return equal(local, "trkseg") ? Element::Segment : Element::Skipped;
    case Element::Segment:
      return equal(local, "trkpt") ? Element::TrackPoint : Element::Skipped;
    case Element::RoutePoint:
    case Element::Waypoint:
    case Element::TrackPoint:
      return named ? Element::Name : Element::Skipped;
    default:
      return Element::Skipped;
  }
}

bool Reader::coordinate(const char* element, const char* attribute, std::string_view value,
                        double limit, double& result) {
  const std::string quoted = std::string("the ") + element + "'s " + attribute + " '" +
                             std::string(value.substr(0, 40)) + (value.size() > 40 ? "...'" : "'");
  // XML Schema's decimals may carry blanks around them and a plus sign.
  while (!value.empty() && std::strchr(" \t\r\n", value.front()) != nullptr) value.remove_prefix(1);
  while (!value.empty() && std::strchr(" \t\r\n", value.back()) != nullptr) value.remove_suffix(1);
  if (value.size() > 1 && value.front() == '+' && value[1] != '-') value.remove_prefix(1);
  const char* first = value.data();
  const char* last = first + value.size();
  const std::from_chars_result read = std::from_chars(first, last, result);
  if (value.empty() || read.ptr != last || read.ec == std::errc::invalid_argument) {
    refuse(quoted + " is not a number");
    return false;
  }
  if (read.ec == std::errc::result_out_of_range || !std::isfinite(result)) {
    refuse(quoted + " is not a finite number");
    return false;
  }
  if (std::fabs(result) > limit) {
    char bound[16];
    std::snprintf(bound, sizeof bound, "%.0f", limit);
    refuse(quoted + " lies beyond " + bound + " degrees");
    return false;
  }
  return true;
}

bool Reader::readPoint(const char* element, int count, const xmlChar** attributes,
                       GpxPoint& point) {
  const xmlChar* lat = nullptr;
  const xmlChar* latEnd = nullptr;
  const xmlChar* lon = nullptr;
  const xmlChar* lonEnd = nullptr;
  // Five pointers an attribute: local name, prefix, namespace, value, end of the value.
  for (int i = 0; i < count; ++i) {
    const xmlChar** a = attributes + 5 * i;
    if (a[2] != nullptr) continue;
    if (equal(a[0], "lat")) {
      lat = a[3];
      latEnd = a[4];
    } else if (equal(a[0], "lon")) {
      lon = a[3];
      lonEnd = a[4];
    }
  }
  if (lat == nullptr || lon == nullptr) {
    refuse(std::string("a ") + element + " has no " + (lat == nullptr ? "lat" : "lon") +
           " attribute");
    return false;
  }
  const auto view = [](const xmlChar* from, const xmlChar* to) {
    return std::string_view(reinterpret_cast<const char*>(from),
                            static_cast<std::size_t>(to - from));
  };
  point = GpxPoint{};
  return coordinate(element, "lat", view(lat, latEnd), 90.0, point.lat) &&
         coordinate(element, "lon", view(lon, lonEnd), kMaxLongitude, point.lon);
}

void Reader::start(const xmlChar* local, const xmlChar* uri, int count,
                   const xmlChar** attributes) {
  if (!problem_.empty()) return;
  if (!rootSeen_) {
    rootSeen_ = true;
    if (!equal(local, "gpx")) {
      refuse("not a GPX file: its root element is <" + text(local) + ">, not <gpx>");
      return;
    }
    namespace_ = text(uri);
    open_.push_back(Element::Gpx);
    return;
  }
  const Element element = classify(local, uri);
  open_.push_back(element);
  switch (element) {
    case Element::Route:
      doc_.routes.emplace_back();
      break;
    case Element::Track:
      trackName_.clear();
      break;
    case Element::Segment:
      doc_.tracks.push_back(GpxRoute{trackName_, {}});
      break;
    case Element::RoutePoint:
      readPoint("rtept", count, attributes, point_);
      break;
    case Element::Waypoint:
      readPoint("wpt", count, attributes, point_);
      break;
    case Element::TrackPoint:
      readPoint("trkpt", count, attributes, point_);
      break;
    case Element::Name:
      name_.clear();
      break;
    default:
      break;
  }
}

void Reader::end() {
  if (!problem_.empty() || open_.empty()) return;
  const Element element = open_.back();
  open_.pop_back();
  switch (element) {
    case Element::RoutePoint:
      doc_.routes.back().points.push_back(std::move(point_));
      break;
    case Element::Waypoint:
      doc_.waypoints.push_back(std::move(point_));
      break;
    case Element::TrackPoint:
      doc_.tracks.back().points.push_back(std::move(point_));
      break;
    case Element::Name:
      switch (open_.back()) {
        case Element::Route:
          doc_.routes.back().name = name_;
          break;
        case Element::Track:
          // A name after the first segment names the segments before it too.
          trackName_ = name_;
          for (auto t = doc_.tracks.rbegin(); t != doc_.tracks.rend() && t->name.empty(); ++t) {
            t->name = name_;
          }
          break;
        default:
          point_.name = name_;
          break;
      }
      break;
    default:
      break;
  }
}

void Reader::onStart(void* ctx, const xmlChar* local, const xmlChar*, const xmlChar* uri, int,
                     const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
  of(ctx).start(local, uri, attributeCount, attributes);
}

void Reader::onEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  of(ctx).end();
}

void Reader::onCharacters(void* ctx, const xmlChar* chars, int length) {
  Reader& r = of(ctx);
  if (!r.problem_.empty() || r.open_.empty() || r.open_.back() != Element::Name || length <= 0) {
    return;
  }
  if (r.name_.size() + static_cast<std::size_t>(length) > kGpxMaxNameBytes) {
    r.refuse("a name is longer than " + std::to_string(kGpxMaxNameBytes) + " bytes");
    return;
  }
  r.name_.append(reinterpret_cast<const char*>(chars), static_cast<std::size_t>(length));
}

void Reader::onDoctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  of(ctx).refuse(
      "it holds a document type declaration (<!DOCTYPE>), which no GPX file needs; its entities "
      "are not expanded");
}

void Reader::onError(void* ctx, xmlErrorPtr error) {
  if (error == nullptr || error->level < XML_ERR_ERROR) return;
  Reader& r = of(ctx);
  if (!r.problem_.empty()) return;
  std::string message = error->message != nullptr ? error->message : "unknown error";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  const std::string where = error->line > 0 ? "line " + std::to_string(error->line) + ": " : "";
  // libxml2 calls a cut file "extra content" at its end, which would only mislead.
  if (r.terminating_ && !r.open_.empty()) {
    r.problem_ = where + "not well-formed XML: it ends before its elements are closed (cut short?)";
    return;
  }
  r.problem_ = where + "not well-formed XML: " + message;
}

bool Reader::create(const std::string& name) {
  static const bool initialised = [] {
    xmlInitParser();
    return true;
  }();
  (void)initialised;
  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = onStart;
  sax.endElementNs = onEnd;
  sax.characters = onCharacters;
  sax.cdataBlock = onCharacters;
  sax.internalSubset = onDoctype;
  sax.serror = onError;
  ctxt_ = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, name.c_str());
  if (ctxt_ == nullptr) {
    problem_ = "the XML parser could not start (out of memory)";
    return false;
  }
  xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET);
  return true;
}

bool Reader::feed(const char* bytes, std::size_t size, bool last) {
  if (!problem_.empty()) return false;
  if (last && fed_ + size == 0) {
    problem_ = "it is empty";
    return false;
  }
  fed_ += size;
  if (fed_ > maxBytes_) {
    problem_ = "it is larger than the " + std::to_string(maxBytes_) + " bytes a GPX file may have";
    return false;
  }
  while (problem_.empty() && (size > 0 || last)) {
    const std::size_t piece = size < kChunk ? size : kChunk;
    const bool end = last && piece == size;
    terminating_ = end;
    const int status = xmlParseChunk(ctxt_, bytes, static_cast<int>(piece), end ? 1 : 0);
    if (status != 0 && problem_.empty()) problem_ = "not well-formed XML";
    bytes += piece;
    size -= piece;
    if (end) break;
  }
  if (last && problem_.empty() && !rootSeen_) problem_ = "it holds no XML element";
  return problem_.empty();
}

bool fail(const std::string& name, const std::string& reason, GpxDocument& document,
          std::string& error) {
  document = GpxDocument{};
  error = "cannot read '" + name + "': " + reason;
  return false;
}

}  // namespace

bool readGpxBytes(std::string_view bytes, const std::string& name, GpxDocument& document,
                  std::string& error, std::uint64_t maxBytes) {
  document = GpxDocument{};
  Reader reader(document, maxBytes);
  if (!reader.create(name) || !reader.feed(bytes.data(), bytes.size(), true)) {
    return fail(name, reader.problem(), document, error);
  }
  return true;
}

bool readGpxFile(const std::string& path, GpxDocument& document, std::string& error,
                 std::uint64_t maxBytes) {
  document = GpxDocument{};
  // Non-blocking, so that a FIFO cannot hold the program before it is refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(path, std::strerror(errno), document, error);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(path, std::strerror(errno), document, error);
  if (!S_ISREG(info.st_mode)) {
    return fail(path, S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file",
                document, error);
  }
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    return fail(path,
                "it is larger than the " + std::to_string(maxBytes) + " bytes a GPX file may have",
                document, error);
  }
  Reader reader(document, maxBytes);
  if (!reader.create(path)) return fail(path, reader.problem(), document, error);
  std::vector<char> buffer(kChunk);
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(path, std::strerror(errno), document, error);
    }
    const bool last = got == 0;
    if (!reader.feed(buffer.data(), static_cast<std::size_t>(got), last)) {
      return fail(path, reader.problem(), document, error);
    }
    if (last) return true;
  }
}

}  // namespace vestrand
