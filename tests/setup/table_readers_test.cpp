// The electrode table's readers on what other spreadsheet programs write (inline and rich texts, phonetic guides,
// cells without references, a chart sheet first) and on archives and XML no workbook should be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cadhost/serve/zip_writer.h"
#include "cadhost/setup/electrode_table.h"
#include "cadhost/setup/xlsx_reader.h"

namespace {

using namespace cadhost::setup;

const char* kRels =
    R"(<?xml version="1.0"?><Relationships xmlns="r"><Relationship Id="c1" Type="x/chartsheet" Target="c.xml"/>)"
    R"(<Relationship Id="s1" Type="x/worksheet" Target="/xl/worksheets/../worksheets/list.xml"/>)"
    R"(<Relationship Id="t1" Type="x/sharedStrings" Target="strings.xml"/></Relationships>)";
const char* kBook =
    R"(<workbook xmlns:r="r"><sheets><sheet name="chart" r:id="c1"/><sheet name="清单" r:id="s1"/></sheets></workbook>)";

std::string workbook(const std::string& sheet, const std::string& strings, const std::string& book = kBook) {
    cadhost::serve::ZipWriter zip;
    zip.add("xl/workbook.xml", book);
    zip.add("xl/_rels/workbook.xml.rels", kRels);
    zip.add("xl/strings.xml", strings);
    zip.add("xl/worksheets/list.xml", "<worksheet><sheetData>" + sheet + "</sheetData></worksheet>");
    return zip.finish();
}

TEST(TableReaders, TextsOfEveryKindAndCellsWithoutReferences) {
    const std::string strings =
        "<sst><si><t>电极名</t></si><si><r><t>粗公</t></r><r><t>火花位</t></r><rPh><t>ふりがな</t></rPh></si>"
        "<si><t xml:space=\"preserve\">E&amp;1 &#x7535;</t></si></sst>";
    const std::string sheet =
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c t="s"><v>1</v></c><c t="inlineStr"><is><t>note</t></is></c></row>)"
        R"(<row r="3"><c t="s"><v>2</v></c><c><v>2.5E-1</v></c><c t="inlineStr"><is><r><t>a </t></r><r><t>b</t></r>)"
        R"(</is></c></row>)";
    std::vector<CellTable> sheets;
    std::string error;
    ASSERT_TRUE(read_workbook(workbook(sheet, strings), sheets, error)) << error;
    ASSERT_EQ(sheets.size(), 1u);  // the chart sheet holds no cells
    const CellTable* found = electrode_sheet(sheets, error);
    ASSERT_NE(found, nullptr) << error;
    ElectrodeTable table;
    ASSERT_TRUE(read_electrode_table(*found, table, error)) << error;
    ASSERT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.entries[0].electrode, "E&1 电");
    EXPECT_EQ(table.entries[0].place, "row 3, column A (电极名)");
    EXPECT_EQ(table.slot_headers[0], "粗公火花位");
    ASSERT_TRUE(table.entries[0].slots[0]);
    EXPECT_EQ(table.entries[0].slots[0]->number, 0.25);
    ASSERT_TRUE(table.entries[0].note);
    EXPECT_EQ(table.entries[0].note->text, "a b");
}

TEST(TableReaders, ArchivesAndPartsNoWorkbookHasAreRefused) {
    const std::string row = R"(<row r="1"><c t="s"><v>0</v></c></row>)";
    const std::string strings = "<sst><si><t>电极名</t></si></sst>";
    std::vector<CellTable> sheets;
    std::string error;
    const auto refused = [&](const std::string& bytes, const std::string& why) {
        EXPECT_FALSE(read_workbook(bytes, sheets, error)) << why;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    };
    refused(workbook(row, "<!DOCTYPE sst [<!ENTITY a \"aaaa\">]><sst><si><t>&a;</t></si></sst>"),
            "xl/strings.xml: a document type declaration");
    refused(workbook(R"(<row r="1"><c t="s"><v>7</v></c></row>)", strings), "cell A1: a text the workbook does not");
    refused(workbook(R"(<row r="2"/><row r="1"/>)", strings), "row numbers out of order after row 2");
    refused(workbook(R"(<row r="1"><c r="B1"/><c r="A1"/></row>)", strings), "row 1: cells out of order");
    refused(workbook(row, "<sst><si><t>&#0;</t></si></sst>"), "an unknown or broken reference");
    refused(workbook(row + "<row>", strings), "</sheetData> closes <row>");

    std::string bytes = workbook(row, strings);
    const std::size_t directory = bytes.rfind("PK\x01\x02");  // the last file's directory entry
    std::string encrypted = bytes;
    encrypted[directory + 8] |= 1;
    refused(encrypted, "is encrypted");
    std::string damaged = bytes;
    damaged[directory + 16] ^= 1;  // the check sum it was written with
    refused(damaged, "its check sum does not match");
    std::string outside = bytes;
    outside[directory + 42] = '\x7f';  // its local header far away
    refused(outside, "points outside the archive");
}

}  // namespace
