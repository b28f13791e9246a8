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

#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>

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

}  // namespace step_files

#endif
