// The plan's picture fed arbitrary routes, marks and names: the SVG must be well-formed UTF-8 XML
// with one <polyline> per route holding exactly the figure's kept points, and no number in it may
// be "nan" or "inf", whatever the coordinates (finite, but as far out as a double goes).
//
// The input is a little program: a mode byte and the picture's size, then blocks of one byte
// each: a route (a name, a point count, the points), a mark (a name, a shape, a position) or an
// extra line. Numbers are eight raw bytes, non-finite ones made the largest finite of their sign.
// One mode sails a real pattern from arbitrary parameters instead, with a small count.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "plan_chart.h"
#include "plan_figure.h"
#include "plan_svg.h"
#include "vestrand.gpx.h"

namespace {

std::size_t CountPoints(const xmlChar* points) {
  std::size_t n = 0;
  bool inPoint = false;
  for (const xmlChar* p = points; *p != 0; ++p) {
    const bool separator = *p == ' ';
    if (!separator && !inPoint) ++n;
    inPoint = !separator;
  }
  return n;
}

// The <polyline> elements' point counts, in document order; every attribute (only numbers and
// fixed words, names are element text) is checked for "nan" and "inf" on the way.
void Walk(const xmlNode* node, std::vector<std::size_t>& counts) {
  for (; node != nullptr; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
      xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
      const std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
      xmlFree(value);
      if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) {
        vestrand_fuzz::Violated("a number in the SVG is not finite");
      }
      if (xmlStrEqual(node->name, BAD_CAST "polyline") && xmlStrEqual(a->name, BAD_CAST "points")) {
        counts.push_back(CountPoints(BAD_CAST text.c_str()));
      }
    }
    Walk(node->children, counts);
  }
}

void Check(const vestrand::PlanFigure& figure) {
  std::string svg;
  if (!vestrand::renderPlanSvg(figure, [&svg](std::string_view piece) {
        svg += piece;
        return true;
      })) {
    vestrand_fuzz::Violated("the renderer refused a sink that takes everything");
  }
  if (!vestrand_fuzz::IsValidUtf8(svg)) vestrand_fuzz::Violated("the SVG is not valid UTF-8");
  xmlDocPtr doc =
      xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "fuzz.svg", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  if (doc == nullptr) vestrand_fuzz::Violated("the SVG is not well-formed XML");
  std::vector<std::size_t> counts;
  Walk(xmlDocGetRootElement(doc), counts);
  xmlFreeDoc(doc);
  std::vector<std::size_t> expected;
  for (const auto& route : figure.routes) expected.push_back(route.line.size());
  if (counts != expected) vestrand_fuzz::Violated("the polylines do not hold the kept points");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  xmlInitParser();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vestrand_fuzz::Input input(data, size);
  const std::uint8_t mode = input.Byte();
  // From below the smallest picture to beyond the largest, and 0: the height of the shape.
  const vestrand::PictureSize picture{input.Byte() * 20.0,
                                      input.Byte() % 4 == 0 ? 0.0 : input.Byte() * 20.0};

  if (mode % 4 == 0) {
    vestrand::PatternParams p;
    p.kind = static_cast<vestrand::PatternKind>(input.Byte() % 4);
    p.lat = input.FiniteNumber();
    p.lon = input.FiniteNumber();
    p.course = input.FiniteNumber();
    p.spacing = input.FiniteNumber();
    p.leg = input.FiniteNumber();
    p.count = input.Byte() - 8;
    vestrand::PatternNames names;
    if (!vestrand::composePatternNames(p, input.Name().c_str(), names)) return 0;
    Check(vestrand::drawPlanFigure(p, names, picture));
    return 0;
  }

  vestrand::PlanDrawing drawing;
  drawing.datumLat = input.FiniteNumber();
  drawing.datumLon = input.FiniteNumber();
  vestrand::PlanExtras extras;
  for (int block = 0; block < 16 && !input.empty(); ++block) {
    const std::uint8_t code = input.Byte() % 3;
    if (code == 0) {
      vestrand::ChartRoute route;
      route.name = input.Name();
      route.unit = input.Byte() % 3;
      for (int n = input.Byte() % 64; n > 0; --n) {
        const double x = input.FiniteNumber();
        route.points.push_back({x, input.FiniteNumber()});
      }
      drawing.routes.push_back(std::move(route));
    } else if (code == 1) {
      vestrand::ChartMark mark;
      mark.name = input.Name();
      mark.shape = static_cast<vestrand::MarkShape>(input.Byte() % 3);
      const double x = input.FiniteNumber();
      mark.at = {x, input.FiniteNumber()};
      drawing.marks.push_back(std::move(mark));
    } else {
      vestrand::ExtraLine line;
      line.dashed = input.Byte() % 2 == 0;
      for (int n = input.Byte() % 8; n > 0; --n) {
        const double lat = input.FiniteNumber();
        line.points.push_back({lat, input.FiniteNumber()});
      }
      extras.lines.push_back(std::move(line));
      const double lat = input.FiniteNumber();
      extras.marks.push_back(
          {input.Name(), {lat, input.FiniteNumber()}, vestrand::MarkShape::Triangle});
    }
  }
  Check(vestrand::layoutPlanFigure(drawing, picture, extras));
  return 0;
}
