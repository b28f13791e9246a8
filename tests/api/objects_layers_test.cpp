// Objects, names and layers through the host interface, as a command uses them.
#include <vector>

#include "host/uf_curve.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_csys.h"
#include "host/uf_part.h"
#include "support/host_fixture.h"

namespace {

using testing_support::HostTest;

std::vector<tag_t> cycle_layer(int layer) {
    std::vector<tag_t> tags;
    tag_t tag = NULL_TAG;
    while (UF_LAYER_cycle_by_layer(layer, &tag) == 0 && tag != NULL_TAG) tags.push_back(tag);
    return tags;
}

tag_t make_point(double x, double y, double z) {
    double p[3] = {x, y, z};
    tag_t tag = NULL_TAG;
    EXPECT_EQ(UF_CURVE_create_point(p, &tag), 0);
    return tag;
}

class ObjectsTest : public HostTest {};

TEST_F(ObjectsTest, CyclingALayerGivesItsObjectsInCreationOrderAndNothingElse) {
    tag_t a = make_point(0, 0, 0);
    tag_t b = add_box(0, 0, 0, 10, 10, 10);
    tag_t c = make_point(1, 0, 0);
    ASSERT_EQ(UF_OBJ_set_layer(b, 5), 0);
    // An object moved onto a layer takes its place there by creation, not by the time it arrived.
    tag_t d = make_point(2, 0, 0);
    ASSERT_EQ(UF_OBJ_set_layer(d, 5), 0);
    ASSERT_EQ(UF_OBJ_set_layer(a, 5), 0);
    EXPECT_EQ(cycle_layer(1), (std::vector<tag_t>{c}));
    EXPECT_EQ(cycle_layer(5), (std::vector<tag_t>{a, b, d}));
    EXPECT_TRUE(cycle_layer(6).empty());

    tag_t tag = NULL_TAG;
    EXPECT_NE(UF_LAYER_cycle_by_layer(0, &tag), 0);
    EXPECT_NE(UF_LAYER_cycle_by_layer(257, &tag), 0);
    EXPECT_EQ(UF_OBJ_set_layer(a, 257), UF_err_bad_layer);
    EXPECT_EQ(UF_OBJ_set_layer(a, 256), 0);
}

TEST_F(ObjectsTest, FacesAndEdgesLiveOnNoLayerAndGoWithTheirBody) {
    tag_t body = add_box(0, 0, 0, 10, 20, 30);
    ASSERT_EQ(UF_OBJ_set_layer(body, 7), 0);
    uf_list_p_t faces = nullptr;
    ASSERT_EQ(UF_MODL_ask_body_faces(body, &faces), 0);
    tag_t face = NULL_TAG;
    ASSERT_EQ(UF_MODL_ask_list_item(faces, 0, &face), 0);
    UF_OBJ_disp_props_t props{};
    ASSERT_EQ(UF_OBJ_ask_display_properties(face, &props), 0);
    EXPECT_EQ(props.layer, 7) << "a face shows its body's layer";
    EXPECT_EQ(UF_OBJ_set_layer(face, 3), UF_err_wrong_type);
    EXPECT_EQ(UF_OBJ_delete_object(face), UF_err_wrong_type);
    EXPECT_EQ(cycle_layer(7), (std::vector<tag_t>{body}));

    ASSERT_EQ(UF_OBJ_delete_object(body), 0);
    int type = 0, subtype = 0;
    EXPECT_EQ(UF_OBJ_ask_type_and_subtype(face, &type, &subtype), UF_err_bad_tag);
    EXPECT_TRUE(cycle_layer(7).empty());
    UF_MODL_delete_list(&faces);
}

TEST_F(ObjectsTest, TypesAndSubtypesAreTheHostCodes) {
    struct Case {
        tag_t tag;
        int type, subtype;
    };
    UF_CURVE_line_t line{{0, 0, 0}, {1, 2, 3}};
    tag_t line_tag = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&line, &line_tag), 0);
    UF_CURVE_arc_t arc{{0, 0, 0}, 5.0, 0.0, 6.283185307179586, {1, 0, 0}, {0, 1, 0}};
    tag_t arc_tag = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_arc(&arc, &arc_tag), 0);
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    uf_list_p_t edges = nullptr;
    ASSERT_EQ(UF_MODL_ask_body_edges(body, &edges), 0);
    tag_t edge = NULL_TAG;
    ASSERT_EQ(UF_MODL_ask_list_item(edges, 0, &edge), 0);
    UF_MODL_delete_list(&edges);
    for (const Case& c : {Case{make_point(0, 0, 0), 2, 0}, Case{line_tag, 3, 0}, Case{arc_tag, 5, 0}, Case{body, 70, 0},
                          Case{edge, 70, 3}, Case{UF_PART_ask_display_part(), 1, 0}}) {
        int type = -1, subtype = -1;
        ASSERT_EQ(UF_OBJ_ask_type_and_subtype(c.tag, &type, &subtype), 0);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(subtype, c.subtype);
    }
    int type = 0;
    ASSERT_EQ(UF_MODL_ask_body_type(body, &type), 0);
    EXPECT_EQ(type, 5601);
    tag_t sheet = doc().add_body(BRepPrimAPI_MakeBox(1, 1, 1).Shell(), true);
    ASSERT_EQ(UF_MODL_ask_body_type(sheet, &type), 0);
    EXPECT_EQ(type, UF_MODL_SHEET_BODY);
    EXPECT_EQ(UF_MODL_ask_body_type(line_tag, &type), UF_err_wrong_type);
}

TEST_F(ObjectsTest, NamesAreFoundWithoutRegardToCaseInCreationOrder) {
    tag_t a = make_point(0, 0, 0), b = make_point(1, 0, 0), c = make_point(2, 0, 0);
    ASSERT_EQ(UF_OBJ_set_name(c, "reve_iso"), 0);
    ASSERT_EQ(UF_OBJ_set_name(a, "REVE_ISO"), 0);
    ASSERT_EQ(UF_OBJ_set_name(b, "铜公E01"), 0);

    tag_t found = NULL_TAG;
    ASSERT_EQ(UF_OBJ_cycle_by_name("Reve_Iso", &found), 0);
    EXPECT_EQ(found, a);
    ASSERT_EQ(UF_OBJ_cycle_by_name("Reve_Iso", &found), 0);
    EXPECT_EQ(found, c);
    ASSERT_EQ(UF_OBJ_cycle_by_name("Reve_Iso", &found), 0);
    EXPECT_EQ(found, NULL_TAG);
    found = NULL_TAG;
    ASSERT_EQ(UF_OBJ_cycle_by_name("铜公e01", &found), 0);
    EXPECT_EQ(found, b);

    char name[UF_OBJ_NAME_BUFSIZE];
    ASSERT_EQ(UF_OBJ_ask_name(b, name), 0);
    EXPECT_STREQ(name, "铜公E01");
    // Renaming leaves no trace under the old name.
    ASSERT_EQ(UF_OBJ_set_name(a, "other"), 0);
    found = NULL_TAG;
    UF_OBJ_cycle_by_name("reve_iso", &found);
    EXPECT_EQ(found, c);

    tag_t unnamed = make_point(3, 0, 0);
    EXPECT_EQ(UF_OBJ_ask_name(unnamed, name), UF_err_no_name);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(UF_OBJ_set_name(unnamed, "a_name_of_thirty_one_characters"), UF_err_name_too_long);
    EXPECT_EQ(UF_OBJ_set_name(unnamed, "a_name_of_exactly_thirty_chars"), 0);
    ASSERT_EQ(UF_OBJ_ask_name(unnamed, name), 0);
    EXPECT_STREQ(name, "a_name_of_exactly_thirty_chars");
}

TEST_F(ObjectsTest, LayerStatesFollowTheWorkLayerRules) {
    int work = 0;
    ASSERT_EQ(UF_LAYER_ask_work_layer(&work), 0);
    EXPECT_EQ(work, 1);
    ASSERT_EQ(UF_LAYER_set_status(254, UF_LAYER_WORK_LAYER), 0);
    ASSERT_EQ(UF_LAYER_ask_work_layer(&work), 0);
    EXPECT_EQ(work, 254);
    int status = -1;
    UF_LAYER_ask_status(1, &status);
    EXPECT_EQ(status, UF_LAYER_ACTIVE_LAYER) << "the former work layer turns active";
    EXPECT_EQ(UF_LAYER_set_status(254, UF_LAYER_INACTIVE_LAYER), UF_err_bad_layer);

    ASSERT_EQ(UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER), 0);
    ASSERT_EQ(UF_LAYER_set_status(240, UF_LAYER_ACTIVE_LAYER), 0);
    for (int layer : {1, 100, 256}) {
        UF_LAYER_ask_status(layer, &status);
        EXPECT_EQ(status, UF_LAYER_INACTIVE_LAYER) << layer;
    }
    UF_LAYER_ask_status(240, &status);
    EXPECT_EQ(status, UF_LAYER_ACTIVE_LAYER);
    UF_LAYER_ask_status(254, &status);
    EXPECT_EQ(status, UF_LAYER_WORK_LAYER);

    // New objects go on the work layer.
    tag_t p = make_point(0, 0, 0);
    UF_OBJ_disp_props_t props{};
    UF_OBJ_ask_display_properties(p, &props);
    EXPECT_EQ(props.layer, 254);
}

TEST_F(ObjectsTest, BlankFontAndDisplayability) {
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    tag_t point = make_point(0, 0, 0);
    ASSERT_EQ(UF_OBJ_set_blank_status(body, UF_OBJ_BLANKED), 0);
    UF_OBJ_disp_props_t props{};
    UF_OBJ_ask_display_properties(body, &props);
    EXPECT_EQ(props.blank_status, 1);
    EXPECT_EQ(UF_OBJ_set_blank_status(body, 2), UF_err_bad_argument);
    ASSERT_EQ(UF_OBJ_set_font(point, UF_OBJ_FONT_CENTERLINE), 0);
    UF_OBJ_ask_display_properties(point, &props);
    EXPECT_EQ(props.font, 3);
    int displayable = -1;
    UF_OBJ_is_displayable(point, &displayable);
    EXPECT_EQ(displayable, 1);
    tag_t wcs = NULL_TAG;
    ASSERT_EQ(UF_CSYS_ask_wcs(&wcs), 0);
    UF_OBJ_is_displayable(wcs, &displayable);
    EXPECT_EQ(displayable, 0);
}

TEST_F(ObjectsTest, DeletingAnArrayReportsEachObject) {
    tag_t a = make_point(0, 0, 0), b = make_point(1, 0, 0);
    tag_t tags[3] = {a, 999999, b};
    int* statuses = nullptr;
    EXPECT_EQ(UF_OBJ_delete_array_of_objects(3, tags, &statuses), UF_err_bad_tag);
    ASSERT_NE(statuses, nullptr);
    EXPECT_EQ(statuses[0], 0);
    EXPECT_EQ(statuses[1], UF_err_bad_tag);
    EXPECT_EQ(statuses[2], 0);
    UF_free(statuses);
    EXPECT_TRUE(cycle_layer(1).empty());
}

TEST_F(ObjectsTest, CallsWithoutAnOpenInterfaceOrPartAreRefused) {
    UF_terminate();
    tag_t tag = NULL_TAG;
    EXPECT_EQ(UF_LAYER_cycle_by_layer(1, &tag), UF_err_not_initialized);
    UF_initialize();
    session().set_display_part(nullptr);
    EXPECT_EQ(UF_LAYER_cycle_by_layer(1, &tag), UF_err_no_part);
    EXPECT_EQ(UF_PART_ask_display_part(), NULL_TAG);
}

}  // namespace
