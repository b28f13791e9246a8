// quillon export --glb: the 3D model of a real part, read back as a viewer reads it: one node per visible solid body,
// named as the body, with its layer and role, and the box of its mesh that of the body in millimetres and model axes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/model_export.h"
#include "cadhost/partfile/part_file.h"
#include "cli/in_process.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::uint32_t word(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// The JSON chunk of a GLB file, as any reader of the format finds it.
json glb_json(const std::string& path, std::size_t& size) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();
    size = bytes.size();
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(word(bytes, 4), 2u);
    EXPECT_EQ(word(bytes, 8), bytes.size());
    EXPECT_EQ(word(bytes, 16), 0x4E4F534Au);  // JSON
    const std::uint32_t length = word(bytes, 12);
    EXPECT_EQ(length % 4, 0u);
    const std::size_t bin = 20 + length;
    EXPECT_EQ(word(bytes, bin + 4), 0x004E4942u);  // BIN
    EXPECT_EQ(bin + 8 + word(bytes, bin), bytes.size());
    return json::parse(bytes.substr(20, length));
}

class ModelExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quillon_glb_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string example(const char* name) { return std::string(QUILLON_SOURCE_DIR) + "/examples/" + name; }
    fs::path dir_;
};

TEST_F(ModelExportTest, EachVisibleSolidIsANodeWithItsNameRoleAndBox) {
    const auto imported = cli_test::quillon({"import", example("sample_mould.step"), "--attrs",
                                             example("sample_mould.attrs.json"), "-o", path("mould.prt")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const auto exported = cli_test::quillon({"export", path("mould.prt"), "--glb"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("bodies meshed"), std::string::npos) << exported.out;

    std::size_t size = 0;
    const json gltf = glb_json(path("mould.glb"), size);
    EXPECT_EQ(gltf["asset"]["version"], "2.0");
    EXPECT_EQ(gltf["asset"]["extras"]["unit"], "mm");

    cadhost::partfile::LoadedPart part;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(path("mould.prt"), part, error)) << error;
    const auto bodies = cadhost::cli::model_bodies(part.document, 240);
    ASSERT_EQ(bodies.size(), 9u);  // the core and eight electrodes

    // Two bodies of a layer may share a name (E02 here): the layer and the count on it tell them apart.
    std::map<std::pair<int, int>, json> nodes;
    for (const auto& node : gltf["nodes"])
        if (node.contains("mesh")) nodes[{node["extras"]["layer"], node["extras"]["index_on_layer"]}] = node;
    ASSERT_EQ(nodes.size(), bodies.size());
    for (const auto& body : bodies) {
        SCOPED_TRACE(body.name);
        const json& node = nodes[{body.layer, body.index_on_layer}];
        EXPECT_EQ(node["name"], body.name);
        EXPECT_EQ(node["extras"]["count_on_layer"], body.layer == 2 ? 2 : 1);
        EXPECT_EQ(node["extras"]["role"], body.layer == 240 ? "core" : "electrode");
        EXPECT_FALSE(node.contains("matrix") || node.contains("scale") || node.contains("rotation"));
        const json& primitive = gltf["meshes"][node["mesh"].get<std::size_t>()]["primitives"][0];
        const json& accessor = gltf["accessors"][primitive["attributes"]["POSITION"].get<std::size_t>()];
        Bnd_Box box;
        BRepBndLib::AddOptimal(body.shape, box, false, false);
        double lo[3], hi[3];
        box.Get(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
        const double slack = 0.01 + cadhost::model3d::mesh_tolerance(body.shape);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(accessor["min"][axis].get<double>(), lo[axis], slack) << "axis " << axis;
            EXPECT_NEAR(accessor["max"][axis].get<double>(), hi[axis], slack) << "axis " << axis;
        }
    }
    EXPECT_LT(size, std::size_t{4} << 20);

    // With a folder the model goes there; a part without a visible solid writes none.
    const auto into = cli_test::quillon({"export", path("mould.prt"), "--glb", "-o", path("out"), "--core-layer", "1"});
    ASSERT_EQ(into.status, 0) << into.err;
    EXPECT_TRUE(fs::exists(path("out/mould.glb")));
    const json other = glb_json(path("out/mould.glb"), size);
    int cores = 0;
    for (const auto& node : other["nodes"]) cores += node.contains("extras") && node["extras"]["role"] == "core";
    EXPECT_EQ(cores, 1) << "the core is the core layer's body";
    EXPECT_EQ(cli_test::quillon({"export", path("mould.prt"), "--glb", "--core-layer", "0"}).status, 2);
}

}  // namespace
