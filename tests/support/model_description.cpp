#include "support/model_description.h"

#include <absl/strings/str_cat.h>

namespace brevane::test
{
    std::string describe_model( const StructuralModel& model )
    {
        std::string text;
        const auto add_relations = [&]( const uuid& id )
        {
            for( const auto& related : model.boundaries( id ) )
            {
                absl::StrAppend( &text, " boundary ", related.string() );
            }
            for( const auto& related : model.incidences( id ) )
            {
                absl::StrAppend( &text, " incidence ", related.string() );
            }
            for( const auto& related : model.collections( id ) )
            {
                absl::StrAppend( &text, " in ", related.string() );
            }
            text += "\n";
        };
        for( const auto& corner : model.corners() )
        {
            absl::StrAppend( &text, "corner ", corner.id().string(),
                std::string{ corner.name() } );
            for( index_t vertex = 0; vertex < corner.mesh().nb_vertices();
                 vertex++ )
            {
                absl::StrAppend(
                    &text, " ", corner.mesh().point( vertex ).string() );
            }
            add_relations( corner.id() );
        }
        for( const auto& line : model.lines() )
        {
            absl::StrAppend( &text, "line ", line.id().string(),
                std::string{ line.name() }, line.mesh().nb_edges() );
            add_relations( line.id() );
        }
        for( const auto& surface : model.surfaces() )
        {
            absl::StrAppend( &text, "surface ", surface.id().string(),
                std::string{ surface.name() },
                std::string{ surface.mesh().impl_name() } );
            for( index_t vertex = 0; vertex < surface.mesh().nb_vertices();
                 vertex++ )
            {
                absl::StrAppend( &text, surface.mesh().point( vertex ).string(),
                    model.unique_vertex( { surface.component_id(), vertex } ) );
            }
            add_relations( surface.id() );
        }
        for( const auto& block : model.blocks() )
        {
            absl::StrAppend( &text, "block ", block.id().string(),
                std::string{ block.name() }, " ", block.mesh().nb_vertices(),
                " ", block.mesh().nb_polyhedra() );
            add_relations( block.id() );
        }
        for( const auto& horizon : model.horizons() )
        {
            absl::StrAppend( &text, "horizon ", horizon.id().string(),
                std::string{ horizon.name() } );
            for( const auto& item : model.horizon_items( horizon ) )
            {
                absl::StrAppend( &text, " ", item.string() );
            }
            text += "\n";
        }
        for( const auto& fault : model.faults() )
        {
            absl::StrAppend( &text, "fault ", fault.id().string() );
            for( const auto& item : model.fault_items( fault ) )
            {
                absl::StrAppend( &text, " ", item.string() );
            }
            text += "\n";
        }
        for( const auto& boundary : model.model_boundaries() )
        {
            absl::StrAppend( &text, "boundary ", boundary.id().string(),
                std::string{ boundary.name() }, "\n" );
        }
        for( const auto& collection : model.surface_collections() )
        {
            absl::StrAppend( &text, "surface collection ",
                collection.id().string(), std::string{ collection.name() } );
            for( const auto& item : model.items( collection.id() ) )
            {
                absl::StrAppend( &text, " ", item.string() );
            }
            text += "\n";
        }
        absl::StrAppend(
            &text, "unique vertices ", model.nb_unique_vertices() );
        return text;
    }
} // namespace brevane::test
