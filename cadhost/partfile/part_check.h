// What makes a part sound: the loader refuses a file whose part breaks any of it, and a save refuses to write such a
// part, so that every part file that opens can be drawn and exported.
#ifndef CADHOST_PARTFILE_PART_CHECK_H
#define CADHOST_PARTFILE_PART_CHECK_H

#include <cstddef>
#include <string>

#include "cadhost/document/document.h"

namespace cadhost::partfile {

// Sizes on a sheet (mm) and scales are refused beyond these: a sheet or a view scale past them is damage, and a grid
// finer than the smallest spacing would draw millions of lines.
inline constexpr double kLargestSheet = 10000.0;
inline constexpr double kSmallestGridSpacing = 0.5;
inline constexpr double kLargestScale = 1.0e6;
inline constexpr double kLargestCoordinate = 1.0e7;
// How far a stored direction's length may be from 1.
inline constexpr double kDirectionTolerance = 1.0e-6;
// Counts past which a record is damage: an annotation's text lines, a drawing view's erased objects.
inline constexpr std::size_t kMostAnnotationLines = 10000;
inline constexpr std::size_t kMostErased = 10000000;

// The first problem of the document, naming the object or setting ("object 12 (a drawing view): its scale is nan"),
// or empty when it is sound. A reference to an object that is gone is allowed (deleting an object leaves the
// references to it, which are then ignored); a reference to an object of the wrong kind is not.
std::string part_problem(const Document& doc);

}  // namespace cadhost::partfile

#endif
