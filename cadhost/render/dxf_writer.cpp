#include "cadhost/render/dxf_writer.h"

#include <cmath>
#include <map>
#include <tuple>
#include <numbers>
#include <optional>
#include <string_view>
#include <vector>

#include <dl_dxf.h>

#include "cadhost/render/aci_colour.h"
#include "cadhost/render/dxf_layers.h"
#include "cadhost/render/dxf_objects.h"
#include "cadhost/render/dxf_shapes.h"
#include "cadhost/render/dxf_stream_writer.h"
#include "cadhost/render/gbk_text.h"
#include "cadhost/render/line_style.h"
#include "cadhost/render/printable_text.h"
#include "cadhost/render/text_placement.h"

namespace cadhost::render {
namespace {

constexpr int kByLayer = 256;
constexpr int kWeightByLayer = -1;
// Texts take a TrueType style named after its font file. Readers that draw TrueType take the font from the file name
// (group 3) or the family in the style's extended data: a .ttf with Latin and all of GB 2312 that Debian packages
// (fonts-arphic-gbsn00lp), where a collection (.ttc) is not indexed by every reader. Readers that have only stroke
// fonts of their own pick the one named like the style; scripts/lff_font.py makes it from the same file. "Standard"
// names the same font for readers that fall back to it, and the SHX pair, the usual one of Chinese drafting
// installations, is a style of its own for readers that only have SHX fonts.
constexpr const char* kTextStyle = "gbsn00lp";
constexpr const char* kStandardStyle = "Standard";
constexpr const char* kTrueTypeFile = "gbsn00lp.ttf";
constexpr const char* kTrueTypeFamily = "AR PL SungtiL GB";
constexpr const char* kShxStyle = "GB_SHX";
constexpr const char* kShxFont = "gbenor.shx";
constexpr const char* kShxBigFont = "gbcbig.shx";
constexpr const char* kDefpoints = "Defpoints";
constexpr int kModelSpaceRecord = 0x1F;
constexpr double kValueOffMiddle = 0.5;  // mm along the dimension line
constexpr int kBlockRecordTable = 0x1;

// Drafting signs have DXF control codes that every reader draws in any font, while GBK has no diameter sign at all.
std::string with_control_codes(const std::string& utf8) {
    static const std::pair<std::string_view, std::string_view> signs[] = {
        {"\u2300", "%%c"}, {"\u2205", "%%c"}, {"\u00D8", "%%c"}, {"\u00B0", "%%d"}, {"\u00B1", "%%p"}};
    std::string text;
    for (std::size_t at = 0; at < utf8.size();) {
        bool replaced = false;
        for (const auto& [sign, code] : signs) {
            if (utf8.compare(at, sign.size(), sign) == 0) {
                text += code;
                at += sign.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) text += utf8[at++];
    }
    return text;
}

class DxfSheet {
  public:
    DxfSheet(const SheetGraphics& sheet, std::ostream& out)
        : sheet_(sheet), dw_(out, DL_Codes::AC1015), layers_(sheet), shapes_(repeated_shapes(sheet)) {}

    bool write(std::string& error) {
        std::string probe;
        if (!utf8_to_gbk("", probe)) {
            error = "this system cannot convert text to GBK";
            return false;
        }
        name_blocks();
        header();
        tables();
        blocks();
        entities();
        write_dxf_objects(dw_);
        dw_.dxfEOF();
        dw_.flush();
        return true;
    }

  private:
    // A group's value is one line of the file: a line break in a text would end it and misread the rest.
    std::string gbk(const std::string& utf8) const {
        std::string converted;
        utf8_to_gbk(printable_text(utf8, true), converted);
        return converted;
    }

    void header() {
        dxf_.writeHeader(dw_);
        dw_.dxfString(9, "$DWGCODEPAGE");
        dw_.dxfString(3, "ANSI_936");
        dw_.dxfString(9, "$INSUNITS");
        dw_.dxfInt(70, 4);  // millimetres
        dw_.dxfString(9, "$MEASUREMENT");
        dw_.dxfInt(70, 1);  // metric
        dw_.dxfString(9, "$LIMMIN");
        dw_.dxfReal(10, 0.0);
        dw_.dxfReal(20, 0.0);
        dw_.dxfString(9, "$LIMMAX");
        dw_.dxfReal(10, sheet_.width);
        dw_.dxfReal(20, sheet_.height);
        // Patterns are in sheet millimetres at full size, the sheet is drawn 1:1, and texts and dimension values
        // default to the Chinese style.
        for (const char* scale : {"$LTSCALE", "$CELTSCALE"}) {
            dw_.dxfString(9, scale);
            dw_.dxfReal(40, 1.0);
        }
        dw_.dxfString(9, "$PSLTSCALE");
        dw_.dxfInt(70, 1);
        dw_.dxfString(9, "$TEXTSTYLE");
        dw_.dxfString(7, kTextStyle);
        dw_.dxfString(9, "$DIMTXSTY");
        dw_.dxfString(7, kTextStyle);
        const DimensionSizes sizes = sheet_.dimensions.empty() ? DimensionSizes{} : sizes_of(sheet_.dimensions.front());
        dw_.dxfString(9, "$DIMTXT");
        dw_.dxfReal(40, sizes.text);
        dw_.dxfString(9, "$DIMASZ");
        dw_.dxfReal(40, sizes.arrow);
        dw_.sectionEnd();
    }

    void linetypes() {
        // The patterns of a thin line; wide lines scale them through their entity linetype scale.
        Stroke dashed{LineWeight::Thin, LinePattern::Dashed};
        Stroke chain{LineWeight::Thin, LinePattern::Chain};
        std::vector<double> dashed_pattern = dash_pattern_mm(dashed);
        std::vector<double> chain_pattern = dash_pattern_mm(chain);
        double dashed_length = 0.0;
        double chain_length = 0.0;
        for (std::size_t i = 0; i < dashed_pattern.size(); ++i) {
            dashed_length += dashed_pattern[i];
            if (i % 2 == 1) dashed_pattern[i] = -dashed_pattern[i];  // DXF writes gaps as negative lengths
        }
        for (std::size_t i = 0; i < chain_pattern.size(); ++i) {
            chain_length += chain_pattern[i];
            if (i % 2 == 1) chain_pattern[i] = -chain_pattern[i];
        }
        dw_.tableLinetypes(5);
        dxf_.writeLinetype(dw_, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
        dxf_.writeLinetype(dw_, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
        dxf_.writeLinetype(dw_, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
        dxf_.writeLinetype(
            dw_, DL_LinetypeData(dxf_linetype_name(LinePattern::Dashed), "Hidden __ __ __", 0,
                                 static_cast<int>(dashed_pattern.size()), dashed_length, dashed_pattern.data()));
        dxf_.writeLinetype(dw_,
                           DL_LinetypeData(dxf_linetype_name(LinePattern::Chain), "Center ____ _ ____", 0,
                                           static_cast<int>(chain_pattern.size()), chain_length, chain_pattern.data()));
        dw_.tableEnd();
    }

    void tables() {
        dw_.sectionTables();
        dxf_.writeVPort(dw_);
        linetypes();

        dw_.tableLayers(static_cast<int>(layers_.layers().size()));
        for (const DxfLayer& layer : layers_.layers())
            dxf_.writeLayer(dw_, DL_LayerData(gbk(layer.name), 0),
                            DL_Attributes("", 7, layer.lineweight, dxf_linetype_name(layer.pattern), 1.0));
        dw_.tableEnd();

        dw_.tableStyle(3);
        style(kStandardStyle, kTrueTypeFile, "", kTrueTypeFamily);
        style(kTextStyle, kTrueTypeFile, "", kTrueTypeFamily);
        style(kShxStyle, kShxFont, kShxBigFont, nullptr);
        dw_.tableEnd();

        dxf_.writeView(dw_);
        dxf_.writeUcs(dw_);
        dw_.tableAppid(1);
        dxf_.writeAppid(dw_, "ACAD");
        dw_.tableEnd();
        dim_style();
        dxf_.writeBlockRecord(dw_);
        // Each dimension's block: a reader that knows dimensions finds the block it expects.
        for (const std::string& name : block_names_) dimension_records_.push_back(block_record(name));
        for (const std::string& name : shape_block_names_) shape_block_records_.push_back(block_record(name));
        dw_.tableEnd();
        dw_.sectionEnd();
    }

    int block_record(const std::string& name) {
        dw_.dxfString(0, "BLOCK_RECORD");
        const int handle = static_cast<int>(dw_.handle());
        dw_.dxfHex(330, kBlockRecordTable);
        dw_.dxfString(100, "AcDbSymbolTableRecord");
        dw_.dxfString(100, "AcDbBlockTableRecord");
        dw_.dxfString(2, name);
        dw_.dxfHex(340, 0);
        return handle;
    }

    void block_begin(int record, const std::string& name) {
        entity_head("BLOCK", record, "0");
        dw_.dxfString(100, "AcDbBlockBegin");
        dw_.dxfString(2, name);
        dw_.dxfInt(70, 1);  // anonymous
        for (int code : {10, 20, 30}) dw_.dxfReal(code, 0.0);
        dw_.dxfString(3, name);
        dw_.dxfString(1, "");
    }

    void block_end(int record) {
        entity_head("ENDBLK", record, "0");
        dw_.dxfString(100, "AcDbBlockEnd");
    }

    void blocks() {
        dw_.sectionBlocks();
        for (const char* name : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
            dxf_.writeBlock(dw_, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
            dxf_.writeEndBlock(dw_, name);
        }
        for (std::size_t i = 0; i < sheet_.dimensions.size(); ++i) dimension_block_body(i);
        for (std::size_t i = 0; i < shapes_.blocks.size(); ++i) shape_block_body(i);
        dw_.sectionEnd();
    }

    // A sheet has a few layers and strokes but tens of thousands of entities: each pair's attributes, with the
    // layer's name converted to GBK, are made once. A line goes on its layer's layer of lines of its pattern, which
    // gives it its weight when it has the commonest one, and its pattern when continuous: a broken line names its
    // pattern itself, for some readers draw a layer's broken pattern as a continuous line.
    const DL_Attributes& attributes(const std::string& layer, const Stroke& stroke, bool line = false) {
        const auto key =
            std::make_tuple(layer, static_cast<int>(stroke.weight), static_cast<int>(stroke.pattern), stroke.ink, line);
        auto found = attributes_.find(key);
        if (found != attributes_.end()) return found->second;
        // A line in a body's own colour carries it as a true colour, and as the nearest index for older readers.
        const bool coloured = stroke.ink != 0;
        const DxfLayer& on = line ? layers_.of_line(layer, stroke) : layers_.of(layer);
        const int weight = static_cast<int>(std::lround(line_width_mm(stroke.weight) * 100.0));
        DL_Attributes attributes(gbk(on.name), coloured ? nearest_aci(stroke.ink) : kByLayer,
                                 coloured ? static_cast<int>(stroke.ink) : -1,
                                 line && weight == on.lineweight ? kWeightByLayer : weight,
                                 line && stroke.pattern == LinePattern::Continuous && on.pattern == stroke.pattern
                                     ? "BYLAYER"
                                     : dxf_linetype_name(stroke.pattern));
        attributes.setLinetypeScale(line_width_mm(stroke.weight) / 0.25);
        return attributes_.emplace(key, attributes).first->second;
    }

    // The head of a line entity, its groups of default value left out: a large sheet holds thousands of entities,
    // and most of them are lines of their layer's colour, weight and pattern. A linetype scale matters only to a
    // broken line.
    void line_head(const char* type, const char* subclass, const std::string& layer, const Stroke& stroke) {
        const DL_Attributes& a = attributes(layer, stroke, true);
        dw_.entity(type);
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, a.getLayer());
        if (a.getColor() != kByLayer) dw_.dxfInt(62, a.getColor());
        if (a.getColor24() != -1) dw_.dxfInt(420, a.getColor24());
        if (a.getWidth() != kWeightByLayer) dw_.dxfInt(370, a.getWidth());
        if (stroke.pattern != LinePattern::Continuous && a.getLinetypeScale() != 1.0)
            dw_.dxfReal(48, a.getLinetypeScale());
        if (a.getLinetype() != "BYLAYER") dw_.dxfString(6, a.getLinetype());
        dw_.dxfString(100, subclass);
    }

    // A point of the sheet's plane: readers take a missing z for 0.
    void flat_point(int code, const Point2& p) {
        dw_.dxfReal(code, p.x);
        dw_.dxfReal(code + 10, p.y);
    }

    void polyline(const Polyline& polyline) {
        if (polyline.points.size() < 2) return;
        if (polyline.points.size() == 2 && !polyline.closed) {
            line_head("LINE", "AcDbLine", polyline.layer, polyline.stroke);
            flat_point(10, sheet_digits(polyline.points[0]));
            flat_point(11, sheet_digits(polyline.points[1]));
            return;
        }
        line_head("LWPOLYLINE", "AcDbPolyline", polyline.layer, polyline.stroke);
        dw_.dxfInt(90, static_cast<int>(polyline.points.size()));
        if (polyline.closed) dw_.dxfInt(70, 1);  // open is the default
        for (const Point2& p : polyline.points) flat_point(10, sheet_digits(p));
    }

    void arc(const Arc& arc) {
        if (!(arc.radius > 0.0)) return;
        const Point2 c = sheet_digits(arc.center);
        const double r = sheet_digits(arc.radius) > 0.0 ? sheet_digits(arc.radius) : arc.radius;
        const bool full = arc.end_angle - arc.start_angle >= 2.0 * std::numbers::pi - 1e-9;
        line_head(full ? "CIRCLE" : "ARC", "AcDbCircle", arc.layer, arc.stroke);
        flat_point(10, c);
        dw_.dxfReal(40, r);
        if (full) return;
        dw_.dxfString(100, "AcDbArc");
        dw_.dxfReal(50, arc_degrees(arc.start_angle));
        dw_.dxfReal(51, arc_degrees(arc.end_angle));
    }

    void point(int code, const Point2& p) {
        dw_.dxfReal(code, p.x);
        dw_.dxfReal(code + 10, p.y);
        dw_.dxfReal(code + 20, 0.0);
    }

    // The sheet's plane, written out for readers that want it said.
    void normal() {
        dw_.dxfReal(210, 0.0);
        dw_.dxfReal(220, 0.0);
        dw_.dxfReal(230, 1.0);
    }

    // An ellipse as written, at the centre given: its own, or the origin of the block that draws its shape.
    void ellipse(const Ellipse& ellipse, const DxfEllipse& written, const Point2& center) {
        line_head("ELLIPSE", "AcDbEllipse", ellipse.layer, ellipse.stroke);
        // The sheet's plane is the default one, and its z the default 0.
        flat_point(10, center);
        flat_point(11, written.major);
        dw_.dxfReal(40, written.ratio);
        dw_.dxfReal(41, written.start);
        dw_.dxfReal(42, written.end);
    }

    // A shape drawn by its block, placed at its anchor, on the layer it would be on itself so that switching the
    // layer off hides it as it would the shape; the shape in the block keeps its own layer, weight and pattern.
    void placement(const std::string& layer, const Stroke& stroke, int block, const Point2& anchor) {
        dw_.entity("INSERT");
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, attributes(layer, stroke, true).getLayer());
        dw_.dxfString(100, "AcDbBlockReference");
        dw_.dxfString(2, shape_block_names_[static_cast<std::size_t>(block)]);
        flat_point(10, anchor);
    }

    // Each repeated shape once, its anchor at the block's origin.
    void shape_block_body(std::size_t index) {
        const ShapeBlocks::Block& block = shapes_.blocks[index];
        block_begin(shape_block_records_[index], shape_block_names_[index]);
        switch (block.kind) {
            case ShapeBlocks::Kind::Polyline: {
                Polyline moved = sheet_.polylines[block.first];
                const Point2 anchor = anchor_of(moved);
                for (Point2& p : moved.points) {
                    const Point2 at = sheet_digits(p);
                    p = Point2{at.x - anchor.x, at.y - anchor.y};
                }
                polyline(moved);
                break;
            }
            case ShapeBlocks::Kind::Arc: {
                Arc moved = sheet_.arcs[block.first];
                moved.center = Point2{0.0, 0.0};
                arc(moved);
                break;
            }
            case ShapeBlocks::Kind::Ellipse: {
                const Ellipse& shape = sheet_.ellipses[block.first];
                ellipse(shape, *dxf_ellipse(shape), Point2{0.0, 0.0});
                break;
            }
        }
        block_end(shape_block_records_[index]);
    }

    void spline(const Spline& spline) {
        const std::size_t poles = spline.poles.size();
        if (spline.degree < 1 || poles < static_cast<std::size_t>(spline.degree) + 1 ||
            spline.knots.size() != poles + static_cast<std::size_t>(spline.degree) + 1 ||
            (!spline.weights.empty() && spline.weights.size() != poles)) {
            polyline(Polyline{spline.points, false, spline.stroke, spline.layer});
            return;
        }
        line_head("SPLINE", "AcDbSpline", spline.layer, spline.stroke);
        normal();
        dw_.dxfInt(70, 8 | (spline.weights.empty() ? 0 : 4));  // planar, and rational when weighted
        dw_.dxfInt(71, spline.degree);
        dw_.dxfInt(72, static_cast<int>(spline.knots.size()));
        dw_.dxfInt(73, static_cast<int>(poles));
        dw_.dxfInt(74, 0);
        dw_.dxfReal(42, 1e-10);
        dw_.dxfReal(43, 1e-10);
        for (double knot : spline.knots) dw_.dxfReal(40, knot);
        for (double weight : spline.weights) dw_.dxfReal(41, weight);
        for (const Point2& pole : spline.poles) point(10, pole);
    }

    void triangle(const Triangle& t) {
        // A SOLID is a quadrilateral; repeating the last corner makes it the triangle.
        dxf_.writeSolid(dw_, DL_SolidData(t.a.x, t.a.y, 0.0, t.b.x, t.b.y, 0.0, t.c.x, t.c.y, 0.0, t.c.x, t.c.y, 0.0),
                        attributes(t.layer, Stroke{}));
    }

    void text(const Text& text) {
        if (text.text.empty()) return;
        const TextPlacement placement = placement_of(text.alignment);
        const int horizontal = placement.horizontal == 0.0 ? 0 : placement.horizontal == 0.5 ? 1 : 2;
        const int vertical = placement.vertical == VerticalPlace::Top      ? 3
                             : placement.vertical == VerticalPlace::Middle ? 2
                                                                           : 0;
        // The anchor is both the insertion and the alignment point; readers place a justified text by the latter
        // and a left/baseline one by the former.
        const DL_TextData data(text.anchor.x, text.anchor.y, 0.0, text.anchor.x, text.anchor.y, 0.0, text.height,
                               text.width_factor, 0, horizontal, vertical, gbk(with_control_codes(text.text)),
                               kTextStyle, text.angle);
        dxf_.writeText(dw_, data, attributes(text.layer, Stroke{}));
    }

    // Readers that rebuild dimensions from their points draw no ordinates, and put a linear dimension's value in the
    // middle of its dimension line whatever the file says. A dimension they would lose or misplace is an anonymous
    // block placed by an INSERT, drawn alike by every reader; the others are DIMENSIONs with their block.
    static bool inserted(const Dimension& d) {
        if (d.kind == Dimension::Kind::Ordinate) return true;
        const bool vertical = d.kind == Dimension::Kind::Vertical;
        const double middle = vertical ? (d.first.y + d.second.y) / 2 : (d.first.x + d.second.x) / 2;
        return std::abs((vertical ? d.text_anchor.y : d.text_anchor.x) - middle) > kValueOffMiddle;
    }

    void name_blocks() {
        int linear = 0, placed = 0;
        for (const Dimension& d : sheet_.dimensions)
            block_names_.push_back(inserted(d) ? "*U" + std::to_string(++placed) : "*D" + std::to_string(++linear));
        for (std::size_t i = 0; i < shapes_.blocks.size(); ++i)
            shape_block_names_.push_back("*U" + std::to_string(++placed));
    }

    // The dimension style, written here rather than by the library: its record points at the text style by handle
    // (group 340), and the library would take that handle from a style it wrote itself, which ours are not, and so
    // write whatever its memory held.
    void dim_style() {
        constexpr int kDimStyleTable = 0xA, kDimStyleRecord = 0x27;
        dw_.dxfString(0, "TABLE");
        dw_.dxfString(2, "DIMSTYLE");
        dw_.dxfHex(5, kDimStyleTable);
        dw_.dxfString(100, "AcDbSymbolTable");
        dw_.dxfInt(70, 1);
        dw_.dxfString(100, "AcDbDimStyleTable");
        dw_.dxfInt(71, 0);
        dw_.dxfString(0, "DIMSTYLE");
        dw_.dxfHex(105, kDimStyleRecord);
        dw_.dxfHex(330, kDimStyleTable);
        dw_.dxfString(100, "AcDbSymbolTableRecord");
        dw_.dxfString(100, "AcDbDimStyleTableRecord");
        dw_.dxfString(2, "Standard");
        // The sizes of the sheet's first dimension, which readers ignoring the overrides of each then use.
        const DimensionSizes sizes = sheet_.dimensions.empty() ? DimensionSizes{} : sizes_of(sheet_.dimensions.front());
        dw_.dxfReal(41, sizes.arrow);  // arrow size
        dw_.dxfReal(42, 0.625);        // extension line offset
        dw_.dxfReal(43, 3.75);         // baseline spacing
        dw_.dxfReal(44, 1.25);         // extension line extension
        dw_.dxfInt(70, 0);
        dw_.dxfInt(73, 0);
        dw_.dxfInt(74, 0);
        dw_.dxfInt(77, 1);             // text above the dimension line
        dw_.dxfInt(78, 8);             // no trailing zeros
        dw_.dxfReal(140, sizes.text);  // text height
        dw_.dxfReal(141, 2.5);         // centre mark
        dw_.dxfReal(143, 0.03937007874016);
        dw_.dxfReal(147, 0.625);  // gap around the text
        dw_.dxfInt(171, 3);
        dw_.dxfInt(172, 1);
        dw_.dxfInt(271, 2);
        dw_.dxfInt(272, 2);
        dw_.dxfInt(274, 3);
        dw_.dxfInt(278, 44);  // the decimal separator's character code, as the library wrote it
        dw_.dxfInt(283, 0);
        dw_.dxfInt(284, 8);
        dw_.dxfHex(340, static_cast<int>(text_style_handle_));
        dw_.tableEnd();
    }

    void style(const char* name, const char* font, const char* big_font, const char* family) {
        dw_.dxfString(0, "STYLE");
        const unsigned long handle = dw_.handle();
        if (std::string_view(name) == kTextStyle) text_style_handle_ = handle;
        dw_.dxfHex(330, 3);  // the style table
        dw_.dxfString(100, "AcDbSymbolTableRecord");
        dw_.dxfString(100, "AcDbTextStyleTableRecord");
        dw_.dxfString(2, name);
        dw_.dxfInt(70, 0);
        dw_.dxfReal(40, 0.0);
        dw_.dxfReal(41, 1.0);
        dw_.dxfReal(50, 0.0);
        dw_.dxfInt(71, 0);
        dw_.dxfReal(42, 3.5);
        dw_.dxfString(3, font);
        dw_.dxfString(4, big_font);
        if (family) {
            dw_.dxfString(1001, "ACAD");
            dw_.dxfString(1000, family);
            dw_.dxfInt(1071, 0);
        }
    }

    void entity_head(const char* type, int owner, const std::string& layer) {
        dw_.dxfString(0, type);
        dw_.handle();
        dw_.dxfHex(330, owner);
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, layer);
    }

    // The block holds what draws the dimension (lines, arrowheads, value) and, for a linear one, its definition
    // points, as CAD programs write it: readers that draw dimensions from their blocks show ours, and those that
    // rebuild them from the points show theirs, each once, for nothing of it is also a plain entity of the sheet.
    void dimension_block_body(std::size_t index) {
        const int record = dimension_records_[index];
        const std::string& name = block_names_[index];
        block_begin(record, name);
        const Dimension& dimension = sheet_.dimensions[index];
        for (const Polyline& p : dimension.polylines) polyline(p);
        for (const Triangle& t : dimension.triangles) triangle(t);
        for (const Text& t : dimension.texts) text(t);
        for (const Point2& p : {dimension.line_at, dimension.first, dimension.second}) {
            if (inserted(dimension)) break;
            entity_head("POINT", record, kDefpoints);
            dw_.dxfString(100, "AcDbPoint");
            dw_.dxfReal(10, p.x);
            dw_.dxfReal(20, p.y);
            dw_.dxfReal(30, 0.0);
        }
        block_end(record);
    }

    // A linear dimension: its definition point on the dimension line where that crosses the second extension line,
    // the measured points, the value and where it stands.
    void dimension(std::size_t index) {
        const Dimension& dimension = sheet_.dimensions[index];
        const bool vertical = dimension.kind == Dimension::Kind::Vertical;
        entity_head("DIMENSION", kModelSpaceRecord, gbk(dxf_layer_name(dimension.layer)));
        dw_.dxfString(100, "AcDbDimension");
        dw_.dxfString(2, block_names_[index]);
        dw_.dxfReal(10, dimension.line_at.x);
        dw_.dxfReal(20, dimension.line_at.y);
        dw_.dxfReal(30, 0.0);
        dw_.dxfReal(11, dimension.text_anchor.x);
        dw_.dxfReal(21, dimension.text_anchor.y);
        dw_.dxfReal(31, 0.0);
        dw_.dxfInt(70, 128);  // the text stands where the sheet put it
        dw_.dxfInt(71, 5);    // the text's middle at group 11
        dw_.dxfString(1, gbk(with_control_codes(dimension.text)));
        dw_.dxfString(3, "Standard");
        dw_.dxfReal(42, dimension.measured);
        dw_.dxfString(100, "AcDbAlignedDimension");
        dw_.dxfReal(13, dimension.first.x);
        dw_.dxfReal(23, dimension.first.y);
        dw_.dxfReal(33, 0.0);
        dw_.dxfReal(14, dimension.second.x);
        dw_.dxfReal(24, dimension.second.y);
        dw_.dxfReal(34, 0.0);
        dw_.dxfReal(50, vertical ? 90.0 : 0.0);
        dw_.dxfString(100, "AcDbRotatedDimension");
        // The sheet shows the part at a view scale; the linear factor turns the sheet distance back into the
        // measured model distance, so a reader that recomputes the value gets the one shown.
        const double sheet_distance = vertical ? std::abs(dimension.second.y - dimension.first.y)
                                               : std::abs(dimension.second.x - dimension.first.x);
        const double linear_factor = sheet_distance > 1e-9 ? dimension.measured / sheet_distance : 1.0;
        dw_.dxfString(1001, "ACAD");
        dw_.dxfString(1000, "DSTYLE");
        dw_.dxfString(1002, "{");
        dw_.dxfInt(1070, 144);  // DIMLFAC
        dw_.dxfReal(1040, linear_factor);
        const DimensionSizes sizes = sizes_of(dimension);
        dw_.dxfInt(1070, 140);  // DIMTXT
        dw_.dxfReal(1040, sizes.text);
        dw_.dxfInt(1070, 41);  // DIMASZ
        dw_.dxfReal(1040, sizes.arrow);
        dw_.dxfString(1002, "}");
    }

    // The value's height and the arrowheads' length as drawn, for readers that rebuild the dimension: they then
    // draw it at the size the sheet shows.
    struct DimensionSizes {
        double text = 3.5;
        double arrow = 2.5;
    };

    static DimensionSizes sizes_of(const Dimension& dimension) {
        DimensionSizes sizes;
        if (!dimension.texts.empty() && dimension.texts.front().height > 0.0)
            sizes.text = dimension.texts.front().height;
        if (!dimension.triangles.empty()) {
            const Triangle& t = dimension.triangles.front();
            sizes.arrow = std::hypot(t.a.x - (t.b.x + t.c.x) / 2, t.a.y - (t.b.y + t.c.y) / 2);
        }
        return sizes;
    }

    void entities() {
        dw_.sectionEntities();
        for (std::size_t i = 0; i < sheet_.polylines.size(); ++i) {
            const Polyline& p = sheet_.polylines[i];
            if (shapes_.polyline_block[i] < 0)
                polyline(p);
            else
                placement(p.layer, p.stroke, shapes_.polyline_block[i], anchor_of(p));
        }
        for (std::size_t i = 0; i < sheet_.arcs.size(); ++i) {
            const Arc& a = sheet_.arcs[i];
            if (arc_left_out(a)) continue;
            if (shapes_.arc_block[i] < 0)
                arc(a);
            else
                placement(a.layer, a.stroke, shapes_.arc_block[i], anchor_of(a));
        }
        for (std::size_t i = 0; i < sheet_.ellipses.size(); ++i) {
            const Ellipse& e = sheet_.ellipses[i];
            const std::optional<DxfEllipse> written = dxf_ellipse(e);
            if (!written) continue;
            if (shapes_.ellipse_block[i] < 0)
                ellipse(e, *written, written->center);
            else
                placement(e.layer, e.stroke, shapes_.ellipse_block[i], written->center);
        }
        for (const Spline& s : sheet_.splines) spline(s);
        for (const Triangle& t : sheet_.triangles) triangle(t);
        for (const Text& t : sheet_.texts) text(t);
        for (std::size_t i = 0; i < sheet_.dimensions.size(); ++i) {
            if (inserted(sheet_.dimensions[i]))
                dxf_.writeInsert(dw_, DL_InsertData(block_names_[i], 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 0.0, 1, 1, 0.0, 0.0),
                                 attributes(sheet_.dimensions[i].layer, Stroke{}));
            else
                dimension(i);
        }
        dw_.sectionEnd();
    }

    const SheetGraphics& sheet_;
    DL_Dxf dxf_;
    DxfStreamWriter dw_;
    const DxfLayers layers_;
    std::vector<int> dimension_records_;
    std::vector<std::string> block_names_;  // each dimension's block
    const ShapeBlocks shapes_;              // the shapes drawn once in a block and placed
    std::vector<std::string> shape_block_names_;
    std::vector<int> shape_block_records_;
    unsigned long text_style_handle_ = 0;  // the text style's record, which the dimension style names
    std::map<std::tuple<std::string, int, int, std::uint32_t, bool>, DL_Attributes> attributes_;
};

}  // namespace

bool write_dxf(const SheetGraphics& sheet, std::ostream& out, std::string& error) {
    if (!DxfSheet(sheet, out).write(error)) return false;
    out.flush();
    if (!out) {
        error = "DXF output failed: the stream refused the data";
        return false;
    }
    return true;
}

}  // namespace cadhost::render
