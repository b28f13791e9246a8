#include "cadhost/render/pdf_writer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <string>
#include <thread>

#include <cairo-pdf.h>
#include <cairo.h>

#include "cadhost/render/line_style.h"
#include "cadhost/render/pdf_drawing.h"
#include "cadhost/render/pdf_line_work.h"
#include "cadhost/render/pdf_page_streams.h"
#include "cadhost/render/pdf_text.h"
#include "cadhost/render/printable_text.h"

namespace cadhost::render {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// The compression level of the line work: on a large sheet's lines the fastest level takes a quarter of the time that
// zlib's level 4 took, for a stream 1 per cent larger; packing was a tenth of a sheet's drawing.
constexpr int kLineWorkLevel = 1;

// cairo writes into memory and the document goes to the caller's stream once complete: cairo 1.16 crashes finishing
// a document with an outline after its stream has refused a write.
cairo_status_t write_to_buffer(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

void set_stroke(cairo_t* cr, const Stroke& stroke) {
    cairo_set_line_width(cr, line_width_mm(stroke.weight));
    const std::vector<double> dashes = dash_pattern_mm(stroke);
    // Round caps would lengthen each dash by a line width and close the short gaps of a chain line.
    cairo_set_line_cap(cr, dashes.empty() ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0.0);
}

void add_points(cairo_t* cr, const std::vector<Point2>& points) {
    if (points.empty()) return;
    cairo_move_to(cr, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
}

void add_polyline(cairo_t* cr, const Polyline& polyline) {
    if (polyline.points.empty()) return;
    add_points(cr, polyline.points);
    if (polyline.closed) cairo_close_path(cr);
}

void add_arc(cairo_t* cr, const Arc& arc) {
    if (arc.radius <= 0.0) return;
    cairo_new_sub_path(cr);
    // User space has y up, so cairo's positive direction is anticlockwise on the page, as the sheet's arcs run.
    cairo_arc(cr, arc.center.x, arc.center.y, arc.radius, arc.start_angle, arc.end_angle);
}

void add_ellipse(cairo_t* cr, const Ellipse& ellipse) {
    const double a = std::hypot(ellipse.major.x, ellipse.major.y), b = a * ellipse.ratio;
    // An ellipse thinner than a nanometre would make the unit circle's frame singular, which stops the whole document.
    if (!(a > 0.0) || !(b > 1e-6)) return;
    cairo_new_sub_path(cr);
    // The unit circle drawn in the ellipse's own frame; the path keeps the shape after the frame is dropped, so the
    // stroke's width is not squeezed with it.
    cairo_save(cr);
    cairo_translate(cr, ellipse.center.x, ellipse.center.y);
    cairo_rotate(cr, std::atan2(ellipse.major.y, ellipse.major.x));
    cairo_scale(cr, a, b);
    cairo_arc(cr, 0.0, 0.0, 1.0, ellipse.start_param, ellipse.end_param);
    cairo_restore(cr);
}

void draw_stroke(cairo_t* cr, const SheetGraphics& sheet, const Stroke& stroke) {
    auto same = [&](const Stroke& s) {
        return s.weight == stroke.weight && s.pattern == stroke.pattern && s.ink == stroke.ink;
    };
    bool any = false;
    for_each_polyline(sheet, [&](const Polyline& polyline) {
        if (same(polyline.stroke)) add_polyline(cr, polyline), any = true;
    });
    for (const Arc& arc : sheet.arcs)
        if (same(arc.stroke)) add_arc(cr, arc), any = true;
    for (const Ellipse& ellipse : sheet.ellipses)
        if (same(ellipse.stroke)) add_ellipse(cr, ellipse), any = true;
    for (const Spline& spline : sheet.splines)
        if (same(spline.stroke)) add_points(cr, spline.points), any = true;
    if (!any) return;
    set_stroke(cr, stroke);
    cairo_set_source_rgb(cr, ink_part(stroke.ink, 16), ink_part(stroke.ink, 8), ink_part(stroke.ink, 0));
    cairo_stroke(cr);
}

// The lines and arcs of one stroke are stroked as one path: a sheet of a large part holds thousands of them, and a
// path a piece costs the PDF far more than the coordinates themselves. Dashes start afresh on each piece, as before.
void draw_lines(cairo_t* cr, const SheetGraphics& sheet) {
    for (const std::uint32_t ink : sheet_inks(sheet))
        for (auto weight : kLineWeights)
            for (auto pattern : kLinePatterns) draw_stroke(cr, sheet, Stroke{weight, pattern, ink});
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
}

void draw_triangle(cairo_t* cr, const Triangle& triangle) {
    cairo_move_to(cr, triangle.a.x, triangle.a.y);
    cairo_line_to(cr, triangle.b.x, triangle.b.y);
    cairo_line_to(cr, triangle.c.x, triangle.c.y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void draw_sheet(cairo_t* cr, const SheetGraphics& sheet, const PdfTextPainter& text_painter, bool with_lines) {
    cairo_save(cr);
    // Page user space in sheet millimetres, origin at the lower left, y up.
    cairo_translate(cr, 0.0, sheet.height * kPointsPerMm);
    cairo_scale(cr, kPointsPerMm, -kPointsPerMm);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    if (with_lines) draw_lines(cr, sheet);
    for_each_triangle(sheet, [cr](const Triangle& triangle) { draw_triangle(cr, triangle); });
    for_each_text(sheet, [&](const Text& text) { text_painter.draw(cr, text); });
    cairo_restore(cr);
}

// The whole document through cairo into document, with the sheets' line work or without it.
bool draw_document(const std::vector<const SheetGraphics*>& sheets, const std::string& title, bool with_lines,
                   std::string& document, std::string& error) {
    cairo_surface_t* surface = open_pdf_surface(write_to_buffer, &document, *sheets[0], title);
    cairo_t* cr = cairo_create(surface);
    const PdfTextPainter text_painter(cr);
    for (std::size_t i = 0; i < sheets.size() && cairo_status(cr) == CAIRO_STATUS_SUCCESS; ++i)
        draw_pdf_page(surface, cr, text_painter, *sheets[i], i + 1, with_lines);
    return close_pdf_surface(surface, cr, error);
}

}  // namespace

bool usable_size(const SheetGraphics& sheet) {
    return std::isfinite(sheet.width) && std::isfinite(sheet.height) && sheet.width > 0.0 && sheet.height > 0.0;
}

cairo_surface_t* open_pdf_surface(cairo_write_func_t write, void* closure, const SheetGraphics& first,
                                  const std::string& title) {
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(write, closure, first.width * kPointsPerMm, first.height * kPointsPerMm);
    // An empty creation date keeps cairo from stamping the time, so the same sheets give the same bytes.
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, "");
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "quillon");
    // PDF's text strings cannot hold the noncharacters: cairo stops the whole document on one.
    if (!title.empty())
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, printable_text(title, true).c_str());
    return surface;
}

void draw_pdf_page(cairo_surface_t* surface, cairo_t* cr, const PdfTextPainter& text_painter,
                   const SheetGraphics& sheet, std::size_t number, bool with_lines) {
    cairo_pdf_surface_set_size(surface, sheet.width * kPointsPerMm, sheet.height * kPointsPerMm);
    const std::string name = printable_text(sheet.name, true);
    cairo_pdf_surface_set_page_label(surface, name.c_str());
    const std::string target = "page=" + std::to_string(number);
    cairo_pdf_surface_add_outline(surface, CAIRO_PDF_OUTLINE_ROOT, name.c_str(), target.c_str(),
                                  static_cast<cairo_pdf_outline_flags_t>(0));
    draw_sheet(cr, sheet, text_painter, with_lines);
    cairo_show_page(cr);
}

bool close_pdf_surface(cairo_surface_t* surface, cairo_t* cr, std::string& error) {
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("PDF output failed: ") + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool pack_line_work(const SheetGraphics& sheet, std::string& packed) {
    packed.clear();
    const std::string content = line_work_content(sheet);
    return content.empty() || deflate_into(content, kLineWorkLevel, packed);
}

bool write_pdf(const std::vector<SheetGraphics>& sheets, std::ostream& out, std::string& error,
               const std::string& title) {
    std::vector<const SheetGraphics*> pointers;
    for (const SheetGraphics& sheet : sheets) pointers.push_back(&sheet);
    return write_pdf_pages(pointers, out, error, title);
}

bool write_pdf_pages(const std::vector<const SheetGraphics*>& sheets, std::ostream& out, std::string& error,
                     const std::string& title) {
    if (sheets.empty()) {
        error = "no sheets to write";
        return false;
    }
    for (const SheetGraphics* sheet_pointer : sheets) {
        const SheetGraphics& sheet = *sheet_pointer;
        if (!usable_size(sheet)) {
            error = "sheet \"" + sheet.name + "\" has no usable size";
            return false;
        }
    }

    // The pages' line work is written and compressed on the other processors while cairo sets the texts; should the
    // document cairo made not take the line work as extra page streams, cairo draws the lines itself after all.
    std::vector<std::string> line_work(sheets.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> packed{true};
    auto pack = [&] {
        for (std::size_t i = next++; i < sheets.size(); i = next++)
            if (!pack_line_work(*sheets[i], line_work[i])) packed = false;
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> packers;
    for (unsigned t = 1; t < std::min<std::size_t>(cores, sheets.size()); ++t) packers.emplace_back(pack);
    std::string document;
    const bool drawn = draw_document(sheets, title, false, document, error);
    pack();
    for (auto& packer : packers) packer.join();
    if (!drawn) return false;
    std::string why;
    if (!packed || !prepend_page_streams(document, line_work, why)) {
        document.clear();
        if (!draw_document(sheets, title, true, document, error)) return false;
    }
    out.write(document.data(), static_cast<std::streamsize>(document.size()));
    out.flush();
    if (!out) {
        error = "PDF output failed: the stream refused the data";
        return false;
    }
    return true;
}

}  // namespace cadhost::render
