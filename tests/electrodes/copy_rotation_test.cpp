// A copy's turn about its burn axis against the first copy of its layer, found from the bodies themselves.
#include "electrodes/electrode_fixture.h"
#include "quillon/copy_rotation.h"

namespace {

using electrodes_test::ElectrodeTest;

class CopyRotation : public ElectrodeTest {
  protected:
    // A base with one chamfered corner over an off-centre tip: no turn but the whole one maps it onto itself.
    static TopoDS_Shape marked_electrode() {
        const electrodes_test::Corners base{gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 10)};
        const electrodes_test::Corners tip{gp_Pnt(-12, -6, -15), gp_Pnt(4, 6, 0)};
        return electrodes_test::cut_corner(electrodes_test::based(base, tip), 20, 15, 4, 4);
    }
    static elec_data copy(const TopoDS_Shape& shape, double degrees, int direction, gp_Vec shift) {
        gp_Trsf turn, move;
        turn.SetRotation(gp::OZ(), degrees * M_PI / 180);
        move.SetTranslation(shift);
        elec_data e{};
        e.elec_tag = body_on(electrodes_test::placed(shape, move * turn), 1);
        e.elec_direction = direction;
        return e;
    }
};

TEST_F(CopyRotation, QuarterAndOddTurnsSeenFromTheBaseSide) {
    const TopoDS_Shape shape = marked_electrode();
    const elec_data first = copy(shape, 0, ELEC_DIR_T, gp_Vec(0, 0, 0));
    for (double turn : {0.0, 90.0, 180.0, 270.0, 37.5}) {
        const elec_data other = copy(shape, turn, ELEC_DIR_T, gp_Vec(120, -40, 0));
        double degrees = -1;
        ASSERT_EQ(copy_rotation(&first, &other, &degrees), 1) << turn;
        EXPECT_NEAR(degrees, turn, 1e-6) << turn;
    }
    // Burning upwards the base faces down: a turn anticlockwise seen from above is clockwise seen from the base.
    const elec_data up = copy(shape, 0, ELEC_DIR_NEG_T, gp_Vec(0, 0, -80));
    const elec_data up_turned = copy(shape, 90, ELEC_DIR_NEG_T, gp_Vec(60, 0, -80));
    double degrees = -1;
    ASSERT_EQ(copy_rotation(&up, &up_turned, &degrees), 1);
    EXPECT_NEAR(degrees, 270, 1e-6);
}

TEST_F(CopyRotation, NoTurnMatchesAMirrorOrAnotherDirection) {
    const TopoDS_Shape shape = marked_electrode();
    const elec_data first = copy(shape, 0, ELEC_DIR_T, gp_Vec(0, 0, 0));
    // Mirrored: the chamfer on the other side of the off-centre tip.
    gp_Trsf mirror;
    mirror.SetMirror(gp_Ax2(gp::Origin(), gp::DX()));
    const elec_data mirrored = copy(electrodes_test::placed(shape, mirror), 0, ELEC_DIR_T, gp_Vec(100, 0, 0));
    double degrees = -1;
    EXPECT_EQ(copy_rotation(&first, &mirrored, &degrees), 0);
    const elec_data sideways = copy(shape, 90, ELEC_DIR_S, gp_Vec(0, 100, 0));
    EXPECT_EQ(copy_rotation(&first, &sideways, &degrees), 0) << "copies burning in another direction";
    // Symmetric bodies: the smallest turn that fits.
    const double square[] = {1, 1, 0, -1, 1, 0, -1, -1, 0, 1, -1, 0};
    const double axis[3] = {0, 0, 1};
    ASSERT_EQ(rotation_between(square, 4, square, 4, axis, &degrees), 1);
    EXPECT_EQ(degrees, 0);
}

}  // namespace
