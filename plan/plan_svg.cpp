#include "plan_svg.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "safe_file.h"
#include "xml_text.h"

namespace vestrand {
namespace {

constexpr double kWidth = 800.0;  // pixels; the height follows the pattern's shape
constexpr double kMargin = 60.0;
constexpr double kFooter = 50.0;        // room for the scale bar below the chart
constexpr double kMinSpan = 0.1;        // nautical miles; a pattern of one point still gets a scale
constexpr std::size_t kMaxLabels = 60;  // numbers beyond this crowd each other out
constexpr const char* kUnitColours[] = {"#1f5fbf", "#c8102e"};

const char* unitColour(int unit) {
  return kUnitColours[unit == 1 ? 1 : 0];
}

// Collects the text in large pieces so that a million points are not a million writes.
class Output {
 public:
  explicit Output(std::FILE* out) : out_(out) { text_.reserve(kFlushAt + 4096); }
  Output& operator<<(const std::string& s) {
    text_ += s;
    if (text_.size() >= kFlushAt) flush();
    return *this;
  }
  Output& operator<<(const char* s) { return *this << std::string(s); }
  bool flush() {
    if (!text_.empty() && std::fwrite(text_.data(), 1, text_.size(), out_) != text_.size()) {
      ok_ = false;
    }
    text_.clear();
    return ok_;
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::FILE* out_;
  std::string text_;
  bool ok_ = true;
};

std::string num(double value) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%.2f", value);
  return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string lengthText(double nm) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%g NM", nm);
  return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Chart miles to picture pixels: north up, the pattern centred.
struct Frame {
  double scale = 1.0;  // pixels per nautical mile
  double minX = 0.0, maxY = 0.0, offsetX = 0.0, offsetY = 0.0;
  double height = kWidth;

  explicit Frame(const ChartBounds& b) {
    double spanX = std::max(b.width(), kMinSpan);
    double spanY = std::max(b.height(), kMinSpan);
    const double centreX = b.empty ? 0.0 : (b.minX + b.maxX) / 2.0;
    const double centreY = b.empty ? 0.0 : (b.minY + b.maxY) / 2.0;
    const double inner = kWidth - 2.0 * kMargin;
    // A long thin pattern keeps its shape but the picture stays between a third and twice as
    // high as wide.
    spanY = std::max(spanY, spanX / 3.0);
    spanX = std::max(spanX, spanY / 2.0);
    scale = inner / spanX;
    minX = centreX - spanX / 2.0;
    maxY = centreY + spanY / 2.0;
    offsetX = kMargin;
    offsetY = kMargin;
    height = spanY * scale + 2.0 * kMargin + kFooter;
  }
  double px(double x) const { return offsetX + (x - minX) * scale; }
  double py(double y) const { return offsetY + (maxY - y) * scale; }
};

void writeRoutes(const PlanDrawing& d, const Frame& f, Output& out) {
  out << "<g id=\"routes\" fill=\"none\" stroke-width=\"1.5\" stroke-linejoin=\"round\">\n";
  for (const ChartRoute& route : d.routes) {
    out << "<polyline class=\"unit" << std::to_string(route.unit + 1) << "\" stroke=\""
        << unitColour(route.unit) << "\" points=\"";
    bool first = true;
    for (const ChartPoint& p : route.points) {
      if (!first) out << " ";
      first = false;
      out << num(f.px(p.x)) << "," << num(f.py(p.y));
    }
    out << "\"><title>" << escapeXml(route.name) << "</title></polyline>\n";
  }
  out << "</g>\n";
}

void writeTurningPoints(const PlanDrawing& d, const Frame& f, Output& out) {
  const std::size_t stride = labelStride(d.pointCount(), kMaxLabels);
  out << "<g id=\"turning-points\" font-size=\"11\">\n";
  for (const ChartRoute& route : d.routes) {
    const char* colour = unitColour(route.unit);
    for (std::size_t i = 0; i < route.points.size(); ++i) {
      if (i % stride != 0 && i + 1 != route.points.size()) continue;
      const double x = f.px(route.points[i].x);
      const double y = f.py(route.points[i].y);
      out << "<circle cx=\"" << num(x) << "\" cy=\"" << num(y) << "\" r=\"2.5\" fill=\"" << colour
          << "\"/><text x=\"" << num(x + 4.0) << "\" y=\"" << num(y - 4.0) << "\" fill=\"" << colour
          << "\">" << std::to_string(i + 1) << "</text>\n";
    }
  }
  out << "</g>\n";
}

void writeMarks(const PlanDrawing& d, const Frame& f, Output& out) {
  out << "<g id=\"marks\" font-size=\"12\" font-weight=\"bold\">\n";
  for (std::size_t i = 0; i < d.marks.size(); ++i) {
    const ChartMark& m = d.marks[i];
    const double x = f.px(m.at.x);
    const double y = f.py(m.at.y);
    if (m.datum) {
      out << "<path d=\"M" << num(x - 7) << " " << num(y) << "H" << num(x + 7) << "M" << num(x)
          << " " << num(y - 7) << "V" << num(y + 7) << "\" stroke=\"black\" stroke-width=\"2\"/>";
    } else {
      out << "<rect x=\"" << num(x - 5) << "\" y=\"" << num(y - 5)
          << "\" width=\"10\" height=\"10\" fill=\"none\" stroke=\"black\" stroke-width=\"2\"/>";
    }
    // Marks that lie close together (a short sweep's start points) are named on successive
    // lines instead of over each other.
    double line = 0.0;
    for (std::size_t j = 0; j < i; ++j) {
      const bool near = std::fabs(f.px(d.marks[j].at.x) - x) < 60.0 &&
                        std::fabs(f.py(d.marks[j].at.y) - y) < 16.0;
      if (near) line += 1.0;
    }
    out << "<text x=\"" << num(x + 9) << "\" y=\"" << num(y + 16 + 14 * line) << "\">"
        << escapeXml(m.name) << "</text>\n";
  }
  out << "</g>\n";
}

void writeScaleAndNorth(const Frame& f, Output& out) {
  const double inner = kWidth - 2.0 * kMargin;
  const double length = roundScaleLength(inner / 3.0 / f.scale);
  const double x0 = kMargin;
  const double x1 = kMargin + length * f.scale;
  const double y = f.height - kFooter / 2.0;
  out << "<g id=\"scale-bar\" stroke=\"black\" stroke-width=\"2\">\n<path d=\"M" << num(x0) << " "
      << num(y - 6) << "V" << num(y) << "H" << num(x1) << "V" << num(y - 6)
      << "\" fill=\"none\"/>\n<text x=\"" << num((x0 + x1) / 2.0) << "\" y=\"" << num(y + 16)
      << "\" stroke=\"none\" text-anchor=\"middle\">" << lengthText(length) << "</text>\n</g>\n";
  const double nx = kWidth - kMargin / 2.0;
  const double ny = kMargin / 2.0;
  out << "<g id=\"north-arrow\">\n<path d=\"M" << num(nx) << " " << num(ny - 18) << "L"
      << num(nx + 7) << " " << num(ny + 10) << "L" << num(nx) << " " << num(ny + 4) << "L"
      << num(nx - 7) << " " << num(ny + 10) << "Z\" fill=\"black\"/>\n<text x=\"" << num(nx)
      << "\" y=\"" << num(ny + 24)
      << "\" text-anchor=\"middle\" font-weight=\"bold\">N</text>\n</g>\n";
}

void writeLegend(const PlanDrawing& d, Output& out) {
  out << "<g id=\"legend\" font-size=\"12\">\n";
  for (std::size_t i = 0; i < d.routes.size(); ++i) {
    const ChartRoute& route = d.routes[i];
    out << "<text x=\"10\" y=\"" << num(18.0 + 16.0 * static_cast<double>(i)) << "\" fill=\""
        << unitColour(route.unit) << "\">" << escapeXml(route.name) << "</text>\n";
  }
  out << "</g>\n";
}

}  // namespace

std::string escapeXml(const std::string& text) {
  return xmlText(text);
}

bool renderPlanSvg(const PlanDrawing& drawing, std::FILE* out) {
  const Frame f(drawing.bounds);
  Output o(out);
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << num(kWidth) << "\" height=\""
    << num(f.height) << "\" viewBox=\"0 0 " << num(kWidth) << " " << num(f.height)
    << "\" font-family=\"sans-serif\">\n"
    << "<title>" << escapeXml(drawing.routes.empty() ? "" : drawing.routes.front().name)
    << "</title>\n"
    << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  writeRoutes(drawing, f, o);
  writeTurningPoints(drawing, f, o);
  writeMarks(drawing, f, o);
  writeScaleAndNorth(f, o);
  writeLegend(drawing, o);
  o << "</svg>\n";
  return o.flush() && std::ferror(out) == 0;
}

bool renderPlanSvg(const PlanDrawing& drawing, SafeFile& file) {
  errno = 0;
  if (!renderPlanSvg(drawing, file.stream())) file.fail(std::strerror(errno != 0 ? errno : EIO));
  return !file.failed();
}

bool writePlanSvg(const PlanDrawing& drawing, const std::string& path, std::string& error) {
  SafeFile file;
  if (!file.open(path)) {
    error = file.error();
    return false;
  }
  renderPlanSvg(drawing, file);
  if (!file.commit()) {
    error = file.error();
    return false;
  }
  return true;
}

}  // namespace vestrand
