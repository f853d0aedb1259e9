#pragma once

#include <memory>
#include <vector>

#include <tessark/basic/uuid.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_modifier.h>

namespace brevane::internal::test
{
    // The height given to every vertex of the fixtures: linear, so that any
    // interpolation along an edge or inside a triangle is exact.
    [[nodiscard]] double height_at( const Point2D& point );

    // A background surface over a triangulation, with its builders and
    // modifier, the "z_coordinate" vertex attribute (height_at) and the
    // "surface_ids" polygon attribute (one uuid per triangle, shared by the
    // fixture's `top` id), and one macro element record (top, triangle) per
    // triangle.
    class BackgroundFixture
    {
    public:
        explicit BackgroundFixture(
            std::unique_ptr< TriangulatedSurface2D > triangulation );

        [[nodiscard]] const TriangulatedSurface2D& mesh() const
        {
            return *surface;
        }
        [[nodiscard]] double height( index_t vertex ) const;
        [[nodiscard]] const std::vector< uuid >& surface_ids(
            index_t polygon ) const;

        uuid top;
        std::unique_ptr< TriangulatedSurface2D > surface;
        std::unique_ptr< TriangulatedSurfaceBuilder2D > surface_builder;
        std::unique_ptr< BackgroundSurface > background;
        std::unique_ptr< BackgroundSurfaceBuilder > background_builder;
        std::unique_ptr< BackgroundSurfaceModifier > modifier;
    };

    // A triangulation from points and counter-clockwise triangles, with its
    // adjacencies computed.
    [[nodiscard]] std::unique_ptr< TriangulatedSurface2D > make_triangulation(
        const std::vector< Point2D >& points,
        const std::vector< std::array< index_t, 3 > >& triangles );
} // namespace brevane::internal::test
