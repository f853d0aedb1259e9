#include "section_face_triangulation.h"

#include <algorithm>

#include <samples/strip_triangulation.h>

namespace brevane
{
    namespace
    {
        // The inset of the inner grid: half an edge, but at most a quarter of
        // the face across.
        constexpr double INSET_RATIO{ 0.5 };
        constexpr double MAX_INSET_FRACTION{ 0.25 };

        StripChain chain_of( const FaceSide& side )
        {
            return { side.vertices, side.positions };
        }

        // Bilinear point of the face: u from left to right, v from the top
        // down. Rows (v fixed) are horizontal, columns (u fixed) straight.
        std::array< double, 2 > face_point(
            const SectionFaceBoundary& boundary, double u, double v )
        {
            std::array< double, 2 > point{};
            for( std::size_t axis = 0; axis < 2; axis++ )
            {
                const auto top = ( 1 - u ) * boundary.top_left[axis]
                                 + u * boundary.top_right[axis];
                const auto bottom = ( 1 - u ) * boundary.bottom_left[axis]
                                    + u * boundary.bottom_right[axis];
                point[axis] = ( 1 - v ) * top + v * bottom;
            }
            return point;
        }
    } // namespace

    SectionFaceMesh triangulate_section_face(
        const SectionFaceBoundary& boundary, index_t first_inner,
        double edge_length, const SampleDraw& rows, const SampleDraw& columns )
    {
        const auto thickness = boundary.top_left[1] - boundary.bottom_left[1];
        const auto top_width = boundary.top_right[0] - boundary.top_left[0];
        const auto bottom_width =
            boundary.bottom_right[0] - boundary.bottom_left[0];
        const auto narrowest = std::min( top_width, bottom_width );
        const auto widest = std::max( top_width, bottom_width );
        const auto inset_v = std::min( INSET_RATIO * edge_length,
                                 MAX_INSET_FRACTION * thickness )
                             / thickness;
        const auto inset_u = std::min( INSET_RATIO * edge_length,
                                 MAX_INSET_FRACTION * narrowest )
                             / widest;
        const auto nb_columns = segment_count(
            ( 1 - 2 * inset_u ) * 0.5 * ( top_width + bottom_width ),
            edge_length );
        const auto nb_rows =
            segment_count( ( 1 - 2 * inset_v ) * thickness, edge_length );
        const auto us =
            jittered_samples( inset_u, 1 - inset_u, nb_columns, columns );
        const auto vs = jittered_samples( inset_v, 1 - inset_v, nb_rows, rows );

        SectionFaceMesh mesh;
        const auto nb_per_row = nb_columns + 1;
        mesh.inner_points.reserve(
            static_cast< std::size_t >( nb_per_row ) * ( nb_rows + 1 ) );
        for( const auto v : vs )
        {
            for( const auto u : us )
            {
                mesh.inner_points.push_back( face_point( boundary, u, v ) );
            }
        }
        const auto inner = [first_inner, nb_per_row](
                               index_t column, index_t row )
        {
            return first_inner + column + row * nb_per_row;
        };
        // Grid rows from left to right at the top and bottom of the grid,
        // grid columns from the bottom up at its left and right.
        const auto grid_row = [&]( index_t row )
        {
            FaceSide side;
            for( index_t column = 0; column <= nb_columns; column++ )
            {
                side.vertices.push_back( inner( column, row ) );
                side.positions.push_back(
                    mesh.inner_points[inner( column, row ) - first_inner][0] );
            }
            return side;
        };
        const auto grid_column = [&]( index_t column )
        {
            FaceSide side;
            for( index_t row = nb_rows + 1; row-- > 0; )
            {
                side.vertices.push_back( inner( column, row ) );
                side.positions.push_back(
                    mesh.inner_points[inner( column, row ) - first_inner][1] );
            }
            return side;
        };
        // The second chain of each strip is on the right of the first one,
        // seen along them: every triangle turns counter-clockwise.
        append_strip_triangles( chain_of( boundary.top ),
            chain_of( grid_row( 0 ) ), mesh.triangles );
        append_strip_triangles( chain_of( grid_row( nb_rows ) ),
            chain_of( boundary.bottom ), mesh.triangles );
        append_strip_triangles( chain_of( boundary.left ),
            chain_of( grid_column( 0 ) ), mesh.triangles );
        append_strip_triangles( chain_of( grid_column( nb_columns ) ),
            chain_of( boundary.right ), mesh.triangles );
        for( index_t row = 0; row < nb_rows; row++ )
        {
            for( index_t column = 0; column < nb_columns; column++ )
            {
                const auto top_left = inner( column, row );
                const auto top_right = inner( column + 1, row );
                const auto bottom_left = inner( column, row + 1 );
                const auto bottom_right = inner( column + 1, row + 1 );
                mesh.triangles.push_back(
                    { bottom_left, bottom_right, top_right } );
                mesh.triangles.push_back(
                    { bottom_left, top_right, top_left } );
            }
        }
        return mesh;
    }
} // namespace brevane
