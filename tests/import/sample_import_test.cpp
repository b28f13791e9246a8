// The bundled sample imports with every layer, name, attribute and box its generator says it built.
#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "cadhost/document/dump_json.h"
#include "cadhost/geometry/queries.h"
#include "cadhost/import/import_model.h"
#include "host/uf_layer.h"

#include <TopoDS.hxx>

namespace {

using cadhost::Document;
using nlohmann::json;

const char* kind_of(const cadhost::Object& o) {
    switch (o.type) {
        case UF_solid_type:
            return "solid";
        case UF_line_type:
            return "line";
        case UF_circle_type:
            return "circle";
        case UF_point_type:
            return "point";
        default:
            return "other";
    }
}

class SampleImportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        doc_ = new Document;
        result_ = new cadhost::import::ImportResult(
            cadhost::import::import_step(examples + "sample_mould.step", examples + "sample_mould.attrs.json", *doc_));
        std::ifstream in(examples + "sample_mould.expected.json");
        expected_ = new json(json::parse(in));
    }
    static void TearDownTestSuite() {
        delete doc_;
        delete result_;
        delete expected_;
    }
    static tag_t object_at(int layer, int index) {
        tag_t tag = NULL_TAG;
        for (int i = 0; i < index; ++i) tag = doc_->next_on_layer(layer, tag);
        return tag;
    }
    static Document* doc_;
    static cadhost::import::ImportResult* result_;
    static json* expected_;
};
Document* SampleImportTest::doc_ = nullptr;
cadhost::import::ImportResult* SampleImportTest::result_ = nullptr;
json* SampleImportTest::expected_ = nullptr;

TEST_F(SampleImportTest, EveryLayerHoldsItsObjectsInTheGeneratorsOrder) {
    ASSERT_TRUE(result_->ok) << result_->error;
    EXPECT_TRUE(result_->notes.empty()) << "every sample layer is a numbered one";
    std::size_t total = 0;
    for (const auto& layer : (*expected_)["layers"]) {
        const int number = layer["layer"];
        const auto& objects = layer["objects"];
        ASSERT_EQ(doc_->count_on_layer(number), objects.size()) << "layer " << number;
        total += objects.size();
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const cadhost::Object* o = doc_->find(object_at(number, static_cast<int>(i) + 1));
            EXPECT_EQ(kind_of(*o), objects[i]["kind"].get<std::string>()) << "layer " << number << " #" << i + 1;
            EXPECT_EQ(o->name, objects[i]["name"].get<std::string>()) << "layer " << number << " #" << i + 1;
        }
    }
    std::size_t on_layers = 0;
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l) on_layers += doc_->count_on_layer(l);
    EXPECT_EQ(on_layers, total) << "nothing else was imported";
}

TEST_F(SampleImportTest, ElectrodesCarryTheirAttributesBoxesAndReferenceLines) {
    ASSERT_TRUE(result_->ok) << result_->error;
    for (const auto& electrode : (*expected_)["electrodes"]) {
        const int layer = electrode["layer"];
        const cadhost::Object* body = doc_->find(object_at(layer, electrode["index"]));
        ASSERT_NE(body, nullptr);
        SCOPED_TRACE(electrode["name"].get<std::string>() + " on layer " + std::to_string(layer));

        json attributes = json::object();
        for (const auto& a : body->attributes) {
            if (const int* i = std::get_if<int>(&a.value))
                attributes[a.title] = {{"integer", *i}};
            else if (const double* r = std::get_if<double>(&a.value))
                attributes[a.title] = {{"real", *r}};
            else
                attributes[a.title] = {{"string", std::get<std::string>(a.value)}};
        }
        const json wanted = electrode["attributes"].is_null() ? json::object() : electrode["attributes"];
        EXPECT_EQ(attributes, wanted);

        double box[6];
        ASSERT_TRUE(cadhost::geometry::exact_box(body->as<cadhost::BodyData>()->shape, box));
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(box[k], electrode["body_box"]["min"][k].get<double>(), 1e-6);
            EXPECT_NEAR(box[k + 3], electrode["body_box"]["max"][k].get<double>(), 1e-6);
        }

        // The reference point lies at the middle of one diagonal line on the electrode's layer.
        gp_Pnt reference(electrode["reference_point"][0], electrode["reference_point"][1],
                         electrode["reference_point"][2]);
        bool found = false;
        for (tag_t t = doc_->next_on_layer(layer, NULL_TAG); t != NULL_TAG; t = doc_->next_on_layer(layer, t)) {
            if (const auto* line = doc_->find(t)->as<cadhost::LineData>()) {
                gp_Pnt middle((line->start.XYZ() + line->end.XYZ()) / 2);
                found = found || middle.Distance(reference) < 1e-9;
            }
        }
        EXPECT_TRUE(found);

        if (!electrode["single_side_point"].is_null()) {
            const auto& p = electrode["single_side_point"];
            bool circle = false;
            for (tag_t t = doc_->next_on_layer(layer, NULL_TAG); t != NULL_TAG; t = doc_->next_on_layer(layer, t)) {
                if (const auto* arc = doc_->find(t)->as<cadhost::ArcData>())
                    circle = circle || arc->position.Location().Distance(gp_Pnt(p[0], p[1], p[2])) < 1e-9;
            }
            EXPECT_TRUE(circle) << "a circle marks the single-side point";
        }
    }
}

TEST_F(SampleImportTest, TheCoreHasCurvedFacesAndItsBox) {
    ASSERT_TRUE(result_->ok) << result_->error;
    const auto& core = (*expected_)["core"];
    const cadhost::Object* body = doc_->find(object_at(core["layer"], core["index"]));
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->name, "CORE");
    double box[6];
    ASSERT_TRUE(cadhost::geometry::exact_box(body->as<cadhost::BodyData>()->shape, box));
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(box[k], core["box"]["min"][k].get<double>(), 1e-6);
        EXPECT_NEAR(box[k + 3], core["box"]["max"][k].get<double>(), 1e-6);
    }
    auto topology = body->as<cadhost::BodyData>()->topology();
    int curved = 0;
    for (int i = 1; i <= topology->faces.Extent(); ++i)
        curved += cadhost::geometry::face_type_code(TopoDS::Face(topology->faces(i))) != 22;
    EXPECT_GT(curved, 0);
}

}  // namespace
