// Damaged and incomplete models: each problem names the object and what is wrong, the import writes nothing unless
// told to go on without the damaged objects, and the kernel prints nothing of its own.
#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <Bnd_Box.hxx>

#include "cadhost/import/import_model.h"
#include "cadhost/import/step_reader.h"
#include "step_test_files.h"

namespace {

using namespace step_files;
using cadhost::Document;
using cadhost::import::ImportOptions;
using cadhost::import::ImportResult;
using cadhost::import::StepReadResult;

// Two named solids of one product on layer "L1": the first is E01, the second E02.
std::string two_electrodes(const std::string& path) {
    std::string text = write_model(path, {{two_boxes(), "BLOCKS", "L1"}});
    for (int i = 0; i < 2; ++i) {
        const std::string line = entity_line(text, "MANIFOLD_SOLID_BREP", i);
        text =
            replaced(text, line,
                     replaced(line, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('E0" + std::to_string(i + 1) + "'"));
    }
    return text;
}

struct Imported {
    ImportResult result;
    Document doc;
    std::string printed;  // what reached the terminal while importing
};

Imported import(const std::string& path, bool keep_going) {
    Imported imported;
    ImportOptions options;
    options.keep_going = keep_going;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    imported.result = cadhost::import::import_step(path, options, imported.doc);
    imported.printed = ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();
    return imported;
}

std::vector<std::string> solid_names(const Document& doc) {
    std::vector<std::string> names;
    for (const auto& [tag, object] : doc.objects())
        if (object.type == UF_solid_type) names.push_back(object.name);
    return names;
}

// The entity of the first face of E01 (the first ADVANCED_FACE of the file) damaged in three ways.
class DamagedFace : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedFace, NamesTheSolidItsProductAndLayerAndStopsTheImport) {
    Folder dir;
    const std::string path = dir.file("damaged.step");
    const std::string text = two_electrodes(path);
    const std::string face = entity_line(text, "ADVANCED_FACE");
    const std::string& damage = GetParam();
    std::string broken = face;
    if (damage == "truncated") broken = face.substr(0, face.find(',') + 3);      // the line stops mid-entity
    if (damage == "parameter") broken = face.substr(0, face.rfind(',')) + ");";  // its last parameter is missing
    if (damage == "reference") broken = replaced(face, "ADVANCED_FACE('',(#", "ADVANCED_FACE('',(#99999,#");
    write_text(path, replaced(text, face, broken));

    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(
        stopped.result.error.find(path + ": 1 problem (--keep-going imports the rest):\n  solid \"E01\" (entity #"),
        std::string::npos)
        << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("MANIFOLD_SOLID_BREP, product \"BLOCKS\", layer \"L1\"): entity #"),
              std::string::npos)
        << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("cannot be read"), std::string::npos) << stopped.result.error;
    EXPECT_EQ(stopped.result.error.find("E02"), std::string::npos) << "the sound solid is not blamed";
    EXPECT_TRUE(solid_names(stopped.doc).empty());
    EXPECT_EQ(stopped.printed, "") << "the kernel's own messages reached the terminal";

    const Imported going_on = import(path, true);
    ASSERT_TRUE(going_on.result.ok) << going_on.result.error;
    EXPECT_EQ(solid_names(going_on.doc), std::vector<std::string>{"E02"});
    ASSERT_EQ(going_on.result.left_out.size(), 1u);
    EXPECT_EQ(going_on.result.left_out[0].rfind("solid \"E01\"", 0), 0u) << going_on.result.left_out[0];
    EXPECT_EQ(going_on.printed, "");
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedFace, ::testing::Values("truncated", "parameter", "reference"));

TEST(DamagedSolid, AnOpenShellIsNamedAsOpenNotImportedAsASheet) {
    Folder dir;
    const std::string path = dir.file("open.step");
    const std::string text = two_electrodes(path);
    // E02 loses its last face: its shell no longer closes.
    const std::string shell = entity_line(text, "CLOSED_SHELL", 1);
    write_text(path, replaced(text, shell, shell.substr(0, shell.rfind(',')) + "));"));

    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(stopped.result.error.find("solid \"E02\" (entity #"), std::string::npos) << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("it is open: 4 edges bound only one face"), std::string::npos)
        << stopped.result.error;

    const Imported going_on = import(path, true);
    ASSERT_TRUE(going_on.result.ok);
    EXPECT_EQ(solid_names(going_on.doc), std::vector<std::string>{"E01"});
    for (const auto& [tag, object] : going_on.doc.objects()) {
        const auto* body = object.as<cadhost::BodyData>();
        EXPECT_TRUE(body == nullptr || !body->sheet) << "a damaged solid must not come in as a sheet";
    }
}

// A representation whose only item is damaged: the translator must still never see the item (a reference to nothing
// crashes it), and the model is left without a solid.
TEST(DamagedSolid, TheOnlyItemOfARepresentationIsKeptFromTheTranslatorToo) {
    Folder dir;
    const std::string path = dir.file("single.step");
    std::string text = write_model(path, {{box(0, 0, 0, 1, 1, 1), "E09", "9"}});
    const std::string representation = entity_line(text, "ADVANCED_BREP_SHAPE_REPRESENTATION");
    const std::string solid = entity_line(text, "MANIFOLD_SOLID_BREP");
    const std::string solid_ref = solid.substr(0, solid.find(' '));
    text = replaced(text, representation,
                    representation.substr(0, representation.find(",(#") + 2) + solid_ref +
                        representation.substr(representation.find("),")));
    const std::string face = entity_line(text, "ADVANCED_FACE");
    write_text(path, replaced(text, face, replaced(face, "ADVANCED_FACE('',(#", "ADVANCED_FACE('',(#99999,#")));

    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(stopped.result.error.find(": the file holds 1 solid, which cannot be read:\n  solid \"E09\" (entity " +
                                        solid_ref),
              std::string::npos)
        << stopped.result.error;
}

// A context that cannot be read spoils what is measured in its units: the solids of the representations that use it are
// named, and it is not read around as lying outside every object.
TEST(DamagedSolid, AnUnreadableContextIsTracedToTheSolidsMeasuredInIt) {
    Folder dir;
    const std::string path = dir.file("context.step");
    std::string text = two_electrodes(path);
    const std::string space = "GEOMETRIC_REPRESENTATION_CONTEXT(3)";
    ASSERT_NE(text.find(space), std::string::npos);
    // Every context's dimension count refers to an entity that is not there.
    for (std::size_t at = text.find(space); at != std::string::npos; at = text.find(space, at + space.size()))
        text.replace(at, space.size(), "GEOMETRIC_REPRESENTATION_CONTEXT(#99999)");
    write_text(path, text);

    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    for (const char* solid : {"solid \"E01\" (entity #", "solid \"E02\" (entity #"})
        EXPECT_NE(stopped.result.error.find(solid), std::string::npos) << solid << "\n" << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("cannot be read"), std::string::npos) << stopped.result.error;
    for (const auto& note : stopped.result.notes) EXPECT_EQ(note.find("outside any object"), std::string::npos) << note;
    EXPECT_EQ(stopped.printed, "");
}

// What lies outside every object is read around, with one note per kind; a name that cannot be read costs only the
// name. Written as other systems write them: a comment before the header, a `$` for a curve's name, an angle unit
// whose dimensions are `*`, a product, a style and a PMI entity that cannot be read.
TEST(Leniency, EntitiesOutsideEveryObjectAndBadNamesAreReadAround) {
    Folder dir;
    const std::string path = dir.file("lenient.step");
    std::string text = two_electrodes(path);
    const std::string line = entity_line(text, "LINE");
    text = replaced(text, line, replaced(line, "LINE(''", "LINE($"));
    text = replaced(text, "PRODUCT('BLOCKS','BLOCKS','',", "PRODUCT('BLOCKS',");
    text = replaced(
        text, "( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );",
        "( CONVERSION_BASED_UNIT('DEGREE',#9001) NAMED_UNIT(*) PLANE_ANGLE_UNIT() );\n"
        "#9001 = PLANE_ANGLE_MEASURE_WITH_UNIT(PLANE_ANGLE_MEASURE(0.0174532925),#9002);\n"
        "#9002 = ( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );\n"
        "#9003 = PRESENTATION_STYLE_ASSIGNMENT((#99999));\n"
        "#9004 = STYLED_ITEM('',(#9003)," +
            entity_line(text, "MANIFOLD_SOLID_BREP").substr(0, entity_line(text, "MANIFOLD_SOLID_BREP").find(' ')) +
            ");\n"
            "#9005 = DIMENSIONAL_SIZE(#99998);");
    write_text(path, "/* written by another system */\n\n" + text);

    const Imported read = import(path, false);
    ASSERT_TRUE(read.result.ok) << read.result.error;
    EXPECT_EQ(solid_names(read.doc), (std::vector<std::string>{"E01", "E02"}));
    const std::vector<std::string> notes = {
        "not read: 4 entities outside any object: 1 PRODUCT, 1 (CONVERSION_BASED_UNIT,NAMED_UNIT,PLANE_ANGLE_UNIT), "
        "1 PRESENTATION_STYLE_ASSIGNMENT, 1 DIMENSIONAL_SIZE",
        "not read: 1 name (1 LINE); their objects are read without them"};
    for (const auto& note : notes)
        EXPECT_NE(std::find(read.result.notes.begin(), read.result.notes.end(), note), read.result.notes.end()) << note;
    EXPECT_EQ(read.result.details.size(), 5u) << "one line per entity read around";
    EXPECT_EQ(read.printed, "");
}

// A layer whose name is no text cannot be a layer; it is read around like anything else outside the objects, which
// come in without it.
TEST(Leniency, ALayerNamedByNoTextIsReadAround) {
    Folder dir;
    const std::string path = dir.file("layer.step");
    const std::string text = two_electrodes(path);
    for (const std::string name : {"$", "*"}) {
        write_text(path, replaced(text, "PRESENTATION_LAYER_ASSIGNMENT('L1'", "PRESENTATION_LAYER_ASSIGNMENT(" + name));
        const Imported read = import(path, false);
        ASSERT_TRUE(read.result.ok) << name << ": " << read.result.error;
        EXPECT_EQ(solid_names(read.doc), (std::vector<std::string>{"E01", "E02"}));
        EXPECT_NE(std::find(read.result.notes.begin(), read.result.notes.end(),
                            "not read: 1 entity outside any object: 1 PRESENTATION_LAYER_ASSIGNMENT"),
                  read.result.notes.end())
            << ::testing::PrintToString(read.result.notes);
    }
}

// Outside every object, but not outside their geometry: the length unit every coordinate is in.
TEST(Leniency, AnUnreadableLengthUnitStillStopsTheImport) {
    Folder dir;
    const std::string path = dir.file("unit.step");
    const std::string text = two_electrodes(path);
    write_text(path, replaced(text, "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
                              "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.FURLONG.) );"));
    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(stopped.result.error.find("it sets the length unit of the model"), std::string::npos)
        << stopped.result.error;
}

// Every solid that fails the import's check is listed with its place, and each is left out alone when the rest is
// wanted: here a solid of a product a kilometre away.
TEST(DamagedSolid, EverySolidThatFailsTheCheckIsListedAndTheRestImportedOnRequest) {
    Folder dir;
    const std::string path = dir.file("checked.step");
    BRep_Builder builder;
    TopoDS_Compound blocks;
    builder.MakeCompound(blocks);
    builder.Add(blocks, box(0, 0, 0, 10, 20, 30));
    builder.Add(blocks, box(2.0e6, 0, 0, 10, 20, 30));
    std::string text = write_model(path, {{blocks, "BLOCKS", "L1"}});
    for (int i = 0; i < 2; ++i) {
        const std::string line = entity_line(text, "MANIFOLD_SOLID_BREP", i);
        text =
            replaced(text, line,
                     replaced(line, "MANIFOLD_SOLID_BREP(''", "MANIFOLD_SOLID_BREP('E0" + std::to_string(i + 1) + "'"));
    }
    write_text(path, text);

    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(
        stopped.result.error.find(path + ": 1 problem (--keep-going imports the rest):\n  solid \"E02\" (entity #"),
        std::string::npos)
        << stopped.result.error;
    EXPECT_NE(stopped.result.error.find(
                  "MANIFOLD_SOLID_BREP, product \"BLOCKS\", layer \"L1\"): it reaches beyond 1000000 mm"),
              std::string::npos)
        << stopped.result.error;
    EXPECT_TRUE(stopped.doc.objects().size() <= Document().objects().size()) << "nothing was imported";

    const Imported going_on = import(path, true);
    ASSERT_TRUE(going_on.result.ok) << going_on.result.error;
    EXPECT_EQ(solid_names(going_on.doc), std::vector<std::string>{"E01"});
    ASSERT_EQ(going_on.result.left_out.size(), 1u);
    EXPECT_EQ(going_on.result.left_out[0].rfind("solid \"E02\"", 0), 0u) << going_on.result.left_out[0];
}

// What is not a solid the command can use never stops a file whose solids are sound: a surface model the check
// refuses (a kilometre away), an annotation text that cannot be read. One note per kind says what was left out.
TEST(Leniency, WhatIsNoSolidIsLeftOutWithANotePerKind) {
    Folder dir;
    const std::string path = dir.file("beside.step");
    std::string text =
        write_model(path, {{box(0, 0, 0, 10, 20, 30), "E01", "L1"}, {box(2.0e6, 0, 0, 1, 2, 3), "SKIN", "L2"}});
    const std::string skin = entity_line(text, "MANIFOLD_SOLID_BREP", 1);
    const std::string shell_ref = skin.substr(skin.find(",#") + 1, skin.find(')') - skin.find(",#") - 1);
    text =
        replaced(text, skin, skin.substr(0, skin.find('=')) + "= SHELL_BASED_SURFACE_MODEL('',(" + shell_ref + "));");
    text = replaced(text, entity_line(text, "CLOSED_SHELL", 1),
                    replaced(entity_line(text, "CLOSED_SHELL", 1), "CLOSED_SHELL(", "OPEN_SHELL("));
    // The text sits among the solid's items, as a system that writes its notes into the part's shape does.
    const std::string representation = entity_line(text, "ADVANCED_BREP_SHAPE_REPRESENTATION");
    text = replaced(text, representation, replaced(representation, ",(#", ",(#9100,#"));
    text =
        replaced(text, "ENDSEC;\nEND-ISO", "#9100 = COMPOSITE_TEXT_WITH_EXTENT('',(#99999),#99998);\nENDSEC;\nEND-ISO");
    write_text(path, text);

    const Imported read = import(path, false);
    ASSERT_TRUE(read.result.ok) << read.result.error;
    EXPECT_EQ(solid_names(read.doc), std::vector<std::string>{"E01"});
    for (const std::string note :
         {"left out: 1 sheet the shape check refuses; the solids are read without it (--verbose lists each)",
          "left out: 1 COMPOSITE_TEXT_WITH_EXTENT entity that cannot be read; the solids are read without "
          "it (--verbose lists each)"})
        EXPECT_NE(std::find(read.result.notes.begin(), read.result.notes.end(), note), read.result.notes.end())
            << note << "\n"
            << ::testing::PrintToString(read.result.notes);
    EXPECT_TRUE(read.result.left_out.empty());
    EXPECT_EQ(std::count_if(read.result.details.begin(), read.result.details.end(),
                            [](const std::string& detail) { return detail.rfind("left out: ", 0) == 0; }),
              2);
}

// Placements as many systems write them, named `$`: the kernel places the parts all the same, and so does the import.
// Only a placement whose geometry cannot be read stops it, naming the part it places.
TEST(Placements, ThoseWithoutNamesPlaceTheirPartsAndUnreadableOnesNameThem) {
    Folder dir;
    const std::string path = dir.file("placed.step");
    write_placed_part(path, gp_Vec(100, 0, 0));
    std::string text = read_text(path);
    const std::string placement = entity_line(text, "ITEM_DEFINED_TRANSFORMATION");
    ASSERT_NE(placement, "");
    text = replaced(text, placement,
                    placement.substr(0, placement.find('(') + 1) + "$,$" + placement.substr(placement.find(",#")));
    text = all_replaced(text, "REPRESENTATION_RELATIONSHIP('',''", "REPRESENTATION_RELATIONSHIP($,$");
    write_text(path, text);
    const StepReadResult read = cadhost::import::read_step_file(path);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_TRUE(read.problems.empty()) << ::testing::PrintToString(read.problems);
    ASSERT_EQ(read.objects.size(), 1u);
    Bnd_Box bounds;
    BRepBndLib::Add(read.objects[0].shape, bounds);
    EXPECT_NEAR(bounds.CornerMin().X(), 100, 1e-3) << "the part did not move";
    EXPECT_NE(std::find_if(read.warnings.begin(), read.warnings.end(),
                           [](const std::string& note) {
                               return note.rfind("not read: ", 0) == 0 &&
                                      note.find(" of placements (") != std::string::npos &&
                                      note.ends_with("they are read without them, and every part is placed");
                           }),
              read.warnings.end())
        << ::testing::PrintToString(read.warnings);

    const std::string named = entity_line(text, "ITEM_DEFINED_TRANSFORMATION");
    write_text(path, replaced(text, named, named.substr(0, named.rfind(',')) + ",#99999);"));
    const Imported stopped = import(path, false);
    EXPECT_FALSE(stopped.result.ok);
    EXPECT_NE(stopped.result.error.find("(ITEM_DEFINED_TRANSFORMATION) cannot be read"), std::string::npos)
        << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("; it places product \"PART\""), std::string::npos) << stopped.result.error;
    // Nor is the part taken where the placement would not have put it.
    EXPECT_NE(stopped.result.error.find("solid \"PART\" (entity #"), std::string::npos) << stopped.result.error;
    EXPECT_NE(stopped.result.error.find("): its placement, entity #"), std::string::npos) << stopped.result.error;
}

// A file without a solid says what it holds and what to export instead, and --keep-going does not make a part of it.
TEST(WithoutSolid, EachKindOfFileSaysWhatItHoldsAndKeepGoingWritesNothing) {
    Folder dir;
    const std::string curves = dir.file("curves.step");
    write_model(curves, {{BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 0), gp_Pnt(1, 1, 0)).Edge(), "LINE", "1"}});
    const std::string surfaces = dir.file("surfaces.step");
    std::string text = write_model(surfaces, {{box(0, 0, 0, 1, 2, 3), "SKIN", "1"}});
    const std::string solid = entity_line(text, "MANIFOLD_SOLID_BREP");
    const std::string shell_ref = solid.substr(solid.find(",#") + 1, solid.find(')') - solid.find(",#") - 1);
    text = replaced(text, solid,
                    solid.substr(0, solid.find('=')) + "= SHELL_BASED_SURFACE_MODEL('',(" + shell_ref + "));");
    write_text(surfaces, replaced(text, "CLOSED_SHELL(", "OPEN_SHELL("));
    const std::string mesh = dir.file("mesh.step");
    write_text(mesh, R"(ISO-10303-21;
HEADER;
FILE_DESCRIPTION((''),'2;1');
FILE_NAME('mesh.step','2024-01-01T00:00:00',(''),(''),'','','');
FILE_SCHEMA(('AP242_MANAGED_MODEL_BASED_3D_ENGINEERING_MIM_LF { 1 0 10303 442 1 1 4 }'));
ENDSEC;
DATA;
#1 = APPLICATION_CONTEXT('managed model based 3d engineering');
#2 = PRODUCT_CONTEXT('',#1,'mechanical');
#3 = PRODUCT('MESH','MESH','',(#2));
#4 = PRODUCT_DEFINITION_FORMATION('','',#3);
#5 = PRODUCT_DEFINITION('design','',#4,#6);
#6 = PRODUCT_DEFINITION_CONTEXT('part definition',#1,'design');
#7 = PRODUCT_DEFINITION_SHAPE('','',#5);
#8 = SHAPE_DEFINITION_REPRESENTATION(#7,#9);
#9 = TESSELLATED_SHAPE_REPRESENTATION('',(#10),#20);
#10 = TESSELLATED_SOLID('',(#11),$);
#11 = TRIANGULATED_FACE('',#12,4,((0.,0.,1.)),$,(),((1,2,3),(1,3,4)));
#12 = COORDINATES_LIST('',4,((0.,0.,0.),(1.,0.,0.),(1.,1.,0.),(0.,1.,0.)));
#20 = ( GEOMETRIC_REPRESENTATION_CONTEXT(3) GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#24))
  GLOBAL_UNIT_ASSIGNED_CONTEXT((#21,#22,#23)) REPRESENTATION_CONTEXT('','') );
#21 = ( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );
#22 = ( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );
#23 = ( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );
#24 = UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-07),#21,'distance_accuracy_value','');
ENDSEC;
END-ISO-10303-21;
)");
    // Trimmed surfaces in a set, not faces of a surface model, as some systems export surfaces.
    const std::string trimmed = dir.file("trimmed.step");
    std::string surfaces_text = read_text(mesh);
    surfaces_text.replace(surfaces_text.find("#9 = TESSELLATED"),
                          surfaces_text.find("#20 =") - surfaces_text.find("#9 = TESSELLATED"),
                          "#9 = GEOMETRICALLY_BOUNDED_SURFACE_SHAPE_REPRESENTATION('',(#10),#20);\n"
                          "#10 = GEOMETRIC_SET('',(#11,#15));\n"
                          "#11 = RECTANGULAR_TRIMMED_SURFACE('',#12,0.,10.,0.,20.,.T.,.T.);\n"
                          "#12 = PLANE('',#13);\n#13 = AXIS2_PLACEMENT_3D('',#14,$,$);\n"
                          "#14 = CARTESIAN_POINT('',(0.,0.,0.));\n"
                          "#15 = RECTANGULAR_TRIMMED_SURFACE('',#16,0.,10.,0.,20.,.T.,.T.);\n"
                          "#16 = PLANE('',#17);\n#17 = AXIS2_PLACEMENT_3D('',#18,$,$);\n"
                          "#18 = CARTESIAN_POINT('',(0.,0.,5.));\n");
    write_text(trimmed, surfaces_text);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {curves, "the file holds only 1 curve or point, no solid: export the mould's solid bodies"},
        {trimmed, "the file holds 2 surfaces but no closed solid: export closed solids"},
        {surfaces, "the file holds 6 surfaces but no closed solid: export closed solids"},
        {mesh,
         "the file holds only a tessellated (mesh) model: export B-rep solids (AP214 or AP242 with exact "
         "geometry)"}};
    for (const auto& [path, message] : cases) {
        const Imported stopped = import(path, false);
        EXPECT_FALSE(stopped.result.ok);
        EXPECT_EQ(stopped.result.error.find(path + ": " + message), 0u) << stopped.result.error;
        const Imported going_on = import(path, true);
        EXPECT_FALSE(going_on.result.ok) << "a part without a solid was made of " << path;
        EXPECT_EQ(going_on.result.error.find(path + ": nothing could be read: " + message), 0u)
            << going_on.result.error;
        EXPECT_EQ(going_on.printed, "");
    }
}

}  // namespace
