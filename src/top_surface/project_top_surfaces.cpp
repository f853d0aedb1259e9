#include "builder/pillar_structural_model_builder_impl.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <halven/background/background_surface_builder.h>
#include <pillar/top_surface_plan_view.h>
#include <tessark/geometry/predicates.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane
{
    namespace
    {
        // One-to-one pairs of model unique vertices and plan-view vertices:
        // setting a pair first drops any pair holding either of its ends.
        class VertexCorrespondence
        {
        public:
            std::optional< index_t > plan_vertex( index_t unique ) const
            {
                const auto found = plan_of_unique_.find( unique );
                if( found == plan_of_unique_.end() )
                {
                    return std::nullopt;
                }
                return found->second;
            }

            void set( index_t unique, index_t plan )
            {
                if( const auto old_plan = plan_of_unique_.find( unique );
                    old_plan != plan_of_unique_.end() )
                {
                    unique_of_plan_.erase( old_plan->second );
                    plan_of_unique_.erase( old_plan );
                }
                if( const auto old_unique = unique_of_plan_.find( plan );
                    old_unique != unique_of_plan_.end() )
                {
                    plan_of_unique_.erase( old_unique->second );
                    unique_of_plan_.erase( old_unique );
                }
                plan_of_unique_.emplace( unique, plan );
                unique_of_plan_.emplace( plan, unique );
            }

        private:
            absl::flat_hash_map< index_t, index_t > plan_of_unique_;
            absl::flat_hash_map< index_t, index_t > unique_of_plan_;
        };

        // The plan vertices of top-surface vertices bound to no unique
        // vertex: such a vertex is shared with no other surface, but is
        // still one plan vertex for all the triangles of its own surface.
        using UnboundVertices =
            absl::flat_hash_map< std::pair< uuid, index_t >, index_t >;

        std::optional< index_t > find_unbound( const UnboundVertices& unbound,
            const uuid& surface, index_t vertex )
        {
            const auto found = unbound.find( std::pair{ surface, vertex } );
            if( found == unbound.end() )
            {
                return std::nullopt;
            }
            return found->second;
        }

        // A triangle of a top surface as the plan view takes it: its index
        // and its corners in the order the plan view gives them.
        struct PlanTriangle
        {
            index_t triangle;
            std::array< local_index_t, 3 > corners;
        };

        bool is_lower( const Point2D& point, const Point2D& other )
        {
            return std::pair{ point.value( 0 ), point.value( 1 ) }
                   < std::pair{ other.value( 0 ), other.value( 1 ) };
        }

        // The triangles sorted by their plan-view points, each starting at
        // its lowest point (by x, then y) and turning counter-clockwise: the
        // plan view then numbers its vertices, triangles and edges from the
        // geometry alone, however the surface is numbered and wound.
        std::vector< PlanTriangle > canonical_triangle_order(
            const std::vector< std::array< Point2D, 3 > >& projected )
        {
            std::vector< PlanTriangle > triangles;
            triangles.reserve( projected.size() );
            for( index_t triangle = 0; triangle < projected.size(); triangle++ )
            {
                const auto& points = projected[triangle];
                local_index_t first = 0;
                for( local_index_t corner = 1; corner < 3; corner++ )
                {
                    if( is_lower( points[corner], points[first] ) )
                    {
                        first = corner;
                    }
                }
                std::array< local_index_t, 3 > corners{ first,
                    static_cast< local_index_t >( ( first + 1 ) % 3 ),
                    static_cast< local_index_t >( ( first + 2 ) % 3 ) };
                if( triangle_area_sign( { points[corners[0]],
                        points[corners[1]], points[corners[2]] } )
                    == SIDE::negative )
                {
                    std::swap( corners[1], corners[2] );
                }
                triangles.push_back( { triangle, corners } );
            }
            // The key of a triangle: its points in corner order, then its
            // index; made once per triangle rather than per comparison.
            std::vector< std::array< double, 7 > > keys( triangles.size() );
            for( const auto& triangle : triangles )
            {
                const auto& points = projected[triangle.triangle];
                auto& key = keys[triangle.triangle];
                for( local_index_t rank = 0; rank < 3; rank++ )
                {
                    key[2 * rank] = points[triangle.corners[rank]].value( 0 );
                    key[2 * rank + 1] =
                        points[triangle.corners[rank]].value( 1 );
                }
                key[6] = triangle.triangle;
            }
            std::sort( triangles.begin(), triangles.end(),
                [&keys]( const PlanTriangle& first, const PlanTriangle& second )
                {
                    return keys[first.triangle] < keys[second.triangle];
                } );
            return triangles;
        }
    } // namespace

    void PillarStructuralModelBuilder::Impl::project_top_surfaces()
    {
        internal::project_top_surfaces(
            { model, top_surfaces, bottom_surfaces }, *top_surface,
            background_surface, *z_coordinate_attribute );
    }

    void internal::project_top_surfaces( const TopSurfaceContext& context,
        TriangulatedSurface< 2 >& top_surface,
        BackgroundSurface& background_surface,
        VariableAttribute< double >& z_coordinate )
    {
        const auto& model = context.model;
        auto builder = TriangulatedSurfaceBuilder< 2 >::create( top_surface );
        BackgroundSurfaceBuilder background_builder{ background_surface };
        VertexCorrespondence correspondence;
        UnboundVertices unbound;
        for( const auto& id : context.top_surfaces )
        {
            TESSARK_EXCEPTION( model.has_surface( id ),
                "[PillarStructuralModelBuilder] Top surface ", id.string(),
                " is not a surface of the model" );
            const auto& surface = model.surface( id );
            const auto* mesh = dynamic_cast< const TriangulatedSurface< 3 >* >(
                &surface.mesh() );
            TESSARK_EXCEPTION( mesh != nullptr,
                "[PillarStructuralModelBuilder] Top surface \"", surface.name(),
                "\" (", id.string(), ") is not a triangulated surface" );
            const auto component = surface.component_id();

            std::vector< std::array< Point2D, 3 > > projected;
            projected.reserve( mesh->nb_polygons() );
            for( index_t triangle = 0; triangle < mesh->nb_polygons();
                 triangle++ )
            {
                const auto vertices = mesh->polygon_vertices( triangle );
                projected.push_back(
                    { mesh->point( vertices[0] ).project_point( 2 ),
                        mesh->point( vertices[1] ).project_point( 2 ),
                        mesh->point( vertices[2] ).project_point( 2 ) } );
            }
            const auto order = canonical_triangle_order( projected );
            std::vector< index_t > plan_triangles;
            plan_triangles.reserve( 3 * order.size() );
            for( const auto& [triangle, corners] : order )
            {
                const auto vertices = mesh->polygon_vertices( triangle );
                std::array< index_t, 3 > plan_vertices;
                for( local_index_t rank = 0; rank < 3; rank++ )
                {
                    const auto corner = corners[rank];
                    const auto vertex = vertices[corner];
                    const auto unique =
                        model.unique_vertex( { component, vertex } );
                    const auto existing =
                        unique == NO_ID ? find_unbound( unbound, id, vertex )
                                        : correspondence.plan_vertex( unique );
                    if( existing )
                    {
                        plan_vertices[rank] = *existing;
                        continue;
                    }
                    const auto created =
                        builder->create_point( projected[triangle][corner] );
                    z_coordinate.set_value(
                        created, mesh->point( vertex ).value( 2 ) );
                    background_builder.add_macro_vertex_info(
                        { id, vertex }, created );
                    if( unique == NO_ID )
                    {
                        unbound.emplace( std::pair{ id, vertex }, created );
                    }
                    else
                    {
                        correspondence.set( unique, created );
                    }
                    plan_vertices[rank] = created;
                }
                plan_triangles.insert( plan_triangles.end(),
                    plan_vertices.begin(), plan_vertices.end() );
            }
            // The triangles in one call, numbered as one by one.
            const auto first = builder->create_polygons( plan_triangles, 3 );
            for( index_t rank = 0; rank < order.size(); rank++ )
            {
                background_builder.add_macro_element_info(
                    { id, order[rank].triangle }, first + rank );
            }
        }
        builder->compute_polygon_adjacencies();
    }
} // namespace brevane
