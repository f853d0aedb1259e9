#pragma once

#include <vector>

#include <tessark/geometry/bounding_box.h>
#include <tessark/mesh/surface_mesh.h>

namespace brevane::cli
{
    // The polygons of a surface filed by the cells of a regular grid over
    // its plan view, for vertical segments: the candidates of a segment are
    // the polygons of the cell holding its x, y whose box, grown by
    // GLOBAL_EPSILON, meets it, the same polygons a search tree over the
    // surface reports for the segment, at a fraction of the cost of
    // building and walking the tree. Keeps a reference to the mesh.
    class VerticalLookup
    {
    public:
        explicit VerticalLookup( const SurfaceMesh< 3 >& mesh );

        // Calls action( polygon ) for each candidate of the vertical
        // segment.
        template < typename Action >
        void for_each_candidate(
            const Segment3D& vertical, Action& action ) const
        {
            const auto cell = cell_of( vertical.vertices()[0] );
            for( auto position = starts_[cell]; position < starts_[cell + 1];
                 position++ )
            {
                const auto polygon = polygons_[position];
                if( polygon_box( polygon ).epsilon_intersects( vertical ) )
                {
                    action( polygon );
                }
            }
        }

    private:
        [[nodiscard]] BoundingBox3D polygon_box( index_t polygon ) const;
        [[nodiscard]] index_t column( double x ) const;
        [[nodiscard]] index_t row( double y ) const;
        [[nodiscard]] index_t cell_of( const Point3D& point ) const
        {
            return row( point.value( 1 ) ) * nb_columns_
                   + column( point.value( 0 ) );
        }

        const SurfaceMesh< 3 >& mesh_;
        double min_x_{ 0 };
        double min_y_{ 0 };
        double cell_size_{ 1 };
        index_t nb_columns_{ 1 };
        index_t nb_rows_{ 1 };
        // The polygons of cell c are polygons_[starts_[c], starts_[c + 1]).
        std::vector< index_t > starts_;
        std::vector< index_t > polygons_;
    };
} // namespace brevane::cli
