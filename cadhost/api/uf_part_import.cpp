// Bringing another part's curves, points and notes onto the current drawing (a sheet template).
#include <cmath>

#include "cadhost/api/boundary.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/session/session.h"
#include "host/uf_part.h"

using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

namespace {

struct Placement2 {
    gp_Pnt origin;
    gp_Vec x, y;
    double scale;
    gp_Pnt map(const gp_Pnt& p) const { return gp_Pnt(origin.XYZ() + scale * (p.X() * x.XYZ() + p.Y() * y.XYZ())); }
};

bool sheet_content(const Object& object) {
    return object.drawing == NULL_TAG && object.blank_status == UF_OBJ_NOT_BLANKED &&
           (object.as<cadhost::LineData>() || object.as<cadhost::ArcData>() || object.as<cadhost::PointData>() ||
            object.as<cadhost::CurveData>());
}

}  // namespace

extern "C" {

int UF_PART_import(const char* part_name, UF_import_part_modes_t* /*modes*/, const double dest_csys[6],
                   const double dest_point[3], double scale, tag_t* group) {
    if (!part_name || !dest_csys || !dest_point || !(scale > 0) || !std::isfinite(scale)) return UF_err_bad_argument;
    if (!cadhost::api::finite(dest_csys, 6) || !cadhost::api::finite(dest_point, 3)) return UF_err_bad_argument;
    if (group) *group = NULL_TAG;
    return with_part([&](Part&, Document& doc) {
        tag_t drawing = doc.current_drawing();
        if (drawing == NULL_TAG) return UF_err_no_drawing;
        gp_Vec x(dest_csys[0], dest_csys[1], dest_csys[2]), y(dest_csys[3], dest_csys[4], dest_csys[5]);
        if (x.Magnitude() < 1e-12 || y.Magnitude() < 1e-12 || x.IsParallel(y, 1e-9)) return UF_err_bad_argument;
        cadhost::partfile::LoadedPart source;
        std::string error;
        if (!cadhost::partfile::load(part_name, source, error)) {
            // The command goes on without the border; the user must hear of it before the run's last line.
            cadhost::Session& session = cadhost::Session::instance();
            cadhost::RunContext& run = session.run();
            if (run.failed_imports++ == 0) run.import_failure = error;
            session.ui().warning("the sheet \"" + doc.find(drawing)->name + "\" lacks its template: " + error);
            return UF_err_io;
        }
        Placement2 at{cadhost::api::from_c(dest_point), x.Normalized(), y.Normalized(), scale};

        for (const auto& [tag, object] : source.document.objects()) {
            if (sheet_content(object)) {
                Object copy;
                copy.type = object.type;
                copy.subtype = object.subtype;
                copy.font = object.font;
                copy.color = object.color;
                copy.line_width = object.line_width;
                copy.name = object.name.size() <= UF_OBJ_NAME_LEN ? object.name : std::string();
                copy.drawing = drawing;
                if (const auto* line = object.as<cadhost::LineData>()) {
                    copy.payload = cadhost::LineData{at.map(line->start), at.map(line->end)};
                } else if (const auto* arc = object.as<cadhost::ArcData>()) {
                    gp_Pnt c = at.map(arc->position.Location());
                    gp_Vec ax = at.x * arc->position.XDirection().X() + at.y * arc->position.XDirection().Y();
                    bool flipped = arc->position.Direction().Z() < 0;
                    gp_Dir normal = gp_Dir(at.x.Crossed(at.y));
                    if (flipped) normal.Reverse();
                    copy.payload =
                        cadhost::ArcData{gp_Ax2(c, normal, gp_Dir(ax)), arc->radius * scale, arc->start, arc->end};
                } else if (const auto* point = object.as<cadhost::PointData>()) {
                    copy.payload = cadhost::PointData{at.map(point->point)};
                } else {
                    continue;  // other curves of a template: not part of a sheet border
                }
                doc.add(std::move(copy));
            } else if (const auto* note = object.as<cadhost::AnnotationData>()) {
                if (note->drawing != NULL_TAG || note->kind != cadhost::AnnotationData::Kind::Note) continue;
                Object copy = object;
                auto& data = std::get<cadhost::AnnotationData>(copy.payload);
                gp_Pnt o = at.map(gp_Pnt(note->origin_x, note->origin_y, 0));
                data.origin_x = o.X();
                data.origin_y = o.Y();
                data.style.change([&](cadhost::AnnotationStyle& s) { s.height *= scale; });
                data.drawing = drawing;
                copy.tag = NULL_TAG;
                copy.layer = 0;
                doc.add(std::move(copy), false);
            }
        }
        return UF_ok;
    });
}

}  // extern "C"
