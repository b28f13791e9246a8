// A host with a fresh part displayed and the interface open, as a command finds it when it starts.
#ifndef TESTS_SUPPORT_HOST_FIXTURE_H
#define TESTS_SUPPORT_HOST_FIXTURE_H

#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <TopoDS_Shape.hxx>

#include "cadhost/session/session.h"
#include "host/uf.h"

namespace testing_support {

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto part = std::make_unique<cadhost::Part>();
        part->path = "/parts/test_part.prt";
        session().set_display_part(std::move(part));
        session().ui().set_terminal(nullptr);
        session().ui().set_files("", "");
        session().ui().clear();
        ASSERT_EQ(UF_initialize(), 0);
    }
    void TearDown() override {
        while (session().open_count() > 0) UF_terminate();
        session().set_display_part(nullptr);
    }
    static cadhost::Session& session() { return cadhost::Session::instance(); }
    static cadhost::Document& doc() { return session().display_part()->document; }

    // A solid body on the work layer.
    static tag_t add_solid(const TopoDS_Shape& shape) { return doc().add_body(shape, false); }
    static tag_t add_box(double x0, double y0, double z0, double dx, double dy, double dz) {
        return add_solid(BRepPrimAPI_MakeBox(gp_Pnt(x0, y0, z0), dx, dy, dz).Shape());
    }
};

}  // namespace testing_support

#endif
