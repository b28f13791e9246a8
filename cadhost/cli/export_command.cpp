#include "cadhost/cli/export_command.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <set>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/pdf_writer.h"
#include "cadhost/render/svg_writer.h"

namespace cadhost::cli {

namespace fs = std::filesystem;

std::string file_name_for(const std::string& sheet_name) {
    std::string out;
    for (char c : sheet_name) {
        unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
                c == '>' || c == '|')
                   ? '_'
                   : c;
    }
    if (out.empty() || out == "." || out == "..") out = "sheet";
    return out;
}

namespace {

bool write_file(const fs::path& path, const std::string& bytes, std::ostream& err) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    file.close();
    if (!file) {
        err << "quillon export: cannot write '" << path.string() << "'\n";
        return false;
    }
    return true;
}

}  // namespace

int export_sheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string part_path, dir;
    std::set<std::string> formats;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" && i + 1 < args.size())
            dir = args[++i];
        else if (a == "--pdf" || a == "--svg" || a == "--dxf" || a == "--json")
            formats.insert(a.substr(2));
        else if (!a.empty() && a[0] != '-' && part_path.empty())
            part_path = a;
        else {
            err << "quillon export: unexpected argument '" << a
                << "'\nusage: quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json]\n";
            return 2;
        }
    }
    if (part_path.empty() || dir.empty()) {
        err << "usage: quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json]\n";
        return 2;
    }
    if (formats.empty()) formats = {"pdf", "svg", "dxf", "json"};
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(part_path, part, error)) {
        err << "quillon export: " << error << '\n';
        return 2;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        err << "quillon export: cannot make folder '" << dir << "': " << ec.message() << '\n';
        return 2;
    }
    const Document& doc = part.document;
    const std::string stem = fs::path(part_path).stem().string();
    const auto drawings = drafting::drawings_of(doc);
    std::vector<render::SheetGraphics> sheets;
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        out << "sheet " << i + 1 << " of " << drawings.size() << '\n' << std::flush;
        sheets.push_back(drafting::build_sheet(doc, drawings[i]));
    }
    int written = 0;
    if (formats.count("json")) {
        std::ostringstream report;
        drafting::write_report(report, doc);
        if (!write_file(fs::path(dir) / (stem + ".json"), report.str(), err)) return 2;
        ++written;
    }
    for (const auto& sheet : sheets) {
        const std::string name = file_name_for(sheet.name);
        if (formats.count("svg")) {
            std::ostringstream svg;
            render::write_svg(sheet, svg);
            if (!write_file(fs::path(dir) / (name + ".svg"), svg.str(), err)) return 2;
            ++written;
        }
        if (formats.count("dxf")) {
            std::ostringstream dxf;
            if (!render::write_dxf(sheet, dxf, error)) {
                err << "quillon export: sheet " << sheet.name << ": " << error << '\n';
                return 2;
            }
            if (!write_file(fs::path(dir) / (name + ".dxf"), dxf.str(), err)) return 2;
            ++written;
        }
    }
    if (formats.count("pdf") && !sheets.empty()) {
        std::ostringstream pdf;
        if (!render::write_pdf(sheets, pdf, error)) {
            err << "quillon export: " << error << '\n';
            return 2;
        }
        if (!write_file(fs::path(dir) / (stem + ".pdf"), pdf.str(), err)) return 2;
        ++written;
    }
    out << "wrote " << written << " file" << (written == 1 ? "" : "s") << " for " << sheets.size() << " sheet"
        << (sheets.size() == 1 ? "" : "s") << " into " << dir << '\n';
    return 0;
}

}  // namespace cadhost::cli
