#include "cadhost/setup/sheet_browser.h"

#include <cmath>
#include <cstdio>

#include "cadhost/render/printable_text.h"
#include "cadhost/setup/sheet_browser_page.h"
#include "cadhost/setup/sheet_browser_script.h"
#include "cadhost/setup/summary_pages.h"

namespace cadhost::setup {

namespace {

void setup_table(std::ostream& out, const std::vector<BrowserSheet>& sheets) {
    out << "<table "
           "class=\"setup\">\n<thead><tr><th>图纸</th><th>页</th><th>铜公</th><th>层</th><th>处</th><th>方向</th>"
           "<th>定位点</th><th>X</th><th>Y</th><th>Z</th><th>深度</th><th>转角</th><th>粗火花位</th><th>精火花位</"
           "th><th>粗公数</th><th>精公数</th>"
           "<th>特粗公火花位</th><th>特精公火花位</th><th>特粗公数</th><th>特精公数</th><th>外形尺寸</th>"
           "<th>工作部分</th><th>C角</th><th>备注</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const BrowserSheet& sheet = sheets[i];
        out << "<tr data-sheet=\"" << i << "\"><td><a href=\"#sheet-" << i << "\" data-go=\"" << i << "\">"
            << html_escaped(sheet.name) << "</a></td>";
        if (!sheet.setup) {
            out << "<td colspan=\"23\"></td></tr>\n";
            continue;
        }
        const SheetSetup& s = *sheet.setup;
        auto cell = [&](const std::string& text) { out << "<td>" << html_escaped(text) << "</td>"; };
        cell(std::to_string(s.page) + "/" + std::to_string(s.pages));
        cell(s.electrode);
        cell(std::to_string(s.layer));
        cell(std::to_string(s.place) + "/" + std::to_string(s.places));
        cell(direction_name(s.direction));
        cell(edm_point_kind_text(s));
        for (int a = 0; a < 3; ++a) cell(s.edm_point ? millimetres((*s.edm_point)[a]) : "");
        cell(s.depth ? millimetres(*s.depth) : "");
        cell(degrees_text(s.rotation));
        for (const std::string* t : {&s.rough_gap, &s.finish_gap, &s.rough_count, &s.finish_count, &s.special_rough_gap,
                                     &s.special_finish_gap, &s.special_rough_count, &s.special_finish_count})
            cell(*t);
        cell(s.box ? size_text(*s.box) : "");
        cell(s.working ? size_text(*s.working) : "");
        cell(s.chamfer_corner ? std::to_string(s.chamfer_corner) : "");
        out << "<td class=\"note\">" << html_escaped(s.note) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n";
}

}  // namespace

std::string html_escaped(const std::string& text) {
    std::string out;
    for (char c : render::printable_text(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string url_of_file(const std::string& file) {
    std::string out;
    for (char c : file) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", u);
            out += escaped;
        }
    }
    // "./" keeps a name with a colon from reading as a URL scheme.
    return "./" + out;
}

void write_sheet_browser(std::ostream& out, const std::string& title, const std::vector<BrowserSheet>& sheets) {
    out << "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        << "<title>" << html_escaped(title) << "</title>\n<style>" << kBrowserStyle << "</style>\n</head>\n<body>\n"
        << "<header><div class=\"title\"><h1>" << html_escaped(title) << "</h1><p>" << sheets.size()
        << (sheets.size() == 1 ? " sheet" : " sheets") << "</p></div>"
        << "<div class=\"tools\"><button type=\"button\" data-action=\"previous\" title=\"上一张 previous sheet (p)\" "
           "aria-label=\"上一张 previous sheet\">&#8249;</button><button type=\"button\" data-action=\"next\" "
           "title=\"下一张 next sheet (n)\" aria-label=\"下一张 next sheet\">&#8250;</button><button type=\"button\" "
           "data-action=\"print\" title=\"打印 print (Ctrl+P)\">打印</button><button type=\"button\" "
           "data-action=\"help\" title=\"快捷键 shortcuts (?)\" aria-label=\"快捷键 shortcuts\">?</button></div>"
           "</header>\n<nav>\n";
    setup_table(out, sheets);
    out << "<p class=\"help\">滚轮或双指缩放, 拖动平移, 双击复原; n / p 或 ← / → 换图纸; ? 列出全部快捷键. "
           "Wheel or pinch to zoom, drag to pan, double-click or double-tap to fit; n / p or the arrow keys for the "
           "next "
           "or previous sheet; ? lists every shortcut.</p>\n</nav>\n<main>\n";
    // The drawings load as their sheets come into view (the page's script moves data-src to src); without script the
    // noscript copy loads them all.
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const BrowserSheet& sheet = sheets[i];
        char ratio[64];
        const bool sized = sheet.width > 0 && sheet.height > 0 && std::isfinite(sheet.width / sheet.height);
        std::snprintf(ratio, sizeof ratio, "%.4f", sized ? sheet.height / sheet.width * 100.0 : 70.7107);
        const std::string src = html_escaped(url_of_file(sheet.svg_file)), alt = html_escaped(sheet.name);
        out << "<figure class=\"sheet\" id=\"sheet-" << i << "\"><figcaption>" << (i + 1) << " / " << sheets.size()
            << " &nbsp; " << alt << "</figcaption>"
            << "<div class=\"viewport\" style=\"padding-top:" << ratio << "%\"><img data-src=\"" << src << "\" alt=\""
            << alt << "\" draggable=\"false\"><noscript><img src=\"" << src << "\" alt=\"" << alt
            << "\"></noscript></div></figure>\n";
    }
    out << "</main>\n<script>" << kBrowserScript << "</script>\n</body>\n</html>\n";
}

}  // namespace cadhost::setup
