// Writes the sheet template part: an A4 landscape border, the title block and the spark-gap table, with their labels.
// The value cells are where config.def puts the command's notes; keep the two in step.
// usage: make_template OUTPUT.prt
#include <cstdio>
#include <string>

#include "cadhost/document/document.h"
#include "cadhost/partfile/part_file.h"

namespace {

using cadhost::Document;

void line(Document& doc, double x0, double y0, double x1, double y1, int width = 1) {
    tag_t tag = doc.add_line(gp_Pnt(x0, y0, 0), gp_Pnt(x1, y1, 0));
    doc.find(tag)->line_width = width;
}

void box(Document& doc, double x0, double y0, double x1, double y1, int width = 1) {
    line(doc, x0, y0, x1, y0, width);
    line(doc, x1, y0, x1, y1, width);
    line(doc, x1, y1, x0, y1, width);
    line(doc, x0, y1, x0, y0, width);
}

// A label centred on (x, y).
void label(Document& doc, const std::string& text, double x, double y, double height = 3.0) {
    cadhost::Object object;
    object.type = UF_drafting_entity_type;
    object.subtype = UF_draft_note_subtype;
    cadhost::AnnotationData note;
    note.lines = {text};
    note.origin_x = x;
    note.origin_y = y;
    note.style.change([&](cadhost::AnnotationStyle& s) {
        s.height = height;
        s.alignment = 5;
        s.aspect_ratio = 1.0;
    });
    object.payload = note;
    doc.add(std::move(object), false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_template OUTPUT.prt\n");
        return 2;
    }
    Document doc;
    // The frame: 10 mm from the sheet's edges.
    box(doc, 10, 10, 287, 200, 2);

    // Title block: three rows of 9 mm along the bottom. Label cells x 10-30, 100-120, 190-210.
    line(doc, 10, 37, 287, 37, 2);
    line(doc, 10, 28, 287, 28);
    line(doc, 10, 19, 287, 19);
    for (double x : {100.0, 120.0, 190.0, 210.0}) line(doc, x, 19, x, 37);
    line(doc, 30, 10, 30, 37);
    label(doc, "模号", 20, 32.5);
    label(doc, "零件号", 110, 32.5);
    label(doc, "客户", 200, 32.5);
    label(doc, "类型", 20, 23.5);
    label(doc, "日期", 110, 23.5);
    label(doc, "页码", 200, 23.5);
    label(doc, "路径", 20, 14.5);

    // Spark gaps and counts: the values sit in the middle of the cells at x 182 and 222, y 102 and 95.
    box(doc, 142, 91.5, 242, 112.5);
    line(doc, 142, 105.5, 242, 105.5);
    line(doc, 142, 98.5, 242, 98.5);
    for (double x : {162.0, 202.0}) line(doc, x, 91.5, x, 112.5);
    label(doc, "电极", 152, 109);
    label(doc, "粗公", 182, 109);
    label(doc, "精公", 222, 109);
    label(doc, "火花位", 152, 102);
    label(doc, "数量", 152, 95);

    std::string error;
    if (!cadhost::partfile::save(argv[1], doc, std::nullopt, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
