// The EDM setup a sheet carries (the attributes of host/sheet_setup.h on its drawing), read back for the setup list,
// the bill of material, the summary pages and the sheet browser.
#ifndef CADHOST_SETUP_SHEET_SETUP_H
#define CADHOST_SETUP_SHEET_SETUP_H

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/document/document.h"

namespace cadhost::setup {

struct SheetSetup {
    tag_t drawing = 0;
    std::string sheet;  // the drawing's name
    int page = 0, pages = 0;
    std::string electrode;
    int layer = 0;
    int place = 0, places = 0;
    int direction = 0;  // 1 t, -1 -t, 2 f, -2 -f, 3 s, -3 -s
    std::optional<std::array<double, 3>> edm_point;
    // Which point edm_point is: the single-side touch point (true) or the electrode's reference point; unknown for
    // sheets recorded before the run said.
    std::optional<bool> edm_touch;
    std::optional<std::array<double, 3>> edm_model_point;  // the same point in model coordinates
    std::string top_view;                                  // the drawing view that shows it from above
    // How far the electrode burns past the depth-zero plane (the core's face on the side it comes from).
    std::optional<double> depth;
    std::optional<double> rotation;  // degrees, anticlockwise from above, against the layer's first copy
    // As the sheet writes them; empty where the sheet shows nothing.
    std::string rough_gap, finish_gap, rough_count, finish_count;
    std::string special_rough_gap, special_finish_gap, special_rough_count, special_finish_count;
    std::optional<std::array<double, 3>> box;
    std::optional<std::array<double, 3>> working;
    int chamfer_corner = 0;
    std::string note;
};

// The setup of the drawing, or nothing for a drawing the run did not complete (or one made before setups were kept).
std::optional<SheetSetup> sheet_setup(const Document& doc, tag_t drawing);

// The setups of every drawing that has one, in the part's sheet order.
std::vector<SheetSetup> setups_of(const Document& doc);

// "t", "-t", "f", "-f", "s", "-s", or "" for any other code.
std::string direction_name(int direction);

// The way the electrode burns, as a signed model axis ("-Z" for an electrode whose base is on top); "" for an unknown
// code.
std::string burn_direction_name(int direction);

// Millimetres with three decimals and a decimal point whatever the locale; no "-0.000".
std::string millimetres(double value);

// "touch" or "reference" for the point the EDM coordinates give; "" when the sheet does not say.
std::string edm_point_kind(const SheetSetup& setup);
// The same for a reader of the sheet: "单边碰" or "基准点".
std::string edm_point_kind_text(const SheetSetup& setup);

// Degrees to two decimals without trailing zeros ("90", "37.5"); "" for none.
std::string degrees_text(const std::optional<double>& degrees);

}  // namespace cadhost::setup

#endif
