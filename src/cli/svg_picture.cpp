#include "cli/svg_picture.h"

#include <algorithm>
#include <cstdio>

namespace zelkan::cli {

namespace {

struct Frame {
    double minX, maxY, scale, margin;
    double X(long double x) const { return margin + static_cast<double>(x - minX) * scale; }
    double Y(long double y) const { return margin + static_cast<double>(maxY - y) * scale; }  // y grows downward
};

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

std::string SvgLine(const Frame& f, long double x1, long double y1, long double x2, long double y2, const char* style) {
    return "<line x1=\"" + Number(f.X(x1)) + "\" y1=\"" + Number(f.Y(y1)) + "\" x2=\"" + Number(f.X(x2)) +
           "\" y2=\"" + Number(f.Y(y2)) + "\" " + style + "/>\n";
}

}  // namespace

std::string DivisionSvg(const EngineTables& t, int32_t firstNumber, bool withHeights) {
    const auto& xy = t.xy;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const double x = static_cast<double>(xy[static_cast<size_t>(v)].x);
        const double y = static_cast<double>(xy[static_cast<size_t>(v)].y);
        if (v == 1 || x < minX) minX = x;
        if (v == 1 || x > maxX) maxX = x;
        if (v == 1 || y < minY) minY = y;
        if (v == 1 || y > maxY) maxY = y;
    }
    const double size = 800, margin = 40;
    const double extent = std::max({maxX - minX, maxY - minY, 1e-9});
    const Frame f{minX, maxY, size / extent, margin};
    const double width = (maxX - minX) * f.scale + 2 * margin, height = (maxY - minY) * f.scale + 2 * margin;

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" +
                      Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n<polygon points=\"";
    for (int32_t v = 1; v <= t.xynum; ++v)
        svg += Number(f.X(xy[static_cast<size_t>(v)].x)) + "," + Number(f.Y(xy[static_cast<size_t>(v)].y)) + " ";
    svg += "\" fill=\"#eef4ff\" stroke=\"black\" stroke-width=\"2\"/>\n";
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        const TAcadPoint &a = xy[static_cast<size_t>(tri.i)], &b = xy[static_cast<size_t>(tri.j)],
                         &c = xy[static_cast<size_t>(tri.k)];
        for (const auto& [p, q] : {std::pair{&a, &b}, std::pair{&b, &c}, std::pair{&a, &c}})
            svg += SvgLine(f, p->x, p->y, q->x, q->y, "stroke=\"#3060c0\" stroke-width=\"1\"");
        if (withHeights) {
            const TTriHeight& h = t.triheights[static_cast<size_t>(m)];
            svg += SvgLine(f, h.apex.x, h.apex.y, h.foot.x, h.foot.y,
                           "stroke=\"#c03030\" stroke-width=\"1\" stroke-dasharray=\"4 3\"");
        }
        svg += "<text x=\"" + Number(f.X((a.x + b.x + c.x) / 3)) + "\" y=\"" + Number(f.Y((a.y + b.y + c.y) / 3)) +
               "\" font-size=\"16\" text-anchor=\"middle\" dominant-baseline=\"middle\">" +
               std::to_string(firstNumber + m - 1) + "</text>\n";
    }
    return svg + "</svg>\n";
}

}  // namespace zelkan::cli
