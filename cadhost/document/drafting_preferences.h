// The annotation preferences of a part: the integer and real entries that notes, labels and dimensions are made with,
// and the texts put before radius and diameter values. This table is the one place that says what each entry means;
// the renderer honours every entry listed here and ignores the others.
//
//   entry    meaning                                                              values (host default first)
//   mpi[1]   which end of a label's text its leader attaches to                   1 the text's left end (text to the
//                                                                                 right of the leader), 2 its right end
//   mpi[3]   placement of dimension text                                          1 automatic (centred on the dimension
//                                                                                 line), 2 manual (at the origin given)
//   mpi[6]   arrowhead style of dimensions and labels                             2 closed, 1 open, 8 filled
//   mpi[7]   extension lines                                                      1 both, 2 first only, 3 second only,
//                                                                                 4 none
//   mpi[9]   decimal places of dimension values                                   2 (0 to 6)
//   mpi[13]  unit of dimension values                                             1 millimetres, 2 inches
//   mpi[16]  form of dimension values                                             1 main unit only, 2 main and the
//                                                                                 other unit in brackets
//   mpi[30]  alignment of note and label text on its origin: the origin is the    5 (1 to 9)
//            point of the text's box, 1 top left, 2 top centre, 3 top right,
//            4 middle left, 5 middle, 6 middle right, 7 bottom left,
//            8 bottom centre, 9 bottom right
//   mpi[90]  trailing zeros of dimension values                                   1 kept, 0 dropped
//   mpr[5]   diameter of the symbol that marks an ordinate origin, mm            3.0
//   mpr[9]   arrowhead length, mm                                                 3.0
//   mpr[27]  arrowhead included angle, degrees (5 to 90)                          20.0
//   mpr[32]  dimension text height, mm                                            3.5
//   mpr[33]  dimension text character spacing: 1 the font's own, each 0.1 more   1.0
//            or less widens or narrows the gaps by 2% of the height
//   mpr[34]  gap between dimension text and its line, mm                          1.0
//
// A note or dimension keeps the values in force when it was made; changing the preferences later changes only what
// is made afterwards. Entries not listed here are kept and handed back but change nothing.
//   mpr[44]  note and label text height, mm                                       3.5
//   mpr[45]  note and label text aspect ratio (character width / height)          1.0
#ifndef CADHOST_DOCUMENT_DRAFTING_PREFERENCES_H
#define CADHOST_DOCUMENT_DRAFTING_PREFERENCES_H

#include <array>
#include <string>

namespace cadhost {

// One kind of text's lettering (see host/uf_drf.h for the record these travel in).
struct Lettering {
    int font = 1;
    int width = 1;  // kept, not used: strokes of text are the font's own
    double size = 3.5;
    double char_space_factor = 1.0;
    double aspect_ratio = 1.0;
    double line_space_factor = 1.0;
    bool operator==(const Lettering&) const = default;
};

struct DraftingPreferences {
    static constexpr int kIntegers = 100;
    static constexpr int kReals = 70;
    // Longest radius or diameter text, terminator excluded; the interface's buffers hold 27 bytes.
    static constexpr std::size_t kSymbolTextLength = 26;

    std::array<int, kIntegers> mpi{};
    std::array<double, kReals> mpr{};
    std::string radius_text = "R";
    std::string diameter_text = "\xE2\x8C\x80";  // the diameter sign

    // Lettering of dimension values, appended text, tolerances and general text (notes, labels). The sizes, spacing
    // and aspect ratio that the entries above also hold live there and not here: dimension size mpr[32], dimension
    // spacing mpr[33], general size mpr[44], general aspect ratio mpr[45]; alignment mpi[30].
    enum LetteringKind { kDimensionText = 0, kAppendedText = 1, kToleranceText = 2, kGeneralText = 3 };
    std::array<Lettering, 4> lettering{};
    double text_angle = 0.0;

    // A lettering group with the shared members filled from the entries above.
    Lettering lettering_of(int kind) const {
        Lettering out = lettering[kind];
        if (kind == kDimensionText) out.size = mpr[32], out.char_space_factor = mpr[33];
        if (kind == kGeneralText) out.size = mpr[44], out.aspect_ratio = mpr[45];
        return out;
    }
    void set_lettering(int kind, const Lettering& value) {
        lettering[kind] = value;
        if (kind == kDimensionText) mpr[32] = value.size, mpr[33] = value.char_space_factor;
        if (kind == kGeneralText) mpr[44] = value.size, mpr[45] = value.aspect_ratio;
    }

    DraftingPreferences() {
        mpi[1] = 1;
        mpi[3] = 1;
        mpi[6] = 2;
        mpi[7] = 1;
        mpi[9] = 2;
        mpi[13] = 1;
        mpi[16] = 1;
        mpi[30] = 5;
        mpi[90] = 1;
        mpr[5] = 3.0;
        mpr[9] = 3.0;
        mpr[27] = 20.0;
        mpr[32] = 3.5;
        mpr[33] = 1.0;
        mpr[34] = 1.0;
        mpr[44] = 3.5;
        mpr[45] = 1.0;
    }
    bool operator==(const DraftingPreferences&) const = default;
};

}  // namespace cadhost

#endif
