// The objects a part holds: one record per tag, with the payload that its kind needs.
#ifndef CADHOST_DOCUMENT_OBJECT_H
#define CADHOST_DOCUMENT_OBJECT_H

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>
#include <variant>
#include <vector>

#include <Geom_Curve.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Ax2.hxx>
#include <gp_Pnt.hxx>

#include "host/uf_types.h"

namespace cadhost {

using AttrValue = std::variant<int, double, std::string>;

struct Attribute {
    std::string title;
    AttrValue value;
};

// The faces and edges of a body, numbered from 1 in the kernel's topological order. Built once per shape and shared
// between copies of the document: shapes are never changed in place, so the numbering stays valid.
struct Topology {
    TopTools_IndexedMapOfShape faces;
    TopTools_IndexedMapOfShape edges;
};

struct BodyData {
    TopoDS_Shape shape;
    bool sheet = false;            // a sheet body (open shell or faces) rather than a solid
    std::vector<tag_t> face_tags;  // index i - 1 holds the tag of face i, or NULL_TAG until asked for
    std::vector<tag_t> edge_tags;
    // The shape as it was last found to read back from the part file's form (read from a part file, or checked when it
    // came in): a save need not check it again while `shape` is still that shape.
    TopoDS_Shape stored_form_known;
    std::shared_ptr<const Topology> topology() const;

  private:
    mutable std::shared_ptr<const Topology> topology_;
};

// A face or an edge of a body: the body's tag and its number in the body's topology.
struct SubShapeData {
    tag_t body = NULL_TAG;
    int index = 0;
};

struct LineData {
    gp_Pnt start;
    gp_Pnt end;
};

// A circle or arc: centre and axes in position, anticlockwise about its main direction from start to end (radians).
struct ArcData {
    gp_Ax2 position;
    double radius = 0.0;
    double start = 0.0;
    double end = 0.0;
};

struct PointData {
    gp_Pnt point;
};

// Any other free curve, such as an isocline curve: a kernel curve between two parameters.
struct CurveData {
    Handle(Geom_Curve) curve;
    double first = 0.0;
    double last = 0.0;
};

struct CsysData {
    gp_Pnt origin;
    tag_t matrix = NULL_TAG;
};

struct MatrixData {
    gp_Ax2 axes;  // only the directions count
};

// How a view looks at the model: the model directions that point right and up on the screen, and towards the eye.
struct ViewOrientation {
    gp_Dir right = gp::DX();
    gp_Dir up = gp::DY();
    gp_Dir toward_eye = gp::DZ();
};

struct ModelViewData {
    ViewOrientation orientation;
};

// A drawing sheet: its size in mm (width across, height up), and its views and annotations in creation order.
struct DrawingData {
    double width = 297.0;
    double height = 210.0;
    double scale = 1.0;
    int units = 1;
    int projection = 1;
    int next_view_number = 1;
};

// How a drawing view draws bodies (the host's view display record, kept member by member).
struct ViewDisplay {
    int hidden_line_removal = 1;
    int visible_edge_width = 2;
    int hidden_edges = 0;
    int silhouettes = 1;
    int smooth_edges = 1;
    int uv_grid_lines = 0;
    int hidden_by_other_bodies = 1;
    bool operator==(const ViewDisplay&) const = default;
};

// A view of the model on a sheet. Its reference point is where the centre of its extent lands on the sheet; an
// orthographic child view takes its scale from its parent and keeps aligned with it.
struct DrawingViewData {
    tag_t drawing = NULL_TAG;
    tag_t model_view = NULL_TAG;  // the model view it was made from (imported views)
    ViewOrientation orientation;
    double scale = 1.0;
    double ref_x = 0.0;
    double ref_y = 0.0;
    tag_t parent = NULL_TAG;    // orthographic child views: the view projected from
    int projection = 0;         // host projection code for child views
    std::vector<char> layers;   // index n - 1: the view shows layer n
    std::vector<tag_t> erased;  // objects the view does not show
    ViewDisplay display;
};

// Where an annotation measures from: a point, or an end of a line or edge, seen in a drawing view.
struct AnnotationAnchor {
    tag_t object = NULL_TAG;
    tag_t view = NULL_TAG;
    int end = 1;  // 1 first end, 2 second end
};

// How an annotation's text is written: the lettering and preferences current when it was made.
struct AnnotationStyle {
    double height = 3.5;
    double aspect_ratio = 1.0;
    double char_space = 1.0;  // 1 the font's own spacing (see the lettering record)
    double line_space = 1.0;  // 1 the normal gap between lines, 0.6 of the height
    int alignment = 5;
    double angle = 0.0;   // degrees
    int leader_side = 1;  // labels: 1 leader from the text's left end, 2 from its right end
    double arrow_length = 3.0;
    double arrow_angle = 20.0;   // included angle, degrees
    double origin_symbol = 3.0;  // ordinate origin symbol diameter, mm
    int decimals = 2;
    bool trailing_zeros = true;
    double text_gap = 1.0;
    bool manual_text = false;  // dimensions: the value sits at the origin given; otherwise centred on the line
    int arrowhead = 2;         // 1 open, 2 closed, 8 filled
    int extension_lines = 1;   // 1 both, 2 first only, 3 second only, 4 none
    bool inches = false;       // values in inches
    bool dual = false;         // values also in the second unit, in brackets
};

// An annotation's style as the annotation holds it: shared with every other annotation of the same style. A large
// part has tens of thousands of annotations and a handful of styles, and each object of a part is as large as its
// largest kind. Reads as the style it stands for; a style given to it is kept for the life of the process.
class SharedStyle {
  public:
    SharedStyle();                              // the default style
    SharedStyle(const AnnotationStyle& style);  // NOLINT: a style is given wherever a shared one is kept
    const AnnotationStyle& operator*() const { return *style_; }
    const AnnotationStyle* operator->() const { return style_; }
    operator const AnnotationStyle&() const { return *style_; }  // NOLINT: reads as the style
    // Changes the style of this annotation only.
    template <class Change>
    void change(Change change) {
        AnnotationStyle changed = *style_;
        change(changed);
        *this = SharedStyle(changed);
    }

  private:
    const AnnotationStyle* style_;
};

// Notes, labels, linear and ordinate dimensions, ordinate origins and margins.
struct AnnotationData {
    enum class Kind { Note, Label, Horizontal, Vertical, OrdinateOrigin, OrdinateMargin, Ordinate } kind = Kind::Note;
    tag_t drawing = NULL_TAG;        // the sheet; NULL_TAG for a note of a template part, placed by import
    std::vector<std::string> lines;  // notes and labels: the text; dimensions: user text and appended lines
    double origin_x = 0.0;           // text origin, sheet mm
    double origin_y = 0.0;
    double leader_x = 0.0;  // labels: the leader's point
    double leader_y = 0.0;
    AnnotationAnchor first;  // dimensions: what they measure from and to; origins and ordinates: the object
    AnnotationAnchor second;
    tag_t margin = NULL_TAG;    // ordinate dimensions: their margin; margins: their origin
    int margin_type = 0;        // margins: 1 horizontal (x values), 2 vertical (y values)
    double offset = 0.0;        // margins: distance from the origin's sheet point across the margin, mm
    double dogleg_angle = 0.0;  // ordinate dimensions
    double dogleg_distance = 0.0;
    bool text_moved = false;  // ordinate dimensions: the value sits at origin_x / origin_y along the margin
    bool show_symbol = true;  // origins
    std::string name;         // origins
    SharedStyle style;
};

// A kind of payload kept apart from its object: few objects are of it, and held in place it would make every object
// as large as it is. A copy copies the payload.
template <class T>
class Boxed {
  public:
    Boxed(T value) : value_(std::make_unique<T>(std::move(value))) {}  // NOLINT: given wherever one is kept
    Boxed(const Boxed& other) : value_(other.value_ ? std::make_unique<T>(*other.value_) : nullptr) {}
    Boxed(Boxed&&) noexcept = default;
    Boxed& operator=(const Boxed& other) {
        value_ = other.value_ ? std::make_unique<T>(*other.value_) : nullptr;
        return *this;
    }
    Boxed& operator=(Boxed&&) noexcept = default;
    T* get() { return value_.get(); }
    const T* get() const { return value_.get(); }

  private:
    std::unique_ptr<T> value_;
};

using Payload = std::variant<std::monostate, BodyData, SubShapeData, LineData, ArcData, PointData, CurveData, CsysData,
                             MatrixData, ModelViewData, DrawingData, Boxed<DrawingViewData>, AnnotationData>;

// How a payload of a kind is held in the variant.
template <class T>
struct HeldAs {
    using type = T;
};
template <>
struct HeldAs<DrawingViewData> {
    using type = Boxed<DrawingViewData>;
};

struct Object {
    tag_t tag = NULL_TAG;
    int type = 0;
    int subtype = 0;
    int layer = 0;  // 0 for objects that live on no layer
    std::string name;
    int blank_status = UF_OBJ_NOT_BLANKED;
    int font = UF_OBJ_FONT_SOLID;
    int color = 1;
    int line_width = 1;
    // The colour a body is drawn in on sheets, 0xRRGGBB, from the model or its attribute file; none: black.
    std::optional<std::uint32_t> rgb;
    tag_t drawing = NULL_TAG;  // curves and points made on a sheet (a template's border) belong to that sheet
    std::vector<Attribute> attributes;
    Payload payload;

    template <class T>
    const T* as() const {
        const auto* held = std::get_if<typename HeldAs<T>::type>(&payload);
        if constexpr (std::is_same_v<typename HeldAs<T>::type, T>)
            return held;
        else
            return held ? held->get() : nullptr;
    }
    template <class T>
    T* as() {
        auto* held = std::get_if<typename HeldAs<T>::type>(&payload);
        if constexpr (std::is_same_v<typename HeldAs<T>::type, T>)
            return held;
        else
            return held ? held->get() : nullptr;
    }
};

}  // namespace cadhost

#endif
