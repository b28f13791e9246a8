#include "cadhost/import/step_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <Geom_Plane.hxx>
#include <BRepGProp.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_LayerTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>

#include <nlohmann/json.hpp>

#include "cadhost/import/shape_check.h"
#include "step_writer.h"

namespace {

using cadhost::import::read_step_file;
using cadhost::import::StepObject;
using cadhost::import::StepReadResult;

class TempDir {
  public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("step_reader_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

TopoDS_Shape box(double x, double y, double z, double dx, double dy, double dz) {
    return BRepPrimAPI_MakeBox(gp_Pnt(x, y, z), dx, dy, dz).Solid();
}

TopoDS_Shape line(const gp_Pnt& a, const gp_Pnt& b) { return BRepBuilderAPI_MakeEdge(a, b).Edge(); }

TopoDS_Shape circle(const gp_Pnt& centre, double radius) {
    return BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(centre, gp_Dir(0, 0, 1)), radius)).Edge();
}

TopoDS_Shape point(const gp_Pnt& p) { return BRepBuilderAPI_MakeVertex(p).Vertex(); }

double volume(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props);
    return props.Mass();
}

gp_Pnt box_min(const TopoDS_Shape& shape) {
    Bnd_Box bounds;
    BRepBndLib::AddOptimal(shape, bounds, false, false);
    return bounds.CornerMin();
}

void expect_near(const gp_Pnt& actual, const gp_Pnt& expected, const std::string& what) {
    EXPECT_NEAR(actual.X(), expected.X(), 1e-6) << what;
    EXPECT_NEAR(actual.Y(), expected.Y(), 1e-6) << what;
    EXPECT_NEAR(actual.Z(), expected.Z(), 1e-6) << what;
}

StepReadResult write_and_read(const TempDir& dir, const std::vector<sample::ModelObject>& objects) {
    const std::string path = dir.file("model.step");
    const std::string error = sample::write_step(path, objects);
    EXPECT_EQ(error, "");
    StepReadResult result = read_step_file(path);
    EXPECT_TRUE(result.ok) << result.error;
    return result;
}

TEST(StepReaderRoundTrip, KeepsKindsNamesLayersAndOrderOfEveryObject) {
    TempDir dir;
    const std::vector<sample::ModelObject> written = {
        {box(-100, -75, -60, 200, 150, 60), "模仁", "240"},
        {box(10, 10, 0, 40, 30, 20), "E01", "1"},
        {line(gp_Pnt(10, 10, 0), gp_Pnt(50, 40, 0)), "对角线 E01", "1"},
        {circle(gp_Pnt(3, 4, 5), 2.5), "touch", "1"},
        {point(gp_Pnt(7, 8, 9)), "原点", "CORE"},
        {box(-40, -30, 0, 20, 10, 5), "E02", "2"},
        {line(gp_Pnt(-40, -30, 0), gp_Pnt(-20, -20, 0)), "E02 line", "2"},
    };
    const StepReadResult result = write_and_read(dir, written);
    ASSERT_EQ(result.objects.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        const StepObject& object = result.objects[i];
        EXPECT_EQ(object.shape.ShapeType(), written[i].shape.ShapeType()) << "object " << i;
        EXPECT_EQ(object.name, written[i].name) << "object " << i;
        EXPECT_EQ(object.layer_name, written[i].layer) << "object " << i;
    }

    // The geometry must come back where it was written, not merely the right kind of shape.
    EXPECT_NEAR(volume(result.objects[0].shape), 200.0 * 150 * 60, 1e-3);
    expect_near(box_min(result.objects[1].shape), gp_Pnt(10, 10, 0), "E01 corner");
    const TopoDS_Edge diagonal = TopoDS::Edge(result.objects[2].shape);
    expect_near(BRep_Tool::Pnt(TopExp::FirstVertex(diagonal)), gp_Pnt(10, 10, 0), "line start");
    expect_near(BRep_Tool::Pnt(TopExp::LastVertex(diagonal)), gp_Pnt(50, 40, 0), "line end");
    const BRepAdaptor_Curve touch(TopoDS::Edge(result.objects[3].shape));
    ASSERT_EQ(touch.GetType(), GeomAbs_Circle);
    expect_near(touch.Circle().Location(), gp_Pnt(3, 4, 5), "circle centre");
    EXPECT_NEAR(touch.Circle().Radius(), 2.5, 1e-9);
    expect_near(BRep_Tool::Pnt(TopoDS::Vertex(result.objects[4].shape)), gp_Pnt(7, 8, 9), "point");
}

TEST(StepReaderRoundTrip, ObjectsWithoutNameOrLayerComeBackWithout) {
    TempDir dir;
    const StepReadResult result = write_and_read(dir, {
                                                          {box(0, 0, 0, 1, 1, 1), "", "3"},
                                                          {line(gp_Pnt(0, 0, 0), gp_Pnt(1, 1, 0)), "", "3"},
                                                          {box(5, 0, 0, 1, 1, 1), "named", ""},
                                                      });
    ASSERT_EQ(result.objects.size(), 3u);
    EXPECT_EQ(result.objects[0].name, "");
    EXPECT_EQ(result.objects[1].name, "");
    EXPECT_EQ(result.objects[1].layer_name, "3");
    EXPECT_EQ(result.objects[2].name, "named");
    EXPECT_EQ(result.objects[2].layer_name, "");
}

TEST(StepReaderSplitting, CompoundsAndWiresBecomeSingleObjectsThatInheritNameAndLayer) {
    TempDir dir;
    BRep_Builder builder;
    TopoDS_Compound group;
    builder.MakeCompound(group);
    builder.Add(group, box(0, 0, 0, 2, 2, 2));
    builder.Add(group, box(10, 0, 0, 3, 3, 3));
    builder.Add(group, BRepBuilderAPI_MakePolygon(gp_Pnt(0, 0, 5), gp_Pnt(4, 0, 5), gp_Pnt(4, 4, 5)).Wire());

    const StepReadResult result = write_and_read(dir, {{group, "GROUP", "7"}, {box(20, 0, 0, 1, 1, 1), "LAST", "8"}});
    std::vector<TopAbs_ShapeEnum> kinds;
    for (const StepObject& object : result.objects) {
        kinds.push_back(object.shape.ShapeType());
        if (object.name == "LAST") continue;
        EXPECT_EQ(object.name, "GROUP");
        EXPECT_EQ(object.layer_name, "7");
    }
    const std::vector<TopAbs_ShapeEnum> expected = {TopAbs_SOLID, TopAbs_SOLID, TopAbs_EDGE, TopAbs_EDGE, TopAbs_SOLID};
    EXPECT_EQ(kinds, expected);
    ASSERT_EQ(result.objects.size(), expected.size());
    expect_near(box_min(result.objects[1].shape), gp_Pnt(10, 0, 0), "second solid of the group");
    EXPECT_EQ(result.objects.back().name, "LAST");
    EXPECT_EQ(result.objects.back().layer_name, "8");
}

// An assembly places one part twice; each placement must become its own solid at its own place.
TEST(StepReaderSplitting, AssemblyInstancesArePlacedAndNamed) {
    TempDir dir;
    const std::string path = dir.file("assembly.step");
    {
        Handle(TDocStd_Document) doc;
        XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
        Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
        const TDF_Label part = shapes->AddShape(box(0, 0, 0, 1, 2, 3), false);
        TDataStd_Name::Set(part, "PIN");
        const TDF_Label assembly = shapes->NewShape();
        TDataStd_Name::Set(assembly, "ASM");
        gp_Trsf first, second;
        first.SetTranslation(gp_Vec(100, 0, 0));
        second.SetTranslation(gp_Vec(0, 50, 0));
        shapes->AddComponent(assembly, part, TopLoc_Location(first));
        shapes->AddComponent(assembly, part, TopLoc_Location(second));
        shapes->UpdateAssemblies();
        STEPCAFControl_Writer writer;
        ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
        ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
        XCAFApp_Application::GetApplication()->Close(doc);
    }
    const StepReadResult result = read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.objects.size(), 2u);
    expect_near(box_min(result.objects[0].shape), gp_Pnt(100, 0, 0), "first instance");
    expect_near(box_min(result.objects[1].shape), gp_Pnt(0, 50, 0), "second instance");
    for (const StepObject& object : result.objects) {
        EXPECT_EQ(object.shape.ShapeType(), TopAbs_SOLID);
        EXPECT_FALSE(object.name.empty());
    }
}

TEST(StepReaderRefusal, MissingAndForeignFilesAreRefusedNamingTheFile) {
    TempDir dir;
    const std::string missing = dir.file("no_such.step");
    const std::string text = dir.file("notes.step");
    const std::string broken = dir.file("broken.step");
    std::ofstream(text) << "solid cube\n  facet normal 0 0 1\nendsolid\n";
    std::ofstream(broken) << "ISO-10303-21;\nHEADER;\nthis is not an exchange structure\n";
    for (const std::string& path : {missing, text, broken, dir.file("")}) {
        const StepReadResult result = read_step_file(path);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
        EXPECT_TRUE(result.objects.empty()) << path;
    }
}

// The committed sample must read back with everything its generator says it holds.
class CommittedSample : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string dir = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        result_ = new StepReadResult(read_step_file(dir + "sample_mould.step"));
        expected_ = new nlohmann::json(nlohmann::json::parse(std::ifstream(dir + "sample_mould.expected.json")));
        sidecar_ = new nlohmann::json(nlohmann::json::parse(std::ifstream(dir + "sample_mould.attrs.json")));
    }
    static void TearDownTestSuite() {
        delete result_;
        delete expected_;
        delete sidecar_;
    }

    // The objects of one layer, in file order.
    static std::vector<const StepObject*> on_layer(int layer) {
        std::vector<const StepObject*> found;
        for (const StepObject& object : result_->objects) {
            if (object.layer_name == std::to_string(layer)) found.push_back(&object);
        }
        return found;
    }

    static const StepObject* at(int layer, int index) {
        const auto objects = on_layer(layer);
        return index >= 1 && index <= static_cast<int>(objects.size()) ? objects[index - 1] : nullptr;
    }

    static std::string kind_of(const TopoDS_Shape& shape) {
        switch (shape.ShapeType()) {
            case TopAbs_SOLID:
                return "solid";
            case TopAbs_VERTEX:
                return "point";
            case TopAbs_EDGE: {
                const BRepAdaptor_Curve curve(TopoDS::Edge(shape));
                if (curve.GetType() == GeomAbs_Line) return "line";
                if (curve.GetType() == GeomAbs_Circle) return "circle";
                return "other curve";
            }
            default:
                return "other";
        }
    }

    static gp_Pnt to_point(const nlohmann::json& xyz) { return gp_Pnt(xyz[0], xyz[1], xyz[2]); }

    static StepReadResult* result_;
    static nlohmann::json* expected_;
    static nlohmann::json* sidecar_;
};

StepReadResult* CommittedSample::result_ = nullptr;
nlohmann::json* CommittedSample::expected_ = nullptr;
nlohmann::json* CommittedSample::sidecar_ = nullptr;

void expect_box(const TopoDS_Shape& shape, const nlohmann::json& box, const std::string& what) {
    Bnd_Box bounds;
    BRepBndLib::AddOptimal(shape, bounds, false, false);
    const gp_Pnt lo = bounds.CornerMin(), hi = bounds.CornerMax();
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(lo.Coord(i + 1), box["min"][i].get<double>(), 1e-3) << what << " min " << i;
        EXPECT_NEAR(hi.Coord(i + 1), box["max"][i].get<double>(), 1e-3) << what << " max " << i;
    }
}

TEST_F(CommittedSample, EveryLayerHoldsTheObjectsTheGeneratorWroteInOrder) {
    ASSERT_TRUE(result_->ok) << result_->error;
    std::size_t total = 0;
    std::vector<std::string> layer_order;
    for (const StepObject& object : result_->objects) {
        if (layer_order.empty() || layer_order.back() != object.layer_name) layer_order.push_back(object.layer_name);
    }
    std::vector<std::string> expected_order;
    for (const auto& layer : (*expected_)["layers"]) {
        const int number = layer["layer"];
        expected_order.push_back(std::to_string(number));
        const auto objects = on_layer(number);
        ASSERT_EQ(objects.size(), layer["objects"].size()) << "layer " << number;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            EXPECT_EQ(kind_of(objects[i]->shape), layer["objects"][i]["kind"]) << "layer " << number << " #" << i + 1;
            EXPECT_EQ(objects[i]->name, layer["objects"][i]["name"]) << "layer " << number << " #" << i + 1;
        }
        total += objects.size();
    }
    EXPECT_EQ(total, result_->objects.size()) << "objects on layers the expected values do not list";
    EXPECT_EQ(layer_order, expected_order);

    const auto& core = (*expected_)["core"];
    const StepObject* body = at(core["layer"], core["index"]);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->name, core["name"]);
    expect_box(body->shape, core["box"], "core");
}

TEST_F(CommittedSample, ElectrodesSitWhereTheExpectedValuesSay) {
    ASSERT_TRUE(result_->ok) << result_->error;
    for (const auto& e : (*expected_)["electrodes"]) {
        const std::string name = e["name"];
        const StepObject* body = at(e["layer"], e["index"]);
        ASSERT_NE(body, nullptr) << name;
        EXPECT_EQ(body->name, name);
        EXPECT_EQ(body->shape.ShapeType(), TopAbs_SOLID) << name;
        expect_box(body->shape, e["body_box"], name + " body");

        // The diagonal line marks the reference point at its middle; without a base it spans a side of the box.
        const gp_Pnt reference = to_point(e["reference_point"]);
        const TopoDS_Edge* diagonal = nullptr;
        for (const StepObject* object : on_layer(e["layer"])) {
            if (kind_of(object->shape) != "line") continue;
            const TopoDS_Edge& edge = TopoDS::Edge(object->shape);
            const gp_Pnt a = BRep_Tool::Pnt(TopExp::FirstVertex(edge)), b = BRep_Tool::Pnt(TopExp::LastVertex(edge));
            if (gp_Pnt((a.XYZ() + b.XYZ()) / 2).Distance(reference) < 1e-6) diagonal = &edge;
        }
        ASSERT_NE(diagonal, nullptr) << name << ": no line with its middle at the reference point";
        const int direction = e["direction"];
        const int axis = std::abs(direction) == 1 ? 3 : (std::abs(direction) == 2 ? 2 : 1);
        const gp_Pnt a = BRep_Tool::Pnt(TopExp::FirstVertex(*diagonal));
        const gp_Pnt b = BRep_Tool::Pnt(TopExp::LastVertex(*diagonal));
        EXPECT_NEAR(a.Coord(axis), b.Coord(axis), 1e-9) << name << ": the line leaves the base's plane";
        const bool at_max = direction == 1 || direction == -2 || direction == 3;
        const double side = e["body_box"][at_max ? "max" : "min"][axis - 1];
        if (e["has_base"]) {
            EXPECT_GT(std::abs(a.Coord(axis) - side), 1e-3) << name << ": a base's line must not lie on its box";
            ASSERT_FALSE(e["working_box"].is_null()) << name;
        } else {
            EXPECT_NEAR(a.Coord(axis), side, 1e-9) << name << ": a baseless line lies on the held side";
        }

        if (!e["single_side_point"].is_null()) {
            const gp_Pnt touch = to_point(e["single_side_point"]);
            bool circle_found = false;
            for (const StepObject* object : on_layer(e["layer"])) {
                if (kind_of(object->shape) != "circle") continue;
                const BRepAdaptor_Curve curve(TopoDS::Edge(object->shape));
                circle_found = circle_found || curve.Circle().Location().Distance(touch) < 1e-6;
            }
            EXPECT_TRUE(circle_found) << name << ": no circle centred on the touch point";
            EXPECT_DOUBLE_EQ(e["attributes"]["s_x"]["real"].get<double>(), touch.X()) << name;
            EXPECT_DOUBLE_EQ(e["attributes"]["s_y"]["real"].get<double>(), touch.Y()) << name;
            EXPECT_DOUBLE_EQ(e["attributes"]["s_z"]["real"].get<double>(), touch.Z()) << name;
        }
    }
}

TEST_F(CommittedSample, SidecarNamesExistingObjectsWithTheExpectedAttributes) {
    ASSERT_TRUE(result_->ok) << result_->error;
    ASSERT_EQ((*sidecar_)["quillon_attrs"], 1);
    for (const auto& entry : (*sidecar_)["objects"]) {
        const StepObject* object = at(entry["layer"], entry["index"]);
        ASSERT_NE(object, nullptr) << entry.dump();
        if (entry.contains("name")) {
            EXPECT_EQ(object->name, entry["name"]) << entry.dump();
        }
        if (!entry.contains("attributes")) continue;
        bool described = false;
        for (const auto& e : (*expected_)["electrodes"]) {
            if (e["layer"] != entry["layer"] || e["index"] != entry["index"]) continue;
            described = true;
            EXPECT_EQ(e["attributes"], entry["attributes"]) << entry.dump();
        }
        EXPECT_TRUE(described) << "attributes on an object that is no electrode: " << entry.dump();
    }
}

}  // namespace

// The check makes its plane faces' curves before it runs the kernel's checker: a face whose edges lie off its plane
// must still be refused (the curves made are the plain projections, which do not hide the gap), and a sound plate
// with many holes still passes and still reads back from the part file's form.
TEST(ShapeCheck, EdgesOffTheirPlaneAreRefusedAndASoundPlateWithHolesPasses) {
    TopoDS_Shape plate = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, -10), 100, 80, 10).Solid();
    for (int i = 0; i < 12; ++i) {
        const gp_Pnt centre(10 + 7 * i, 20 + 3 * (i % 5), -5);
        plate = BRepAlgoAPI_Cut(plate, BRepPrimAPI_MakeCylinder(gp_Ax2(centre, gp::DZ()), 2, 10).Solid()).Shape();
    }
    TopExp_Explorer only_solid(plate, TopAbs_SOLID);
    ASSERT_TRUE(only_solid.More());
    plate = only_solid.Current();
    std::string bytes;
    EXPECT_EQ(cadhost::import::ShapeChecker().problem(plate, bytes), "");
    EXPECT_FALSE(bytes.empty());

    // The top face's plane lifted 1 mm above its edges.
    TopoDS_Shape lifted = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 20, 30).Solid();
    for (TopExp_Explorer it(lifted, TopAbs_FACE); it.More(); it.Next()) {
        const TopoDS_Face& face = TopoDS::Face(it.Current());
        if (BRep_Tool::Surface(face)->Value(0, 0).Z() < 29) continue;
        BRep_Builder().UpdateFace(face, new Geom_Plane(gp_Pnt(0, 0, 31), gp::DZ()), TopLoc_Location(), 1e-7);
    }
    EXPECT_NE(cadhost::import::ShapeChecker().problem(lifted, bytes).find("the shape checker finds it invalid"),
              std::string::npos);
}
