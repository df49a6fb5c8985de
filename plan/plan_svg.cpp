#include "plan_svg.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "safe_file.h"
#include "xml_text.h"

namespace vestrand {
namespace {

// Gathers the text in large pieces so that a million points are not a million writes.
class Output {
 public:
  explicit Output(const TextOut& out) : out_(out) { text_.reserve(kPiece + 4096); }

  Output& operator<<(std::string_view s) {
    text_ += s;
    if (text_.size() >= kPiece) flush();
    return *this;
  }
  // Pixels, to two decimals; the figure keeps every drawn point inside the picture.
  Output& operator<<(double value) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return *this << (r.ec == std::errc() ? std::string_view(text, r.ptr - text) : "0");
  }
  Output& operator<<(Rgb c) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char text[] = {'#',
                         kHex[c.r >> 4],
                         kHex[c.r & 15],
                         kHex[c.g >> 4],
                         kHex[c.g & 15],
                         kHex[c.b >> 4],
                         kHex[c.b & 15]};
    return *this << std::string_view(text, sizeof text);
  }
  Output& escaped(std::string_view s) {
    appendXmlText(text_, s);
    if (text_.size() >= kPiece) flush();
    return *this;
  }
  bool flush() {
    if (ok_ && !text_.empty()) ok_ = out_(text_);
    text_.clear();
    return ok_;
  }

 private:
  static constexpr std::size_t kPiece = 1 << 16;
  const TextOut& out_;
  std::string text_;
  bool ok_ = true;
};

void writeText(const FigureText& t, Output& out) {
  out << "<text x=\"" << t.at.x << "\" y=\"" << t.at.y << "\" font-size=\"" << t.size << "\"";
  if (t.bold) out << " font-weight=\"bold\"";
  if (t.anchor == TextAnchor::Middle) out << " text-anchor=\"middle\"";
  out << " fill=\"" << t.colour << "\">";
  out.escaped(t.text) << "</text>\n";
}

void writeCells(const PlanFigure& f, Output& out) {
  if (f.cells.empty()) return;
  out << "<g id=\"probability\" stroke=\"none\">\n";
  for (const FigureCell& c : f.cells) {
    out << "<rect x=\"" << c.box.left << "\" y=\"" << c.box.top << "\" width=\""
        << c.box.right - c.box.left << "\" height=\"" << c.box.bottom - c.box.top << "\" fill=\""
        << c.colour << "\"/>\n";
  }
  out << "</g>\n";
}

void writePath(const std::vector<std::vector<PixelPoint>>& lines, bool closed, Output& out) {
  for (const std::vector<PixelPoint>& line : lines) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      out << (i == 0 ? "M" : "L") << line[i].x << " " << line[i].y;
    }
    if (closed) out << "Z";
  }
}

void writeLand(const PlanFigure& f, Output& out) {
  if (f.land.source.empty()) return;
  out << "<g id=\"land\"><title>";
  out.escaped(f.land.source) << "</title>\n";
  if (!f.land.rings.empty()) {
    out << "<path class=\"land\" fill=\"" << kLandFill << "\" fill-rule=\"evenodd\" d=\"";
    writePath(f.land.rings, true, out);
    out << "\"/>\n";
  }
  if (!f.land.shores.empty()) {
    out << "<path class=\"land shoreline\" fill=\"none\" stroke=\"" << kShoreInk
        << "\" stroke-width=\"" << f.land.shoreWidth << "\" stroke-linejoin=\"round\" d=\"";
    writePath(f.land.shores, false, out);
    out << "\"/>\n";
  }
  out << "</g>\n";
}

void writeRoutes(const PlanFigure& f, Output& out) {
  out << "<g id=\"routes\" fill=\"none\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
  for (const FigureRoute& route : f.routes) {
    out << "<polyline class=\"unit" << std::to_string(route.unit + 1) << "\" stroke=\""
        << route.colour << "\" stroke-width=\"" << route.lineWidth << "\" points=\"";
    for (std::size_t i = 0; i < route.line.size(); ++i) {
      if (i > 0) out << " ";
      out << route.line[i].at.x << "," << route.line[i].at.y;
    }
    out << "\"><title>";
    out.escaped(route.name) << "</title></polyline>\n";
  }
  out << "</g>\n";
}

void writeLines(const PlanFigure& f, Output& out) {
  out << "<g id=\"lines\" fill=\"none\">\n";
  for (const FigureLine& line : f.lines) {
    if (line.points.empty()) continue;
    out << "<path d=\"";
    for (std::size_t i = 0; i < line.points.size(); ++i) {
      out << (i == 0 ? "M" : " L") << line.points[i].x << " " << line.points[i].y;
    }
    out << "\" stroke=\"" << line.colour << "\" stroke-width=\"" << line.width << "\"";
    if (line.dashed) out << " stroke-dasharray=\"6 4\"";
    out << "/>\n";
  }
  out << "</g>\n";
}

void writeTurningPoints(const PlanFigure& f, Output& out) {
  out << "<g id=\"turning-points\">\n";
  for (const FigureRoute& route : f.routes) {
    for (const FigureTurningPoint& t : route.turningPoints) {
      out << "<circle cx=\"" << t.at.x << "\" cy=\"" << t.at.y << "\" r=\"" << f.dotRadius
          << "\" fill=\"" << route.colour << "\"/>";
      if (t.numberShown) {
        writeText(t.label, out);
      } else {
        out << "\n";
      }
    }
  }
  out << "</g>\n";
}

void writeMarks(const PlanFigure& f, Output& out) {
  out << "<g id=\"marks\" fill=\"none\" stroke=\"" << kInk << "\" stroke-width=\"2\">\n";
  for (const FigureMark& m : f.marks) {
    const double x = m.at.x, y = m.at.y, s = m.size;
    switch (m.shape) {
      case MarkShape::Cross:
        out << "<path d=\"M" << x - s << " " << y << "H" << x + s << "M" << x << " " << y - s << "V"
            << y + s << "\"/><circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"" << s / 2.0
            << "\"/>";
        break;
      case MarkShape::Square:
        out << "<rect x=\"" << x - s << "\" y=\"" << y - s << "\" width=\"" << 2.0 * s
            << "\" height=\"" << 2.0 * s << "\"/>";
        break;
      case MarkShape::Triangle:
        out << "<path d=\"M" << x << " " << y - s << "L" << x + s << " " << y + s << "H" << x - s
            << "Z\"/>";
        break;
    }
    out << "<g stroke=\"none\">";
    if (m.nameShown) writeText(m.name, out);
    out << "</g>\n";
  }
  out << "</g>\n";
}

void writeScaleAndNorth(const PlanFigure& f, Output& out) {
  const FigureScaleBar& bar = f.scaleBar;
  out << "<g id=\"scale-bar\">\n<path d=\"M" << bar.from.x << " " << bar.from.y - bar.tick << "V"
      << bar.from.y << "H" << bar.to.x << "V" << bar.to.y - bar.tick << "\" fill=\"none\" stroke=\""
      << kInk << "\" stroke-width=\"2\"/>\n";
  writeText(bar.label, out);
  out << "</g>\n<g id=\"north-arrow\">\n<path d=\"";
  for (std::size_t i = 0; i < f.north.outline.size(); ++i) {
    out << (i == 0 ? "M" : "L") << f.north.outline[i].x << " " << f.north.outline[i].y;
  }
  out << "Z\" fill=\"" << kInk << "\"/>\n";
  writeText(f.north.letter, out);
  out << "</g>\n";
}

}  // namespace

bool renderPlanSvg(const PlanFigure& f, const TextOut& textOut) {
  Output out(textOut);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << f.size.width << "\" height=\""
      << f.size.height << "\" viewBox=\"0 0 " << f.size.width << " " << f.size.height
      << "\" font-family=\"sans-serif\">\n<title>";
  out.escaped(f.title) << "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  writeLand(f, out);
  writeCells(f, out);
  writeRoutes(f, out);
  writeLines(f, out);
  writeTurningPoints(f, out);
  writeMarks(f, out);
  writeScaleAndNorth(f, out);
  out << "<g id=\"legend\">\n";
  for (const FigureText& entry : f.legend) writeText(entry, out);
  out << "</g>\n</svg>\n";
  return out.flush();
}

bool renderPlanSvg(const PlanFigure& figure, SafeFile& file) {
  return renderPlanSvg(figure, [&file](std::string_view piece) { return file.write(piece); });
}

bool writePlanSvg(const PlanFigure& figure, const std::string& path, std::string& error) {
  SafeFile file;
  if (!file.open(path) || !renderPlanSvg(figure, file) || !file.commit()) {
    error = file.error();
    return false;
  }
  return true;
}

bool writePlanSvg(const PatternParams& params, const PatternNames& names, const std::string& path,
                  std::string& error) {
  return writePlanSvg(drawPlanFigure(params, names, kSvgPictureSize), path, error);
}

bool writePlanSvg(const PlanDrawing& drawing, const std::string& path, std::string& error) {
  return writePlanSvg(layoutPlanFigure(drawing, kSvgPictureSize), path, error);
}

}  // namespace vestrand
