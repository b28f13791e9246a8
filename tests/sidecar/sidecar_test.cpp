// The attribute sidecar: objects chosen by layer and position, every key checked, nothing applied on an error.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>

#include "cadhost/document/dump_json.h"
#include "cadhost/import/sidecar.h"

namespace {

using cadhost::Document;

class SidecarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        first_ = doc_.add_body(BRepPrimAPI_MakeBox(1, 1, 1).Shape(), false);
        doc_.set_layer(first_, 2);
        doc_.set_name(first_, "E02");
        line_ = doc_.add_line(gp_Pnt(0, 0, 0), gp_Pnt(1, 1, 0));
        doc_.set_layer(line_, 2);
        second_ = doc_.add_body(BRepPrimAPI_MakeBox(1, 1, 1).Shape(), false);
        doc_.set_layer(second_, 2);
        doc_.set_name(second_, "E02");
    }
    // Applies the text and returns the error, checking that a refused sidecar changed nothing.
    std::string refuse(const std::string& text) {
        const std::string before = cadhost::dump_document(doc_).dump();
        std::string error;
        EXPECT_FALSE(cadhost::import::apply_sidecar_text(text, "m.attrs.json", doc_, error)) << text;
        EXPECT_EQ(cadhost::dump_document(doc_).dump(), before) << "nothing is applied when the file is refused";
        return error;
    }
    Document doc_;
    tag_t first_ = NULL_TAG, line_ = NULL_TAG, second_ = NULL_TAG;
};

TEST_F(SidecarTest, SetsAttributesAndBlankStatusOfTheObjectsItNames) {
    std::string error;
    ASSERT_TRUE(cadhost::import::apply_sidecar_text(R"({"quillon_attrs": 1, "objects": [
        {"layer": 2, "index": 3, "name": "e02", "blank": true,
         "attributes": {"s_x": {"real": 10.5}, "elec_rough_number": {"integer": 2}, "ELEC_NOTE": {"string": "注意"}}},
        {"layer": 2, "index": 2, "attributes": {"s_x": {"real": -1}}}]})",
                                                    "m.attrs.json", doc_, error))
        << error;
    const auto& attrs = doc_.find(second_)->attributes;
    ASSERT_EQ(attrs.size(), 3u);
    EXPECT_EQ(attrs[0].title, "s_x");
    EXPECT_DOUBLE_EQ(std::get<double>(attrs[0].value), 10.5);
    EXPECT_EQ(std::get<int>(attrs[1].value), 2);
    EXPECT_EQ(std::get<std::string>(attrs[2].value), "注意");
    EXPECT_EQ(doc_.find(second_)->blank_status, 1);
    EXPECT_EQ(doc_.find(first_)->blank_status, 0);
    EXPECT_DOUBLE_EQ(std::get<double>(doc_.find(line_)->attributes.at(0).value), -1.0) << "integers read as reals";
}

TEST_F(SidecarTest, SetsHowBodiesAreDrawnByColourNameOrHexAndWidthWord) {
    std::string error;
    ASSERT_TRUE(cadhost::import::apply_sidecar_text(R"({"quillon_attrs": 1, "objects": [
        {"layer": 2, "index": 1, "color": "Copper", "width": "thick"},
        {"layer": 2, "index": 3, "color": "#1a2B3c", "width": "thin"}]})",
                                                    "m.attrs.json", doc_, error))
        << error;
    EXPECT_EQ(doc_.find(first_)->rgb, 0xB87333u);
    EXPECT_EQ(doc_.find(first_)->line_width, 2);
    EXPECT_EQ(doc_.find(second_)->rgb, 0x1A2B3Cu);
    EXPECT_EQ(doc_.find(second_)->line_width, 0);
    EXPECT_FALSE(doc_.find(line_)->rgb.has_value());
    EXPECT_EQ(doc_.find(line_)->line_width, 1);

    for (const char* colour : {R"("#12345")", R"("#12345G")", R"("teal-ish")", "255", "null"}) {
        const std::string error = refuse(std::string(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 2,
            "color": )") + colour + "}]}");
        EXPECT_TRUE(error.starts_with("attribute file 'm.attrs.json': objects[0].color: expected #RRGGBB or one of "))
            << error;
    }
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1, "color": "red", "width": 2}]})"),
              "attribute file 'm.attrs.json': objects[0].width: expected \"thin\", \"normal\" or \"thick\"");
}

TEST_F(SidecarTest, EachKindOfMistakeIsRefusedWithItsPlace) {
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1, "colour": 3}]})"),
              "attribute file 'm.attrs.json': objects[0].colour: unknown key");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1},
                        {"layer": 2, "index": 4}]})"),
              "attribute file 'm.attrs.json': objects[1]: layer 2 has no object 4 (it holds 3)");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1, "name": "E03"}]})"),
              "attribute file 'm.attrs.json': objects[0].name: object 1 of layer 2 is named \"E02\", not \"E03\"");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1,
                        "attributes": {"s_x": {"real": "ten"}}}]})"),
              "attribute file 'm.attrs.json': objects[0].attributes.s_x.real: expected a number");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1,
                        "attributes": {"n": {"integer": 2.5}}}]})"),
              "attribute file 'm.attrs.json': objects[0].attributes.n.integer: expected a whole number");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2, "index": 1, "blank": 1}]})"),
              "attribute file 'm.attrs.json': objects[0].blank: expected true or false");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 300, "index": 1}]})"),
              "attribute file 'm.attrs.json': objects[0].layer: 300 is not a layer (1 to 256)");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 2})"),
              "attribute file 'm.attrs.json': quillon_attrs: version 2 is not known (1 is)");
    EXPECT_EQ(refuse(R"({"objects": []})"), "attribute file 'm.attrs.json': top level: \"quillon_attrs\" is missing");
    EXPECT_EQ(refuse("{\"quillon_attrs\": 1,\n  \"objects\": [\n    {\"layer\": 2,, }]}"),
              "attribute file 'm.attrs.json', line 3, column 17: not valid JSON");
}

TEST_F(SidecarTest, ANameAloneChoosesTheOneBodyOfThatName) {
    // A line that carries the body's name (its product's) does not make the name ambiguous: bodies come first.
    const tag_t core = doc_.add_body(BRepPrimAPI_MakeBox(5, 5, 5).Shape(), false);
    doc_.set_layer(core, 240);
    doc_.set_name(core, "Core");
    const tag_t mark = doc_.add_line(gp_Pnt(0, 0, 5), gp_Pnt(5, 5, 5));
    doc_.set_layer(mark, 240);
    doc_.set_name(mark, "Core");
    doc_.set_name(line_, "DIAG");
    std::string error;
    ASSERT_TRUE(cadhost::import::apply_sidecar_text(R"({"quillon_attrs": 1, "objects": [
        {"name": "CORE", "attributes": {"n": {"integer": 1}}},
        {"name": "diag", "layer": 2, "blank": true},
        {"name": "E02", "layer": 2, "index": 3, "attributes": {"n": {"integer": 3}}}]})",
                                                    "m.attrs.json", doc_, error))
        << error;
    EXPECT_EQ(doc_.find(core)->attributes.size(), 1u);
    EXPECT_TRUE(doc_.find(mark)->attributes.empty());
    EXPECT_EQ(doc_.find(line_)->blank_status, 1);
    EXPECT_EQ(std::get<int>(doc_.find(second_)->attributes.at(0).value), 3);

    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"name": "E09"}]})"),
              "attribute file 'm.attrs.json': objects[0].name: no object is named \"E09\"");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"name": "Core"}, {"name": "core", "layer": 2}]})"),
              "attribute file 'm.attrs.json': objects[1].name: no object on layer 2 is named \"core\"");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"name": "e02", "blank": true}]})"),
              "attribute file 'm.attrs.json': objects[0].name: 2 solid bodies are named \"e02\" (layer 2 object 1, "
              "layer 2 object 3); give \"layer\" and \"index\" to choose one");
    EXPECT_EQ(refuse(R"({"quillon_attrs": 1, "objects": [{"layer": 2}]})"),
              "attribute file 'm.attrs.json': objects[0]: \"index\" is missing (or give \"name\" alone)");
}

}  // namespace
