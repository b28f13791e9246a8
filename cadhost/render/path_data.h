// SVG path data for a sheet's lines, as short as the sheet allows: each piece's first point absolute (none when it
// starts where the one before ended), every other as the step from the one before (h and v for level and upright
// steps), to 0.01 mm, which is a twentieth of the thinnest line.
#ifndef CADHOST_RENDER_PATH_DATA_H
#define CADHOST_RENDER_PATH_DATA_H

#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

class PathData {
  public:
    // Appends to out; y is turned down from the sheet's height, as SVG's y runs.
    PathData(std::string& out, double height) : out_(out), height_(height) {}

    // The points, closed with z when asked. The steps are taken between the rounded points, so rounding never adds
    // up along a line. A line with a point that is not a finite number of sensible size, or without points, adds
    // nothing.
    void polyline(const std::vector<Point2>& points, bool closed);

    // The arc centre + major cos t + minor sin t for t from start to end, anticlockwise on the sheet, the minor axis
    // being the major turned a quarter anticlockwise and shortened by ratio; a whole turn or more is the whole curve.
    // Nothing for numbers that make no curve.
    void conic(const Point2& centre, const Point2& major, double ratio, double start, double end);

  private:
    bool to_steps(const Point2& p, long long& x, long long& y) const;
    void move_to(long long x, long long y);
    void number(long long hundredths, bool first);

    std::string& out_;
    double height_;
    bool pen_ = false;  // whether the pen's place is known, so that a piece starting there needs no move
    long long x_ = 0, y_ = 0;
    char command_ = 0;
};

}  // namespace cadhost::render

#endif
