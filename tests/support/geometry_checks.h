#pragma once

#include <gtest/gtest.h>

#include <tessark/geometry/point.h>

namespace brevane::test
{
    inline Point3D point( double x, double y, double z )
    {
        return Point3D{ { x, y, z } };
    }

    // Each coordinate within the tolerance, naming both points on failure.
    inline void expect_near(
        const Point3D& actual, const Point3D& expected, double tolerance )
    {
        for( local_index_t axis = 0; axis < 3; axis++ )
        {
            EXPECT_NEAR( actual.value( axis ), expected.value( axis ), tolerance )
                << actual.string() << " vs " << expected.string();
        }
    }
} // namespace brevane::test
