#include "inspection/stacked_group_surfaces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace brevane::internal
{
    namespace
    {
        // Points closer than this in height are one point of a column.
        constexpr double point_tolerance{ 1e-6 };
        // A centre this close (relative to the triangle's area) to a side of
        // another triangle is not strictly inside it.
        constexpr double relative_margin{ 1e-9 };

        struct PlanTriangle
        {
            std::array< Point3D, 3 > points;
            index_t surface;
            double doubled_area;
        };

        double cross( const Point3D& a, const Point3D& b, double x, double y )
        {
            return ( b.value( 0 ) - a.value( 0 ) ) * ( y - a.value( 1 ) )
                   - ( b.value( 1 ) - a.value( 1 ) ) * ( x - a.value( 0 ) );
        }

        // The height of the triangle's plane at (x, y) when the point lies
        // strictly inside the triangle in plan view.
        std::optional< double > height_inside(
            const PlanTriangle& triangle, double x, double y )
        {
            const auto sign = triangle.doubled_area > 0 ? 1.0 : -1.0;
            const auto margin =
                relative_margin * std::abs( triangle.doubled_area );
            std::array< double, 3 > weights{};
            for( local_index_t side = 0; side < 3; side++ )
            {
                const auto& from = triangle.points[( side + 1 ) % 3];
                const auto& to = triangle.points[( side + 2 ) % 3];
                weights[side] = sign * cross( from, to, x, y );
                if( weights[side] <= margin )
                {
                    return std::nullopt;
                }
            }
            const auto total = weights[0] + weights[1] + weights[2];
            double height{ 0 };
            for( local_index_t corner = 0; corner < 3; corner++ )
            {
                height += weights[corner] * triangle.points[corner].value( 2 );
            }
            return height / total;
        }

        std::vector< PlanTriangle > plan_triangles(
            const StructuralModel& model, const SurfaceGroup& group )
        {
            std::vector< PlanTriangle > triangles;
            for( index_t surface = 0; surface < group.size(); surface++ )
            {
                if( !model.has_surface( group[surface] ) )
                {
                    continue;
                }
                const auto& mesh = model.surface( group[surface] ).mesh();
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    if( mesh.nb_polygon_vertices( polygon ) != 3 )
                    {
                        continue;
                    }
                    PlanTriangle triangle{ {}, surface, 0 };
                    for( local_index_t corner = 0; corner < 3; corner++ )
                    {
                        triangle.points[corner] = mesh.point(
                            mesh.polygon_vertex( { polygon, corner } ) );
                    }
                    triangle.doubled_area = cross( triangle.points[0],
                        triangle.points[1], triangle.points[2].value( 0 ),
                        triangle.points[2].value( 1 ) );
                    if( triangle.doubled_area != 0 )
                    {
                        triangles.push_back( triangle );
                    }
                }
            }
            return triangles;
        }

        // The triangles touching each cell of a grid of about one cell per
        // triangle over their plan-view box, cell by cell.
        class TriangleGrid
        {
        public:
            explicit TriangleGrid(
                const std::vector< PlanTriangle >& triangles )
            {
                for( const auto& triangle : triangles )
                {
                    for( const auto& point : triangle.points )
                    {
                        for( local_index_t axis = 0; axis < 2; axis++ )
                        {
                            min_[axis] =
                                std::min( min_[axis], point.value( axis ) );
                            max_[axis] =
                                std::max( max_[axis], point.value( axis ) );
                        }
                    }
                }
                // Long triangles cover many cells: coarser cells keep the
                // lists within a few entries per triangle.
                auto side = static_cast< index_t >(
                    std::max( 1.0, std::ceil( std::sqrt( static_cast< double >(
                                       triangles.size() ) ) ) ) );
                set_side( side );
                while( side > 1
                       && nb_entries( triangles ) > 16 * triangles.size() )
                {
                    side /= 2;
                    set_side( side );
                }
                offsets_.assign(
                    static_cast< std::size_t >( side ) * side + 1, 0 );
                for( const auto& triangle : triangles )
                {
                    for_cells( triangle,
                        [this]( std::size_t cell )
                        {
                            offsets_[cell + 1]++;
                        } );
                }
                for( std::size_t cell = 1; cell < offsets_.size(); cell++ )
                {
                    offsets_[cell] += offsets_[cell - 1];
                }
                items_.resize( offsets_.back() );
                auto next = offsets_;
                for( index_t triangle = 0; triangle < triangles.size();
                     triangle++ )
                {
                    for_cells( triangles[triangle],
                        [&]( std::size_t cell )
                        {
                            items_[next[cell]++] = triangle;
                        } );
                }
            }

            template < typename Visit >
            void for_triangles_at(
                double x, double y, const Visit& visit ) const
            {
                const auto cell = cell_index( { x, y } );
                for( auto item = offsets_[cell]; item < offsets_[cell + 1];
                     item++ )
                {
                    visit( items_[item] );
                }
            }

        private:
            void set_side( index_t side )
            {
                nb_ = { side, side };
                for( local_index_t axis = 0; axis < 2; axis++ )
                {
                    length_[axis] =
                        std::max( ( max_[axis] - min_[axis] ) / side, 1e-300 );
                }
            }

            std::size_t nb_entries(
                const std::vector< PlanTriangle >& triangles ) const
            {
                std::size_t nb{ 0 };
                for( const auto& triangle : triangles )
                {
                    for_cells( triangle,
                        [&nb]( std::size_t )
                        {
                            nb++;
                        } );
                }
                return nb;
            }

            index_t clamp_cell( double value, local_index_t axis ) const
            {
                const auto cell =
                    std::floor( ( value - min_[axis] ) / length_[axis] );
                return static_cast< index_t >( std::clamp(
                    cell, 0.0, static_cast< double >( nb_[axis] - 1 ) ) );
            }

            std::size_t cell_index( const std::array< double, 2 >& point ) const
            {
                return static_cast< std::size_t >( clamp_cell( point[0], 0 ) )
                       + static_cast< std::size_t >( nb_[0] )
                             * clamp_cell( point[1], 1 );
            }

            template < typename Visit >
            void for_cells(
                const PlanTriangle& triangle, const Visit& visit ) const
            {
                std::array< double, 2 > low{ max_ };
                std::array< double, 2 > high{ min_ };
                for( const auto& point : triangle.points )
                {
                    for( local_index_t axis = 0; axis < 2; axis++ )
                    {
                        low[axis] = std::min( low[axis], point.value( axis ) );
                        high[axis] =
                            std::max( high[axis], point.value( axis ) );
                    }
                }
                for( auto j = clamp_cell( low[1], 1 );
                     j <= clamp_cell( high[1], 1 ); j++ )
                {
                    for( auto i = clamp_cell( low[0], 0 );
                         i <= clamp_cell( high[0], 0 ); i++ )
                    {
                        visit( static_cast< std::size_t >( i )
                               + static_cast< std::size_t >( nb_[0] ) * j );
                    }
                }
            }

            std::array< double, 2 > min_{ INFINITY, INFINITY };
            std::array< double, 2 > max_{ -INFINITY, -INFINITY };
            std::array< index_t, 2 > nb_{};
            std::array< double, 2 > length_{};
            std::vector< std::size_t > offsets_;
            std::vector< index_t > items_;
        };
    } // namespace

    std::optional< StackedGroupPoints > find_stacked_group_points(
        const StructuralModel& model, const SurfaceGroup& group )
    {
        const auto triangles = plan_triangles( model, group );
        if( triangles.size() < 2 )
        {
            return std::nullopt;
        }
        const TriangleGrid grid{ triangles };
        for( index_t current = 0; current < triangles.size(); current++ )
        {
            const auto& triangle = triangles[current];
            double x{ 0 };
            double y{ 0 };
            double z{ 0 };
            for( const auto& point : triangle.points )
            {
                x += point.value( 0 ) / 3;
                y += point.value( 1 ) / 3;
                z += point.value( 2 ) / 3;
            }
            std::optional< StackedGroupPoints > found;
            grid.for_triangles_at( x, y,
                [&]( index_t other )
                {
                    if( found || other == current )
                    {
                        return;
                    }
                    const auto height = height_inside( triangles[other], x, y );
                    if( !height || std::abs( *height - z ) <= point_tolerance )
                    {
                        return;
                    }
                    const Point3D here{ { x, y, z } };
                    const Point3D there{ { x, y, *height } };
                    const auto& other_surface = group[triangles[other].surface];
                    const auto& surface = group[triangle.surface];
                    found = z > *height ? StackedGroupPoints{ surface,
                        other_surface, here, there }
                                        : StackedGroupPoints{ other_surface,
                                              surface, there, here };
                } );
            if( found )
            {
                return found;
            }
        }
        return std::nullopt;
    }
} // namespace brevane::internal
