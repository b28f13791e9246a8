#include "cadhost/cli/export_command.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

#include "cadhost/cli/setup_outputs.h"
#include "cadhost/drafting/chamfer_mark.h"
#include "cadhost/drafting/projection_store.h"
#include "cadhost/cli/export_files.h"
#include "cadhost/cli/model_export.h"
#include "cadhost/cli/ordered_work.h"
#include "cadhost/cli/part_hold.h"
#include "cadhost/cli/sheet_files.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/files/atomic_file.h"
#include "cadhost/files/folder_swap.h"
#include "cadhost/files/staged_files.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/drafting/touch_label.h"
#include "cadhost/drafting/view_labels.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/partfile/projection_table.h"
#include "cadhost/render/pdf_writer.h"
#include "cadhost/setup/edm_table.h"
#include "cadhost/setup/summary_pages.h"

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

unsigned processors() { return std::max(1u, std::thread::hardware_concurrency()); }

// A sheet counts from the moment it is begun until all that is kept of it is what the browser page needs.
std::atomic<std::size_t> live_sheets{0}, most_live_sheets{0};

class LiveSheet {
  public:
    LiveSheet() {
        const std::size_t now = ++live_sheets;
        std::size_t most = most_live_sheets;
        while (now > most && !most_live_sheets.compare_exchange_weak(most, now)) {
        }
    }
    LiveSheet(LiveSheet&& other) noexcept : counted_(std::exchange(other.counted_, false)) {}
    LiveSheet& operator=(LiveSheet&&) = delete;
    ~LiveSheet() {
        if (counted_) --live_sheets;
    }

  private:
    bool counted_ = true;
};

// A drawn sheet on its way to the PDF: its files are staged, and what the PDF needs of it is ready.
struct DrawnSheet {
    LiveSheet live;
    render::SheetGraphics graphics;
    std::optional<AnnotationData> label;              // to join the part once the sheets are drawn
    std::vector<AnnotationData> notes;                // the same: view labels and the EDM table
    std::vector<drafting::ArrangedAnnotation> moved;  // texts drawn clear of others, for the report
    std::string packed;                               // its line work as the PDF carries it
    bool is_packed = false;
};

// A sheet's file that could not be staged.
struct FileFailure {
    std::string message;
};

// A body's face and edge tables are filled on first use: they are filled before the sheets are drawn side by side,
// as are the bodies' own projections, which many sheets share.
void prepare_drawing(const Document& doc, const std::vector<tag_t>& drawings) {
    for (const auto& [tag, object] : doc.objects())
        if (const auto* body = object.as<BodyData>()) body->topology();
    std::vector<drafting::ProjectionRequest> requests;
    for (tag_t drawing : drawings)
        for (auto& request : drafting::projection_requests(doc, drawing)) requests.push_back(std::move(request));
    drafting::project_alone_ahead(requests, processors());
}

}  // namespace

int export_sheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string part_path, dir;
    std::set<std::string> formats;
    double allowance = 2.0;  // stock a side of each electrode's box, mm
    int summary = -1;        // setup pages ahead of the PDF's sheets: -1 when the run has more than one sheet
    setup::ListHeader list_header = setup::ListHeader::chinese;
    bool glb = false;
    int core_layer = 240;  // the bodies on it are the core in the 3D model, the others electrodes
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" && i + 1 < args.size())
            dir = args[++i];
        else if (a == "--pdf" || a == "--svg" || a == "--dxf" || a == "--json" || a == "--csv" || a == "--html")
            formats.insert(a.substr(2));
        else if (a == "--glb")
            glb = true;
        else if (a == "--core-layer" && i + 1 < args.size()) {
            if (!parse_core_layer(args[++i], core_layer)) {
                err << "quillon export: --core-layer '" << args[i] << "': expected a layer from 1 to 256\n";
                return 2;
            }
        } else if (a == "--summary" || a == "--no-summary")
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
                   "[--summary | --no-summary] [--allowance MM] [--csv-header zh|en]\n       "
                   "quillon export PART.prt --glb [-o DIR] [--core-layer N]\n";
            return 2;
        }
    }
    // The model alone needs no folder: it goes beside the part.
    if (glb && !part_path.empty()) {
        const fs::path model = dir.empty() ? fs::path(part_path).replace_extension(".glb")
                                           : fs::path(dir) / fs::path(part_path).stem().concat(".glb");
        std::error_code made;
        if (!dir.empty()) fs::create_directories(dir, made);
        const int status = export_model(part_path, model.string(), core_layer, out, err);
        if (status != 0 || formats.empty()) return status;
    }
    if (part_path.empty() || dir.empty()) {
        err << "usage: quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json] [--csv] [--html]\n       "
               "[--summary | --no-summary] [--allowance MM] [--csv-header zh|en]\n       "
               "quillon export PART.prt --glb [-o DIR] [--core-layer N]\n";
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
    // The new set of files is written into a folder beside the export's folder and swapped in whole, so that a stop
    // at any moment leaves the old set or the new one: see FolderSwap. Where the folder cannot be swapped, the files
    // are written beside their final names and put in place one by one.
    files::FolderSwap swap;
    const bool swapping = swap.prepare(dir, export_file_in);
    const std::string work = swapping ? swap.folder() : dir;
    // The projections kept in the part are found there; a part whose kept projections cannot be read is drawn
    // without them.
    auto& store = drafting::ProjectionStore::shared();
    store.clear();
    const long computed_before = store.computed();
    // They are read from the part as the sheets ask for them: the part keeps a set for every sheet.
    auto kept_projections = std::make_shared<partfile::KeptProjections>();
    std::vector<std::string> kept_keys;
    if (!kept_projections->open(part_path, kept_keys, error)) err << "quillon export: " << error << '\n';
    store.set_kept_source(
        [kept_projections](const std::string& key, std::string& bytes) { return kept_projections->find(key, bytes); });
    for (const auto& key : kept_keys) store.add_kept_key(key);
    const std::size_t kept = kept_keys.size();
    // However the export ends, the part is not read any more after it.
    struct Closed {
        ~Closed() { drafting::ProjectionStore::shared().set_kept_source(nullptr); }
    } closed;
    // The files are named from the drawings, before any is drawn: each sheet's files are written as soon as it is.
    std::vector<std::string> sheet_names, notes;
    for (tag_t drawing : drawings) sheet_names.push_back(doc.find(drawing)->name);
    const std::vector<std::string> file_names = sheet_file_names(sheet_names, notes);
    for (const auto& note : notes) out << "note: " << note << '\n';
    const auto setups = setup::setups_of(doc);

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
    if (tracked && !swapping && !write_file(manifest, manifest_text(listed), err)) return 2;
    // An export that fails after this lists in the manifest those of the names that are in the folder: the earlier
    // export's files when nothing was put in place, and what the commit renamed when it failed half-way.
    const auto give_up = [&](const std::set<std::string>& names) {
        std::set<std::string> present;
        for (const auto& name : names)
            if (fs::exists(fs::path(dir) / name, ec)) present.insert(name);
        if (tracked && !swapping) write_file(manifest, manifest_text(present), err);
        return 2;
    };
    const auto nothing_written = [&](const std::string& why) {
        err << "quillon export: " << why << "\nquillon export: nothing was written\n";
        return give_up(earlier);
    };

    // The outputs are staged and put in place together once all are written: see StagedFiles. A failed file fails
    // the export: nothing of it is put in place (the staged files go with their temporaries), so the folder never
    // mixes this export's files with the earlier one's.
    files::StagedFiles staged;
    int written = 0;
    const bool svg = formats.count("svg") > 0, dxf = formats.count("dxf") > 0, pdf = formats.count("pdf") > 0;
    const bool with_report = formats.count("json") > 0;
    files::StagedStream pdf_file;
    std::optional<render::PdfStream> pdf_stream;
    if (pdf) {
        if (!pdf_file.open(staged, (fs::path(work) / (stem + ".pdf")).string(), error)) return nothing_written(error);
        pdf_stream.emplace(pdf_file.descriptor(), work, stem);
    }
    const bool packed_lines = pdf && render::PdfStream::takes_packed_line_work();
    const auto summary_at = pdf ? summary_frame(drawings, setups, summary) : std::nullopt;

    // Sheets are drawn side by side, one per processor, and each is written as soon as it is drawn: its SVG and DXF
    // staged, its page added to the PDF in sheet order, then released, so that the export holds a few sheets at a
    // time however many the mould has. The sheet whose frame the setup table's pages borrow is drawn first, since
    // those pages go ahead of the sheets; it waits for its own turn with the others.
    std::mutex progress;
    std::size_t done = 0;
    const auto draw = [&](std::size_t i) {
        DrawnSheet sheet;
        sheet.graphics = drafting::build_sheet(doc, drawings[i], with_report ? &sheet.moved : nullptr);
        // Labels and the EDM table are placed in view of everything else drawn, so they move nothing the run placed:
        // they join the part as it is exported (not the part file), so that every output, the report included,
        // shows them.
        sheet.notes = drafting::draw_view_labels(doc, drawings[i], sheet.graphics);
        if (auto mark = drafting::draw_chamfer_mark(doc, drawings[i], sheet.graphics)) sheet.notes.push_back(*mark);
        if (auto table = setup::draw_edm_table(doc, drawings[i], sheet.graphics)) sheet.notes.push_back(*table);
        sheet.label = drafting::draw_touch_label(doc, drawings[i], sheet.graphics);
        int staged_files = 0;
        std::string why;
        if (!write_sheet_file(sheet.graphics, file_names[i], svg, dxf, work, staged, staged_files, why))
            throw FileFailure{why};
        if (packed_lines) sheet.is_packed = render::pack_line_work(sheet.graphics, sheet.packed);
        std::lock_guard<std::mutex> lock(progress);
        written += staged_files;
        out << "sheet " << ++done << " of " << drawings.size() << '\n' << std::flush;
        return sheet;
    };
    std::vector<std::optional<AnnotationData>> labels(drawings.size());
    std::vector<std::vector<AnnotationData>> added_notes(drawings.size());
    std::vector<std::vector<drafting::ArrangedAnnotation>> moved(drawings.size());
    std::vector<setup::BrowserSheet> browser;
    std::string pdf_error;
    const auto add_page = [&](const render::SheetGraphics& page, const std::string* packed) {
        return pdf_error.empty() && pdf_stream->add_page(page, packed, pdf_error);
    };
    const auto take = [&](std::size_t i, DrawnSheet sheet) {
        labels[i] = std::move(sheet.label);
        added_notes[i] = std::move(sheet.notes);
        moved[i] = std::move(sheet.moved);
        if (formats.count("html"))
            browser.push_back(browser_sheet(sheet.graphics, drawings[i], file_names[i] + ".svg", setups));
        return !pdf || add_page(sheet.graphics, sheet.is_packed ? &sheet.packed : nullptr);
    };
    most_live_sheets = live_sheets.load();
    try {
        prepare_drawing(doc, drawings);
        std::optional<DrawnSheet> frame_sheet;
        if (summary_at) {
            frame_sheet.emplace(draw(*summary_at));
            for (const auto& page : setup::summary_pages(setups, frame_sheet->graphics)) {
                std::string packed;
                const bool is_packed = packed_lines && render::pack_line_work(page, packed);
                if (!add_page(page, is_packed ? &packed : nullptr)) break;
            }
        }
        if (pdf_error.empty())
            run_in_order<DrawnSheet>(
                drawings.size(), processors(), sheet_window(),
                [&](std::size_t i) { return summary_at && i == *summary_at ? std::move(*frame_sheet) : draw(i); },
                take);
    } catch (const FileFailure& failure) {
        return nothing_written(failure.message);
    } catch (const std::exception& e) {
        err << "quillon export: a sheet could not be drawn: " << e.what() << '\n';
        return give_up(earlier);
    } catch (...) {
        err << "quillon export: a sheet could not be drawn: the geometry kernel failed\n";
        return give_up(earlier);
    }
    if (!pdf_error.empty()) return nothing_written(pdf_error);
    // In the order each sheet drew them.
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        drafting::add_sheet_notes(part.document, std::move(added_notes[i]));
        if (labels[i]) drafting::add_touch_label(part.document, std::move(*labels[i]));
    }
    labels.clear();
    added_notes.clear();

    const auto computed = store.computed_since_clear();
    const auto used = store.used_since_clear();
    out << "projections: " << store.computed() - computed_before << " computed, " << used.size() - computed.size()
        << " found in the part\n";
    // The part file is written only when what it keeps changes: new projections, or kept ones no sheet used.
    const bool keeps_changed = !computed.empty() || used.size() != kept;
    // The part is closed for reading before the projections are written into it.
    store.set_kept_source(nullptr);
    kept_projections.reset();
    if (held && keeps_changed && !partfile::keep_projections(part_path, computed, used, error))
        err << "quillon export: the sheets are drawn, but " << error << '\n';
    lock.release();

    if (pdf) {
        if (!pdf_stream->finish(error)) return nothing_written(error);
        pdf_stream.reset();
        if (!pdf_file.close(error)) return nothing_written(error);
        ++written;
    }
    if (with_report) {
        // The report says where the sheets, as drawn above, moved texts clear of others: it does not draw them again.
        files::StagedStream report_file;
        if (!report_file.open(staged, (fs::path(work) / (stem + ".json")).string(), error))
            return nothing_written(error);
        drafting::ReportWriter report(report_file.out());
        try {
            run_in_order<std::string>(
                drawings.size(), processors(), sheet_window(),
                [&](std::size_t i) { return drafting::report_sheet_text(doc, drawings[i], moved[i]); },
                [&](std::size_t, std::string text) {
                    report.add(text);
                    return true;
                });
        } catch (const std::exception& e) {
            return nothing_written(std::string("the report could not be made: ") + e.what());
        } catch (...) {
            return nothing_written("the report could not be made: the geometry kernel failed");
        }
        report.finish();
        if (!report_file.close(error)) return nothing_written(error);
        ++written;
    }
    if (formats.count("csv")) {
        if (setups.empty())
            out << "note: no sheet carries an EDM setup; the setup list and bill of material are empty\n";
        std::vector<NamedOutput> lists;
        if (!setup_list_files(setups, stem, allowance, list_header, lists, error)) {
            err << "quillon export: " << error << "\nquillon export: nothing was written\n";
            return give_up(earlier);
        }
        for (const auto& file : lists) {
            if (!stage_file(staged, fs::path(work) / file.file, file.bytes, err)) return give_up(earlier);
            ++written;
        }
    }
    if (formats.count("html")) {
        files::StagedStream page;
        if (!page.open(staged, (fs::path(work) / "index.html").string(), error)) return nothing_written(error);
        setup::write_sheet_browser(page.out(), stem, browser);
        if (!page.close(error)) return nothing_written(error);
        ++written;
    }
    // The earlier export's files of sheets that are gone go; the manifest then lists exactly what is there of ours.
    const std::set<std::string> ours = files_kept(earlier, planned, formats, file_names, stem);
    std::set<std::string> stale;
    for (const auto& name : earlier)
        if (!ours.count(name)) stale.insert(name);
    std::vector<std::string> removed;
    if (swapping) {
        if (tracked && !stage_file(staged, manifest_path(work, stem), manifest_text(ours), err)) return 2;
        if (!staged.commit(error) || !swap.commit(stale, removed, error)) {
            err << "quillon export: " << error << "\nquillon export: nothing was written\n";
            return 2;
        }
    } else {
        if (!staged.commit(error)) {
            err << "quillon export: " << error << '\n';
            return give_up(listed);
        }
        removed = remove_files(dir, stale);
        if (tracked && !write_file(manifest, manifest_text(ours), err)) return 2;
    }
    for (const auto& name : removed) out << "removed " << name << ", written before for a sheet that is gone\n";
    out << "wrote " << written << " file" << (written == 1 ? "" : "s") << " for " << drawings.size() << " sheet"
        << (drawings.size() == 1 ? "" : "s") << " into " << dir << '\n';
    return 0;
}

namespace {
std::atomic<std::size_t> chosen_window{0};
}

void set_sheet_window(std::size_t sheets) { chosen_window = sheets; }

std::size_t sheet_window() {
    const std::size_t chosen = chosen_window;
    return chosen > 0 ? chosen : processors() + 2;
}

std::size_t most_sheets_in_flight() { return most_live_sheets; }

}  // namespace cadhost::cli
