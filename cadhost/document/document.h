// The part document: every object by tag, the layers and their states, names, the work coordinate system and the
// application module. A value type: copying a document is how the undo mark keeps the part as it was.
#ifndef CADHOST_DOCUMENT_DOCUMENT_H
#define CADHOST_DOCUMENT_DOCUMENT_H

#include <array>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

#include "cadhost/document/drafting_preferences.h"
#include "cadhost/document/object.h"
#include "host/uf_layer.h"

namespace cadhost {

class Document {
  public:
    // A new part: layer 1 the work layer, every other layer active, the work coordinate system at the absolute one,
    // in the modelling application.
    Document();
    // A document with no objects at all, into which a part file restores its objects.
    struct Empty {};
    explicit Document(Empty);

    const Object* find(tag_t tag) const;
    Object* find(tag_t tag);
    const std::map<tag_t, Object>& objects() const { return objects_; }

    // Adds the object under a new tag; objects with layer 0 in the record go on the work layer when on_layer is set.
    tag_t add(Object object, bool on_layer = true);
    // Restores an object under its stored tag (loading a part file). Returns false when the tag is taken.
    bool restore(Object object);
    tag_t add_body(const TopoDS_Shape& shape, bool sheet);
    tag_t add_line(const gp_Pnt& start, const gp_Pnt& end);
    tag_t add_arc(const ArcData& arc);
    tag_t add_point(const gp_Pnt& point);
    tag_t add_curve(const CurveData& curve);

    // Removes the object; a body takes its faces and edges with it. Returns false for an unknown tag.
    bool remove(tag_t tag);

    bool set_layer(tag_t tag, int layer);
    void set_name(tag_t tag, std::string_view name);

    // The object after `after` on the layer, in creation order; NULL_TAG when there is none.
    tag_t next_on_layer(int layer, tag_t after) const;
    std::size_t count_on_layer(int layer) const;
    // The object after `after` whose name equals name without regard to case.
    tag_t next_by_name(std::string_view name, tag_t after) const;

    // The tag of face or edge number index (from 1) of a body, made when first asked for; NULL_TAG when out of range.
    tag_t face_tag(tag_t body, int index);
    tag_t edge_tag(tag_t body, int index);
    // The kernel shape behind a body, face or edge; a null shape for anything else.
    TopoDS_Shape shape_of(tag_t tag) const;

    int layer_status(int layer) const { return layer_status_[layer]; }
    int work_layer() const { return work_layer_; }
    // Applies a layer state with the host's rules (see host/uf_layer.h). Returns false for an illegal request.
    bool set_layer_status(int layer, int status);
    void set_all_but_work(int status);

    // The model view of that name (type 60, subtype 7), or NULL_TAG.
    tag_t find_model_view(std::string_view name) const;
    const ViewOrientation& work_view() const { return work_view_; }
    void set_work_view(const ViewOrientation& view) { work_view_ = view; }
    const DraftingPreferences& drafting_preferences() const { return preferences_; }
    void set_drafting_preferences(const DraftingPreferences& prefs) { preferences_ = prefs; }
    // Drafting state of the part: the current drawing, view borders, the drawings' display record.
    tag_t current_drawing() const { return current_drawing_; }
    void set_current_drawing(tag_t drawing) { current_drawing_ = drawing; }
    bool border_display() const { return border_display_; }
    void set_border_display(bool on) { border_display_ = on; }
    struct DrawingDisplay {
        int background_color = 1;
        int border_color = 7;
        double grid_spacing = 10.0;
        int grid_color = 8;
        bool show_grid = false;
        bool operator==(const DrawingDisplay&) const = default;
    };
    const DrawingDisplay& drawing_display() const { return drawing_display_; }
    void set_drawing_display(const DrawingDisplay& display) { drawing_display_ = display; }
    // The drawing of that name (case-insensitive), or NULL_TAG.
    tag_t find_drawing(std::string_view name) const;
    // Objects of a drawing (views, annotations, sheet curves) in creation order.
    std::vector<tag_t> drawing_members(tag_t drawing) const;
    // Counts every change; caches of derived results (view extents, projections) compare it.
    unsigned long revision() const { return revision_; }
    void touch() { ++revision_; }

    int display_state() const { return display_state_; }
    void set_display_state(int state) { display_state_ = state; }
    // The orientations of the standard views, by upper-case name ("TOP" ... "TFR-ISO").
    static const std::vector<std::pair<std::string, ViewOrientation>>& standard_views();

    tag_t wcs() const { return wcs_; }
    int application_module() const { return module_; }
    void set_application_module(int module) { module_ = module; }

    tag_t next_tag() const { return next_tag_; }
    // Used by the part file when it restores a document: tags continue after the highest one ever given out.
    void set_next_tag(tag_t next) { next_tag_ = next; }
    void set_work_layer_raw(int layer) { work_layer_ = layer; }
    void set_layer_status_raw(int layer, int status) { layer_status_[layer] = status; }
    void set_wcs_raw(tag_t wcs) { wcs_ = wcs; }
    // After restoring: gives each body the tags of its faces and edges that were restored with it.
    bool link_sub_shapes(std::string& error);

    static std::string fold_case(std::string_view text);
    static bool valid_layer(int layer) { return layer >= 1 && layer <= UF_LAYER_MAX_LAYER; }

  private:
    tag_t sub_shape_tag(tag_t body, int index, bool face);
    void index_object(const Object& object);
    void unindex_object(const Object& object);

    std::map<tag_t, Object> objects_;
    std::array<std::set<tag_t>, UF_LAYER_MAX_LAYER + 1> by_layer_;
    std::map<std::string, std::set<tag_t>> by_name_;
    std::map<tag_t, std::set<tag_t>> by_drawing_;  // a large mould's drawings are asked for their members often
    std::array<int, UF_LAYER_MAX_LAYER + 1> layer_status_{};
    int work_layer_ = 1;
    tag_t wcs_ = NULL_TAG;
    int module_ = UF_APP_MODELING;
    ViewOrientation work_view_;
    int display_state_ = 1;
    DraftingPreferences preferences_;
    tag_t current_drawing_ = NULL_TAG;
    bool border_display_ = true;
    DrawingDisplay drawing_display_;
    unsigned long revision_ = 0;
    tag_t next_tag_ = 1;
};

}  // namespace cadhost

#endif
