#pragma once

#include <array>
#include <string>
#include <vector>

#include <tessark/geometry/point.h>

namespace brevane
{
    // One triangulated piece of a GOCAD TSurf object (one TFACE), with its
    // own vertex numbering: triangles index points. Coordinates are in
    // elevation (z up) whatever the file's convention.
    struct TSurfPart
    {
        // "<object>" when the object has one part, "<object>:<index>" when
        // it has several (index from 0, in file order).
        std::string name;
        // The HEADER name of the TSurf object the part belongs to.
        std::string object;
        std::vector< Point3D > points;
        std::vector< std::array< index_t, 3 > > triangles;
    };
} // namespace brevane
