// Where a sheet text sits relative to its anchor. The box a keypad alignment refers to is the capital box: from the
// baseline (bottom) to the top of the capitals (top), so "bottom" is the baseline as in DXF's left/centre/right
// alignments, and descenders hang below the box.
#ifndef CADHOST_RENDER_TEXT_PLACEMENT_H
#define CADHOST_RENDER_TEXT_PLACEMENT_H

namespace cadhost::render {

// The family list asked of every output that names fonts. WenQuanYi Micro Hei comes first because it is the font the
// project installs; the others are what a reader's machine may have instead.
inline constexpr const char* kSheetFontFamilies = "WenQuanYi Micro Hei,Noto Sans CJK SC,WenQuanYi Zen Hei,sans-serif";

// Capital height per em of WenQuanYi Micro Hei. Outputs that cannot measure the font (SVG, read on another machine)
// size their em from it; the PDF writer measures the installed font instead, and a test keeps the two in agreement.
inline constexpr double kCapitalHeightPerEm = 0.714;

enum class VerticalPlace { Baseline, Middle, Top };

struct TextPlacement {
    double horizontal = 0.0;  // 0 left, 0.5 centre, 1 right: the fraction of the text's advance left of the anchor
    VerticalPlace vertical = VerticalPlace::Baseline;
};

// Alignments outside 1..9 are read as 7 (bottom left), the default of a text, rather than rejected, so that one odd
// annotation does not cost the whole sheet.
inline TextPlacement placement_of(int keypad) {
    if (keypad < 1 || keypad > 9) keypad = 7;
    const int row = (keypad - 1) / 3;
    const int column = (keypad - 1) % 3;
    TextPlacement placement;
    placement.horizontal = 0.5 * column;
    placement.vertical = row == 0 ? VerticalPlace::Top : row == 1 ? VerticalPlace::Middle : VerticalPlace::Baseline;
    return placement;
}

// How far the baseline lies below the anchor, in the text's own upright frame.
inline double baseline_below_anchor(const TextPlacement& placement, double capital_height) {
    switch (placement.vertical) {
        case VerticalPlace::Top:
            return capital_height;
        case VerticalPlace::Middle:
            return 0.5 * capital_height;
        case VerticalPlace::Baseline:
            break;
    }
    return 0.0;
}

}  // namespace cadhost::render

#endif
