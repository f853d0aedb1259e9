#include "pillar/assembly/strip_model.h"

#include <halven/background/background_surface_builder.h>

#include <tessark/mesh/polygonal_surface.h>

#include <pillar/top_surface_plan_view.h>

#include "support/mesh_fixtures.h"

namespace brevane::test
{
    StripModel::StripModel( index_t nb_x )
        : top( builder.add_surface() ), horizon( builder.add_surface() ),
          bottom( builder.add_surface() ),
          plan_view_( grid_surface< 2 >( nb_x, 1 ) ),
          background_( *plan_view_ ),
          surface_ids_( internal::find_or_create_surface_ids( *plan_view_ ) ),
          tops_{ top }, bottoms_{ bottom },
          boundary_collection_( builder.add_model_boundary() )
    {
        builder.add_surface_in_horizon(
            model.surface( horizon ), model.horizon( builder.add_horizon() ) );
        builder.add_surface_in_model_boundary( model.surface( top ),
            model.model_boundary( boundary_collection_ ) );
        builder.add_surface_in_model_boundary( model.surface( bottom ),
            model.model_boundary( boundary_collection_ ) );
        pillars.resize( plan_view_->nb_vertices() );
        for( index_t vertex = 0; vertex < pillars.size(); vertex++ )
        {
            pillars[vertex].vertex = vertex;
        }
    }

    uuid StripModel::add_wall()
    {
        return add_wall( PolygonalSurface< 3 >::create() );
    }

    uuid StripModel::add_wall( std::unique_ptr< SurfaceMesh< 3 > > mesh )
    {
        const auto wall = builder.add_surface( std::move( mesh ) );
        builder.add_surface_in_model_boundary( model.surface( wall ),
            model.model_boundary( boundary_collection_ ) );
        return wall;
    }

    uuid StripModel::trace_line( const uuid& level, const uuid& wall,
        absl::Span< const PolygonEdge > edges )
    {
        const auto line = builder.add_line();
        for( const auto& surface : { level, wall } )
        {
            builder.add_line_surface_boundary_relationship(
                model.line( line ), model.surface( surface ) );
        }
        internal::BackgroundSurfaceBuilder records{ background_ };
        for( const auto& edge : edges )
        {
            const std::array< index_t, 1 > edge_index{ plan_view_->polygon_edge(
                edge ) };
            records.add_macro_edge_info( { line, NO_ID }, edge_index );
        }
        return line;
    }

    std::vector< PolygonEdge > StripModel::border_edges() const
    {
        std::vector< PolygonEdge > edges{
            plan_view_->polygon_edge_from_vertices( 0, 1 ).value()
        };
        while( true )
        {
            const auto next = plan_view_->next_on_border( edges.back() );
            if( plan_view_->polygon_edge( next )
                == plan_view_->polygon_edge( edges.front() ) )
            {
                return edges;
            }
            edges.push_back( next );
        }
    }

    void StripModel::set_pillar(
        index_t vertex, const std::vector< Node >& nodes )
    {
        const auto& xy = plan_view_->point( vertex );
        auto& pillar = pillars[vertex];
        pillar.intersections.clear();
        for( const auto& [surface, z] : nodes )
        {
            pillar.intersections.push_back(
                { surface, Point3D{ { xy.value( 0 ), xy.value( 1 ), z } } } );
        }
    }

    void StripModel::make_surface_vertices()
    {
        for( const auto& pillar : pillars )
        {
            auto& on_pillar = surface_vertices[pillar.vertex];
            for( const auto& intersection : pillar.intersections )
            {
                if( internal::surface_vertex_on_pillar( surface_vertices,
                        pillar.vertex, intersection.surface ) )
                {
                    continue;
                }
                const auto vertex =
                    builder.surface_mesh_builder( intersection.surface )
                        ->create_point( intersection.point );
                on_pillar.emplace_back( intersection.surface, vertex );
            }
        }
    }

    void StripModel::set_surface_ids( const std::vector< uuid >& surfaces )
    {
        for( index_t triangle = 0; triangle < plan_view_->nb_polygons();
             triangle++ )
        {
            surface_ids_->set_value( triangle, surfaces );
        }
    }

    internal::AssemblyContext StripModel::context()
    {
        facing_down_ = { bottoms_.begin(), bottoms_.end() };
        return { model, builder, tops_, bottoms_, background_, *surface_ids_,
            {}, pillars, facing_down_ };
    }
} // namespace brevane::test
