#include "top_surface/pillar_update.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>

#include <pillar/top_surface_plan_view.h>

#include "pillars/parallel_pillars.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Container >
        bool contains( const Container& container, const uuid& id )
        {
            return std::find( container.begin(), container.end(), id )
                   != container.end();
        }

        const PillarIntersection* first_intersection(
            const Pillar& pillar, const uuid& surface )
        {
            for( const auto& intersection : pillar.intersections )
            {
                if( intersection.surface == surface )
                {
                    return &intersection;
                }
            }
            return nullptr;
        }

        const PillarIntersection* last_intersection(
            const Pillar& pillar, const uuid& surface )
        {
            const PillarIntersection* last{ nullptr };
            for( const auto& intersection : pillar.intersections )
            {
                if( intersection.surface == surface )
                {
                    last = &intersection;
                }
            }
            return last;
        }

        // The pillar with the surfaces it misses at the reference point, in
        // the order of the tops, the groups and the bottoms.
        Pillar completed_pillar( const PillarModelContext& context,
            const Pillar& pillar,
            absl::Span< const uuid > missing,
            const Point3D& reference )
        {
            Pillar completed{ pillar.vertex, pillar.top, {}, {} };
            const auto add = [&]( const uuid& surface ) {
                if( contains( missing, surface ) )
                {
                    completed.intersections.push_back( { surface, reference } );
                }
                else if( const auto* found =
                             first_intersection( pillar, surface ) )
                {
                    completed.intersections.push_back( *found );
                }
            };
            for_each_listed_surface( context, add );
            return completed;
        }
    } // namespace

    std::vector< uuid > surfaces_at_vertex(
        const PillarModelContext& context, index_t vertex )
    {
        const TopSurfaceContext tags{ context.model, context.top_surfaces,
            context.bottom_surfaces };
        const auto& model = context.model;
        std::vector< uuid > surfaces;
        for( const auto& macro_edge :
            context.background_surface.incident_macro_edges( vertex ) )
        {
            if( !model.has_line( macro_edge.mesh_id ) )
            {
                continue;
            }
            for( const auto& incidence : model.incidences( macro_edge.mesh_id ) )
            {
                const auto& surface = model.surface( incidence.id() );
                const auto side_wall =
                    is_model_boundary_surface( tags, surface )
                    && !is_top_or_bottom_surface( tags, surface );
                if( !side_wall && !contains( surfaces, incidence.id() ) )
                {
                    surfaces.push_back( incidence.id() );
                }
            }
        }
        return surfaces;
    }

    PillarMap update_pillars_after_decimation( const PillarModelContext& context,
        const PillarMap& pillars,
        const BackgroundSurfaceModifier& modifier )
    {
        std::vector< index_t > old_vertices;
        old_vertices.reserve( pillars.size() );
        for( const auto& entry : pillars )
        {
            old_vertices.push_back( entry.first );
        }
        std::sort( old_vertices.begin(), old_vertices.end() );

        const auto& plan_view = context.background_surface.surface();
        PillarMap updated;
        updated.reserve( pillars.size() );
        for( const auto old_vertex : old_vertices )
        {
            const auto& pillar = pillars.at( old_vertex );
            const auto new_vertex = modifier.updated_vertex( old_vertex );
            TESSARK_EXCEPTION( new_vertex.has_value(),
                "[PillarStructuralModelBuilder] The plan-view vertex ",
                old_vertex, " holding a pillar at ", pillar.top.string(),
                " vanished during decimation" );
            if( updated.contains( *new_vertex ) )
            {
                continue;
            }
            // Where the pillar stands: its first point (a corner's point
            // when it comes from one), else its top.
            const auto& standing = pillar.intersections.empty()
                                       ? pillar.top
                                       : pillar.intersections.front().point;
            const Point2D position{ { standing.value( 0 ), standing.value( 1 ) } };
            if( !plan_view.point( *new_vertex ).inexact_equal( position ) )
            {
                continue;
            }
            const auto surfaces = surfaces_at_vertex( context, *new_vertex );
            std::vector< uuid > missing;
            std::optional< Point3D > reference;
            for( const auto& surface : surfaces )
            {
                const auto* found = last_intersection( pillar, surface );
                if( found == nullptr )
                {
                    missing.push_back( surface );
                }
                else if( !reference )
                {
                    reference = found->point;
                }
            }
            if( missing.empty() )
            {
                updated.emplace( *new_vertex, pillar );
                continue;
            }
            // The missing surfaces take the point of one the pillar meets
            // there; a pillar meeting none of them has no point to give.
            TESSARK_EXCEPTION( reference.has_value(),
                "[PillarStructuralModelBuilder] The pillar kept at ",
                pillar.top.value( 0 ), ", ", pillar.top.value( 1 ),
                " (plan-view vertex ", *new_vertex,
                ") meets none of the surfaces of the lines at its vertex, "
                "such as \"", context.model.surface( surfaces.front() ).name(),
                "\" (", surfaces.front().string(),
                "): check that these surfaces reach the line they share" );
            updated.emplace( *new_vertex,
                completed_pillar( context, pillar, missing, *reference ) );
        }
        return updated;
    }

    std::vector< Pillar > collect_pillars( const PillarModelContext& context,
        const PillarMap& pillars,
        double top_z,
        double bottom_z )
    {
        const auto nb_vertices = context.background_surface.surface().nb_vertices();
        std::vector< Pillar > result( nb_vertices );
        std::vector< index_t > to_define;
        for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
        {
            if( const auto found = pillars.find( vertex ); found != pillars.end() )
            {
                result[vertex] = found->second;
            }
            else
            {
                to_define.push_back( vertex );
            }
        }
        auto defined =
            define_pillars_in_parallel( context, to_define, top_z, bottom_z );
        for( std::size_t index = 0; index < to_define.size(); index++ )
        {
            result[to_define[index]] = std::move( defined[index] );
        }
        return result;
    }

    namespace
    {
        // The slice of each surface: 0 for the tops, 1 + the first group
        // holding it, 1 + the number of groups for the bottoms.
        absl::flat_hash_map< uuid, index_t > surface_slices(
            const PillarModelContext& context )
        {
            absl::flat_hash_map< uuid, index_t > slices;
            for( const auto& surface : context.top_surfaces )
            {
                slices.try_emplace( surface, 0 );
            }
            const auto& groups = context.surface_groups_order;
            for( index_t group = 0; group < groups.size(); group++ )
            {
                for( const auto& surface : groups[group] )
                {
                    slices.try_emplace( surface, group + 1 );
                }
            }
            for( const auto& surface : context.bottom_surfaces )
            {
                slices.try_emplace(
                    surface, static_cast< index_t >( groups.size() ) + 1 );
            }
            return slices;
        }
    } // namespace

    void check_pillar_slices(
        const PillarModelContext& context, absl::Span< const Pillar > pillars )
    {
        const auto slices = surface_slices( context );
        const auto describe = [&context]( const PillarIntersection& node )
        {
            return concatenate( "\"", context.model.surface( node.surface ).name(),
                "\" (", node.surface.string(), ") at z = ", node.point.value( 2 ) );
        };
        for( const auto& pillar : pillars )
        {
            // Slice to node, one to one: a point mapped again moves to its
            // new slice.
            absl::flat_hash_map< index_t, PillarIntersection > node_of_slice;
            for( const auto& intersection : pillar.intersections )
            {
                const auto slice = slices.find( intersection.surface );
                if( slice == slices.end() )
                {
                    continue;
                }
                const auto mapped = node_of_slice.find( slice->second );
                if( mapped == node_of_slice.end() )
                {
                    absl::erase_if( node_of_slice, [&]( const auto& entry ) {
                        return entry.second.point == intersection.point;
                    } );
                    node_of_slice.emplace( slice->second, intersection );
                    continue;
                }
                if( !mapped->second.point.inexact_equal( intersection.point ) )
                {
                    throw TessarkDataException{
                        "Multi z detected between surfaces belonging to the "
                        "same group of surfaces: ",
                        describe( mapped->second ), " and ",
                        describe( intersection ), " on the pillar at (",
                        pillar.top.value( 0 ), ", ", pillar.top.value( 1 ),
                        "). Check that the surfaces of one horizon or fault "
                        "do not lie one above the other there (a vertical "
                        "fault, met along a segment by the pillars on its "
                        "trace, is not built)." };
                }
            }
        }
    }
} // namespace brevane::internal
