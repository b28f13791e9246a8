// The turned iso views look from the sides their names say: a round boss on that side of a cube is drawn, a boss on
// the opposite side is hidden.
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>

#include <cmath>

#include "drafting_fixture.h"
#include "support/turned_views.h"

namespace {

using testing_support::DraftingTest;

class ViewSidesTest : public DraftingTest {
  protected:
    // A cube of side 20 at the origin with a round boss on the face whose outward normal is `side`.
    static TopoDS_Shape cube_with_boss(gp_Dir side) {
        TopoDS_Shape cube = BRepPrimAPI_MakeBox(gp_Pnt(-10, -10, -10), 20, 20, 20).Shape();
        gp_Pnt on_face(side.X() * 10, side.Y() * 10, side.Z() * 10);
        TopoDS_Shape boss = BRepPrimAPI_MakeCylinder(gp_Ax2(on_face, side), 4, 5).Shape();
        return BRepAlgoAPI_Fuse(cube, boss).Shape();
    }
    // Whether a polyline follows a curve: several turns in a row, each of them slight. Straight edges joined into one
    // polyline turn sharply at their corners.
    static bool follows_a_curve(const std::vector<cadhost::render::Point2>& p) {
        int slight = 0;
        for (std::size_t i = 1; i + 1 < p.size(); ++i) {
            const double a = std::atan2(p[i].y - p[i - 1].y, p[i].x - p[i - 1].x);
            const double b = std::atan2(p[i + 1].y - p[i].y, p[i + 1].x - p[i].x);
            const double turn = std::fabs(std::remainder(b - a, 2 * M_PI));
            slight = turn < 0.4 ? slight + 1 : 0;
            if (slight >= 4) return true;
        }
        return false;
    }
    // Drawn curves (the boss's circle seen at a slant is an ellipse), by line pattern.
    int curved(cadhost::render::LinePattern pattern) {
        int count = 0;
        for (const auto& line : sheet().polylines)
            if (line.stroke.pattern == pattern && follows_a_curve(line.points)) ++count;
        for (const auto& ellipse : sheet().ellipses)
            if (ellipse.stroke.pattern == pattern) ++count;
        return count;
    }
};

TEST_F(ViewSidesTest, EachTurnedViewSeesTheSideItIsNamedFor) {
    testing_support::make_turned_views();
    struct Side {
        const char* view;
        gp_Dir seen;  // the face the eye must see
    };
    const Side sides[] = {{"reve_iso", -gp::DZ()}, {"reve_s", gp::DX()},   {"reve_s_r", -gp::DX()},
                          {"reve_f", -gp::DY()},   {"reve_f_r", gp::DY()}, {"tfr-iso", gp::DZ()}};
    for (const Side& side : sides) {
        for (bool near : {true, false}) {
            SetUp();  // a fresh part for each case
            tag_t body = add_solid(cube_with_boss(near ? side.seen : side.seen.Reversed()));
            (void)body;
            testing_support::make_turned_views();
            tag_t view = import_view(side.view, 150, 105, 2.0);
            UF_DRAW_view_prefs_t prefs;
            UF_DRAW_ask_view_display(view, &prefs);
            prefs.hidden_edges = 2;
            UF_DRAW_set_view_display(view, &prefs);
            if (near) {
                EXPECT_GT(curved(cadhost::render::LinePattern::Continuous), 0) << side.view << ": boss not seen";
            } else {
                EXPECT_EQ(curved(cadhost::render::LinePattern::Continuous), 0) << side.view << ": far boss drawn";
                EXPECT_GT(curved(cadhost::render::LinePattern::Dashed), 0) << side.view << ": far boss not hidden";
            }
            TearDown();
        }
    }
    SetUp();
}

}  // namespace
