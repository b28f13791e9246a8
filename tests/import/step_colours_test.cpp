// Colours of a STEP model's styled items: on a product, on one solid of a product, on the faces only; carried out of
// the translating child and into the part's bodies.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS_Iterator.hxx>
#include <gp_Trsf.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include "cadhost/import/import_model.h"
#include "cadhost/import/step_reader.h"
#include "step_test_files.h"

namespace {

using namespace step_files;

Quantity_Color shown(std::uint32_t rgb) {
    return Quantity_Color((rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          Quantity_TOC_sRGB);
}

// CORE: a grey product. E01: a copper product of two solids, the second styled blue on its own. E02: every face
// red, the solid itself unstyled. PLAIN: no style at all.
void write_styled_model(const std::string& path) {
    Handle(XCAFApp_Application) app = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) doc;
    app->NewDocument("MDTV-XCAF", doc);
    Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
    Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(doc->Main());
    auto product = [&](const TopoDS_Shape& shape, const char* name) {
        const TDF_Label label = shapes->AddShape(shape, false, false);
        TDataStd_Name::Set(label, name);
        return label;
    };
    colours->SetColor(product(box(-50, -50, -20, 100, 100, 20), "CORE"), shown(0x8C8C8C), XCAFDoc_ColorSurf);
    const TopoDS_Shape pair = two_boxes();
    const TDF_Label e01 = product(pair, "E01");
    colours->SetColor(e01, shown(0xB87333), XCAFDoc_ColorGen);
    TopoDS_Iterator second(pair);
    second.Next();
    colours->SetColor(shapes->AddSubShape(e01, second.Value()), shown(0x1F4FBF), XCAFDoc_ColorSurf);
    const TopoDS_Shape e02_shape = box(0, 40, 0, 5, 5, 5);
    const TDF_Label e02 = product(e02_shape, "E02");
    for (TopExp_Explorer face(e02_shape, TopAbs_FACE); face.More(); face.Next())
        colours->SetColor(shapes->AddSubShape(e02, face.Current()), shown(0xCC0000), XCAFDoc_ColorSurf);
    product(box(0, -40, 0, 5, 5, 5), "PLAIN");

    Interface_Static::SetCVal("write.step.schema", "AP214IS");
    STEPCAFControl_Writer writer;
    writer.SetColorMode(true);
    writer.SetNameMode(true);
    ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
    ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
    app->Close(doc);
}

TEST(StepColours, EachBodyTakesTheColourOfItsOwnStyleElseOfItsProductElseOfItsFaces) {
    Folder dir;
    const std::string path = dir.file("styled.step");
    write_styled_model(path);
    // The file's numbers are those of the colour as shown: 184, 115, 51 of 255 for copper.
    ASSERT_NE(read_text(path).find("COLOUR_RGB('',0.7215686"), std::string::npos);

    // Read through the translating child, as every import reads.
    const cadhost::import::StepReadResult result = cadhost::import::read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    std::map<std::string, std::vector<std::optional<std::uint32_t>>> colours;
    for (const auto& object : result.objects) colours[object.name].push_back(object.colour);
    using Colours = std::vector<std::optional<std::uint32_t>>;
    EXPECT_EQ(colours["CORE"], Colours{0x8C8C8C});
    EXPECT_EQ(colours["E01"], (Colours{0xB87333, 0x1F4FBF}));
    EXPECT_EQ(colours["E02"], Colours{0xCC0000});
    EXPECT_EQ(colours["PLAIN"], Colours{std::nullopt});

    // The part's bodies keep them; an attribute file's colour wins over the model's.
    const std::string attrs = dir.file("styled.attrs.json");
    std::ofstream(attrs) << R"({"quillon_attrs": 1, "objects": [{"layer": 1, "index": 4, "color": "#00FF00"}]})";
    cadhost::Document doc;
    const auto imported = cadhost::import::import_step(path, attrs, doc);
    ASSERT_TRUE(imported.ok) << imported.error;
    std::vector<std::optional<std::uint32_t>> bodies;
    for (tag_t tag = doc.next_on_layer(1, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(1, tag))
        bodies.push_back(doc.find(tag)->rgb);
    EXPECT_EQ(bodies, (Colours{0x8C8C8C, 0xB87333, 0x1F4FBF, 0x00FF00, std::nullopt}));
}

// An assembly holds one electrode product twice; the second occurrence is styled on its own, over its product.
TEST(StepColours, AnOccurrenceStyledOnItsOwnWinsOverItsProduct) {
    Folder dir;
    const std::string path = dir.file("occurrences.step");
    Handle(XCAFApp_Application) app = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) doc;
    app->NewDocument("MDTV-XCAF", doc);
    Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
    Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(doc->Main());
    const TDF_Label electrode = shapes->AddShape(box(0, 0, 0, 5, 5, 5), false, false);
    TDataStd_Name::Set(electrode, "E01");
    colours->SetColor(electrode, shown(0xB87333), XCAFDoc_ColorGen);
    const TDF_Label assembly = shapes->NewShape();
    TDataStd_Name::Set(assembly, "MOULD");
    gp_Trsf moved;
    moved.SetTranslation(gp_Vec(20, 0, 0));
    shapes->AddComponent(assembly, electrode, TopLoc_Location());
    const TDF_Label second = shapes->AddComponent(assembly, electrode, TopLoc_Location(moved));
    colours->SetColor(second, shown(0x1F4FBF), XCAFDoc_ColorGen);
    shapes->UpdateAssemblies();
    STEPCAFControl_Writer writer;
    writer.SetColorMode(true);
    ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
    ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
    app->Close(doc);

    const cadhost::import::StepReadResult result = cadhost::import::read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    std::vector<std::optional<std::uint32_t>> colours_read;
    for (const auto& object : result.objects) colours_read.push_back(object.colour);
    EXPECT_EQ(colours_read, (std::vector<std::optional<std::uint32_t>>{0xB87333, 0x1F4FBF}));
}

}  // namespace
