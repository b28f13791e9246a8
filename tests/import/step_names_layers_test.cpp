// Names and layers of imported objects as other systems write them: names on representation items, on products, on
// assembly occurrences only; layer names that carry a number in words; a layer map; a file in inches.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include "cadhost/import/import_model.h"
#include "cadhost/import/layer_mapping.h"
#include "cadhost/import/object_names.h"
#include "cadhost/import/name_pattern.h"
#include "cadhost/import/step_reader.h"
#include "step_test_files.h"

#include <BRepBuilderAPI_MakeVertex.hxx>

namespace {

using namespace step_files;
using cadhost::Document;
using cadhost::import::ImportOptions;
using cadhost::import::layer_of_name;
using cadhost::import::read_step_file;
using cadhost::import::StepReadResult;

std::vector<std::string> names_of(const StepReadResult& result) {
    std::vector<std::string> names;
    for (const auto& object : result.objects) names.push_back(object.name);
    return names;
}

TEST(ImportNames, EachSolidOfAProductTakesItsOwnItemName) {
    Folder dir;
    const std::string path = dir.file("blocks.step");
    std::string text = write_model(path, {{two_boxes(), "BLOCKS", "1"}});
    const std::string first = entity_line(text, "MANIFOLD_SOLID_BREP", 0);
    const std::string second = entity_line(text, "MANIFOLD_SOLID_BREP", 1);
    text = replaced(text, first, replaced(first, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('E01'"));
    text = replaced(text, second, replaced(second, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('E02'"));
    write_text(path, text);

    const StepReadResult result = read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(names_of(result), (std::vector<std::string>{"E01", "E02"}));
    EXPECT_TRUE(result.problems.empty());
}

TEST(ImportNames, UnnamedItemsTakeTheProductNameAndNoneIsNoName) {
    Folder dir;
    const std::string path = dir.file("blocks.step");
    std::string text = write_model(path, {{two_boxes(), "BLOCKS", "1"}});
    const std::string first = entity_line(text, "MANIFOLD_SOLID_BREP", 0);
    // "NONE" is what writers put where they must put a name and have none; it must not hide the product's name.
    text = replaced(text, first, replaced(first, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('NONE'"));
    write_text(path, text);
    const StepReadResult result = read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(names_of(result), (std::vector<std::string>{"BLOCKS", "BLOCKS"}));

    // Without a product name either, the solids stay unnamed rather than taking a name made up from their kind.
    write_text(path, replaced(text, "PRODUCT('BLOCKS','BLOCKS'", "PRODUCT('',''"));
    const StepReadResult unnamed = read_step_file(path);
    ASSERT_TRUE(unnamed.ok) << unnamed.error;
    EXPECT_EQ(names_of(unnamed), (std::vector<std::string>{"", ""}));
}

TEST(ImportNames, AnAssemblyWithNamesOnlyOnOccurrencesNamesEachPlacement) {
    Folder dir;
    const std::string path = dir.file("assembly.step");
    {
        Handle(TDocStd_Document) doc;
        XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc);
        Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
        const TDF_Label part = shapes->AddShape(box(0, 0, 0, 1, 2, 3), false);
        TDataStd_Name::Set(part, "PART");
        const TDF_Label assembly = shapes->NewShape();
        TDataStd_Name::Set(assembly, "ASSEMBLY");
        gp_Trsf first, second;
        first.SetTranslation(gp_Vec(100, 0, 0));
        second.SetTranslation(gp_Vec(0, 50, 0));
        TDataStd_Name::Set(shapes->AddComponent(assembly, part, TopLoc_Location(first)), "E07");
        TDataStd_Name::Set(shapes->AddComponent(assembly, part, TopLoc_Location(second)), "E08");
        shapes->UpdateAssemblies();
        STEPCAFControl_Writer writer;
        ASSERT_TRUE(writer.Transfer(doc, STEPControl_AsIs));
        ASSERT_EQ(writer.Write(path.c_str()), IFSelect_RetDone);
        XCAFApp_Application::GetApplication()->Close(doc);
    }
    const std::string text = read_text(path);
    std::string unnamed_products = replaced(text, "PRODUCT('PART','PART'", "PRODUCT('',''");
    unnamed_products = replaced(unnamed_products, "PRODUCT('ASSEMBLY','ASSEMBLY'", "PRODUCT('',''");
    write_text(path, unnamed_products);
    const StepReadResult result = read_step_file(path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(names_of(result), (std::vector<std::string>{"E07", "E08"}));

    // Unnamed occurrences: the reader's references to its own labels ("=>[0:1:1:2]") are no names, and the
    // product's name shows through.
    std::string unnamed_occurrences = text;
    for (const char* name : {"'1','E07'", "'2','E08'"})
        unnamed_occurrences = replaced(unnamed_occurrences, std::string("NEXT_ASSEMBLY_USAGE_OCCURRENCE(") + name,
                                       "NEXT_ASSEMBLY_USAGE_OCCURRENCE('',''");
    write_text(path, unnamed_occurrences);
    const StepReadResult products = read_step_file(path);
    ASSERT_TRUE(products.ok) << products.error;
    EXPECT_EQ(names_of(products), (std::vector<std::string>{"PART", "PART"}));
    write_text(path, replaced(unnamed_occurrences, "PRODUCT('PART','PART'", "PRODUCT('',''"));
    const StepReadResult none = read_step_file(path);
    ASSERT_TRUE(none.ok) << none.error;
    EXPECT_EQ(names_of(none), (std::vector<std::string>{"", ""}));
}

// Made-up names give way to the product's, in every language a CAD system names its bodies in; a designer's name
// never does, however short or numeric-looking.
TEST(ImportNames, OnlyNamesMadeUpByDefaultCountAsDefaults) {
    using cadhost::import::chosen_name;
    using cadhost::import::is_default_body_name;
    using cadhost::import::NameSource;
    for (const char* made_up : {"Body",          "Body16",       "PartBody",         "Solid1",
                                "*SOL22",        "Solid 3",      "Body.001",         "Body(2)",
                                "Boss-Extrude1", "Cut-Extrude5", "Part1 Brep Model", "96A",
                                "1F3",           "实体12",       "切除-拉伸5",       "输入1",
                                "圆角1",         "凸台-拉伸2",   "CirPattern1",      "LPattern2",
                                "Mirror3",       "Fillet 4",     "Imported1",        "Solide1",
                                "Corps 2",       "Těleso1",      "Volumenkörper1",   "VOLUMENKÖRPER2",
                                "Sólido3",       "Cuerpo1",      "Corpo2",           "Тело1",
                                "Вытягивание2",  "ボディ1",      "押し出し3",        "Enlèvement de matière-Extrusion2",
                                "Kruhové pole1", "BossExtrude7"})
        EXPECT_TRUE(is_default_body_name(made_up)) << made_up;
    for (const char* real : {"E01", "E1", "EA", "CORE", "模仁", "Electrode 3", "BODY-A", "12", "PLATE2", "L-BRACKET",
                             "", "Düse", "电极5", "Einsatz 2", "DE"})
        EXPECT_FALSE(is_default_body_name(real)) << real;
    EXPECT_EQ(chosen_name("Volumenkörper1", "E07", NameSource::automatic), "E07");
    EXPECT_EQ(chosen_name("E07", "Part3", NameSource::automatic), "E07");
    EXPECT_EQ(chosen_name("切除-拉伸5", "Part1", NameSource::automatic), "切除-拉伸5") << "no real name to give way to";
}

TEST(ImportLayers, NamesHoldingOneLayerNumberMapToIt) {
    EXPECT_EQ(layer_of_name("240"), 240);
    EXPECT_EQ(layer_of_name("1"), 1);
    EXPECT_EQ(layer_of_name("256"), 256);
    EXPECT_EQ(layer_of_name("L1"), 1);
    EXPECT_EQ(layer_of_name("Layer 240"), 240);
    EXPECT_EQ(layer_of_name("layer_007"), 7);
    EXPECT_EQ(layer_of_name("007"), 7);
    EXPECT_EQ(layer_of_name("电极 12 层"), 12);
    for (const char* none : {"", "CORE", "0", "257", "Layer 300", "L1-2", "L0", "layer 99999999999999999999"})
        EXPECT_EQ(layer_of_name(none), 0) << none;
}

TEST(ImportLayers, EachFormLandsOnItsLayerWithANotePerMapping) {
    Folder dir;
    const std::string path = dir.file("layers.step");
    write_model(path, {{box(0, 0, 0, 1, 1, 1), "A", "240"},
                       {box(2, 0, 0, 1, 1, 1), "B", "L1"},
                       {box(4, 0, 0, 1, 1, 1), "C", "Layer 240"},
                       {box(6, 0, 0, 1, 1, 1), "D", "layer_007"},
                       {box(8, 0, 0, 1, 1, 1), "E", "CORE"},
                       {box(10, 0, 0, 1, 1, 1), "F", "L1"}});
    Document doc;
    const auto result = cadhost::import::import_step(path, ImportOptions{}, doc);
    ASSERT_TRUE(result.ok) << result.error;
    auto layer_of = [&doc](const std::string& name) {
        for (const auto& [tag, object] : doc.objects())
            if (object.name == name) return object.layer;
        return 0;
    };
    EXPECT_EQ(layer_of("A"), 240);
    EXPECT_EQ(layer_of("B"), 1);
    EXPECT_EQ(layer_of("C"), 240);
    EXPECT_EQ(layer_of("D"), 7);
    EXPECT_EQ(layer_of("E"), 1);
    EXPECT_EQ(layer_of("F"), 1);
    const std::vector<std::string> expected = {
        "1 object of layer \"CORE\" placed on layer 1 (the name holds no single layer number 1 to 256; --layer-map "
        "or --auto-layers can give one)",
        "2 objects of layer \"L1\" placed on layer 1 (the number in its name)",
        "1 object of layer \"Layer 240\" placed on layer 240 (the number in its name)",
        "1 object of layer \"layer_007\" placed on layer 7 (the number in its name)"};
    EXPECT_EQ(result.notes, expected);
    EXPECT_EQ(result.length_unit, "millimetre");
}

TEST(ImportLayers, ALayerMapWinsOverNumbersInNames) {
    Folder dir;
    const std::string path = dir.file("layers.step");
    write_model(path, {{box(0, 0, 0, 1, 1, 1), "CORE", "MOULD CORE"},
                       {box(2, 0, 0, 1, 1, 1), "E01", "L1"},
                       {box(4, 0, 0, 1, 1, 1), "E02", "7"}});
    ImportOptions options;
    std::string error;
    ASSERT_TRUE(cadhost::import::parse_layer_map("# name, number\n\nMOULD CORE\t240\n  L1   3  \n7 9\nUNUSED 4\n",
                                                 "map.txt", options.layer_map, error))
        << error;
    Document doc;
    const auto result = cadhost::import::import_step(path, options, doc);
    ASSERT_TRUE(result.ok) << result.error;
    std::map<std::string, int> layers;
    for (const auto& [tag, object] : doc.objects()) layers[object.name] = object.layer;
    EXPECT_EQ(layers["CORE"], 240);
    EXPECT_EQ(layers["E01"], 3);
    EXPECT_EQ(layers["E02"], 9);
    EXPECT_NE(std::find(result.notes.begin(), result.notes.end(),
                        "1 object placed on layer 240 by line 3 of the layer map (\"MOULD CORE\")"),
              result.notes.end());
    EXPECT_NE(std::find(result.notes.begin(), result.notes.end(),
                        "line 6 of the layer map (\"UNUSED\") matches no layer, object or product name"),
              result.notes.end());
}

TEST(ImportLayers, ABadLayerMapIsRefusedWithItsLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"L1 1\nL2\n", "line 2: expected a layer name and a layer number"},
        {"L1 257\n", "line 1: \"257\" is not a layer number (1 to 256)"},
        {"L1 x\n", "line 1: \"x\" is not a layer number"},
        {"\nL1 2\nl1 3\n", "line 3: \"l1\" is given twice (first on line 2)"},
        {"E[0-9 2\n", "line 1: \"E[0-9\": a '[' without its ']'"},
        {"E\\ 2\n", "line 1: \"E\\\": a '\\' at the end takes no character"},
        {"L1 99999999999999999999\n", "line 1: \"99999999999999999999\" is not a layer number"},
    };
    for (const auto& [text, message] : cases) {
        cadhost::import::LayerMap map;
        std::string error;
        EXPECT_FALSE(cadhost::import::parse_layer_map(text, "map.txt", map, error)) << text;
        EXPECT_NE(error.find("layer map 'map.txt', " + message), std::string::npos) << error;
    }
    cadhost::import::LayerMap map;
    std::string error;
    EXPECT_FALSE(cadhost::import::read_layer_map("/no/such/map.txt", map, error));
    EXPECT_NE(error.find("/no/such/map.txt"), std::string::npos);
}

TEST(ImportLayers, PatternsMatchNamesAndNumbersMatchWithLeadingZeros) {
    auto matches = [](const std::string& pattern, const std::string& name) {
        cadhost::import::NamePattern p;
        std::string error;
        EXPECT_TRUE(p.parse(pattern, error)) << pattern << ": " << error;
        return p.matches(name);
    };
    for (const auto& [pattern, name] : std::vector<std::pair<std::string, std::string>>{{"CORE*", "core insert"},
                                                                                        {"E??", "E07"},
                                                                                        {"50", "050"},
                                                                                        {"050", "50"},
                                                                                        {"Layer 50", "layer 0050"},
                                                                                        {"E1", "E01"},
                                                                                        {"*", ""},
                                                                                        {"*CORE*", "MOULD CORE"},
                                                                                        {"E[0-9]?", "E12"},
                                                                                        {"E[!3]1", "E21"},
                                                                                        {"模仁*", "模仁A"},
                                                                                        {"?仁", "模仁"},
                                                                                        {"\\*x", "*X"},
                                                                                        {"L*50", "L050"},
                                                                                        {"E0?", "E05"},
                                                                                        {"a*b*c*d", "aXbYcZd"}})
        EXPECT_TRUE(matches(pattern, name)) << pattern << " ~ " << name;
    for (const auto& [pattern, name] : std::vector<std::pair<std::string, std::string>>{{"CORE*", "MOULD CORE"},
                                                                                        {"E??", "E100"},
                                                                                        {"50", "500"},
                                                                                        {"E1", "E10"},
                                                                                        {"E1*", "E010"},
                                                                                        {"E[!3]1", "E31"},
                                                                                        {"E[0-9]", "EX"},
                                                                                        {"\\*x", "ax"},
                                                                                        {"?仁", "模模仁"},
                                                                                        {"a*b*c*d", "aXbYcZ"},
                                                                                        {"", "x"}})
        EXPECT_FALSE(matches(pattern, name)) << pattern << " ~ " << name;
    // Hundreds of stars against a long name that almost matches: decided at once, not by trying every split.
    std::string stars, name(9000, 'a');
    for (int i = 0; i < 450; ++i) stars += "*a";
    EXPECT_TRUE(matches(stars + "*", name));
    EXPECT_FALSE(matches(stars + "*b", name));
    EXPECT_TRUE(matches(stars + "*7", name + "007"));
}

TEST(ImportLayers, MapLinesMatchLayerObjectAndProductNamesAndTheFirstWins) {
    Folder dir;
    const std::string path = dir.file("mould.step");
    write_layerless_mould(path);
    // A system that names its bodies by a kind and a number, and an import that keeps the body names: E03 is then
    // known by its product's name only.
    std::string text = read_text(path);
    const std::string solid = entity_line(text, "MANIFOLD_SOLID_BREP", 3);
    write_text(path, replaced(text, solid, replaced(solid, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('Body3'")));
    ImportOptions options;
    options.names = cadhost::import::NameSource::body;
    std::string error;
    ASSERT_TRUE(cadhost::import::parse_layer_map("*CORE 240\nE1 1\ne?2 2\nE03 3\nE* 9\n* 250\n", "map.txt",
                                                 options.layer_map, error))
        << error;
    Document doc;
    const auto result = cadhost::import::import_step(path, options, doc);
    ASSERT_TRUE(result.ok) << result.error;
    std::multimap<int, std::string> placed;
    for (const auto& [tag, object] : doc.objects())
        if (object.type == UF_solid_type || object.type == UF_line_type || object.type == UF_point_type)
            placed.emplace(object.layer, object.name);
    const std::multimap<int, std::string> expected = {{1, "E01"},          {1, "E01"},     {2, "E02"},   {2, "E02"},
                                                      {2, "E02"},          {2, "E02"},     {3, "Body3"}, {3, "E03"},
                                                      {240, "MOULD CORE"}, {250, "SKETCH"}};
    EXPECT_EQ(placed, expected);
    EXPECT_NE(std::find(result.notes.begin(), result.notes.end(),
                        "line 5 of the layer map (\"E*\") matches no layer, object or product name"),
              result.notes.end());
}

TEST(ImportLayers, AZeroPaddedLayerNameMatchesItsNumberInTheMap) {
    Folder dir;
    const std::string path = dir.file("padded.step");
    write_model(path, {{box(0, 0, 0, 1, 1, 1), "A", "050"}, {box(2, 0, 0, 1, 1, 1), "B", "L-0007"}});
    ImportOptions options;
    std::string error;
    ASSERT_TRUE(cadhost::import::parse_layer_map("50 240\nL-7 3\n", "map.txt", options.layer_map, error)) << error;
    Document doc;
    const auto result = cadhost::import::import_step(path, options, doc);
    ASSERT_TRUE(result.ok) << result.error;
    std::map<std::string, int> layers;
    for (const auto& [tag, object] : doc.objects()) layers[object.name] = object.layer;
    EXPECT_EQ(layers["A"], 240);
    EXPECT_EQ(layers["B"], 3);
}

TEST(ImportLayers, AutoLayersTakeTheLargestSolidAsCoreWithoutACoreNameAndNumberElectrodesByName) {
    Folder dir;
    const std::string path = dir.file("plain.step");
    // E2 twice, the second turned a quarter about z; E10 after E2 although its name sorts first letter by letter.
    write_model(path, {{box(0, 0, 0, 12, 10, 20), "E10", ""},
                       {box(-100, -100, -50, 200, 200, 50), "PLATE", ""},
                       {box(30, 0, 0, 6, 8, 20), "E2", ""},
                       {box(50, 0, 0, 8, 6, 20), "E2", ""},
                       {box(70, 0, 0, 6, 8, 21), "E2", ""},
                       {BRepBuilderAPI_MakeVertex(gp_Pnt(12, 5, 10)).Vertex(), "", ""},
                       // From E10's corner outwards: it touches E10, but no solid's box holds it.
                       {BRepBuilderAPI_MakeEdge(gp_Pnt(12, 10, 20), gp_Pnt(20, 18, 20)).Edge(), "", ""}});
    ImportOptions options;
    options.auto_layers = true;
    Document doc;
    const auto result = cadhost::import::import_step(path, options, doc);
    ASSERT_TRUE(result.ok) << result.error;
    std::vector<std::pair<std::string, int>> placed;
    for (const auto& [tag, object] : doc.objects())
        if (object.type == UF_solid_type || object.type == UF_point_type || object.type == UF_line_type)
            placed.emplace_back(object.name, object.layer);
    const std::vector<std::pair<std::string, int>> expected = {{"E10", 3}, {"PLATE", 240}, {"E2", 1}, {"E2", 1},
                                                               {"E2", 2},  {"", 3},        {"", 3}};
    EXPECT_EQ(placed, expected);
    EXPECT_NE(result.layer_table.find("\"found_by\":\"the largest solid\""), std::string::npos) << result.layer_table;
}

TEST(ImportUnits, AFileInInchesIsScaledToMillimetresAndSaysSo) {
    Folder dir;
    const std::string path = dir.file("inch.step");
    std::string text = write_model(path, {{box(1, 0, 0, 2, 3, 4), "BLOCK", "1"}});
    // The same numbers, now declared in inches.
    text = replaced(text, "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
                    "( CONVERSION_BASED_UNIT('INCH',#9001) LENGTH_UNIT() NAMED_UNIT(#9002) );\n"
                    "#9001 = LENGTH_MEASURE_WITH_UNIT(LENGTH_MEASURE(25.4),#9003);\n"
                    "#9002 = DIMENSIONAL_EXPONENTS(1.,0.,0.,0.,0.,0.,0.);\n"
                    "#9003 = ( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );");
    write_text(path, text);
    Document doc;
    const auto result = cadhost::import::import_step(path, ImportOptions{}, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.length_unit, "inch");
    const StepReadResult model = read_step_file(path);
    ASSERT_EQ(model.objects.size(), 1u);
    Bnd_Box bounds;
    BRepBndLib::AddOptimal(model.objects[0].shape, bounds, false, false);
    EXPECT_NEAR(bounds.CornerMin().X(), 25.4, 1e-6);
    EXPECT_NEAR(bounds.CornerMax().X(), 3 * 25.4, 1e-6);
    EXPECT_NEAR(bounds.CornerMax().Z(), 4 * 25.4, 1e-6);

    // An assembly in inches of a part in millimetres: the part's numbers are what the user will work in.
    write_placed_part(path, gp_Vec(100, 0, 0));
    write_text(path, replaced(read_text(path), "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
                              "( CONVERSION_BASED_UNIT('INCH',#9001) LENGTH_UNIT() NAMED_UNIT(#9002) );\n"
                              "#9001 = LENGTH_MEASURE_WITH_UNIT(LENGTH_MEASURE(25.4),#9003);\n"
                              "#9002 = DIMENSIONAL_EXPONENTS(1.,0.,0.,0.,0.,0.,0.);\n"
                              "#9003 = ( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );"));
    const StepReadResult assembly = read_step_file(path);
    ASSERT_TRUE(assembly.ok) << assembly.error;
    EXPECT_EQ(assembly.length_unit, "millimetre");
    ASSERT_EQ(assembly.objects.size(), 1u);
    Bnd_Box placed;
    BRepBndLib::Add(assembly.objects[0].shape, placed);
    EXPECT_NEAR(placed.CornerMin().X(), 2540, 1e-3) << "the placement is in the assembly's inches";
    EXPECT_NEAR(placed.CornerMax().X() - placed.CornerMin().X(), 10, 1e-3) << "the part is in its millimetres";
}

}  // namespace
