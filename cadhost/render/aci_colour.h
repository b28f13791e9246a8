// The drawing-exchange format's indexed colours: a reader that ignores a line's true colour shows the index.
#ifndef CADHOST_RENDER_ACI_COLOUR_H
#define CADHOST_RENDER_ACI_COLOUR_H

#include <cstdint>

namespace cadhost::render {

// The index 1 to 255 whose colour is nearest to 0xRRGGBB. Black, which the format has no index for, is 7: the
// colour of the background's opposite, black on paper.
int nearest_aci(std::uint32_t rgb);

// The colour of an index 1 to 255, as 0xRRGGBB (7 as black).
std::uint32_t aci_rgb(int index);

}  // namespace cadhost::render

#endif
