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
        // The centres tried per group: stacked surfaces overlap over wide
        // areas, and a smaller overlap still stops the build at its slice
        // check, naming the surfaces.
        constexpr index_t max_sampled_centres{ 1 << 16 };

        double cross( const Point3D& a, const Point3D& b, double x, double y )
        {
            return ( b.value( 0 ) - a.value( 0 ) ) * ( y - a.value( 1 ) )
                   - ( b.value( 1 ) - a.value( 1 ) ) * ( x - a.value( 0 ) );
        }

        double doubled_area( const std::array< Point3D, 3 >& points )
        {
            return cross( points[0], points[1], points[2].value( 0 ),
                points[2].value( 1 ) );
        }

        // The triangles of a group, by surface then polygon, read in place.
        class GroupTriangles
        {
        public:
            GroupTriangles(
                const StructuralModel& model, const SurfaceGroup& group )
            {
                for( index_t surface = 0; surface < group.size(); surface++ )
                {
                    if( !model.has_surface( group[surface] ) )
                    {
                        continue;
                    }
                    const auto& mesh = model.surface( group[surface] ).mesh();
                    meshes_.push_back( &mesh );
                    surfaces_.push_back( surface );
                    offsets_.push_back( offsets_.back() + mesh.nb_polygons() );
                }
            }

            [[nodiscard]] index_t size() const
            {
                return offsets_.back();
            }

            // The group's index of the surface holding the triangle.
            [[nodiscard]] index_t surface( index_t triangle ) const
            {
                return surfaces_[mesh_of( triangle )];
            }

            // The triangle's points, or nothing for a polygon that is no
            // triangle or a triangle of no area in plan view.
            [[nodiscard]] std::optional< std::array< Point3D, 3 > > points(
                index_t triangle ) const
            {
                const auto which = mesh_of( triangle );
                const auto& mesh = *meshes_[which];
                const auto polygon = triangle - offsets_[which];
                if( mesh.nb_polygon_vertices( polygon ) != 3 )
                {
                    return std::nullopt;
                }
                std::array< Point3D, 3 > result;
                for( local_index_t corner = 0; corner < 3; corner++ )
                {
                    result[corner] = mesh.point(
                        mesh.polygon_vertex( { polygon, corner } ) );
                }
                if( doubled_area( result ) == 0 )
                {
                    return std::nullopt;
                }
                return result;
            }

        private:
            index_t mesh_of( index_t triangle ) const
            {
                return static_cast< index_t >(
                    std::upper_bound(
                        offsets_.begin(), offsets_.end(), triangle )
                    - offsets_.begin() - 1 );
            }

            std::vector< const SurfaceMesh< 3 >* > meshes_;
            std::vector< index_t > surfaces_;
            std::vector< index_t > offsets_{ 0 };
        };

        // The height of the triangle's plane at (x, y) when the point lies
        // strictly inside the triangle in plan view.
        std::optional< double > height_inside(
            const std::array< Point3D, 3 >& points, double x, double y )
        {
            const auto area = doubled_area( points );
            const auto sign = area > 0 ? 1.0 : -1.0;
            const auto margin = relative_margin * std::abs( area );
            std::array< double, 3 > weights{};
            for( local_index_t side = 0; side < 3; side++ )
            {
                const auto& from = points[( side + 1 ) % 3];
                const auto& to = points[( side + 2 ) % 3];
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
                height += weights[corner] * points[corner].value( 2 );
            }
            return height / total;
        }

        // Sampled triangle centres, indexed by a grid of about one cell per
        // centre over the group's plan-view box.
        class CentreGrid
        {
        public:
            CentreGrid( const GroupTriangles& triangles, index_t stride )
            {
                for( index_t triangle = 0; triangle < triangles.size();
                     triangle += stride )
                {
                    if( const auto points = triangles.points( triangle ) )
                    {
                        centres_.push_back(
                            ( ( *points )[0] + ( *points )[1] + ( *points )[2] )
                            / 3. );
                        triangles_.push_back( triangle );
                        for( local_index_t axis = 0; axis < 2; axis++ )
                        {
                            min_[axis] = std::min(
                                min_[axis], centres_.back().value( axis ) );
                            max_[axis] = std::max(
                                max_[axis], centres_.back().value( axis ) );
                        }
                    }
                }
                const auto side = static_cast< index_t >(
                    std::max( 1.0, std::ceil( std::sqrt( static_cast< double >(
                                       centres_.size() ) ) ) ) );
                nb_ = { side, side };
                for( local_index_t axis = 0; axis < 2; axis++ )
                {
                    length_[axis] =
                        std::max( ( max_[axis] - min_[axis] ) / side, 1e-300 );
                }
                offsets_.assign(
                    static_cast< std::size_t >( side ) * side + 1, 0 );
                for( const auto& centre : centres_ )
                {
                    offsets_[cell_of( centre ) + 1]++;
                }
                for( std::size_t cell = 1; cell < offsets_.size(); cell++ )
                {
                    offsets_[cell] += offsets_[cell - 1];
                }
                items_.resize( centres_.size() );
                auto next = offsets_;
                for( index_t centre = 0; centre < centres_.size(); centre++ )
                {
                    items_[next[cell_of( centres_[centre] )]++] = centre;
                }
            }

            [[nodiscard]] index_t nb_centres() const
            {
                return static_cast< index_t >( centres_.size() );
            }
            [[nodiscard]] const Point3D& centre( index_t centre ) const
            {
                return centres_[centre];
            }
            [[nodiscard]] index_t triangle( index_t centre ) const
            {
                return triangles_[centre];
            }

            // Visits the centres in the cells the box of the points covers.
            template < typename Visit >
            void for_centres_near( const std::array< Point3D, 3 >& points,
                const Visit& visit ) const
            {
                std::array< double, 2 > low{ points[0].value( 0 ),
                    points[0].value( 1 ) };
                auto high = low;
                for( const auto& point : points )
                {
                    for( local_index_t axis = 0; axis < 2; axis++ )
                    {
                        low[axis] = std::min( low[axis], point.value( axis ) );
                        high[axis] =
                            std::max( high[axis], point.value( axis ) );
                    }
                }
                if( high[0] < min_[0] || low[0] > max_[0] || high[1] < min_[1]
                    || low[1] > max_[1] )
                {
                    return;
                }
                const auto last_j = clamp_cell( high[1], 1 );
                const auto last_i = clamp_cell( high[0], 0 );
                for( auto j = clamp_cell( low[1], 1 ); j <= last_j; j++ )
                {
                    for( auto i = clamp_cell( low[0], 0 ); i <= last_i; i++ )
                    {
                        const auto cell =
                            static_cast< std::size_t >( i )
                            + static_cast< std::size_t >( nb_[0] ) * j;
                        for( auto item = offsets_[cell];
                             item < offsets_[cell + 1]; item++ )
                        {
                            visit( items_[item] );
                        }
                    }
                }
            }

        private:
            index_t clamp_cell( double value, local_index_t axis ) const
            {
                const auto cell =
                    std::floor( ( value - min_[axis] ) / length_[axis] );
                return static_cast< index_t >( std::clamp(
                    cell, 0.0, static_cast< double >( nb_[axis] - 1 ) ) );
            }

            std::size_t cell_of( const Point3D& point ) const
            {
                return static_cast< std::size_t >(
                           clamp_cell( point.value( 0 ), 0 ) )
                       + static_cast< std::size_t >( nb_[0] )
                             * clamp_cell( point.value( 1 ), 1 );
            }

            std::vector< Point3D > centres_;
            std::vector< index_t > triangles_;
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
        const GroupTriangles triangles{ model, group };
        if( triangles.size() < 2 )
        {
            return std::nullopt;
        }
        const auto stride = std::max(
            index_t{ 1 }, ( triangles.size() + max_sampled_centres - 1 )
                              / max_sampled_centres );
        const CentreGrid centres{ triangles, stride };
        // For each centre, the lowest triangle holding it strictly at another
        // height, and that height: one pass over the triangles.
        std::vector< std::pair< index_t, double > > holder(
            centres.nb_centres(), { NO_ID, 0. } );
        for( index_t triangle = 0; triangle < triangles.size(); triangle++ )
        {
            const auto points = triangles.points( triangle );
            if( !points )
            {
                continue;
            }
            centres.for_centres_near( *points,
                [&]( index_t centre )
                {
                    if( holder[centre].first != NO_ID
                        || centres.triangle( centre ) == triangle )
                    {
                        return;
                    }
                    const auto& point = centres.centre( centre );
                    const auto height = height_inside(
                        *points, point.value( 0 ), point.value( 1 ) );
                    if( height
                        && std::abs( *height - point.value( 2 ) )
                               > point_tolerance )
                    {
                        holder[centre] = { triangle, *height };
                    }
                } );
        }
        for( index_t centre = 0; centre < centres.nb_centres(); centre++ )
        {
            if( holder[centre].first == NO_ID )
            {
                continue;
            }
            const auto& here = centres.centre( centre );
            const Point3D there{ { here.value( 0 ), here.value( 1 ),
                holder[centre].second } };
            const auto& surface =
                group[triangles.surface( centres.triangle( centre ) )];
            const auto& other =
                group[triangles.surface( holder[centre].first )];
            return here.value( 2 ) > there.value( 2 )
                       ? StackedGroupPoints{ surface, other, here, there }
                       : StackedGroupPoints{ other, surface, there, here };
        }
        return std::nullopt;
    }
} // namespace brevane::internal
