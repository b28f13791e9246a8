// The PDF writer, read back the way a person or a program meets the file: its text, its page size, its fonts and its
// pixels.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cmath>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <cairo.h>

#include "cadhost/render/pdf_text.h"
#include "cadhost/render/pdf_writer.h"
#include "cadhost/render/text_placement.h"
#include "render/sample_sheets.h"
#include "render/tool_run.h"

namespace quillon_test {
namespace {

namespace fs = std::filesystem;
using cadhost::render::write_pdf;
constexpr double kPointsPerMm = 72.0 / 25.4;

fs::path pdf_file(const std::string& name, const std::vector<SheetGraphics>& sheets) {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(write_pdf(sheets, out, error)) << error;
    const fs::path path = scratch_dir(name) / (name + ".pdf");
    write_file(path, out.str());
    return path;
}

std::string without_spaces(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); }), text.end());
    return text;
}

// A greyscale raster at 72 dpi: one pixel per point.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    double darkness(int column, int row) const { return (255 - pixels[row * width + column]) / 255.0; }
};

Raster rasterise(const fs::path& pdf) {
    const fs::path stem = pdf.parent_path() / "raster";
    const ToolResult run = run_tool("pdftoppm -r 72 -gray -singlefile " + quoted(pdf) + " " + quoted(stem));
    EXPECT_EQ(run.status, 0) << "pdftoppm failed or is missing";
    const std::string bytes = read_file(stem.string() + ".pgm");
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    Raster raster;
    in >> magic >> raster.width >> raster.height >> maximum;
    in.get();
    EXPECT_EQ(magic, "P5");
    raster.pixels.resize(static_cast<std::size_t>(raster.width) * raster.height);
    in.read(reinterpret_cast<char*>(raster.pixels.data()), static_cast<std::streamsize>(raster.pixels.size()));
    EXPECT_TRUE(in) << "truncated raster";
    return raster;
}

// Where the ink of a line crossing the given column lies, searched only near where it should be: the centre of the
// dark rows, in pixel-centre coordinates, or NaN when nothing is drawn there.
double dark_centre_in_column(const Raster& raster, int column, double expected_row) {
    double weight = 0.0;
    double sum = 0.0;
    for (int row = static_cast<int>(expected_row) - 4; row <= static_cast<int>(expected_row) + 4; ++row) {
        if (row < 0 || row >= raster.height) continue;
        weight += raster.darkness(column, row);
        sum += raster.darkness(column, row) * (row + 0.5);
    }
    return weight > 0.5 ? sum / weight : NAN;
}

double dark_centre_in_row(const Raster& raster, int row, double expected_column) {
    double weight = 0.0;
    double sum = 0.0;
    for (int column = static_cast<int>(expected_column) - 4; column <= static_cast<int>(expected_column) + 4;
         ++column) {
        if (column < 0 || column >= raster.width) continue;
        weight += raster.darkness(column, row);
        sum += raster.darkness(column, row) * (column + 0.5);
    }
    return weight > 0.5 ? sum / weight : NAN;
}

TEST(PdfWriter, TextsComeBackIncludingChinese) {
    const SheetGraphics sheet = full_sheet();
    const fs::path pdf = pdf_file("texts", {sheet});
    const ToolResult text = run_tool("pdftotext -enc UTF-8 " + quoted(pdf) + " -");
    ASSERT_EQ(text.status, 0) << "pdftotext failed or is missing";
    // Letter spacing and rotation may make pdftotext split words, so the comparison ignores white space.
    const std::string extracted = without_spaces(text.output);
    for (const cadhost::render::Text& t : sheet.texts)
        EXPECT_NE(extracted.find(without_spaces(t.text)), std::string::npos) << t.text << " not in:\n" << text.output;
}

TEST(PdfWriter, PagesAreTrueSizeOnePerSheet) {
    SheetGraphics a3 = frame_and_strokes();
    a3.width = 420;
    a3.height = 297;
    const fs::path pdf = pdf_file("pages", {full_sheet(), a3});
    const ToolResult info = run_tool("pdfinfo -f 1 -l 2 " + quoted(pdf));
    ASSERT_EQ(info.status, 0) << "pdfinfo failed or is missing";
    EXPECT_NE(info.output.find("Pages:           2"), std::string::npos) << info.output;

    const std::regex size_line("Page +([0-9]+) size: +([0-9.]+) x ([0-9.]+) pts");
    std::vector<std::pair<double, double>> sizes;
    for (std::sregex_iterator it(info.output.begin(), info.output.end(), size_line), end; it != end; ++it)
        sizes.emplace_back(std::stod((*it)[2]), std::stod((*it)[3]));
    ASSERT_EQ(sizes.size(), 2u) << info.output;
    EXPECT_NEAR(sizes[0].first, 297 * kPointsPerMm, 0.01);   // 841.89 pt
    EXPECT_NEAR(sizes[0].second, 210 * kPointsPerMm, 0.01);  // 595.28 pt
    EXPECT_NEAR(sizes[1].first, 420 * kPointsPerMm, 0.01);
    EXPECT_NEAR(sizes[1].second, 297 * kPointsPerMm, 0.01);
}

TEST(PdfWriter, OutlineAndPageLabelsNameEverySheet) {
    // Names that end in digits (which the label writer splits into prefix and number), one with a Chinese name, and
    // one with a control character and a noncharacter, which PDF's strings cannot hold: they are left out.
    std::vector<SheetGraphics> sheets{frame_and_strokes(), frame_and_strokes(), frame_and_strokes(), texts(),
                                      frame_and_strokes()};
    const char* names[] = {"E09", "E10", "E10_1", "电极 A", "E11"};
    for (std::size_t i = 0; i < sheets.size(); ++i) sheets[i].name = names[i];
    sheets.back().name = "E\a11\xEF\xBF\xBE";
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(write_pdf(sheets, out, error, "模具 mould_7")) << error;
    const fs::path pdf = scratch_dir("outline") / "outline.pdf";
    write_file(pdf, out.str());
    const fs::path script = fs::path(QUILLON_SOURCE_DIR) / "tests" / "render" / "pdf_outline.py";
    const ToolResult run = run_tool("/usr/bin/python3 " + quoted(script) + " " + quoted(pdf));
    ASSERT_EQ(run.status, 0);
    const nlohmann::json read = nlohmann::json::parse(run.output);
    EXPECT_EQ(read["title"], "模具 mould_7");
    ASSERT_EQ(read["outline"].size(), sheets.size()) << read;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        EXPECT_EQ(read["outline"][i]["title"], names[i]);
        EXPECT_EQ(read["outline"][i]["page"], i + 1) << "the bookmark opens its own sheet";
        EXPECT_EQ(read["labels"][i], names[i]);
    }
    const ToolResult text = run_tool("pdftotext -enc UTF-8 " + quoted(pdf) + " -");
    EXPECT_NE(without_spaces(text.output).find("技术要求"), std::string::npos) << "text is still extractable";
}

TEST(PdfWriter, FontsAreEmbeddedAsSubsets) {
    const fs::path pdf = pdf_file("fonts", {texts()});
    const ToolResult fonts = run_tool("pdffonts " + quoted(pdf));
    ASSERT_EQ(fonts.status, 0) << "pdffonts failed or is missing";
    std::istringstream lines(fonts.output);
    std::string line;
    int font_lines = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("name", 0) == 0 || line.rfind("----", 0) == 0 || line.empty()) continue;
        ++font_lines;
        EXPECT_TRUE(std::regex_search(line, std::regex(" yes +yes +yes ")))
            << "font not embedded as a subset with a Unicode map: " << line;
    }
    EXPECT_GE(font_lines, 1) << fonts.output;
    // The whole CJK font is megabytes; a page of a few texts with a subset stays small.
    EXPECT_LT(fs::file_size(pdf), 200u * 1024u);
}

// The wide frame runs 10 mm inside the sheet: its bottom edge must be 200 mm below the top of the page and its left
// edge 10 mm from the left. A y that was not flipped, or a scale that was not points per mm, moves them away.
TEST(PdfWriter, LinesLandWhereTheSheetPutsThem) {
    const fs::path pdf = pdf_file("raster", {frame_and_strokes()});
    const Raster raster = rasterise(pdf);
    ASSERT_EQ(raster.width, static_cast<int>(std::ceil(297 * kPointsPerMm)));  // pdftoppm rounds the page up
    ASSERT_EQ(raster.height, static_cast<int>(std::ceil(210 * kPointsPerMm)));

    const int column = static_cast<int>(150 * kPointsPerMm);
    const double bottom_row = (210 - 10) * kPointsPerMm;
    const double top_row = (210 - 200) * kPointsPerMm;
    EXPECT_NEAR(dark_centre_in_column(raster, column, bottom_row), bottom_row, 1.0);
    EXPECT_NEAR(dark_centre_in_column(raster, column, top_row), top_row, 1.0);
    const int row = static_cast<int>((210 - 100) * kPointsPerMm);
    EXPECT_NEAR(dark_centre_in_row(raster, row, 10 * kPointsPerMm), 10 * kPointsPerMm, 1.0);
    EXPECT_NEAR(dark_centre_in_row(raster, row, 287 * kPointsPerMm), 287 * kPointsPerMm, 1.0);
}

// The wide elliptic arc of the curves sheet: ink where the sheet's ellipse runs and none where it would run with its
// minor axis turned the other way, and a stroke as wide as any other wide line, not stretched with the ellipse.
TEST(PdfWriter, EllipsesAreDrawnWhereTheSheetPutsThemWithTheirLineWidth) {
    const SheetGraphics sheet = curves();
    const Raster raster = rasterise(pdf_file("curves_pdf", {sheet}));
    const auto& arc = sheet.ellipses[0];
    const double t = (arc.start_param + arc.end_param) / 2;
    const auto on = ellipse_point(arc, t);
    const int column = static_cast<int>(on.x * kPointsPerMm);
    const double row = (210 - on.y) * kPointsPerMm;
    EXPECT_NEAR(dark_centre_in_column(raster, column, row), row, 1.5);
    int inked = 0;
    for (int r = static_cast<int>(row) - 8; r <= static_cast<int>(row) + 8; ++r)
        inked += raster.darkness(column, r) > 0.3;
    EXPECT_LE(inked, 3) << "a 0.5 mm line is under two points wide, a little more where it slants";

    auto mirrored = arc;
    mirrored.ratio = -arc.ratio;
    const auto off = ellipse_point(mirrored, t);
    EXPECT_TRUE(std::isnan(
        dark_centre_in_column(raster, static_cast<int>(off.x * kPointsPerMm), (210 - off.y) * kPointsPerMm)));
}

// Sheets give capital heights; pango sizes by em. A 20 mm "H" must measure 20 mm on the page, and its left edge
// must be near the anchor of a bottom-left text.
TEST(PdfWriter, TextHeightIsTheCapitalHeight) {
    SheetGraphics sheet;
    cadhost::render::Text big;
    big.text = "HHH";
    big.anchor = {100, 100};
    big.alignment = 7;
    big.height = 20;
    sheet.texts.push_back(big);
    const Raster raster = rasterise(pdf_file("capitals", {sheet}));
    int first_row = raster.height;
    int last_row = -1;
    int first_column = raster.width;
    for (int row = 0; row < raster.height; ++row)
        for (int column = 0; column < raster.width; ++column)
            if (raster.darkness(column, row) > 0.5) {
                first_row = std::min(first_row, row);
                last_row = std::max(last_row, row);
                first_column = std::min(first_column, column);
            }
    ASSERT_GE(last_row, 0) << "nothing drawn";
    EXPECT_NEAR(last_row + 1 - first_row, 20 * kPointsPerMm, 1.5);
    EXPECT_NEAR(last_row + 1, (210 - 100) * kPointsPerMm, 1.0) << "a bottom aligned text sits on its anchor";
    EXPECT_NEAR(first_column, 100 * kPointsPerMm, 1.5 * 20 * 0.1 * kPointsPerMm) << "side bearing only";
}

// The word boxes pdftotext reports show where each text's advance lies; the alignment decides which of its ends, or
// its middle, is at the anchor.
TEST(PdfWriter, HorizontalAlignmentPutsTheAnchorAtTheRightEnd) {
    SheetGraphics sheet;
    const char* words[] = {"LEFTWORD", "MIDWORD", "RIGHTWORD"};
    const int alignments[] = {4, 5, 6};
    for (int i = 0; i < 3; ++i) {
        cadhost::render::Text t;
        t.text = words[i];
        t.anchor = {150, 150.0 - 20 * i};
        t.alignment = alignments[i];
        t.height = 5;
        sheet.texts.push_back(t);
    }
    const fs::path pdf = pdf_file("alignment", {sheet});
    const ToolResult boxes = run_tool("pdftotext -bbox " + quoted(pdf) + " -");
    ASSERT_EQ(boxes.status, 0);
    for (int i = 0; i < 3; ++i) {
        std::smatch match;
        const std::regex word("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">" +
                              std::string(words[i]) + "<");
        ASSERT_TRUE(std::regex_search(boxes.output, match, word)) << words[i] << "\n" << boxes.output;
        const double left = std::stod(match[1]) / kPointsPerMm;
        const double right = std::stod(match[2]) / kPointsPerMm;
        const double at_anchor = i == 0 ? left : i == 1 ? (left + right) / 2 : right;
        EXPECT_NEAR(at_anchor, 150.0, 0.3) << words[i] << " spans " << left << " to " << right << " mm";
    }
}

// A text's advance scales with its height and its width factor and nothing else: rounding of glyph positions, or a
// width factor applied to the glyphs but not their advances, breaks the proportions.
TEST(PdfWriter, TextWidthFollowsHeightAndWidthFactor) {
    SheetGraphics sheet;
    const double heights[] = {3.5, 7.0, 7.0};
    const double factors[] = {1.0, 1.0, 0.7};
    for (int i = 0; i < 3; ++i) {
        cadhost::render::Text t;
        t.text = "WIDTHPROBE";
        t.anchor = {30, 180.0 - 40 * i};  // top to bottom, the order pdftotext reads them in
        t.height = heights[i];
        t.width_factor = factors[i];
        sheet.texts.push_back(t);
    }
    const ToolResult boxes = run_tool("pdftotext -bbox " + quoted(pdf_file("widths", {sheet})) + " -");
    ASSERT_EQ(boxes.status, 0);
    const std::regex word("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">WIDTHPROBE<");
    std::vector<double> widths;
    for (std::sregex_iterator it(boxes.output.begin(), boxes.output.end(), word), end; it != end; ++it)
        widths.push_back(std::stod((*it)[2]) - std::stod((*it)[1]));
    ASSERT_EQ(widths.size(), 3u) << "a probe was split into pieces or lost\n" << boxes.output;
    EXPECT_NEAR(widths[1] / widths[0], 2.0, 0.02);
    EXPECT_NEAR(widths[2] / widths[1], 0.7, 0.02);
}

TEST(PdfWriter, SameSheetsGiveTheSameBytes) {
    std::ostringstream first;
    std::ostringstream second;
    std::string error;
    ASSERT_TRUE(write_pdf({full_sheet()}, first, error)) << error;
    ASSERT_TRUE(write_pdf({full_sheet()}, second, error)) << error;
    EXPECT_TRUE(first.str() == second.str());
    EXPECT_EQ(first.str().find("/CreationDate"), std::string::npos);
}

// The document streamed to a file page by page, its line work kept aside until the end, is the one made in memory,
// byte for byte; a file that refuses the bytes fails the document with the reason.
TEST(PdfWriter, StreamedDocumentIsTheOneMadeInMemory) {
    const std::vector<SheetGraphics> sheets{full_sheet(), SheetGraphics{}, texts(), frame_and_strokes()};
    std::ostringstream memory;
    std::string error;
    ASSERT_TRUE(write_pdf(sheets, memory, error, "title")) << error;
    ASSERT_TRUE(cadhost::render::PdfStream::takes_packed_line_work());
    const std::string folder = std::filesystem::temp_directory_path().string();
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        cadhost::render::PdfStream stream(fileno(file), folder, "title");
        for (const auto& sheet : sheets) {
            std::string packed;
            ASSERT_TRUE(cadhost::render::pack_line_work(sheet, packed));
            ASSERT_TRUE(stream.add_page(sheet, &packed, error)) << error;
        }
        ASSERT_TRUE(stream.finish(error)) << error;
    }
    std::string streamed;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) streamed.push_back(static_cast<char>(c));
    std::fclose(file);
    EXPECT_TRUE(streamed == memory.str()) << streamed.size() << " bytes streamed, " << memory.str().size() << " made";

    const int full = ::open("/dev/full", O_RDWR | O_CLOEXEC);
    ASSERT_GE(full, 0);
    cadhost::render::PdfStream refused(full, folder, "");
    SheetGraphics flat;
    flat.height = 0;
    EXPECT_FALSE(refused.add_page(flat, nullptr, error));
    EXPECT_NE(error.find("no usable size"), std::string::npos) << error;
    EXPECT_TRUE(refused.add_page(full_sheet(), nullptr, error)) << error;
    error.clear();
    EXPECT_FALSE(refused.finish(error));
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    ::close(full);
}

TEST(PdfWriter, RefusesWhatItCannotDraw) {
    std::ostringstream out;
    std::string error;
    EXPECT_FALSE(write_pdf({}, out, error));
    EXPECT_FALSE(error.empty());
    SheetGraphics flat;
    flat.height = 0;
    error.clear();
    EXPECT_FALSE(write_pdf({flat}, out, error));
    EXPECT_FALSE(error.empty());

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    error.clear();
    EXPECT_FALSE(write_pdf({full_sheet()}, broken, error));
    EXPECT_FALSE(error.empty());
}

// The SVG writer cannot measure the font and sizes its em from a fixed ratio; it must be the installed font's.
TEST(PdfWriter, MeasuredCapitalRatioMatchesTheOneSvgAssumes) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* cr = cairo_create(surface);
    const cadhost::render::PdfTextPainter painter(cr);
    EXPECT_NEAR(painter.capital_height_per_em(), cadhost::render::kCapitalHeightPerEm, 0.005);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace quillon_test
