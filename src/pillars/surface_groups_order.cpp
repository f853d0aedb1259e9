#include "pillars/surface_groups_order.h"

#include <algorithm>
#include <cstdint>

#include <absl/container/flat_hash_map.h>

#include <tessark/geometry/barycentric_coordinates.h>
#include <tessark/search/ray_tracing.h>

#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order_search.h"

namespace brevane::internal
{
    namespace
    {
        Segment3D triangle_column( const ColumnSamplingContext& context,
            index_t triangle,
            double bottom_z )
        {
            const auto& plan_view = context.plan_view;
            const auto barycenter = plan_view.polygon_barycenter( triangle );
            const auto weights = safe_triangle_barycentric_coordinates(
                barycenter, plan_view.triangle( triangle ) );
            const auto vertices = plan_view.polygon_vertices( triangle );
            double top_z{ 0 };
            for( local_index_t corner = 0; corner < 3; corner++ )
            {
                top_z += weights[corner]
                         * context.z_coordinate.value( vertices[corner] );
            }
            const auto x = barycenter.value( 0 );
            const auto y = barycenter.value( 1 );
            return { Point3D{ { x, y, top_z } }, Point3D{ { x, y, bottom_z } } };
        }

        // The highest hit of the column on the surface; the first listed
        // among equal heights.
        std::optional< Point3D > highest_hit(
            const RayTracing3D& tracer )
        {
            std::optional< Point3D > highest;
            for( const auto& hit : tracer.all_intersections() )
            {
                if( !highest || hit.point.value( 2 ) > highest->value( 2 ) )
                {
                    highest = hit.point;
                }
            }
            return highest;
        }
    } // namespace

    std::vector< ColumnHit > column_hits( const ColumnSamplingContext& context,
        index_t triangle,
        double bottom_z )
    {
        const auto column = triangle_column( context, triangle, bottom_z );
        const auto& trees = context.trees;
        std::vector< index_t > candidates;
        auto collect = [&candidates]( index_t mesh ) {
            candidates.push_back( mesh );
        };
        trees.components_tree.compute_segment_element_bbox_intersections(
            column, collect );
        std::vector< ColumnHit > hits;
        for( const auto mesh : candidates )
        {
            const auto& id = trees.mesh_ids[mesh];
            if( is_in_collection_of_type( context.model, id, "ModelBoundary" ) )
            {
                continue;
            }
            const auto& surface_mesh = context.model.surface( id ).mesh();
            RayTracing3D tracer{ surface_mesh, column.vertices()[0], column };
            const auto& tree = trees.mesh_trees[trees.uuid_to_mesh_index.at( id )];
            tree.compute_segment_element_bbox_intersections( column, tracer );
            if( const auto hit = highest_hit( tracer ) )
            {
                hits.push_back( { id, *hit } );
            }
        }
        std::sort( hits.begin(), hits.end(),
            []( const ColumnHit& first, const ColumnHit& second ) {
                const auto first_z = first.point.value( 2 );
                const auto second_z = second.point.value( 2 );
                if( first_z != second_z )
                {
                    return first_z > second_z;
                }
                return first.surface < second.surface;
            } );
        return hits;
    }

    namespace
    {
        // Each surface to the first group holding it.
        absl::flat_hash_map< uuid, index_t > first_group_of_surfaces(
            absl::Span< const SurfaceGroup > groups )
        {
            absl::flat_hash_map< uuid, index_t > first_group;
            for( index_t group = 0; group < groups.size(); group++ )
            {
                for( const auto& surface : groups[group] )
                {
                    first_group.try_emplace( surface, group );
                }
            }
            return first_group;
        }

        // The groups met by a column, top to bottom, with their heights: the
        // first group holding each hit surface; a surface in no group (a top
        // surface of no horizon) adds nothing.
        std::vector< ColumnGroup > groups_of_hits(
            const absl::flat_hash_map< uuid, index_t >& first_group,
            absl::Span< const ColumnHit > hits )
        {
            std::vector< ColumnGroup > column;
            for( const auto& hit : hits )
            {
                if( const auto group = first_group.find( hit.surface );
                    group != first_group.end() )
                {
                    column.push_back( { group->second, hit.point.value( 2 ) } );
                }
            }
            return column;
        }
    } // namespace

    namespace
    {
        // Triangle indices 0 to n - 1, each once, coarse to fine: the index
        // of step i is i with its bits reversed (a van der Corput sequence),
        // so that the first columns spread over the whole plan view instead
        // of sweeping it from one end, and the order is complete after a few
        // hundred of them. Indices past the end are skipped.
        class SpreadTriangleOrder
        {
        public:
            explicit SpreadTriangleOrder( index_t nb_triangles )
                : nb_triangles_( nb_triangles )
            {
                while( ( std::uint64_t{ 1 } << nb_bits_ ) < nb_triangles_ )
                {
                    nb_bits_++;
                }
            }

            // The next index, none when every index has been given.
            std::optional< index_t > next()
            {
                const auto end = std::uint64_t{ 1 } << nb_bits_;
                while( step_ < end )
                {
                    const auto index = reversed( step_++ );
                    if( index < nb_triangles_ )
                    {
                        return static_cast< index_t >( index );
                    }
                }
                return std::nullopt;
            }

        private:
            [[nodiscard]] std::uint64_t reversed( std::uint64_t value ) const
            {
                std::uint64_t result{ 0 };
                for( unsigned bit = 0; bit < nb_bits_; bit++ )
                {
                    result = ( result << 1 ) | ( ( value >> bit ) & 1 );
                }
                return result;
            }

            std::uint64_t nb_triangles_;
            unsigned nb_bits_{ 0 };
            std::uint64_t step_{ 0 };
        };
    } // namespace

    SurfaceGroupsOrderSearchResult search_surface_groups_order(
        const ColumnSamplingContext& context,
        absl::Span< const SurfaceGroup > groups,
        double bottom_z,
        std::optional< absl::Span< const index_t > > triangle_order )
    {
        const auto first_group = first_group_of_surfaces( groups );
        SurfaceGroupsOrderSearch search{ context.model, groups };
        SpreadTriangleOrder spread{ context.plan_view.nb_polygons() };
        std::size_t next_given{ 0 };
        const auto next_triangle = [&]() -> std::optional< index_t > {
            if( !triangle_order )
            {
                return spread.next();
            }
            if( next_given == triangle_order->size() )
            {
                return std::nullopt;
            }
            return ( *triangle_order )[next_given++];
        };
        SurfaceGroupsOrderSearchResult result;
        while( !search.is_complete() )
        {
            const auto triangle = next_triangle();
            if( !triangle )
            {
                result.order = search.order_without_more_columns();
                result.nb_recorded_columns = search.nb_recorded_columns();
                return result;
            }
            search.add_column(
                groups_of_hits(
                    first_group, column_hits( context, *triangle, bottom_z ) ),
                context.plan_view.polygon_barycenter( *triangle ) );
            result.nb_sampled_columns++;
        }
        result.order = search.order();
        result.nb_recorded_columns = search.nb_recorded_columns();
        return result;
    }

    std::vector< SurfaceGroup > find_surface_groups_order(
        const ColumnSamplingContext& context,
        absl::Span< const SurfaceGroup > groups,
        double bottom_z )
    {
        return search_surface_groups_order( context, groups, bottom_z ).order;
    }
} // namespace brevane::internal
