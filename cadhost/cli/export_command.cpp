#include "cadhost/cli/export_command.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <fstream>
#include <sstream>
#include <set>

#include "cadhost/cli/setup_outputs.h"
#include "cadhost/drafting/projection_store.h"
#include "cadhost/cli/export_files.h"
#include "cadhost/cli/part_hold.h"
#include "cadhost/cli/sheet_files.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/files/atomic_file.h"
#include "cadhost/files/staged_files.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/drafting/touch_label.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/partfile/projection_table.h"
#include "cadhost/render/pdf_writer.h"

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
    std::string error;
    if (files::write_atomically(path.string(), bytes, error)) return true;
    err << "quillon export: " << error << '\n';
    return false;
}

bool stage_file(files::StagedFiles& staged, const fs::path& path, const std::string& bytes, std::ostream& err) {
    std::string error;
    if (staged.stage(path.string(), bytes, error)) return true;
    err << "quillon export: " << error << '\n';
    return false;
}

// Sheets are drawn side by side, one per processor: a sheet's hidden-line projections are independent of the others'.
// The document is only read; the bodies' face and edge tables, which are filled on first use, are filled before. The
// bodies' own projections, which many sheets share, are made first, side by side too.
std::vector<render::SheetGraphics> build_sheets(const Document& doc, const std::vector<tag_t>& drawings,
                                                std::ostream& out) {
    for (const auto& [tag, object] : doc.objects())
        if (const auto* body = object.as<BodyData>()) body->topology();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<drafting::ProjectionRequest> requests;
    for (tag_t drawing : drawings)
        for (auto& request : drafting::projection_requests(doc, drawing)) requests.push_back(std::move(request));
    drafting::project_alone_ahead(requests, cores);
    std::vector<render::SheetGraphics> sheets(drawings.size());
    std::atomic<std::size_t> next{0};
    std::mutex progress;
    std::size_t done = 0;
    std::exception_ptr failure;
    auto work = [&] {
        for (std::size_t i = next++; i < drawings.size(); i = next++) {
            try {
                sheets[i] = drafting::build_sheet(doc, drawings[i]);
            } catch (...) {
                std::lock_guard<std::mutex> lock(progress);
                if (!failure) failure = std::current_exception();
                return;
            }
            std::lock_guard<std::mutex> lock(progress);
            out << "sheet " << ++done << " of " << drawings.size() << '\n' << std::flush;
        }
    };
    const std::size_t count = std::min<std::size_t>(cores, drawings.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < count; ++t) threads.emplace_back(work);
    work();
    for (auto& thread : threads) thread.join();
    if (failure) std::rethrow_exception(failure);
    return sheets;
}

}  // namespace

int export_sheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string part_path, dir;
    std::set<std::string> formats;
    double allowance = 2.0;  // stock a side of each electrode's box, mm
    int summary = -1;        // setup pages ahead of the PDF's sheets: -1 when the run has more than one sheet
    setup::ListHeader list_header = setup::ListHeader::chinese;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" && i + 1 < args.size())
            dir = args[++i];
        else if (a == "--pdf" || a == "--svg" || a == "--dxf" || a == "--json" || a == "--csv" || a == "--html")
            formats.insert(a.substr(2));
        else if (a == "--summary" || a == "--no-summary")
            summary = a == "--summary" ? 1 : 0;
        else if (a == "--allowance" && i + 1 < args.size()) {
            if (!parse_allowance(args[++i], allowance)) {
                err << "quillon export: --allowance '" << args[i] << "': expected millimetres from 0 to 100\n";
                return 2;
            }
        } else if (a == "--csv-header" && i + 1 < args.size()) {
            if (!parse_list_header(args[++i], list_header)) {
                err << "quillon export: --csv-header '" << args[i] << "': expected zh or en\n";
                return 2;
            }
        } else if (!a.empty() && a[0] != '-' && part_path.empty())
            part_path = a;
        else {
            err << "quillon export: unexpected argument '" << a
                << "'\nusage: quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json] [--csv] [--html]\n       "
                   "[--summary | --no-summary] [--allowance MM] [--csv-header zh|en]\n";
            return 2;
        }
    }
    if (part_path.empty() || dir.empty()) {
        err << "usage: quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json] [--csv] [--html]\n       "
               "[--summary | --no-summary] [--allowance MM] [--csv-header zh|en]\n";
        return 2;
    }
    if (formats.empty()) formats = {"pdf", "svg", "dxf", "json", "csv", "html"};
    if (formats.count("html")) formats.insert("svg");  // the page shows the sheets' SVG files
    // The export writes the projections it made into the part: it holds the part from the load to that write, so
    // that a run saving the part meanwhile is not overwritten. A part another process keeps busy for the whole wait
    // is drawn as it is now, and its projections are not kept.
    partfile::PartLock lock;
    const bool held = hold_part(lock, part_path, "export", err);
    if (!held) err << "quillon export: the sheets are drawn from the part as it is now; its projections are not kept\n";
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(part_path, part, error)) {
        err << "quillon export: " << error << '\n';
        return 2;
    }
    const Document& doc = part.document;
    const auto drawings = drafting::drawings_of(doc);
    if (drawings.empty()) {
        err << "quillon export: part '" << part_path << "' has no sheets: nothing was written\n";
        return 1;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        err << "quillon export: cannot make folder '" << dir << "': " << ec.message() << '\n';
        return 2;
    }
    const std::string stem = fs::path(part_path).stem().string();
    // The projections kept in the part are found there; a part whose kept projections cannot be read is drawn
    // without them.
    auto& store = drafting::ProjectionStore::shared();
    store.clear();
    const long computed_before = store.computed();
    std::size_t kept = 0;
    if (!partfile::read_projections(
            part_path,
            [&](std::string key, std::string bytes) {
                store.add_kept(key, std::move(bytes));
                ++kept;
            },
            error))
        err << "quillon export: " << error << '\n';
    std::vector<render::SheetGraphics> sheets;
    try {
        sheets = build_sheets(doc, drawings, out);
    } catch (const std::exception& e) {
        err << "quillon export: a sheet could not be drawn: " << e.what() << '\n';
        return 2;
    } catch (...) {
        err << "quillon export: a sheet could not be drawn: the geometry kernel failed\n";
        return 2;
    }
    // Labels placed in view of everything else drawn: they join the part as it is exported (not the part file), so
    // that every output, the report included, shows them.
    drafting::add_touch_labels(part.document, drawings, sheets);
    const auto computed = store.computed_since_clear();
    const auto used = store.used_since_clear();
    out << "projections: " << store.computed() - computed_before << " computed, " << used.size() - computed.size()
        << " found in the part\n";
    // The part file is written only when what it keeps changes: new projections, or kept ones no sheet used.
    const bool keeps_changed = !computed.empty() || used.size() != kept;
    if (held && keeps_changed && !partfile::keep_projections(part_path, computed, used, error))
        err << "quillon export: the sheets are drawn, but " << error << '\n';
    lock.release();
    std::vector<std::string> sheet_names, notes;
    for (const auto& sheet : sheets) sheet_names.push_back(sheet.name);
    const std::vector<std::string> file_names = sheet_file_names(sheet_names, notes);
    for (const auto& note : notes) out << "note: " << note << '\n';

    // Until the export is complete the manifest lists the files it may write as well as the earlier export's, so that
    // an export stopped half-way still knows every file of its own.
    std::set<std::string> planned;
    if (formats.count("json")) planned.insert(stem + ".json");
    if (formats.count("pdf")) planned.insert(stem + ".pdf");
    if (formats.count("csv"))
        for (const auto& name : setup_list_names(stem)) planned.insert(name);
    for (const auto& name : file_names)
        for (const char* format : {"svg", "dxf"})
            if (formats.count(format)) planned.insert(name + "." + format);
    const fs::path manifest = manifest_path(dir, stem);
    const std::set<std::string> earlier = read_manifest(manifest);
    std::set<std::string> listed = earlier;
    listed.insert(planned.begin(), planned.end());
    // An export of none of the sheets' files (the setup lists alone) into a folder without a manifest needs none.
    const bool tracked = !listed.empty();
    if (tracked && !write_file(manifest, manifest_text(listed), err)) return 2;
    // An export that fails after this lists in the manifest those of the names that are in the folder: the earlier
    // export's files when nothing was put in place, and what the commit renamed when it failed half-way.
    const auto give_up = [&](const std::set<std::string>& names) {
        std::set<std::string> present;
        for (const auto& name : names)
            if (fs::exists(fs::path(dir) / name, ec)) present.insert(name);
        if (tracked) write_file(manifest, manifest_text(present), err);
        return 2;
    };

    // The outputs are staged and put in place together once all are written: see StagedFiles.
    files::StagedFiles staged;
    int written = 0;
    if (formats.count("json")) {
        std::ostringstream report;
        drafting::write_report(report, doc);
        if (!stage_file(staged, fs::path(dir) / (stem + ".json"), report.str(), err)) return give_up(earlier);
        ++written;
    }
    const auto setups = setup::setups_of(doc);
    if (formats.count("csv")) {
        if (setups.empty())
            out << "note: no sheet carries an EDM setup; the setup list and bill of material are empty\n";
        std::vector<NamedOutput> lists;
        if (!setup_list_files(setups, stem, allowance, list_header, lists, error)) {
            err << "quillon export: " << error << "\nquillon export: nothing was written\n";
            return give_up(earlier);
        }
        for (const auto& file : lists) {
            if (!stage_file(staged, fs::path(dir) / file.file, file.bytes, err)) return give_up(earlier);
            ++written;
        }
    }
    if (formats.count("html")) {
        std::vector<std::string> svg_files;
        for (const auto& name : file_names) svg_files.push_back(name + ".svg");
        if (!stage_file(staged, fs::path(dir) / "index.html", browser_page(stem, drawings, sheets, svg_files, setups),
                        err))
            return give_up(earlier);
        ++written;
    }
    // The sheets' own files are written beside the PDF, on every processor: the PDF's pages keep its writer busy
    // about as long as the sheets' files do.
    std::ostringstream sheet_err;
    int sheet_files = 0;
    bool sheets_written = true;
    std::thread sheet_writer([&] {
        sheets_written =
            write_sheet_files(sheets, file_names, formats.count("svg") > 0, formats.count("dxf") > 0, dir, staged,
                              std::max(1u, std::thread::hardware_concurrency()), sheet_files, sheet_err);
    });
    bool pdf_written = true;
    if (formats.count("pdf") && !sheets.empty()) {
        std::ostringstream pdf;
        const auto summary_ahead = summary_pages(sheets, drawings, setups, summary);
        if (!render::write_pdf_pages(pdf_pages(summary_ahead, sheets), pdf, error, stem)) {
            err << "quillon export: " << error << '\n';
            pdf_written = false;
        } else if (stage_file(staged, fs::path(dir) / (stem + ".pdf"), std::move(pdf).str(), err)) {
            ++written;
        } else {
            pdf_written = false;
        }
    }
    sheet_writer.join();
    err << sheet_err.str();
    // A failed file fails the export: nothing of it is put in place (the staged files go with their temporaries),
    // so the folder never mixes this export's files with the earlier one's.
    if (!pdf_written || !sheets_written) {
        err << "quillon export: nothing was written\n";
        return give_up(earlier);
    }
    if (!staged.commit(error)) {
        err << "quillon export: " << error << '\n';
        return give_up(listed);
    }
    written += sheet_files;
    // The earlier export's files of sheets that are gone go; the manifest then lists exactly what is there of ours.
    const std::set<std::string> ours = files_kept(earlier, planned, formats, file_names, stem);
    std::set<std::string> stale;
    for (const auto& name : earlier)
        if (!ours.count(name)) stale.insert(name);
    for (const auto& name : remove_files(dir, stale))
        out << "removed " << name << ", written before for a sheet that is gone\n";
    if (tracked && !write_file(manifest, manifest_text(ours), err)) return 2;
    out << "wrote " << written << " file" << (written == 1 ? "" : "s") << " for " << sheets.size() << " sheet"
        << (sheets.size() == 1 ? "" : "s") << " into " << dir << '\n';
    return 0;
}

}  // namespace cadhost::cli
