// The extent of the drawing data that the views fit and the DXF header
// names: the path range widened by a tenth of its length on each side.
#pragma once

struct RangeBox {
    float min[3], max[3];
};

// The box used before any file is loaded and after a failed load.
constexpr RangeBox kDefaultRangeBox = {{0, 0, 0}, {50, 50, 50}};
