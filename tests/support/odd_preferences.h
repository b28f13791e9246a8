// Annotation preferences unlike the host's defaults and every routine's working values in each member of the record,
// lettering and text angle included, so that a routine that changes one and does not put it back shows; and the
// members that differ between two records, named, for a readable failure.
#ifndef TESTS_SUPPORT_ODD_PREFERENCES_H
#define TESTS_SUPPORT_ODD_PREFERENCES_H

#include <sstream>
#include <string>

#include "cadhost/document/drafting_preferences.h"

namespace testing_support {

// The general text's height and aspect ratio of the odd record (mpr[44], mpr[45]).
constexpr double kOddGeneralSize = 2.5, kOddGeneralAspect = 0.6;

inline cadhost::DraftingPreferences odd_drafting_preferences() {
    using P = cadhost::DraftingPreferences;
    P p;
    for (int i = 0; i < P::kIntegers; ++i) p.mpi[i] = 11 + i;
    for (int i = 0; i < P::kReals; ++i) p.mpr[i] = 1.1 + 0.03 * i;
    // Entries the renderer reads in a range: values inside it that no routine works with, or outside it where the
    // routines use every value inside (the leader side, trailing zeros).
    p.mpi[1] = 3;
    p.mpi[3] = 1;
    p.mpi[6] = 1;
    p.mpi[7] = 4;
    p.mpi[9] = 4;
    p.mpi[13] = 2;
    p.mpi[16] = 2;
    p.mpi[30] = 7;
    p.mpi[90] = 2;
    p.mpr[27] = 35.0;
    p.radius_text = "RAD ";
    p.diameter_text = "DIA ";
    for (int kind = 0; kind < 4; ++kind) {
        cadhost::Lettering l;
        l.font = 2 + kind;
        l.width = 5 + kind;
        l.size = 2.6 + 0.1 * kind;
        l.char_space_factor = 1.7 + 0.1 * kind;
        l.aspect_ratio = 0.55 + 0.05 * kind;
        l.line_space_factor = 1.6 + 0.1 * kind;
        if (kind == P::kGeneralText) l.size = kOddGeneralSize, l.aspect_ratio = kOddGeneralAspect;
        p.set_lettering(kind, l);
    }
    p.text_angle = 7.5;
    return p;
}

// The members in which after differs from before, as the host's interface hands them out ("" when none).
inline std::string preference_changes(const cadhost::DraftingPreferences& before,
                                      const cadhost::DraftingPreferences& after) {
    using P = cadhost::DraftingPreferences;
    std::ostringstream out;
    for (int i = 0; i < P::kIntegers; ++i)
        if (before.mpi[i] != after.mpi[i]) out << " mpi[" << i << "] " << before.mpi[i] << "->" << after.mpi[i];
    for (int i = 0; i < P::kReals; ++i)
        if (before.mpr[i] != after.mpr[i]) out << " mpr[" << i << "] " << before.mpr[i] << "->" << after.mpr[i];
    if (before.radius_text != after.radius_text) out << " radius text";
    if (before.diameter_text != after.diameter_text) out << " diameter text";
    if (before.text_angle != after.text_angle) out << " text angle " << before.text_angle << "->" << after.text_angle;
    static const char* const kinds[] = {"dimension", "appended", "tolerance", "general"};
    for (int kind = 0; kind < 4; ++kind) {
        const cadhost::Lettering a = before.lettering_of(kind), b = after.lettering_of(kind);
        if (a.font != b.font || a.width != b.width) out << ' ' << kinds[kind] << " font/width";
        if (a.size != b.size) out << ' ' << kinds[kind] << " size " << a.size << "->" << b.size;
        if (a.char_space_factor != b.char_space_factor)
            out << ' ' << kinds[kind] << " spacing " << a.char_space_factor << "->" << b.char_space_factor;
        if (a.aspect_ratio != b.aspect_ratio)
            out << ' ' << kinds[kind] << " aspect " << a.aspect_ratio << "->" << b.aspect_ratio;
        if (a.line_space_factor != b.line_space_factor)
            out << ' ' << kinds[kind] << " line spacing " << a.line_space_factor << "->" << b.line_space_factor;
    }
    return out.str();
}

}  // namespace testing_support

#endif
