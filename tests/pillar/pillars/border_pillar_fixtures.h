#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/types/span.h>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/structural_model_builder.h>

#include "pillars/side_wall_components.h"

namespace brevane::test
{
    // A small structural model made by hand: component vertices at the same
    // point share one unique vertex. Not movable: the builder refers to the
    // model.
    class HandMadeModel
    {
    public:
        HandMadeModel();
        HandMadeModel( const HandMadeModel& ) = delete;
        HandMadeModel& operator=( const HandMadeModel& ) = delete;

        // A triangulated surface; every triangle is turned, if needed, so
        // that its normal points along `facing`.
        uuid add_surface( std::string_view name,
            absl::Span< const Point3D > points,
            absl::Span< const std::array< index_t, 3 > > triangles,
            const Vector3D& facing );
        // A surface with the given mesh, its vertices bound by point.
        uuid add_surface(
            std::string_view name, std::unique_ptr< SurfaceMesh< 3 > > mesh );
        // A polyline through the points, bounding the surfaces.
        uuid add_line( std::string_view name,
            absl::Span< const Point3D > points,
            absl::Span< const uuid > bounded_surfaces );

        // The model's one ModelBoundary collection, made on first use.
        void add_to_model_boundary( const uuid& surface );
        void remove_from_model_boundary( const uuid& surface );
        // A new Horizon (or Fault) collection holding the surfaces.
        uuid add_horizon( absl::Span< const uuid > surfaces );
        uuid add_fault( absl::Span< const uuid > surfaces );

        // The unique vertex at the point; throws when there is none.
        [[nodiscard]] index_t unique_vertex_at( const Point3D& point ) const;
        // The vertex of the surface's mesh at the point; throws when there
        // is none.
        [[nodiscard]] index_t vertex_at(
            const uuid& surface, const Point3D& point ) const;
        // Binds the vertex of the surface's mesh at the point to a unique
        // vertex of its own: the surface no longer shares it.
        void detach_vertex( const uuid& surface, const Point3D& point );

        StructuralModel model;
        StructuralModelBuilder builder;

    private:
        void bind( const ComponentID& component, index_t vertex,
            const Point3D& point );

        absl::flat_hash_map< Point3D, index_t > uniques_;
        uuid boundary_;
    };

    // Heights of the layered walls: the top at z = 2, the horizon at
    // z = 1 + 0.2 y, the bottom at z = 0.
    [[nodiscard]] double horizon_z( double y );

    // The vertices of the rows of the wall x = 0, by y (from 0 to 2).
    struct WallRows
    {
        std::vector< double > top;
        std::vector< double > horizon;
        std::vector< double > bottom;
    };

    // The corner x = 0, y = 0 of a model over [0, 1] x [0, 2]: a top, a
    // horizon and a bottom surface over the whole rectangle, and two side
    // walls, x = 0 and y = 0, each cut by the horizon into an upper and a
    // lower surface. Every surface is one strip between two rows of
    // vertices; the wall x = 0 has the given rows, the layer surfaces the
    // same rows at x = 0 and at x = 1, the wall y = 0 rows at x = 0 and 1.
    // Boundary surfaces face out of the rectangle's box, the horizon up.
    // Lines run along every edge where two surfaces meet: "top_x",
    // "horizon_x_below" and "horizon_x_above" (the horizon's line on x = 0,
    // cut in two at y = horizon_split, a vertex of the horizon row),
    // "bottom_x" on the wall x = 0; "top_y", "horizon_y", "bottom_y" on the
    // wall y = 0; "corner_upper" and "corner_lower" down the corner. The
    // top, the bottom and the walls are in one ModelBoundary collection, the
    // horizon in a Horizon collection.
    struct LayeredCorner
    {
        LayeredCorner( const WallRows& rows, double horizon_split );

        // The model's top and bottom lists and the pillar at (0, y).
        [[nodiscard]] internal::SideWallContext context( double y ) const;

        HandMadeModel made;
        std::array< uuid, 1 > top_list;
        std::array< uuid, 1 > bottom_list;
        uuid top;
        uuid horizon;
        uuid bottom;
        uuid x_upper;
        uuid x_lower;
        uuid y_upper;
        uuid y_lower;
    };

    // Vertex k of the regular octagon of radius 1 around the z axis at
    // height z, k counted counter-clockwise from (1, 0) (exact coordinates
    // on the axes).
    [[nodiscard]] Point3D octagon_point( index_t k, double z );

    // The side of the octagonal prism between the heights 0, 1 and 2 (three
    // rings), from column `first` to column `last` (last - first <= 8; a
    // tube closed on itself for 8), facing out of the prism.
    [[nodiscard]] std::unique_ptr< TriangulatedSurface3D > octagonal_tube(
        index_t first, index_t last );

} // namespace brevane::test
