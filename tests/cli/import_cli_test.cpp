// quillon import from the command line: what the designer reads, the exit status, and that a refused import leaves
// no part behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/in_process.h"
#include "import/step_test_files.h"

namespace {

using namespace step_files;

using cli_test::quillon;
using cli_test::Result;

TEST(ImportCommand, ADamagedSolidStopsTheImportAndKeepGoingImportsTheRest) {
    Folder dir;
    const std::string step = dir.file("mould.step"), part = dir.file("mould.prt");
    std::string text =
        write_model(step, {{box(0, 0, 0, 10, 10, 10), "CORE", "Layer 240"}, {box(20, 0, 0, 5, 5, 5), "E01", "L1"}});
    const std::string face = entity_line(text, "ADVANCED_FACE", 7);  // the second solid's second face
    write_text(step, replaced(text, face, face.substr(0, face.rfind(',')) + ");"));

    const Result stopped = quillon({"import", step, "-o", part});
    EXPECT_EQ(stopped.status, 2);
    EXPECT_NE(stopped.err.find("solid \"E01\""), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.err.find("nothing was written"), std::string::npos) << stopped.err;
    EXPECT_FALSE(std::filesystem::exists(part));

    const Result going_on = quillon({"import", step, "-o", part, "--keep-going"});
    ASSERT_EQ(going_on.status, 0) << going_on.err;
    EXPECT_NE(going_on.out.find("left out: solid \"E01\""), std::string::npos) << going_on.out;
    EXPECT_NE(going_on.out.find("units: millimetre\n"), std::string::npos) << going_on.out;
    EXPECT_NE(going_on.out.find("layer 240: 1 solid body (CORE)\n"), std::string::npos) << going_on.out;
    EXPECT_TRUE(std::filesystem::exists(part));
}

TEST(ImportCommand, ALayerMapIsReadAndABadOneRefused) {
    Folder dir;
    const std::string step = dir.file("mould.step"), part = dir.file("mould.prt"), map = dir.file("layers.txt");
    write_model(step, {{box(0, 0, 0, 10, 10, 10), "CORE", "MOULD CORE"}, {box(20, 0, 0, 5, 5, 5), "E01", "E-1"}});
    write_text(map, "MOULD CORE 240\nE-1 3\n");
    const Result mapped = quillon({"import", step, "--layer-map", map, "-o", part});
    ASSERT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_NE(mapped.out.find("layer 3: 1 solid body (E01)\n"), std::string::npos) << mapped.out;
    EXPECT_NE(mapped.out.find("layer 240: 1 solid body (CORE)\n"), std::string::npos) << mapped.out;

    write_text(map, "MOULD CORE 300\n");
    std::filesystem::remove(part);
    const Result refused = quillon({"import", step, "--layer-map", map, "-o", part});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("layer map '" + map + "', line 1"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(part));

    EXPECT_EQ(quillon({"import", step, "--keep-going"}).status, 2) << "no output named";
    EXPECT_EQ(quillon({"import", step, "--layer-map"}).status, 2);
    EXPECT_EQ(quillon({"import", step, step, "-o", part}).status, 2);
}

// Names as CAD systems write them: a made-up name on every body, the designer's on the product.
TEST(ImportNames, DefaultBodyNamesGiveWayToProductNamesAndInfoShowsBoth) {
    Folder dir;
    const std::string step = dir.file("names.step"), part = dir.file("names.prt");
    const std::vector<std::pair<std::string, std::string>> named = {
        {"PLATE", "Body16"}, {"BRACKET", "PartBody"}, {"BOLT", "*SOL22"}, {"NUT", "Part1 Brep Model"},
        {"PIN", "96A"},      {"HOLDER", "E05"},       {"Part3", "Solid1"}};
    std::vector<sample::ModelObject> objects;
    for (std::size_t i = 0; i < named.size(); ++i)
        objects.push_back({box(20.0 * i, 0, 0, 5, 5, 5), named[i].first, std::to_string(i + 1)});
    std::string text = write_model(step, objects);
    for (std::size_t i = 0; i < named.size(); ++i) {
        const std::string line = entity_line(text, "MANIFOLD_SOLID_BREP", static_cast<int>(i));
        text = replaced(text, line, replaced(line, "('',", "('" + named[i].second + "',"));
    }
    write_text(step, text);
    const auto info_after = [&](const std::vector<std::string>& options) {
        std::filesystem::remove(part);
        std::vector<std::string> args = {"import", step, "-o", part};
        args.insert(args.end(), options.begin(), options.end());
        const Result imported = quillon(args);
        EXPECT_EQ(imported.status, 0) << imported.err;
        return quillon({"info", part}).out;
    };
    const std::string automatic = info_after({});
    for (const char* line :
         {"layer 1: PLATE (product \"PLATE\", body \"Body16\")\n", "layer 2: BRACKET (product",
          "layer 3: BOLT (product", "layer 4: NUT (product", "layer 5: PIN (product \"PIN\", body \"96A\")\n",
          "layer 6: E05 (product \"HOLDER\", body \"E05\")\n", "layer 7: Solid1 (product"})
        EXPECT_NE(automatic.find(line), std::string::npos) << line << "\n" << automatic;
    EXPECT_EQ(automatic.find("STEP_"), std::string::npos) << "the names are shown as names, not attributes";
    const std::string bodies = info_after({"--names", "body"});
    EXPECT_NE(bodies.find("layer 1: Body16 (product"), std::string::npos) << bodies;
    const std::string products = info_after({"--names", "product"});
    EXPECT_NE(products.find("layer 6: HOLDER (product"), std::string::npos) << products;
    EXPECT_EQ(quillon({"import", step, "-o", part, "--names", "item"}).status, 2);
}

// Names in the bytes of a legacy code page are decoded, with one note naming the encoding used.
TEST(ImportNames, NamesInLegacyEncodingsAreDecodedWithANote) {
    Folder dir;
    const std::string step = dir.file("encoded.step"), part = dir.file("encoded.prt");
    const std::string text = write_model(step, {{box(0, 0, 0, 5, 5, 5), "CORE", "240"}});
    const auto import_named = [&](const std::string& bytes, const std::vector<std::string>& options) {
        write_text(step, replaced(text, "PRODUCT('CORE','CORE'", "PRODUCT('" + bytes + "','" + bytes + "'"));
        std::filesystem::remove(part);
        std::vector<std::string> args = {"import", step, "-o", part};
        args.insert(args.end(), options.begin(), options.end());
        return quillon(args);
    };
    const Result gb = import_named("\xC4\xA3\xC8\xCA", {"--verbose"});  // 模仁 in GB18030
    ASSERT_EQ(gb.status, 0) << gb.err;
    EXPECT_NE(gb.out.find("note: 1 name read as GB18030 (they are not UTF-8; --name-encoding ENC reads them as "
                          "another encoding)\n"),
              std::string::npos)
        << gb.out;
    EXPECT_NE(gb.out.find("detail: name bytes C4 A3 C8 CA read as GB18030: \"模仁\"\n"), std::string::npos) << gb.out;
    EXPECT_NE(gb.out.find("layer 240: 1 solid body (模仁)\n"), std::string::npos) << gb.out;

    const Result cyrillic = import_named("\xC4\xE5\xF2\xE0\xEB\xFC", {"--name-encoding", "CP1251"});  // Деталь
    ASSERT_EQ(cyrillic.status, 0) << cyrillic.err;
    EXPECT_NE(cyrillic.out.find("note: 1 name read as CP1251 (--name-encoding)\n"), std::string::npos) << cyrillic.out;
    EXPECT_NE(cyrillic.out.find("(Деталь)"), std::string::npos) << cyrillic.out;

    const Result latin = import_named("Caf\xE9", {});  // not GB18030: a lead byte at the end
    ASSERT_EQ(latin.status, 0) << latin.err;
    EXPECT_NE(latin.out.find("note: 1 name read as ISO-8859-1"), std::string::npos) << latin.out;
    EXPECT_NE(latin.out.find("(Café)"), std::string::npos) << latin.out;

    EXPECT_EQ(import_named("CORE", {"--name-encoding", "NO-SUCH-ENCODING"}).status, 2);

    // Escapes are the characters the exchange format defines, whatever the bytes beside them are guessed to be, and
    // whatever encoding the user names for those bytes.
    std::string escaped = write_model(step, {{box(0, 0, 0, 5, 5, 5), "A", "1"},
                                             {box(10, 0, 0, 5, 5, 5), "B", "2"},
                                             {box(20, 0, 0, 5, 5, 5), "C", "3"},
                                             {box(30, 0, 0, 5, 5, 5), "D", "4"}});
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"A", "D\\X\\FCse"},
                                                          {"B", "caf\\X2\\00E9\\X0\\s"},
                                                          {"C", "\xC4\xA3\xC8\xCA"},
                                                          {"D", "Volumenk\\X\\F6rper\\X4\\00004E2D\\X0\\''1"}})
        escaped = replaced(escaped, "PRODUCT('" + from + "','" + from + "'", "PRODUCT('" + to + "','" + to + "'");
    write_text(step, escaped);
    std::filesystem::remove(part);
    const Result mixed = quillon({"import", step, "-o", part});
    ASSERT_EQ(mixed.status, 0) << mixed.err;
    for (const char* line :
         {"layer 1: 1 solid body (Düse)\n", "layer 2: 1 solid body (cafés)\n", "layer 3: 1 solid body (模仁)\n",
          "layer 4: 1 solid body (Volumenkörper中'1)\n", "note: 1 name read as GB18030"})
        EXPECT_NE(mixed.out.find(line), std::string::npos) << line << "\n" << mixed.out;
    std::filesystem::remove(part);
    const Result latin2 = quillon({"import", step, "-o", part, "--name-encoding", "ISO-8859-2"});
    ASSERT_EQ(latin2.status, 0) << latin2.err;
    EXPECT_NE(latin2.out.find("layer 1: 1 solid body (Düse)\n"), std::string::npos) << latin2.out;
}

// A mould from a system that writes no layers gets them from its solids, and then runs to its sheets.
TEST(ImportCommand, AutoLayersGiveALayerlessMouldItsCoreAndElectrodeLayersAndItRuns) {
    Folder dir;
    const std::string step = dir.file("mould.step"), part = dir.file("mould.prt");
    write_layerless_mould(step);
    std::filesystem::create_directories(dir.file("conf"));
    for (const char* name : {"config.def", "my_edm_A4_a.prt"})
        std::filesystem::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/" + name, dir.file("conf") + "/" + name);

    EXPECT_EQ(quillon({"import", step, "--auto-layers", "--layer-map", step, "-o", part}).status, 2);
    const Result imported = quillon({"import", step, "--auto-layers", "-o", part});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::string table =
        "layers given by --auto-layers (layer: objects; names):\n"
        "  layer 240 (core, found by its name): 1 solid body; MOULD CORE\n"
        "  layer 1: 1 solid body, 1 line; E01\n"
        "  layer 2 (copies): 2 solid bodies, 2 lines; E02, E02\n"
        "  layer 3: 1 solid body, 1 line; E03\n"
        "  layer 255 (touching no solid): 1 line; SKETCH\n";
    EXPECT_NE(imported.out.find(table), std::string::npos) << imported.out;
    EXPECT_EQ(imported.out.find("\nlayer 240:"), std::string::npos) << "the layers are told once\n" << imported.out;

    const Result run = quillon({"run", part, "--command", COMMAND_LIBRARY, "--conf", dir.file("conf"), "--set",
                                "INT_1=1", "--set", "INT_2=3"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("made 4 sheets"), std::string::npos) << run.out;

    // The table outlives the run, which saved the part again.
    const Result info = quillon({"info", part});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("at import, " + table), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("sheets: 4 pages"), std::string::npos) << info.out;

    // A new import over the part without --auto-layers leaves no table of an earlier one behind.
    ASSERT_EQ(quillon({"import", step, "-o", part}).status, 0);
    EXPECT_EQ(quillon({"info", part}).out.find("--auto-layers ("), std::string::npos);
}

}  // namespace
