// STEP files for import tests: written with the sample's writer, then changed as text the way other writers or damage
// would change them.
#ifndef QUILLON_TESTS_IMPORT_STEP_TEST_FILES_H
#define QUILLON_TESTS_IMPORT_STEP_TEST_FILES_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Builder.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include "step_writer.h"

namespace step_files {

class Folder {
  public:
    Folder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("quillon_step_" + std::string(test->test_suite_name()) + "_" + test->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline TopoDS_Shape box(double x, double y, double z, double dx, double dy, double dz) {
    return BRepPrimAPI_MakeBox(gp_Pnt(x, y, z), dx, dy, dz).Solid();
}

inline TopoDS_Shape two_boxes() {
    BRep_Builder builder;
    TopoDS_Compound group;
    builder.MakeCompound(group);
    builder.Add(group, box(0, 0, 0, 10, 20, 30));
    builder.Add(group, box(50, 0, 0, 10, 20, 30));
    return group;
}

inline std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string write_model(const std::string& path, const std::vector<sample::ModelObject>& objects) {
    const std::string error = sample::write_step(path, objects);
    EXPECT_EQ(error, "");
    return read_text(path);
}

// Replaces the first occurrence of `from` (which must be there) with `to`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "the written file holds no " << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The text of the entity "#id = ...;" whose line starts with `start` (for example "MANIFOLD_SOLID_BREP"); the n-th
// one (from 0).
inline std::string entity_line(const std::string& text, const std::string& start, int n = 0) {
    std::size_t at = 0;
    for (int seen = -1; seen < n; ++seen) {
        at = text.find("= " + start + "(", at + 1);
        if (at == std::string::npos) return {};
    }
    const auto begin = text.rfind('#', at);
    return text.substr(begin, text.find(';', at) - begin + 1);
}

// An electrode as a product: a pin held by its top, with the diagonal line across the top that marks its reference
// point.
inline TopoDS_Shape pin_with_diagonal(double width, double height) {
    BRep_Builder builder;
    TopoDS_Compound pin;
    builder.MakeCompound(pin);
    builder.Add(pin, box(0, 0, 0, width, width, height));
    builder.Add(pin, BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, height), gp_Pnt(width, width, height)).Edge());
    return pin;
}

// A mould as a CAD system without layers writes it: an assembly "MOULD" of a core ("MOULD CORE"), the electrodes E01,
// E02 (placed twice: a pair of copies) and E03, each standing on the core with its diagonal line, and a line far from
// every solid. No object is on a layer.
inline void write_layerless_mould(const std::string& path) {
    Handle(TDocStd_Document) doc;
    XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
    Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
    const TDF_Label assembly = shapes->NewShape();
    TDataStd_Name::Set(assembly, "MOULD");
    auto place = [&](const TopoDS_Shape& shape, const char* name, std::vector<gp_Vec> at) {
        const TDF_Label part = shapes->AddShape(shape, false);
        TDataStd_Name::Set(part, name);
        for (const gp_Vec& offset : at) {
            gp_Trsf move;
            move.SetTranslation(offset);
            shapes->AddComponent(assembly, part, TopLoc_Location(move));
        }
    };
    place(box(-50, -50, -30, 100, 100, 30), "MOULD CORE", {gp_Vec()});
    place(pin_with_diagonal(10, 20), "E01", {gp_Vec(5, 5, 0)});
    place(pin_with_diagonal(12, 20), "E02", {gp_Vec(20, -30, 0), gp_Vec(-40, 20, 0)});
    place(pin_with_diagonal(8, 15), "E03", {gp_Vec(-30, -30, 0)});
    place(BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 200), gp_Pnt(50, 0, 200)).Edge(), "SKETCH", {gp_Vec()});
    shapes->UpdateAssemblies();
    STEPCAFControl_Writer writer;
    ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
    ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
    XCAFApp_Application::GetApplication()->Close(doc);
}

// Every occurrence of `from` replaced with `to`.
inline std::string all_replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// An assembly "ASSEMBLY" of one product "PART", a box of 10 x 20 x 30 mm at the origin, placed at `offset`.
inline void write_placed_part(const std::string& path, const gp_Vec& offset) {
    Handle(TDocStd_Document) doc;
    XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
    Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
    const TDF_Label assembly = shapes->NewShape();
    TDataStd_Name::Set(assembly, "ASSEMBLY");
    const TDF_Label part = shapes->AddShape(box(0, 0, 0, 10, 20, 30), false);
    TDataStd_Name::Set(part, "PART");
    gp_Trsf move;
    move.SetTranslation(offset);
    shapes->AddComponent(assembly, part, TopLoc_Location(move));
    shapes->UpdateAssemblies();
    STEPCAFControl_Writer writer;
    ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
    ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
    XCAFApp_Application::GetApplication()->Close(doc);
}

}  // namespace step_files

#endif
