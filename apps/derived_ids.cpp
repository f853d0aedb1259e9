#include "derived_ids.h"

#include <map>
#include <string>
#include <utility>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/sample_ids.h>

#include "surface_mesh_copy.h"

namespace brevane::cli
{
    namespace
    {
        // Keeps the ids of a converted model apart from those of sample
        // models.
        constexpr std::uint64_t CONVERTED_MODEL_KEY{ 0x636f6e7665727465ULL };

        std::unique_ptr< SurfaceMesh< 3 > > clone_surface_mesh(
            const SurfaceMesh< 3 >& mesh, std::string_view name )
        {
            auto copy = copy_surface_mesh( mesh );
            if( !copy )
            {
                throw TessarkException{
                    "[with_derived_ids] The mesh of surface ", name,
                    " has no copy"
                };
            }
            return copy;
        }

        std::unique_ptr< SolidMesh< 3 > > clone_block_mesh(
            const SolidMesh< 3 >& mesh, std::string_view name )
        {
            if( const auto* solid =
                    dynamic_cast< const HybridSolid< 3 >* >( &mesh ) )
            {
                return solid->clone();
            }
            throw TessarkException{ "[with_derived_ids] The mesh of block ",
                name, " has no copy" };
        }

        class DerivedIdCopy
        {
        public:
            explicit DerivedIdCopy( const StructuralModel& model )
                : model_( model ), builder_( copy_ )
            {
            }

            StructuralModel make()
            {
                copy_components();
                copy_relations();
                copy_collections();
                copy_unique_vertices();
                return std::move( copy_ );
            }

        private:
            uuid derive( std::string_view kind, const Identifier& item )
            {
                auto& rank = ranks_[{ std::string{ kind },
                    std::string{ item.name() } }];
                const auto key = rank == 0 ? std::string{ item.name() }
                                           : concatenate( item.name(), "#", rank );
                rank++;
                return ids_
                    .emplace( item.id(),
                        sample_uuid( CONVERTED_MODEL_KEY, kind, key ) )
                    .first->second;
            }

            void copy_components()
            {
                for( const auto& corner : model_.corners() )
                {
                    const auto& id = builder_.add_corner( derive( "Corner", corner ) );
                    builder_.set_name( id, corner.name() );
                    builder_.update_corner_mesh(
                        copy_.corner( id ), corner.mesh().clone() );
                }
                for( const auto& line : model_.lines() )
                {
                    const auto& id = builder_.add_line( derive( "Line", line ) );
                    builder_.set_name( id, line.name() );
                    builder_.update_line_mesh(
                        copy_.line( id ), line.mesh().clone() );
                }
                for( const auto& surface : model_.surfaces() )
                {
                    const auto& id = builder_.add_surface(
                        derive( "Surface", surface ),
                        clone_surface_mesh( surface.mesh(), surface.name() ) );
                    builder_.set_name( id, surface.name() );
                }
                for( const auto& block : model_.blocks() )
                {
                    const auto& id = builder_.add_block( derive( "Block", block ),
                        clone_block_mesh( block.mesh(), block.name() ) );
                    builder_.set_name( id, block.name() );
                }
            }

            // Each component's boundaries and internal components, in the
            // model's order.
            void copy_relations()
            {
                const auto relate = [this]( const uuid& id )
                {
                    for( const auto& boundary : model_.boundaries( id ) )
                    {
                        add_relation( boundary, id, true );
                    }
                    for( const auto& internal : model_.internal_components( id ) )
                    {
                        add_relation( internal, id, false );
                    }
                };
                for( const auto& line : model_.lines() )
                {
                    relate( line.id() );
                }
                for( const auto& surface : model_.surfaces() )
                {
                    relate( surface.id() );
                }
                for( const auto& block : model_.blocks() )
                {
                    relate( block.id() );
                }
            }

            void add_relation(
                const ComponentID& from, const uuid& to, bool is_boundary )
            {
                const auto type = from.type().get();
                const auto& first = ids_.at( from.id() );
                const auto& second = ids_.at( to );
                if( copy_.has_line( second ) && type == "Corner" && is_boundary )
                {
                    builder_.add_corner_line_boundary_relationship(
                        copy_.corner( first ), copy_.line( second ) );
                }
                else if( copy_.has_surface( second ) && type == "Line" )
                {
                    is_boundary ? builder_.add_line_surface_boundary_relationship(
                                      copy_.line( first ), copy_.surface( second ) )
                                : builder_.add_line_surface_internal_relationship(
                                      copy_.line( first ), copy_.surface( second ) );
                }
                else if( copy_.has_surface( second ) && type == "Corner"
                         && !is_boundary )
                {
                    builder_.add_corner_surface_internal_relationship(
                        copy_.corner( first ), copy_.surface( second ) );
                }
                else if( copy_.has_block( second ) && type == "Surface" )
                {
                    is_boundary
                        ? builder_.add_surface_block_boundary_relationship(
                              copy_.surface( first ), copy_.block( second ) )
                        : builder_.add_surface_block_internal_relationship(
                              copy_.surface( first ), copy_.block( second ) );
                }
                else if( copy_.has_block( second ) && type == "Line"
                         && !is_boundary )
                {
                    builder_.add_line_block_internal_relationship(
                        copy_.line( first ), copy_.block( second ) );
                }
                else if( copy_.has_block( second ) && type == "Corner"
                         && !is_boundary )
                {
                    builder_.add_corner_block_internal_relationship(
                        copy_.corner( first ), copy_.block( second ) );
                }
                else
                {
                    throw TessarkException{ "[with_derived_ids] Cannot copy the ",
                        is_boundary ? "boundary" : "internal", " relation of ",
                        from.string(), " to ", to.string() };
                }
            }

            // The collections of one kind with their items: add makes the
            // collection under an id, add_item puts the copy of an item in
            // it.
            template < typename Add, typename AddItem >
            void copy_collections_of(
                const ComponentSet< Collection >& collections,
                std::string_view kind, const Add& add, const AddItem& add_item )
            {
                for( const auto& collection : collections )
                {
                    const auto& id = add( derive( kind, collection ) );
                    builder_.set_name( id, collection.name() );
                    for( const auto& item : model_.items( collection.id() ) )
                    {
                        add_item( ids_.at( item.id() ), id );
                    }
                }
            }

            void copy_collections()
            {
                copy_collections_of( model_.model_boundaries(), "ModelBoundary",
                    [this]( const uuid& id ) -> const uuid&
                    {
                        return builder_.add_model_boundary( id );
                    },
                    [this]( const uuid& item, const uuid& collection )
                    {
                        builder_.add_surface_in_model_boundary( copy_.surface( item ),
                            copy_.model_boundary( collection ) );
                    } );
                copy_collections_of( model_.horizons(), "Horizon",
                    [this]( const uuid& id ) -> const uuid&
                    {
                        return builder_.add_horizon( id );
                    },
                    [this]( const uuid& item, const uuid& collection )
                    {
                        builder_.add_surface_in_horizon(
                            copy_.surface( item ), copy_.horizon( collection ) );
                    } );
                copy_collections_of( model_.faults(), "Fault",
                    [this]( const uuid& id ) -> const uuid&
                    {
                        return builder_.add_fault( id );
                    },
                    [this]( const uuid& item, const uuid& collection )
                    {
                        builder_.add_surface_in_fault(
                            copy_.surface( item ), copy_.fault( collection ) );
                    } );
                copy_collections_of( model_.fault_blocks(), "FaultBlock",
                    [this]( const uuid& id ) -> const uuid&
                    {
                        return builder_.add_fault_block( id );
                    },
                    [this]( const uuid& item, const uuid& collection )
                    {
                        builder_.add_block_in_fault_block(
                            copy_.block( item ), copy_.fault_block( collection ) );
                    } );
                copy_collections_of( model_.surface_collections(),
                    "SurfaceCollection",
                    [this]( const uuid& id ) -> const uuid&
                    {
                        return builder_.add_surface_collection( id );
                    },
                    [this]( const uuid& item, const uuid& collection )
                    {
                        builder_.add_surface_in_surface_collection(
                            copy_.surface( item ),
                            copy_.surface_collection( collection ) );
                    } );
            }

            template < typename Component >
            void bind_vertices( const Component& component )
            {
                const auto copied =
                    ComponentID{ component.component_id().type(),
                        ids_.at( component.id() ) };
                for( index_t vertex = 0; vertex < component.mesh().nb_vertices();
                     vertex++ )
                {
                    const auto unique = model_.unique_vertex(
                        { component.component_id(), vertex } );
                    if( unique != NO_ID )
                    {
                        builder_.set_unique_vertex( { copied, vertex }, unique );
                    }
                }
            }

            void copy_unique_vertices()
            {
                builder_.create_unique_vertices( model_.nb_unique_vertices() );
                for( const auto& corner : model_.corners() )
                {
                    bind_vertices( corner );
                }
                for( const auto& line : model_.lines() )
                {
                    bind_vertices( line );
                }
                for( const auto& surface : model_.surfaces() )
                {
                    bind_vertices( surface );
                }
                for( const auto& block : model_.blocks() )
                {
                    bind_vertices( block );
                }
            }

            const StructuralModel& model_;
            StructuralModel copy_;
            StructuralModelBuilder builder_;
            absl::flat_hash_map< uuid, uuid > ids_;
            std::map< std::pair< std::string, std::string >, index_t > ranks_;
        };
    } // namespace

    StructuralModel with_derived_ids( const StructuralModel& model )
    {
        return DerivedIdCopy{ model }.make();
    }
} // namespace brevane::cli
