#include "drawing/SvgWriter.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/Utf8.h"
#include "drawing/RoleStyle.h"

namespace kestrom::drawing {
namespace {

std::string Number(double value);

// Presentation attributes rather than a style sheet: every SVG reader
// knows them. A role without an outline is filled in its own colour.
std::string Paint(PrimitiveRole role) {
    const RoleStyle style = StyleOf(role);
    if (style.LineWidth <= 0) return "fill=\"" + HexColour(style.Fill.value_or(style.Line)) + "\"";
    std::string paint = "fill=\"" + (style.Fill ? HexColour(*style.Fill) : "none") +
                        "\" stroke=\"" + HexColour(style.Line) + "\" stroke-width=\"" +
                        Number(style.LineWidth) + "\"";
    if (style.Dashed) paint += " stroke-dasharray=\"1500 700\"";
    return paint;
}

std::string Number(double value) {
    if (!std::isfinite(value)) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    std::string text = buffer;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.resize(text.size() - 2);
    if (text == "-0") text = "0";
    return text;
}

// Length of the UTF-8 sequence at `i` when it is well-formed and XML may
// hold its character, else 0.
std::size_t XmlSequence(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    char32_t code = 0;
    const std::size_t length = Utf8SequenceLength(text, i, &code);
    return code == 0xFFFE || code == 0xFFFF ? 0 : length;
}

// A byte that is no UTF-8, as Latin-1; a control character XML cannot hold
// becomes U+FFFD.
void AppendXmlLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x20)
        out += "\xEF\xBF\xBD";
    else
        AppendLatin1(out, byte);
}

class SvgWriter {
public:
    explicit SvgWriter(const Picture& picture) : picture_(picture) {}

    std::string Write() {
        const double width = picture_.High.X - picture_.Low.X;
        const double height = picture_.High.Y - picture_.Low.Y;
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width / 1000) +
                "mm\" height=\"" + Number(height / 1000) + "mm\" viewBox=\"0 0 " + Number(width) +
                " " + Number(height) + "\">\n";
        out_ += "<rect class=\"sheet\" x=\"0\" y=\"0\" width=\"" + Number(width) + "\" height=\"" +
                Number(height) + "\" fill=\"#fff\" stroke=\"#bbb\" stroke-width=\"200\"/>\n";
        for (const PictureItem& item : picture_.Items)
            WriteItem(item);
        out_ += "</svg>\n";
        return std::move(out_);
    }

private:
    std::string X(double x) const { return Number(x - picture_.Low.X); }
    std::string Y(double y) const { return Number(picture_.High.Y - y); }
    std::string XY(Point point) const { return X(point.X) + " " + Y(point.Y); }

    // Ids stay unique even when a damaged file repeats an object id.
    std::string IdOf(const PictureItem& item) {
        std::string id = XmlText(item.Group) + "-" + std::to_string(item.Id);
        const int seen = used_[id]++;
        return seen == 0 ? id : id + "-" + std::to_string(seen + 1);
    }

    static std::string Start(const char* element, PrimitiveRole role) {
        return std::string("<") + element + " class=\"" + RoleName(role) + "\" " + Paint(role);
    }

    void WriteItem(const PictureItem& item) {
        out_ += "<g class=\"" + XmlText(item.Group) + "\" id=\"" + IdOf(item) + "\" data-line=\"" +
                std::to_string(item.Line) + "\">\n";
        for (const Primitive& primitive : item.Primitives)
            WritePrimitive(primitive);
        out_ += "</g>\n";
    }

    void Ellipse(PrimitiveRole role, Point centre, Point radius) {
        out_ += Start("ellipse", role) + " cx=\"" + X(centre.X) + "\" cy=\"" + Y(centre.Y) +
                "\" rx=\"" + Number(std::fabs(radius.X)) + "\" ry=\"" +
                Number(std::fabs(radius.Y)) + "\"/>\n";
    }

    void WritePrimitive(const Primitive& primitive) {
        const PrimitiveRole role = primitive.Role;
        const std::vector<Point>& points = primitive.Points;
        switch (primitive.Kind) {
        case PrimitiveKind::Ellipse:
        case PrimitiveKind::Dot:
            if (!points.empty()) Ellipse(role, points[0], primitive.Radius);
            return;
        case PrimitiveKind::DoubleEllipse:
            if (points.empty()) return;
            Ellipse(role, points[0], primitive.Radius);
            Ellipse(role, points[0],
                    {std::max(0.0, std::fabs(primitive.Radius.X) - primitive.Inset),
                     std::max(0.0, std::fabs(primitive.Radius.Y) - primitive.Inset)});
            return;
        case PrimitiveKind::Bezier:
            return WriteBezier(role, points);
        case PrimitiveKind::Polygon:
        case PrimitiveKind::Line: {
            if (points.empty()) return;
            std::string list;
            for (const Point& point : points)
                list += (list.empty() ? "" : " ") + X(point.X) + "," + Y(point.Y);
            const char* element = primitive.Kind == PrimitiveKind::Polygon ? "polygon" : "polyline";
            out_ += Start(element, role) + " points=\"" + list + "\"/>\n";
            return;
        }
        case PrimitiveKind::Rectangle: {
            if (points.size() < 2) return;
            const double left = std::min(points[0].X, points[1].X);
            const double top = std::max(points[0].Y, points[1].Y);
            out_ += Start("rect", role) + " x=\"" + X(left) + "\" y=\"" + Y(top) + "\" width=\"" +
                    Number(std::fabs(points[1].X - points[0].X)) + "\" height=\"" +
                    Number(std::fabs(points[1].Y - points[0].Y)) + "\"/>\n";
            return;
        }
        case PrimitiveKind::Text:
            return WriteText(role, primitive);
        }
    }

    void WriteBezier(PrimitiveRole role, const std::vector<Point>& points) {
        if (points.size() < 4) return;
        std::string path = "M " + XY(points[0]);
        for (std::size_t i = 1; i + 2 < points.size(); i += 3)
            path += " C " + XY(points[i]) + " " + XY(points[i + 1]) + " " + XY(points[i + 2]);
        out_ += Start("path", role) + " d=\"" + path + "\"/>\n";
    }

    void WriteText(PrimitiveRole role, const Primitive& primitive) {
        if (primitive.Points.empty() || primitive.Text.empty()) return;
        std::vector<std::string_view> lines;
        std::string_view rest = primitive.Text;
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
             rest.remove_prefix(end + 1))
            lines.push_back(rest.substr(0, end));
        lines.push_back(rest);
        const double height = primitive.Height > 0 ? primitive.Height : picture_.TextHeight;
        const char* anchor = primitive.Align == TextAlign::Left    ? "start"
                             : primitive.Align == TextAlign::Right ? "end"
                                                                   : "middle";
        const Point at = primitive.Points[0];
        // Baselines sit 0.8 of a line below a line's top, 0.35 below its middle.
        const double firstBaseline =
            primitive.Align == TextAlign::Centre
                ? picture_.High.Y - at.Y - height * (lines.size() - 1) / 2.0 + height * 0.35
                : picture_.High.Y - at.Y + height * 0.8;
        out_ += Start("text", role) + " x=\"" + X(at.X) + "\" y=\"" + Number(firstBaseline) +
                "\" font-size=\"" + Number(height) + "\" text-anchor=\"" + anchor +
                "\" font-family=\"Arial, Helvetica, sans-serif\">";
        for (std::size_t k = 0; k < lines.size(); ++k)
            out_ += "<tspan x=\"" + X(at.X) + "\" y=\"" + Number(firstBaseline + height * k) +
                    "\">" + XmlText(lines[k]) + "</tspan>";
        out_ += "</text>\n";
    }

    const Picture& picture_;
    std::string out_;
    std::unordered_map<std::string, int> used_;
};

} // namespace

std::string XmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        switch (c) {
        case '&':
            out += "&amp;";
            ++i;
            continue;
        case '<':
            out += "&lt;";
            ++i;
            continue;
        case '>':
            out += "&gt;";
            ++i;
            continue;
        case '"':
            out += "&quot;";
            ++i;
            continue;
        case '\'':
            out += "&apos;";
            ++i;
            continue;
        case '\t':
            out += "&#9;";
            ++i;
            continue;
        case '\n':
            out += "&#10;";
            ++i;
            continue;
        case '\r':
            out += "&#13;";
            ++i;
            continue;
        default:
            break;
        }
        const std::size_t length = XmlSequence(text, i);
        if (length == 0) {
            AppendXmlLatin1(out, static_cast<unsigned char>(c));
            ++i;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string WriteSvg(const Picture& picture) {
    // Lines end as the module's do; texts hold no line break of their own.
    const std::string lines = SvgWriter(picture).Write();
    std::string crLf;
    crLf.reserve(lines.size() + lines.size() / 16);
    for (char c : lines) {
        if (c == '\n') crLf += '\r';
        crLf += c;
    }
    return crLf;
}

} // namespace kestrom::drawing
