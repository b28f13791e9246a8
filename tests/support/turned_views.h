// The views made from the iso view turned about an absolute axis, as the command prepares them before a run.
#ifndef TESTS_SUPPORT_TURNED_VIEWS_H
#define TESTS_SUPPORT_TURNED_VIEWS_H

#include <gtest/gtest.h>

#include "host/uf_view.h"

namespace testing_support {

inline void make_turned_views() {
    struct Row {
        const char* name;
        double axis[3];
        double angle;
    };
    const Row rows[] = {{"reve_iso", {0, 1, 0}, 180},
                        {"reve_s", {0, 1, 0}, -90},
                        {"reve_s_r", {0, 1, 0}, 90},
                        {"reve_f", {1, 0, 0}, -90},
                        {"reve_f_r", {1, 0, 0}, 90}};
    const double origin[3] = {0, 0, 0};
    for (const Row& row : rows) {
        ASSERT_EQ(uc6464("", "", "tfr-iso"), 0);
        ASSERT_EQ(UF_VIEW_rotate_view_abs_csys(NULL_TAG, origin, row.axis, row.angle, 1), 0);
        ASSERT_EQ(uc6450("", row.name, 1, 1), 0);
    }
    ASSERT_EQ(uc6464("", "", "tfr-iso"), 0);
}

}  // namespace testing_support

#endif
