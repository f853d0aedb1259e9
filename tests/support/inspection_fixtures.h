#pragma once

#include <array>
#include <string_view>
#include <vector>

#include <tessark/model/structural_model.h>

namespace brevane::test
{
    // A box [0, 10]^3 closed by six surfaces, all in one ModelBoundary
    // collection: "top" (z = 10), "bottom" (z = 0) and four walls
    // "wall_x_min" (x = 0), "wall_x_max" (x = 10), "wall_y_min" (y = 0) and
    // "wall_y_max" (y = 10), added in that order. Each surface is a grid of
    // 3 x 3 vertices 5 apart (8 triangles, one inner vertex at its center);
    // the triangles of top and bottom turn counter-clockwise seen from
    // above. Vertices at the same point share one unique vertex; there are
    // no lines, corners nor blocks.
    struct WalledBox
    {
        WalledBox();

        // The unique vertex at that point; throws when there is none.
        [[nodiscard]] index_t unique_vertex_at( const Point3D& point ) const;

        StructuralModel model;
        uuid top;
        uuid bottom;
        // x min, x max, y min, y max.
        std::array< uuid, 4 > walls;
        uuid boundary;
    };

    // Moves every component vertex of the unique vertex to the point.
    void move_unique_vertex(
        StructuralModel& model, index_t unique_vertex, const Point3D& point );

    // Reverses the vertex order of one triangle of a surface (its first
    // vertex stays first), keeping every vertex and its unique vertex.
    void reverse_triangle(
        StructuralModel& model, const uuid& surface, index_t triangle );

    // The model's surface with that name; throws when there is none.
    [[nodiscard]] const Surface< 3 >& surface_named(
        const BRep& model, std::string_view name );

    // The vertices used by polygons of the mesh and not on its border.
    [[nodiscard]] std::vector< index_t > inner_vertices(
        const SurfaceMesh< 3 >& mesh );

    // The vertices on the border of the mesh.
    [[nodiscard]] std::vector< index_t > border_vertices(
        const SurfaceMesh< 3 >& mesh );
} // namespace brevane::test
