// The setup outputs' own rules, on setups made here: CSV quoting read back by Python's csv module, the workbook read
// back by openpyxl, the bill of material's grouping and stock, the summary pages' frame and continuation, and the
// browser page's escaping.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/setup/setup_csv.h"
#include "cadhost/setup/setup_xlsx.h"
#include "cadhost/setup/sheet_browser.h"
#include "cadhost/setup/summary_pages.h"

namespace {

namespace fs = std::filesystem;
using cadhost::setup::SheetSetup;

SheetSetup setup_of(const std::string& name, int page, int pages) {
    SheetSetup s;
    s.sheet = name;
    s.electrode = name;
    s.page = page;
    s.pages = pages;
    s.layer = 1;
    s.place = s.places = 1;
    s.direction = -3;
    s.edm_point = std::array<double, 3>{-100.0, 30.0004, -0.0001};
    s.rough_gap = "0.25";
    s.rough_count = "2";
    s.finish_count = "1";
    s.box = std::array<double, 3>{50.0, 40.001, 35.2};
    return s;
}

// What a Python script prints as JSON of the file holding bytes.
nlohmann::json python_reads(const std::string& bytes, const std::string& script, const std::string& extension) {
    const fs::path file = fs::temp_directory_path() / ("quillon_list_" + std::to_string(::getpid()) + extension);
    {
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }
    const std::string command = "/usr/bin/python3 -c \"" + script + "\" " + file.string();
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << output;
    }
    fs::remove(file);
    return nlohmann::json::parse(output);
}

// The CSV read back by Python's csv module, as rows of fields; the byte-order mark is the file's, not the first
// field's.
nlohmann::json python_rows(const std::string& csv) {
    return python_reads(csv,
                        "import csv,json,sys; print(json.dumps(list(csv.reader(open(sys.argv[1],newline='',"
                        "encoding='utf-8-sig'),strict=True))))",
                        ".csv");
}

TEST(SetupCsv, AwkwardTextsRoundTripThroughAStandardReader) {
    SheetSetup s = setup_of("E9, \"左\"", 1, 1);
    s.note = "第一行, 含逗号\r\n第二行 \"引号\"\n";
    s.special_rough_gap = " 0.35";  // blanks at the ends survive only quoted
    std::ostringstream out;
    cadhost::setup::write_setup_csv(out, {s}, cadhost::setup::ListHeader::english);
    const auto rows = python_rows(out.str());
    ASSERT_EQ(rows.size(), 2u);
    const auto& header = rows[0];
    auto field = [&](const std::string& column) {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == column) return rows[1][i].get<std::string>();
        ADD_FAILURE() << column;
        return std::string();
    };
    EXPECT_EQ(rows[1].size(), header.size());
    EXPECT_EQ(field("sheet"), s.sheet);
    EXPECT_EQ(field("electrode"), s.electrode);
    EXPECT_EQ(field("note"), s.note);
    EXPECT_EQ(field("special_rough_gap"), " 0.35");
    EXPECT_EQ(field("direction"), "'-s") << "a spreadsheet would read -s as a formula";
    // Three decimals with a point, and no negative zero.
    EXPECT_EQ(field("edm_x"), "-100.000");
    EXPECT_EQ(field("edm_y"), "30.000");
    EXPECT_EQ(field("edm_z"), "0.000");
    EXPECT_EQ(field("working_x"), "");
    EXPECT_EQ(field("chamfer_corner"), "");
    EXPECT_EQ(out.str().substr(0, 18), "\xEF\xBB\xBFsheet,page,page");
}

TEST(SetupCsv, QuotesOnlyWhatNeedsIt) {
    using cadhost::setup::csv_field;
    EXPECT_EQ(csv_field("E01"), "E01");
    EXPECT_EQ(csv_field("顶面清角"), "顶面清角");
    EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
    EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csv_field("cr\r"), "\"cr\r\"");
    EXPECT_EQ(csv_field(""), "");
    // Cells a spreadsheet would run as formulas are texts; plain numbers stay numbers.
    EXPECT_EQ(csv_field("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
    for (const char* formula : {"+1+1", "-t", "@SUM(A1)", "\t=1", "-1-1", "-"})
        EXPECT_EQ(csv_field(formula).find('\''), csv_field(formula).find_first_not_of('"')) << formula;
    for (const char* number : {"-12.500", "+3", "0.125", "7"}) EXPECT_EQ(csv_field(number), number);
}

TEST(Bom, GroupsByNameWithTheFirstSheetsCountsAndStock) {
    SheetSetup a = setup_of("E02", 1, 4), b = setup_of("E02", 2, 4), c = setup_of("E05", 3, 4),
               d = setup_of("E02", 4, 4);
    b.box = std::array<double, 3>{40.001, 50.0, 35.2};  // a copy turned 90 degrees: the first sheet's box counts
    b.rough_count = "9";
    c.rough_count = "";
    c.finish_count = "2";
    c.special_finish_count = "3";
    c.box = std::array<double, 3>{30.0, 30.0009, 29.4};
    d.box.reset();
    a.places = b.places = 2;
    b.place = 2;
    d.layer = 4;  // another electrode of the same name, on a layer of its own
    d.places = 1;
    // A second run's sheets of the same layer add no places.
    SheetSetup again = a;
    again.sheet = "MY_ELEC_SHEETB1";
    const auto lines = cadhost::setup::bill_of_material({a, b, c, d, again}, 2.0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].electrode, "E02");
    EXPECT_EQ(lines[0].places, 3);
    EXPECT_EQ(lines[0].pieces, 3);  // 2 rough + 1 finish of its first sheet
    // 50 -> 54; 40.001 is a whole 40 plus a thousandth and takes 41 + 4; 35.2 -> 36 + 4.
    EXPECT_EQ(lines[0].stock, (std::array<int, 3>{54, 45, 40}));
    EXPECT_EQ(lines[1].pieces, 5);  // 2 finish + 3 special finish
    // 30.0009 is 30.001 at three decimals.
    EXPECT_EQ(lines[1].stock, (std::array<int, 3>{34, 35, 34}));
    const auto none = cadhost::setup::bill_of_material({c}, 0.0);
    EXPECT_EQ(none[0].stock, (std::array<int, 3>{30, 31, 30}));

    SheetSetup odd = setup_of("E07", 1, 1);
    odd.finish_count = "1.5";
    EXPECT_FALSE(cadhost::setup::bill_of_material({odd}, 2.0)[0].pieces.has_value());
    // Counts at the top of what a sheet holds add up to their true total, never to a negative one.
    SheetSetup most = setup_of("E10", 1, 1), again_most = most;
    most.rough_count = "2147483647";
    most.finish_count = "1";
    most.places = 2147483647;
    again_most.layer = 2;
    EXPECT_EQ(cadhost::setup::bill_of_material({most}, 2.0)[0].pieces, 2147483648LL);
    EXPECT_EQ(cadhost::setup::bill_of_material({most, again_most}, 2.0)[0].places, 2147483648LL);
    std::ostringstream out;
    cadhost::setup::write_bom_csv(out, lines);
    const auto rows = python_rows(out.str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][0], "E02");
    EXPECT_EQ(rows[1][1], "3");
    EXPECT_EQ(rows[2][6], "5");

    // A sheet without any count gives no total (an empty cell), while counts of 0 total 0.
    SheetSetup blank = setup_of("E08", 1, 1), zero = setup_of("E09", 2, 2);
    blank.rough_count = blank.finish_count = "";
    zero.rough_count = zero.finish_count = "0";
    std::ostringstream counted;
    cadhost::setup::write_bom_csv(counted, cadhost::setup::bill_of_material({blank, zero}, 2.0));
    const auto totals = python_rows(counted.str());
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[1][6], "");
    EXPECT_EQ(totals[2][6], "0");
    EXPECT_EQ(totals[2][2], "0");
}

TEST(SetupXlsx, NumbersAreNumbersNoneIsEmptyAndNoTextBreaksTheWorkbook) {
    using cadhost::setup::display_width;
    EXPECT_EQ(display_width("E01"), 3u);
    EXPECT_EQ(display_width("外形尺寸X(mm)"), 13u);
    EXPECT_EQ(display_width("第一行\n2"), 6u);

    SheetSetup s = setup_of("007", 1, 1);  // a name of digits stays a name
    s.rotation = 0.0;
    s.special_rough_gap = " 0.35";                                  // not a plain number: it stays a text
    s.note = "第一行\n=SUM(1)\x01 \xFF" + std::string(40000, 'x');  // a control, a stray byte, longer than a cell
    std::string bytes, error;
    const auto header = cadhost::setup::ListHeader::english;
    ASSERT_TRUE(cadhost::setup::write_lists_xlsx(
        {cadhost::setup::setup_table({s}, header), cadhost::setup::bom_table({}, header)}, bytes, error))
        << error;
    const auto book = python_reads(
        bytes,
        "import json,sys,openpyxl; b=openpyxl.load_workbook(sys.argv[1]); s=b.worksheets[0]; "
        "print(json.dumps({'names':b.sheetnames,'freeze':s.freeze_panes,'rows':[[c.value for c in r] for r in "
        "s.iter_rows()],'width':s.column_dimensions['A'].width,'bom':[[c.value for c in r] for r in "
        "b.worksheets[1].iter_rows()]}))",
        ".xlsx");
    EXPECT_EQ(book["names"], (nlohmann::json{"electrodes", "bom"}));
    EXPECT_EQ(book["freeze"], "A2");
    ASSERT_EQ(book["rows"].size(), 2u);
    const auto& keys = book["rows"][0];
    const auto& row = book["rows"][1];
    auto cell = [&](const std::string& key) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return row[i];
        ADD_FAILURE() << key;
        return nlohmann::json();
    };
    EXPECT_EQ(cell("sheet"), "007");
    EXPECT_EQ(cell("page"), 1);
    EXPECT_EQ(cell("edm_x"), -100.0);
    EXPECT_EQ(cell("edm_z"), 0);
    EXPECT_EQ(cell("rotation"), 0) << "a zero is a number";
    EXPECT_EQ(cell("rough_gap"), 0.25);
    EXPECT_EQ(cell("direction"), "-s") << "a text cell is never a formula, so it needs no apostrophe";
    EXPECT_EQ(cell("special_rough_gap"), " 0.35");
    EXPECT_TRUE(cell("working_x").is_null()) << "none is an empty cell";
    EXPECT_TRUE(cell("chamfer_corner").is_null());
    const std::string note = cell("note").get<std::string>();
    EXPECT_EQ(note.rfind("第一行\n=SUM(1) \xEF\xBF\xBDxxx", 0), 0u) << note.substr(0, 30);
    EXPECT_LE(note.size(), 32767u);
    EXPECT_EQ(book["bom"].size(), 1u) << "a header row only";
    EXPECT_GE(book["width"].get<double>(), 5.0);  // "sheet"
}

// A sheet like the template's: border, title block of three rows, a table above it, a view and notes.
cadhost::render::SheetGraphics template_sheet() {
    using namespace cadhost::render;
    SheetGraphics sheet;
    sheet.name = "E01";
    auto line = [&](double x0, double y0, double x1, double y1, const std::string& layer) {
        sheet.polylines.push_back(Polyline{{{x0, y0}, {x1, y1}}, false, {}, layer});
    };
    for (auto [x0, y0, x1, y1] : {std::array<double, 4>{10, 10, 287, 10},
                                  {287, 10, 287, 200},
                                  {287, 200, 10, 200},
                                  {10, 200, 10, 10},
                                  {10, 37, 287, 37},
                                  {10, 28, 287, 28},
                                  {100, 19, 100, 37},
                                  {142, 91.5, 242, 91.5},
                                  {142, 91.5, 142, 112.5}})
        line(x0, y0, x1, y1, "SHEET");
    line(20, 50, 120, 150, "VIEW-TOP");
    auto text = [&](const std::string& t, double x, double y, const std::string& layer) {
        Text out;
        out.text = t;
        out.anchor = {x, y};
        out.layer = layer;
        sheet.texts.push_back(out);
    };
    text("模号", 20, 32.5, "NOTES");
    text("SAMPLE-01", 65, 32.5, "NOTES");
    text("第 2/30 页", 248.5, 23.5, "NOTES");
    text("粗公", 182, 109, "NOTES");
    text("45.00", 60, 180, "DIMENSION");
    return sheet;
}

bool has_text(const cadhost::render::SheetGraphics& page, const std::string& text) {
    for (const auto& t : page.texts)
        if (t.text == text) return true;
    return false;
}

TEST(SummaryPages, TitleBlockAndBorderOfTheSheetAndTheTableOverAsManyPagesAsNeeded) {
    std::vector<SheetSetup> setups;
    for (int i = 2; i <= 31; ++i) setups.push_back(setup_of("S" + std::to_string(i), i, 30));
    const auto pages = cadhost::setup::summary_pages(setups, template_sheet());
    ASSERT_EQ(pages.size(), 2u);
    std::size_t rows = 0;
    for (const auto& page : pages)
        for (const auto& t : page.texts)
            if (t.text.rfind("-s", 0) == 0) ++rows;  // one direction cell a row
    EXPECT_EQ(rows, setups.size());
    EXPECT_TRUE(has_text(pages[0], "S27"));
    EXPECT_FALSE(has_text(pages[0], "S28"));
    EXPECT_TRUE(has_text(pages[1], "S28"));
    for (const auto& page : pages) {
        EXPECT_TRUE(has_text(page, "SAMPLE-01"));
        EXPECT_TRUE(has_text(page, "模号"));
        EXPECT_FALSE(has_text(page, "粗公"));   // the sheet's spark-gap table stays behind
        EXPECT_FALSE(has_text(page, "45.00"));  // and so do its dimensions
        EXPECT_FALSE(has_text(page, "第 2/30 页"));
        std::size_t border = 0, above = 0;
        for (const auto& p : page.polylines) {
            if (p.layer == "VIEW-TOP") ADD_FAILURE() << "a view's line on the summary";
            if (p.layer != "SHEET") continue;
            ++border;
            if (p.points[0].y > 90 && p.points[0].y < 113 && p.points[0].x > 140) ++above;
        }
        EXPECT_EQ(border, 7u);
        EXPECT_EQ(above, 0u);
    }
    EXPECT_TRUE(has_text(pages[0], "设置表 1/2"));
    EXPECT_TRUE(has_text(pages[1], "设置表 2/2"));
}

TEST(SummaryPages, LongTextsStayInTheirCells) {
    SheetSetup s = setup_of("A_VERY_LONG_SHEET_NAME_OF_THIRTY", 1, 1);
    s.note = std::string(200, 'x') + "注意";
    s.box = std::array<double, 3>{123.754, 44.25, 3.125};  // too long for its cell even squeezed
    const auto pages = cadhost::setup::summary_pages({s}, template_sheet());
    ASSERT_EQ(pages.size(), 1u);
    // The size is written whole on two lines, never cut.
    std::string size;
    for (const auto& t : pages[0].texts)
        if (t.text.find("×") != std::string::npos) {
            EXPECT_EQ(t.text.find("…"), std::string::npos) << t.text;
            size += t.text;
        }
    EXPECT_EQ(size, "123.754×44.25×3.125");
    for (const auto& t : pages[0].texts) {
        if (t.layer != "SUMMARY" || t.height > 3) continue;
        const double advance = cadhost::setup::text_advance(t.text, t.height) * t.width_factor;
        EXPECT_LE(advance, 287 - 10) << t.text;
        if (t.text.find("xxx") != std::string::npos) {
            EXPECT_LE(t.anchor.x + advance, 287.0) << "the note runs out of the frame";
            EXPECT_NE(t.text.find("…"), std::string::npos);
        }
        if (t.text == s.sheet) {
            EXPECT_LT(t.width_factor, 1.0);
        }
    }
}

TEST(SheetBrowser, EscapesTextsAndFileNames) {
    using cadhost::setup::html_escaped;
    using cadhost::setup::url_of_file;
    EXPECT_EQ(html_escaped("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
    EXPECT_EQ(url_of_file("E01.svg"), "./E01.svg");
    EXPECT_EQ(url_of_file("a#b?c%d e.svg"), "./a%23b%3Fc%25d%20e.svg");
    EXPECT_EQ(url_of_file("左.svg"), "./%E5%B7%A6.svg");
    EXPECT_EQ(url_of_file("c:x.svg"), "./c%3Ax.svg");

    cadhost::setup::BrowserSheet sheet{"<E1>", "_E1_.svg", 297, 210, setup_of("<E1>", 1, 1)};
    sheet.setup->note = "</script><script>alert(1)</script>";
    std::ostringstream page;
    cadhost::setup::write_sheet_browser(page, "part & co", {sheet});
    const std::string html = page.str();
    EXPECT_EQ(html.find("<E1>"), std::string::npos);
    EXPECT_EQ(html.find("alert(1)</script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("data-src=\"./_E1_.svg\""), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);  // nothing from the network
}

}  // namespace
