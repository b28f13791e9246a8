// The bundled sample moulds collect without a message, and every record is what their generator built.
#include <fstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cadhost/import/import_model.h"
#include "electrodes/electrode_fixture.h"
#include "quillon/collection.h"
#include "quillon/core_scan.h"

namespace {

using nlohmann::json;

class SampleMould : public electrodes_test::ElectrodeTest {
  protected:
    void SetUp() override { load("sample_mould"); }
    void load(const std::string& stem) {
        ElectrodeTest::SetUp();
        const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        auto part = std::make_unique<cadhost::Part>();
        part->path = "/parts/" + stem + ".prt";
        const auto imported =
            cadhost::import::import_step(examples + stem + ".step", examples + stem + ".attrs.json", part->document);
        ASSERT_TRUE(imported.ok) << imported.error;
        session().set_display_part(std::move(part));
        std::ifstream in(examples + stem + ".expected.json");
        expected_ = json::parse(in);
    }
    static void expect_point(const double p[3], const json& want, const std::string& what) {
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], want[i].get<double>(), 1e-9) << what << " " << i;
    }
    // Collects the layers and compares every record with the generator's electrode in the same place.
    void expect_layers_as_built(int from, int to) {
        elec_entry* head = nullptr;
        ASSERT_EQ(collect_electrodes(from, to, &head), 1) << (messages().empty() ? "" : messages().front());
        EXPECT_TRUE(messages().empty());
        std::vector<const json*> wanted;
        for (const json& e : expected_["electrodes"])
            if (e["layer"].get<int>() >= from && e["layer"].get<int>() <= to) wanted.push_back(&e);
        std::size_t n = 0;
        for (const elec_entry* e = head; e; e = e->next, ++n) {
            ASSERT_LT(n, wanted.size());
            expect_record(e->data, *wanted[n]);
        }
        EXPECT_EQ(n, wanted.size());
        free_elec_list(head);
    }
    void expect_record(const elec_data& r, const json& want) const {
        const std::string what = want["name"].get<std::string>() + " on layer " + std::to_string(r.elec_layer);
        EXPECT_EQ(r.elec_layer, want["layer"].get<int>()) << what;
        EXPECT_EQ(r.elec_direction, want["direction"].get<int>()) << what;
        EXPECT_EQ(r.not_have_base, !want["has_base"].get<bool>()) << what;
        EXPECT_EQ(r.chamfer_corner, want["chamfer_corner"].get<int>()) << what;
        EXPECT_EQ(r.elec_name, want["has_base"].get<bool>() ? want["name"].get<std::string>() : "") << what;
        expect_point(r.elec_point, want["reference_point"], what + " reference");
        expect_point(r.elec_box_min, want["body_box"]["min"], what + " box min");
        expect_point(r.elec_box_max, want["body_box"]["max"], what + " box max");
        const json zero = json::array({0, 0, 0});
        const bool working = !want["working_box"].is_null();
        expect_point(r.elec_body_min, working ? want["working_box"]["min"] : zero, what + " working min");
        expect_point(r.elec_body_max, working ? want["working_box"]["max"] : zero, what + " working max");
        EXPECT_EQ(r.have_att_side_pt, !want["single_side_point"].is_null()) << what;
        if (r.have_att_side_pt) expect_point(r.att_side_pt, want["single_side_point"], what + " touch point");
        // Copies on one layer are numbered among themselves, in the order the generator made them.
        int on_layer = 0, index = 0;
        for (const json& other : expected_["electrodes"]) {
            if (other["layer"] != want["layer"]) continue;
            ++on_layer;
            if (&other == &want) index = on_layer;
        }
        EXPECT_EQ(r.elec_layer_count, on_layer) << what;
        EXPECT_EQ(r.elec_layer_index, index) << what;
    }
    json expected_;
};

TEST_F(SampleMould, ElectrodesWithBaseAreAsBuilt) {
    expect_layers_as_built(1, 5);
    expect_layers_as_built(7, 239);
}

// The round pin E06 is recognised by its diagonal line across a side of the body's edge box. That box samples the
// pin's full circles at 0.02 mm, and the host's points miss the circles' quadrant points by up to 0.0195 mm, so box
// and line disagree in the third decimal. To be enabled once the host's points reach the extremes of such circles.
TEST_F(SampleMould, RoundPinWithoutBaseIsAsBuilt) { expect_layers_as_built(6, 6); }

TEST_F(SampleMould, CoreBoxIsTheGenerators) {
    double lo[3], hi[3];
    ASSERT_EQ(scan_core_layer(expected_["core"]["layer"].get<int>(), lo, hi), 1);
    expect_point(lo, expected_["core"]["box"]["min"], "core min");
    expect_point(hi, expected_["core"]["box"]["max"], "core max");
}

// One electrode on each side of the core: every direction is recognised where it was built.
class DirectionsMould : public SampleMould {
  protected:
    void SetUp() override { load("directions_mould"); }
};

TEST_F(DirectionsMould, EveryDirectionIsAsBuilt) {
    ASSERT_EQ(expected_["electrodes"].size(), 6u);
    expect_layers_as_built(1, 6);
    double lo[3], hi[3];
    ASSERT_EQ(scan_core_layer(expected_["core"]["layer"].get<int>(), lo, hi), 1);
    expect_point(lo, expected_["core"]["box"]["min"], "core min");
    expect_point(hi, expected_["core"]["box"]["max"], "core max");
}

}  // namespace
