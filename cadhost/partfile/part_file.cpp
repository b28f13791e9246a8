#include "cadhost/partfile/part_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <unordered_map>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRep_Tool.hxx>
#include <Standard_Failure.hxx>
#include <TopoDS.hxx>

#include "cadhost/files/atomic_file.h"
#include "cadhost/partfile/import_layers.h"
#include "cadhost/partfile/part_check.h"
#include "cadhost/partfile/colour_table.h"
#include "cadhost/partfile/part_schema.h"
#include "cadhost/partfile/payload_codec.h"
#include "cadhost/partfile/projection_table.h"
#include "cadhost/partfile/shape_bytes.h"
#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

namespace {

constexpr const char* kFormatName = "quillon-part";

// FNV-1a: cheap, and enough to tell a damaged shape record before the kernel parses it.
std::int64_t checksum(const std::string& bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return static_cast<std::int64_t>(hash >> 1);
}

void put_point(ByteWriter& out, const gp_Pnt& p) {
    out.put_double(p.X()), out.put_double(p.Y()), out.put_double(p.Z());
}
void put_dir(ByteWriter& out, const gp_Dir& d) { out.put_double(d.X()), out.put_double(d.Y()), out.put_double(d.Z()); }
gp_Pnt get_point(ByteReader& in) {
    double x = in.get_double(), y = in.get_double(), z = in.get_double();
    return gp_Pnt(x, y, z);
}
gp_Dir get_dir(ByteReader& in) {
    double x = in.get_double(), y = in.get_double(), z = in.get_double();
    // The kernel refuses a null vector but turns one whose squares overflow into a zero vector: both are damage.
    const gp_Dir d(x, y, z);
    if (!(std::abs(d.XYZ().Modulus() - 1.0) <= kDirectionTolerance)) {
        char text[96];
        std::snprintf(text, sizeof text, "a direction (%g, %g, %g) has no usable length", x, y, z);
        throw std::runtime_error(text);
    }
    return d;
}
gp_Ax2 get_axes(ByteReader& in) {
    gp_Pnt origin = get_point(in);
    gp_Dir main = get_dir(in);
    gp_Dir x = get_dir(in);
    return gp_Ax2(origin, main, x);
}
void put_axes(ByteWriter& out, const gp_Ax2& axes) {
    put_point(out, axes.Location());
    put_dir(out, axes.Direction());
    put_dir(out, axes.XDirection());
}

void put_view(ByteWriter& out, const ViewOrientation& view) {
    put_dir(out, view.right), put_dir(out, view.up), put_dir(out, view.toward_eye);
}
ViewOrientation get_view(ByteReader& in) {
    ViewOrientation view;
    view.right = get_dir(in), view.up = get_dir(in), view.toward_eye = get_dir(in);
    return view;
}

void put_preferences(ByteWriter& out, const DraftingPreferences& prefs) {
    for (int value : prefs.mpi) out.put_int(value);
    for (double value : prefs.mpr) out.put_double(value);
    out.put_string(prefs.radius_text);
    out.put_string(prefs.diameter_text);
    for (const Lettering& l : prefs.lettering) {
        out.put_int(l.font), out.put_int(l.width);
        out.put_double(l.size), out.put_double(l.char_space_factor), out.put_double(l.aspect_ratio);
        out.put_double(l.line_space_factor);
    }
    out.put_double(prefs.text_angle);
}
DraftingPreferences get_preferences(ByteReader& in) {
    DraftingPreferences prefs;
    for (int& value : prefs.mpi) value = static_cast<int>(in.get_int());
    for (double& value : prefs.mpr) value = in.get_double();
    prefs.radius_text = in.get_string();
    prefs.diameter_text = in.get_string();
    for (Lettering& l : prefs.lettering) {
        l.font = static_cast<int>(in.get_int()), l.width = static_cast<int>(in.get_int());
        l.size = in.get_double(), l.char_space_factor = in.get_double(), l.aspect_ratio = in.get_double();
        l.line_space_factor = in.get_double();
    }
    prefs.text_angle = in.get_double();
    if (prefs.radius_text.size() > DraftingPreferences::kSymbolTextLength ||
        prefs.diameter_text.size() > DraftingPreferences::kSymbolTextLength)
        throw std::runtime_error("a radius or diameter text is too long");
    return prefs;
}

void put_drafting(ByteWriter& out, const Document& doc) {
    out.put_int(doc.current_drawing());
    out.put_int(doc.border_display() ? 1 : 0);
    const auto& d = doc.drawing_display();
    out.put_int(d.background_color), out.put_int(d.border_color), out.put_double(d.grid_spacing);
    out.put_int(d.grid_color), out.put_int(d.show_grid ? 1 : 0);
}
void get_drafting(ByteReader& in, Document& doc) {
    doc.set_current_drawing(static_cast<tag_t>(in.get_int()));
    doc.set_border_display(in.get_int() != 0);
    Document::DrawingDisplay d;
    d.background_color = static_cast<int>(in.get_int()), d.border_color = static_cast<int>(in.get_int());
    d.grid_spacing = in.get_double();
    d.grid_color = static_cast<int>(in.get_int()), d.show_grid = in.get_int() != 0;
    doc.set_drawing_display(d);
}

void put_anchor(ByteWriter& out, const AnnotationAnchor& a) {
    out.put_int(a.object), out.put_int(a.view), out.put_int(a.end);
}
AnnotationAnchor get_anchor(ByteReader& in) {
    AnnotationAnchor a;
    a.object = static_cast<tag_t>(in.get_int()), a.view = static_cast<tag_t>(in.get_int());
    a.end = static_cast<int>(in.get_int());
    return a;
}

void put_annotation(ByteWriter& out, const AnnotationData& a) {
    out.put_int(static_cast<int>(a.kind));
    out.put_int(a.drawing);
    out.put_int(static_cast<std::int64_t>(a.lines.size()));
    for (const auto& line : a.lines) out.put_string(line);
    out.put_double(a.origin_x), out.put_double(a.origin_y), out.put_double(a.leader_x), out.put_double(a.leader_y);
    put_anchor(out, a.first), put_anchor(out, a.second);
    out.put_int(a.margin), out.put_int(a.margin_type);
    out.put_double(a.offset), out.put_double(a.dogleg_angle), out.put_double(a.dogleg_distance);
    out.put_int(a.text_moved ? 1 : 0), out.put_int(a.show_symbol ? 1 : 0);
    out.put_string(a.name);
    const AnnotationStyle& st = a.style;
    out.put_double(st.height), out.put_double(st.aspect_ratio), out.put_double(st.char_space);
    out.put_int(st.alignment), out.put_double(st.angle), out.put_int(st.leader_side), out.put_double(st.arrow_length);
    out.put_int(st.decimals), out.put_int(st.trailing_zeros ? 1 : 0), out.put_double(st.text_gap);
    out.put_int(st.manual_text ? 1 : 0), out.put_int(st.arrowhead), out.put_int(st.extension_lines);
    out.put_int(st.inches ? 1 : 0), out.put_int(st.dual ? 1 : 0);
    out.put_double(st.line_space), out.put_double(st.arrow_angle), out.put_double(st.origin_symbol);
}
AnnotationData get_annotation(ByteReader& in) {
    AnnotationData a;
    const auto kind = in.get_int();
    if (kind < 0 || kind > static_cast<int>(AnnotationData::Kind::Ordinate)) throw std::runtime_error("unknown kind");
    a.kind = static_cast<AnnotationData::Kind>(kind);
    a.drawing = static_cast<tag_t>(in.get_int());
    const auto lines = in.get_int();
    if (lines < 0 || lines > static_cast<std::int64_t>(kMostAnnotationLines))
        throw std::runtime_error("an annotation has too many lines");
    for (std::int64_t i = 0; i < lines; ++i) a.lines.push_back(in.get_string());
    a.origin_x = in.get_double(), a.origin_y = in.get_double(), a.leader_x = in.get_double();
    a.leader_y = in.get_double();
    a.first = get_anchor(in), a.second = get_anchor(in);
    a.margin = static_cast<tag_t>(in.get_int()), a.margin_type = static_cast<int>(in.get_int());
    a.offset = in.get_double(), a.dogleg_angle = in.get_double(), a.dogleg_distance = in.get_double();
    a.text_moved = in.get_int() != 0, a.show_symbol = in.get_int() != 0;
    a.name = in.get_string();
    AnnotationStyle st;
    st.height = in.get_double(), st.aspect_ratio = in.get_double(), st.char_space = in.get_double();
    st.alignment = static_cast<int>(in.get_int()), st.angle = in.get_double();
    st.leader_side = static_cast<int>(in.get_int()), st.arrow_length = in.get_double();
    st.decimals = static_cast<int>(in.get_int()), st.trailing_zeros = in.get_int() != 0, st.text_gap = in.get_double();
    st.manual_text = in.get_int() != 0, st.arrowhead = static_cast<int>(in.get_int());
    st.extension_lines = static_cast<int>(in.get_int());
    st.inches = in.get_int() != 0, st.dual = in.get_int() != 0;
    st.line_space = in.get_double(), st.arrow_angle = in.get_double(), st.origin_symbol = in.get_double();
    a.style = st;
    return a;
}

void put_drawing_view(ByteWriter& out, const DrawingViewData& v) {
    out.put_int(v.drawing), out.put_int(v.model_view);
    put_view(out, v.orientation);
    out.put_double(v.scale), out.put_double(v.ref_x), out.put_double(v.ref_y);
    out.put_int(v.parent), out.put_int(v.projection);
    out.put_string(std::string(v.layers.begin(), v.layers.end()));
    out.put_int(static_cast<std::int64_t>(v.erased.size()));
    for (tag_t t : v.erased) out.put_int(t);
    const ViewDisplay& d = v.display;
    out.put_int(d.hidden_line_removal), out.put_int(d.visible_edge_width), out.put_int(d.hidden_edges);
    out.put_int(d.silhouettes), out.put_int(d.smooth_edges), out.put_int(d.uv_grid_lines);
    out.put_int(d.hidden_by_other_bodies);
}
DrawingViewData get_drawing_view(ByteReader& in) {
    DrawingViewData v;
    v.drawing = static_cast<tag_t>(in.get_int()), v.model_view = static_cast<tag_t>(in.get_int());
    v.orientation = get_view(in);
    v.scale = in.get_double(), v.ref_x = in.get_double(), v.ref_y = in.get_double();
    v.parent = static_cast<tag_t>(in.get_int()), v.projection = static_cast<int>(in.get_int());
    const std::string layers = in.get_string();
    if (layers.size() != UF_LAYER_MAX_LAYER) throw std::runtime_error("a view's layer table has the wrong size");
    v.layers.assign(layers.begin(), layers.end());
    const auto erased = in.get_int();
    if (erased < 0 || erased > static_cast<std::int64_t>(kMostErased))
        throw std::runtime_error("a view's erased list is damaged");
    for (std::int64_t i = 0; i < erased; ++i) v.erased.push_back(static_cast<tag_t>(in.get_int()));
    ViewDisplay& d = v.display;
    d.hidden_line_removal = static_cast<int>(in.get_int()), d.visible_edge_width = static_cast<int>(in.get_int());
    d.hidden_edges = static_cast<int>(in.get_int()), d.silhouettes = static_cast<int>(in.get_int());
    d.smooth_edges = static_cast<int>(in.get_int()), d.uv_grid_lines = static_cast<int>(in.get_int());
    d.hidden_by_other_bodies = static_cast<int>(in.get_int());
    return v;
}

// Writes each distinct shape once, whichever states refer to it. A shape not known to read back from its bytes is read
// back before it is written: a part file that holds one that does not would never open again.
class ShapeStore {
  public:
    explicit ShapeStore(Db& db) : insert_(db, "INSERT INTO shapes(id, checksum, brep) VALUES(?, ?, ?)") {}

    // `owner` names the object in a refusal.
    std::int64_t id_of(const TopoDS_Shape& shape, bool known_to_read_back, const std::string& owner) {
        auto& candidates = known_[shape.TShape().get()];
        for (const auto& [known, id] : candidates) {
            if (known.IsEqual(shape)) return id;
        }
        const std::string bytes = shape_bytes(shape);
        if (!known_to_read_back) {
            TopoDS_Shape back;
            if (std::string problem = read_back_problem(shape, bytes, back); !problem.empty())
                throw std::runtime_error(owner + ": " + problem);
        }
        const std::int64_t id = next_id_++;
        insert_.bind(1, id).bind(2, checksum(bytes)).bind_blob(3, bytes).run();
        candidates.emplace_back(shape, id);
        return id;
    }

  private:
    Stmt insert_;
    std::unordered_map<const void*, std::vector<std::pair<TopoDS_Shape, std::int64_t>>> known_;
    std::int64_t next_id_ = 1;
};

// "object 12 (a body "E01")", as a save's refusals name an object.
std::string object_place(tag_t tag, const Object& object, const char* kind) {
    std::string place = "object " + std::to_string(tag) + " (a " + kind;
    if (!object.name.empty()) place += " \"" + object.name + "\"";
    return place + ")";
}

std::pair<std::string, std::string> encode_payload(tag_t tag, const Object& object, ShapeStore& shapes) {
    ByteWriter out;
    if (const auto* body = object.as<BodyData>()) {
        out.put_int(
            shapes.id_of(body->shape, body->stored_form_known.IsEqual(body->shape), object_place(tag, object, "body")));
        out.put_int(body->sheet ? 1 : 0);
        return {"body", out.bytes()};
    }
    if (const auto* sub = object.as<SubShapeData>()) {
        out.put_int(sub->body), out.put_int(sub->index);
        return {"sub", out.bytes()};
    }
    if (const auto* line = object.as<LineData>()) {
        put_point(out, line->start), put_point(out, line->end);
        return {"line", out.bytes()};
    }
    if (const auto* arc = object.as<ArcData>()) {
        put_axes(out, arc->position);
        out.put_double(arc->radius), out.put_double(arc->start), out.put_double(arc->end);
        return {"arc", out.bytes()};
    }
    if (const auto* point = object.as<PointData>()) {
        put_point(out, point->point);
        return {"point", out.bytes()};
    }
    if (const auto* curve = object.as<CurveData>()) {
        out.put_int(shapes.id_of(BRepBuilderAPI_MakeEdge(curve->curve, curve->first, curve->last).Edge(), false,
                                 object_place(tag, object, "curve")));
        out.put_double(curve->first), out.put_double(curve->last);
        return {"curve", out.bytes()};
    }
    if (const auto* csys = object.as<CsysData>()) {
        put_point(out, csys->origin);
        out.put_int(csys->matrix);
        return {"csys", out.bytes()};
    }
    if (const auto* matrix = object.as<MatrixData>()) {
        put_axes(out, matrix->axes);
        return {"matrix", out.bytes()};
    }
    if (const auto* view = object.as<ModelViewData>()) {
        put_view(out, view->orientation);
        return {"view", out.bytes()};
    }
    if (const auto* drawing = object.as<DrawingData>()) {
        out.put_double(drawing->width), out.put_double(drawing->height), out.put_double(drawing->scale);
        out.put_int(drawing->units), out.put_int(drawing->projection), out.put_int(drawing->next_view_number);
        return {"drawing", out.bytes()};
    }
    if (const auto* view = object.as<DrawingViewData>()) {
        put_drawing_view(out, *view);
        return {"dview", out.bytes()};
    }
    if (const auto* annotation = object.as<AnnotationData>()) {
        put_annotation(out, *annotation);
        return {"annotation", out.bytes()};
    }
    return {"none", out.bytes()};
}

void write_state(Db& db, int state, const char* role, const Document& doc, ShapeStore& shapes, const SaveProbe& probe) {
    ByteWriter work_view;
    put_view(work_view, doc.work_view());
    ByteWriter preferences;
    put_preferences(preferences, doc.drafting_preferences());
    ByteWriter drafting;
    put_drafting(drafting, doc);
    Stmt(db,
         "INSERT INTO states(id, role, next_tag, work_layer, wcs, module, display_state, work_view, preferences,"
         " drafting) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, std::int64_t{state})
        .bind(2, std::string(role))
        .bind(3, std::int64_t{doc.next_tag()})
        .bind(4, std::int64_t{doc.work_layer()})
        .bind(5, std::int64_t{doc.wcs()})
        .bind(6, std::int64_t{doc.application_module()})
        .bind(7, std::int64_t{doc.display_state()})
        .bind_blob(8, work_view.bytes())
        .bind_blob(9, preferences.bytes())
        .bind_blob(10, drafting.bytes())
        .run();
    Stmt layer(db, "INSERT INTO layers(state, layer, status) VALUES(?, ?, ?)");
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l)
        layer.bind(1, std::int64_t{state}).bind(2, std::int64_t{l}).bind(3, std::int64_t{doc.layer_status(l)}).run();

    Stmt insert(db,
                "INSERT INTO objects(state, tag, type, subtype, layer, name, blank, font, color, width, kind, payload,"
                " drawing) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Stmt attribute(db, "INSERT INTO attributes(state, tag, seq, title, type, value) VALUES(?, ?, ?, ?, ?, ?)");
    int written = 0;
    for (const auto& [tag, object] : doc.objects()) {
        auto [kind, payload] = encode_payload(tag, object, shapes);
        insert.bind(1, std::int64_t{state})
            .bind(2, std::int64_t{tag})
            .bind(3, std::int64_t{object.type})
            .bind(4, std::int64_t{object.subtype})
            .bind(5, std::int64_t{object.layer})
            .bind(6, object.name)
            .bind(7, std::int64_t{object.blank_status})
            .bind(8, std::int64_t{object.font})
            .bind(9, std::int64_t{object.color})
            .bind(10, std::int64_t{object.line_width})
            .bind(11, kind)
            .bind_blob(12, payload)
            .bind(13, std::int64_t{object.drawing})
            .run();
        std::int64_t seq = 0;
        for (const auto& attr : object.attributes) {
            attribute.bind(1, std::int64_t{state}).bind(2, std::int64_t{tag}).bind(3, seq++).bind(4, attr.title);
            if (const int* i = std::get_if<int>(&attr.value))
                attribute.bind(5, std::int64_t{1}).bind(6, std::int64_t{*i});
            else if (const double* r = std::get_if<double>(&attr.value))
                attribute.bind(5, std::int64_t{2}).bind(6, *r);
            else
                attribute.bind(5, std::int64_t{3}).bind(6, std::get<std::string>(attr.value));
            attribute.run();
        }
        if (probe && ++written % 64 == 0) probe("objects");
    }
    write_colours(db, state, doc);
}

// The journal SQLite keeps beside a database while a write to it is under way, or after the writing process was
// stopped: then it holds the pages to put back.
std::string journal_of(const std::string& path) { return path + "-journal"; }

// Renaming a new part over a file whose journal is left beside it would have that journal rolled back into the new
// file. A journal left by a stopped process is rolled back first (a read-write connection does that on its first
// read); one that stays belongs to a write under way, and the save is refused.
// A write-ahead log beside a part is no file of ours, and the library would read it into whatever file carries the
// part's name: a part in that mode, or with such a log beside it, is neither opened nor replaced.
std::string write_ahead_log(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path + "-wal", ec))
        return "a write-ahead log '" + path +
               "-wal' lies beside it, which this program never writes; remove it if "
               "no other program is writing the part";
    char header[20] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    const bool whole = std::fread(header, 1, sizeof header, file) == sizeof header;
    std::fclose(file);
    if (whole && std::memcmp(header, "SQLite format 3", 16) == 0 && (header[18] == 2 || header[19] == 2))
        return "it is in write-ahead-log mode, which this program never writes";
    return {};
}

std::string unfinished_write(const std::string& path) {
    if (std::string log = write_ahead_log(path); !log.empty()) return log;
    std::error_code ec;
    if (!std::filesystem::exists(journal_of(path), ec)) return {};
    try {
        Db old(path, SQLITE_OPEN_READWRITE);
        Stmt(old, "SELECT count(*) FROM sqlite_master").step();
    } catch (const SqlError& e) {
        return database_problem(path, e);
    }
    if (std::filesystem::exists(journal_of(path), ec) && std::filesystem::file_size(journal_of(path), ec) > 0)
        return "another process is writing it";
    return {};
}

}  // namespace

bool save(const std::string& given_path, const Document& document, const std::optional<Document>& undo_mark,
          std::string& error, const SaveProbe& probe) {
    // A part reached through a symbolic link is saved where the link points: the new file is renamed over the part
    // itself, and the link stays a link.
    const std::string path = files::link_target(given_path);
    for (const Document* doc : {&document, undo_mark ? &*undo_mark : nullptr}) {
        if (!doc) continue;
        if (std::string problem = part_problem(*doc); !problem.empty()) {
            error = "cannot save part file '" + path + "': " + (doc == &document ? "" : "the undo mark: ") + problem;
            return false;
        }
    }
    // The import's table of layers belongs to the file, not to a state: it stays with every save of the file. It is
    // read only from a file without an unfinished write: opening one in write-ahead-log mode would give it a log, and
    // such a save is refused below anyway.
    std::string layer_table, unreadable;
    std::error_code exists;
    if (std::filesystem::is_regular_file(path, exists) && unfinished_write(path).empty())
        read_import_layers(path, layer_table, unreadable);
    return files::replace_atomically(
        path,
        [&](const std::string& temp, std::string& why) {
            try {
                Db db(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
                // The temporary file is not the part until it is renamed, so it needs no journal of its own.
                db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
                db.exec("BEGIN");
                if (probe) probe("begin");
                db.exec(kPartTables);
                Stmt meta(db, "INSERT INTO meta(key, value) VALUES(?, ?)");
                meta.bind(1, std::string("format")).bind(2, std::string(kFormatName)).run();
                meta.bind(1, std::string("version")).bind(2, std::to_string(kFormatVersion)).run();
                meta.bind(1, std::string("units")).bind(2, std::string("mm")).run();
                if (!layer_table.empty()) meta.bind(1, std::string("import_layers")).bind(2, layer_table).run();
                ShapeStore shapes(db);
                write_state(db, 1, "current", document, shapes, probe);
                if (undo_mark) write_state(db, 2, "undo_mark", *undo_mark, shapes, probe);
                if (probe) probe("commit");
                db.exec("COMMIT");
                if (std::string problem = unfinished_write(path); !problem.empty()) {
                    why = "cannot save part file '" + path + "': " + problem;
                    return false;
                }
                carry_projections(db, path);
                if (probe) probe("rename");
                return true;
            } catch (const std::exception& e) {
                why = "cannot save part file '" + path + "': " + e.what();
            } catch (const Standard_Failure& e) {
                why = "cannot save part file '" + path + "': " + e.GetMessageString();
            }
            return false;
        },
        error);
}

namespace {

struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TopoDS_Shape read_shape(Db& db, std::int64_t id, std::map<std::int64_t, TopoDS_Shape>& cache) {
    if (auto it = cache.find(id); it != cache.end()) return it->second;
    Stmt query(db, "SELECT checksum, brep FROM shapes WHERE id = ?");
    query.bind(1, id);
    if (!query.step()) throw LoadError("shape " + std::to_string(id) + " is missing");
    std::string bytes = query.blob(1);
    if (checksum(bytes) != query.integer(0)) throw LoadError("shape " + std::to_string(id) + " is damaged");
    TopoDS_Shape shape = shape_from_bytes(bytes);
    if (shape.IsNull()) throw LoadError("shape " + std::to_string(id) + " is empty");
    cache[id] = shape;
    return shape;
}

Payload decode_payload(Db& db, const std::string& kind, const std::string& bytes,
                       std::map<std::int64_t, TopoDS_Shape>& shapes) {
    ByteReader in(bytes.data(), bytes.size());
    Payload payload;
    if (kind == "none") {
    } else if (kind == "body") {
        BodyData body;
        body.shape = read_shape(db, in.get_int(), shapes);
        body.stored_form_known = body.shape;
        body.sheet = in.get_int() != 0;
        payload = std::move(body);
    } else if (kind == "sub") {
        auto body = static_cast<tag_t>(in.get_int());
        payload = SubShapeData{body, static_cast<int>(in.get_int())};
    } else if (kind == "line") {
        gp_Pnt a = get_point(in);
        payload = LineData{a, get_point(in)};
    } else if (kind == "arc") {
        ArcData arc;
        arc.position = get_axes(in);
        arc.radius = in.get_double(), arc.start = in.get_double(), arc.end = in.get_double();
        payload = arc;
    } else if (kind == "point") {
        payload = PointData{get_point(in)};
    } else if (kind == "curve") {
        TopoDS_Shape edge = read_shape(db, in.get_int(), shapes);
        if (edge.ShapeType() != TopAbs_EDGE) throw LoadError("curve shape is not an edge");
        CurveData curve;
        double first, last;
        curve.curve = BRep_Tool::Curve(TopoDS::Edge(edge), first, last);
        if (curve.curve.IsNull()) throw LoadError("curve shape has no curve");
        curve.first = in.get_double(), curve.last = in.get_double();
        payload = curve;
    } else if (kind == "csys") {
        gp_Pnt origin = get_point(in);
        payload = CsysData{origin, static_cast<tag_t>(in.get_int())};
    } else if (kind == "matrix") {
        payload = MatrixData{get_axes(in)};
    } else if (kind == "view") {
        payload = ModelViewData{get_view(in)};
    } else if (kind == "drawing") {
        DrawingData d;
        d.width = in.get_double(), d.height = in.get_double(), d.scale = in.get_double();
        d.units = static_cast<int>(in.get_int()), d.projection = static_cast<int>(in.get_int());
        d.next_view_number = static_cast<int>(in.get_int());
        payload = d;
    } else if (kind == "dview") {
        payload = get_drawing_view(in);
    } else if (kind == "annotation") {
        payload = get_annotation(in);
    } else {
        throw LoadError("unknown kind '" + kind + "'");
    }
    if (!in.at_end()) throw LoadError("payload of kind '" + kind + "' is longer than it should be");
    return payload;
}

Document read_state(Db& db, std::int64_t state, std::map<std::int64_t, TopoDS_Shape>& shapes) {
    Stmt head(db,
              "SELECT next_tag, work_layer, wcs, module, display_state, work_view, preferences, drafting FROM states"
              " WHERE id = ?");
    head.bind(1, state);
    if (!head.step()) throw LoadError("state " + std::to_string(state) + " is missing");
    Document doc{Document::Empty{}};

    Stmt objects(
        db,
        "SELECT tag, type, subtype, layer, name, blank, font, color, width, kind, payload, drawing FROM objects"
        " WHERE state = ? ORDER BY tag");
    objects.bind(1, state);
    while (objects.step()) {
        Object object;
        object.tag = static_cast<tag_t>(objects.integer(0));
        const std::string where = "object " + std::to_string(object.tag);
        object.type = static_cast<int>(objects.integer(1));
        object.subtype = static_cast<int>(objects.integer(2));
        object.layer = static_cast<int>(objects.integer(3));
        if (object.layer != 0 && !Document::valid_layer(object.layer))
            throw LoadError(where + " lies on layer " + std::to_string(object.layer));
        object.name = objects.text(4);
        object.blank_status = static_cast<int>(objects.integer(5));
        object.font = static_cast<int>(objects.integer(6));
        object.color = static_cast<int>(objects.integer(7));
        object.line_width = static_cast<int>(objects.integer(8));
        object.drawing = static_cast<tag_t>(objects.integer(11));
        try {
            object.payload = decode_payload(db, objects.text(9), objects.blob(10), shapes);
        } catch (const LoadError& e) {
            throw LoadError(where + ": " + e.what());
        } catch (const std::runtime_error& e) {
            throw LoadError(where + ": " + e.what());
        } catch (const Standard_Failure& e) {
            throw LoadError(where + ": " + e.GetMessageString());
        }
        if (!doc.restore(std::move(object))) throw LoadError(where + " appears twice");
    }

    Stmt attributes(db, "SELECT tag, title, type, value FROM attributes WHERE state = ? ORDER BY tag, seq");
    attributes.bind(1, state);
    while (attributes.step()) {
        auto tag = static_cast<tag_t>(attributes.integer(0));
        Object* object = doc.find(tag);
        if (!object) throw LoadError("an attribute belongs to object " + std::to_string(tag) + ", which is missing");
        Attribute attr{attributes.text(1), 0};
        switch (attributes.integer(2)) {
            case 1: {
                const std::int64_t value = attributes.integer(3);
                if (value < INT32_MIN || value > INT32_MAX)
                    throw LoadError("attribute '" + attr.title + "' of object " + std::to_string(tag) +
                                    " holds a whole number out of range");
                attr.value = static_cast<int>(value);
                break;
            }
            case 2:
                attr.value = attributes.real(3);
                break;
            case 3:
                attr.value = attributes.text(3);
                break;
            default:
                throw LoadError("attribute '" + attr.title + "' of object " + std::to_string(tag) + " has no type");
        }
        object->attributes.push_back(std::move(attr));
    }

    try {
        read_colours(db, state, doc);
    } catch (const ColourError& e) {
        throw LoadError(e.what());
    }

    std::string error;
    if (!doc.link_sub_shapes(error)) throw LoadError(error);
    doc.set_next_tag(std::max<tag_t>(doc.next_tag(), static_cast<tag_t>(head.integer(0))));
    auto work = static_cast<int>(head.integer(1));
    if (!Document::valid_layer(work)) throw LoadError("the work layer " + std::to_string(work) + " is not a layer");
    Stmt layers(db, "SELECT layer, status FROM layers WHERE state = ?");
    layers.bind(1, state);
    while (layers.step()) {
        const std::int64_t layer = layers.integer(0), status = layers.integer(1);
        if (!Document::valid_layer(static_cast<int>(layer)) || layer != static_cast<int>(layer))
            throw LoadError("the layer table names layer " + std::to_string(layer));
        if (status < UF_LAYER_WORK_LAYER || status > UF_LAYER_INACTIVE_LAYER)
            throw LoadError("layer " + std::to_string(layer) + " has state " + std::to_string(status));
        doc.set_layer_status_raw(static_cast<int>(layer), static_cast<int>(status));
    }
    doc.set_work_layer_raw(work);
    doc.set_layer_status_raw(work, UF_LAYER_WORK_LAYER);
    auto wcs = static_cast<tag_t>(head.integer(2));
    const Object* wcs_object = doc.find(wcs);
    if (!wcs_object || !wcs_object->as<CsysData>()) throw LoadError("the work coordinate system is missing");
    doc.set_wcs_raw(wcs);
    doc.set_application_module(static_cast<int>(head.integer(3)));
    doc.set_display_state(static_cast<int>(head.integer(4)));
    try {
        const std::string bytes = head.blob(5);
        ByteReader in(bytes.data(), bytes.size());
        doc.set_work_view(get_view(in));
        const std::string prefs = head.blob(6);
        ByteReader prefs_in(prefs.data(), prefs.size());
        doc.set_drafting_preferences(get_preferences(prefs_in));
        if (!prefs_in.at_end()) throw std::runtime_error("the preferences record is longer than it should be");
        const std::string drafting = head.blob(7);
        ByteReader drafting_in(drafting.data(), drafting.size());
        get_drafting(drafting_in, doc);
    } catch (const std::exception& e) {
        throw LoadError(std::string("the part's settings are damaged: ") + e.what());
    } catch (const Standard_Failure& e) {
        throw LoadError(std::string("the part's settings are damaged: ") + e.GetMessageString());
    }
    if (std::string problem = part_problem(doc); !problem.empty()) throw LoadError(problem);
    return doc;
}

}  // namespace

namespace {

bool read_part(Db& db, const std::string& path, LoadedPart& part, std::string& error) {
    const std::string where = "part file '" + path + "'";
    std::string format, version;
    try {
        Stmt meta(db, "SELECT key, value FROM meta");
        while (meta.step()) {
            if (meta.text(0) == "format") format = meta.text(1);
            if (meta.text(0) == "version") version = meta.text(1);
        }
    } catch (const SqlError& e) {
        // A database without our table of names is some other database; any other failure has its own message.
        if (e.code != SQLITE_ERROR) throw;
        error = "'" + path + "' is not a part file";
        return false;
    }
    if (format != kFormatName) {
        error = "'" + path + "' is not a part file";
        return false;
    }
    if (version != std::to_string(kFormatVersion)) {
        error = where + " has format version " + (version.empty() ? "?" : version) + "; this program reads version " +
                std::to_string(kFormatVersion);
        return false;
    }
    {
        Stmt check(db, "PRAGMA quick_check");
        if (!check.step() || check.text(0) != "ok") throw LoadError("the database is damaged");
    }
    if (std::string foreign = foreign_schema(db); !foreign.empty()) {
        error = where + " is refused: it holds what this program never writes into a part: " + foreign;
        return false;
    }
    std::map<std::int64_t, TopoDS_Shape> shapes;
    Stmt roles(db, "SELECT id, role FROM states");
    std::optional<std::int64_t> current, mark;
    while (roles.step()) {
        if (roles.text(1) == "current") current = roles.integer(0);
        if (roles.text(1) == "undo_mark") mark = roles.integer(0);
    }
    if (!current) throw LoadError("it holds no part state");
    part.document = read_state(db, *current, shapes);
    part.undo_mark.reset();
    if (mark) part.undo_mark = read_state(db, *mark, shapes);
    return true;
}

}  // namespace

bool load(const std::string& path, LoadedPart& part, std::string& error) {
    const std::string where = "part file '" + path + "'";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "cannot open " + where + ": no such file";
        return false;
    }
    if (std::string log = write_ahead_log(path); !log.empty()) {
        error = where + " is refused: " + log;
        return false;
    }
    // A journal beside the part is a write that a stopped process left unfinished: a read-write connection rolls it
    // back on its first read, which restores the part as it was before that write; a read-only one cannot. Without a
    // journal the part is only read.
    bool read_write = std::filesystem::exists(journal_of(path), ec);
    for (;;) {
        try {
            Db db(path, read_write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
            return read_part(db, path, part, error);
        } catch (const SqlError& e) {
            if (e.code == SQLITE_READONLY_ROLLBACK && !read_write) {
                read_write = true;  // the journal appeared after the look above
                continue;
            }
            error = database_problem(path, e);
        } catch (const LoadError& e) {
            error = where + " is damaged: " + e.what();
        } catch (const Standard_Failure& e) {
            error = where + " is damaged: " + e.GetMessageString();
        } catch (const std::exception& e) {
            error = where + " is damaged: " + e.what();
        }
        return false;
    }
}

}  // namespace cadhost::partfile
