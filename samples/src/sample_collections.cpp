#include "sample_collections.h"

#include <tessark/basic/string_concatenation.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/sample_ids.h>

namespace brevane
{
    namespace
    {
        class CollectionMaker
        {
        public:
            CollectionMaker( const Section& section,
                const SectionComponents& components, std::uint64_t id_key,
                SampleModel& sample )
                : section_( section ), components_( components ),
                  id_key_( id_key ), sample_( sample ), builder_( sample.model )
            {
            }

            void make()
            {
                sample_.top_surfaces = edge_surfaces( section_.top_edges );
                sample_.bottom_surfaces =
                    edge_surfaces( section_.bottom_edges );
                sample_.top_boundary =
                    add_model_boundary( "top", sample_.top_surfaces ).id;
                sample_.bottom_boundary =
                    add_model_boundary( "bottom", sample_.bottom_surfaces ).id;
                sample_.side_x_min = add_model_boundary(
                    "side_x_min", edge_surfaces( section_.side_x_min_edges ) );
                sample_.side_x_max = add_model_boundary(
                    "side_x_max", edge_surfaces( section_.side_x_max_edges ) );
                sample_.side_y_min =
                    add_model_boundary( "side_y_min", face_surfaces( 0 ) );
                sample_.side_y_max =
                    add_model_boundary( "side_y_max", face_surfaces( 1 ) );
                make_horizons();
                make_faults();
                make_fault_blocks();
            }

        private:
            std::vector< uuid > edge_surfaces(
                absl::Span< const index_t > edges ) const
            {
                std::vector< uuid > result;
                for( const auto id : edges )
                {
                    result.push_back( components_.edge_surfaces[id] );
                }
                return result;
            }

            std::vector< uuid > face_surfaces( index_t side ) const
            {
                std::vector< uuid > result;
                for( const auto& surfaces : components_.face_surfaces )
                {
                    result.push_back( surfaces[side] );
                }
                return result;
            }

            const Surface< 3 >& surface( const uuid& id ) const
            {
                return sample_.model.surface( id );
            }

            uuid id_of( std::string_view kind, std::string_view name ) const
            {
                return sample_uuid( id_key_, kind, name );
            }

            SampleCollection add_model_boundary(
                std::string_view name, std::vector< uuid > surfaces )
            {
                SampleCollection collection{
                    builder_.add_model_boundary( id_of( "ModelBoundary", name ) ),
                    std::move( surfaces ) };
                builder_.set_name( collection.id, name );
                const auto& boundary =
                    sample_.model.model_boundary( collection.id );
                for( const auto& id : collection.items )
                {
                    builder_.add_surface_in_model_boundary(
                        surface( id ), boundary );
                }
                return collection;
            }

            void make_horizons()
            {
                for( index_t horizon = 0;
                     horizon < section_.horizon_edges.size(); horizon++ )
                {
                    const auto name = concatenate( "horizon_", horizon + 1 );
                    SampleCollection collection{
                        builder_.add_horizon( id_of( "Horizon", name ) ),
                        edge_surfaces( section_.horizon_edges[horizon] ) };
                    builder_.set_name( collection.id, name );
                    const auto& model_horizon =
                        sample_.model.horizon( collection.id );
                    for( const auto& id : collection.items )
                    {
                        builder_.add_surface_in_horizon(
                            surface( id ), model_horizon );
                    }
                    sample_.horizons.push_back( std::move( collection ) );
                }
            }

            void make_faults()
            {
                for( index_t fault = 0; fault < section_.fault_edges.size();
                     fault++ )
                {
                    const auto name = concatenate( "fault_", fault + 1 );
                    SampleCollection collection{
                        builder_.add_fault( id_of( "Fault", name ) ),
                        edge_surfaces( section_.fault_edges[fault] ) };
                    builder_.set_name( collection.id, name );
                    const auto& model_fault =
                        sample_.model.fault( collection.id );
                    for( const auto& id : collection.items )
                    {
                        builder_.add_surface_in_fault(
                            surface( id ), model_fault );
                    }
                    sample_.faults.push_back( std::move( collection ) );
                }
            }

            // Faces, hence blocks, are numbered block by block, layer by
            // layer.
            void make_fault_blocks()
            {
                for( index_t block = 0; block < section_.nb_blocks; block++ )
                {
                    const auto name = concatenate( "fault_block_", block );
                    SampleCollection collection{
                        builder_.add_fault_block( id_of( "FaultBlock", name ) ),
                        {} };
                    builder_.set_name( collection.id, name );
                    const auto& fault_block =
                        sample_.model.fault_block( collection.id );
                    for( index_t layer = 0; layer < section_.nb_layers;
                         layer++ )
                    {
                        const auto& id =
                            components_
                                .blocks[block * section_.nb_layers + layer];
                        collection.items.push_back( id );
                        builder_.add_block_in_fault_block(
                            sample_.model.block( id ), fault_block );
                    }
                    sample_.fault_blocks.push_back( std::move( collection ) );
                }
            }

            const Section& section_;
            const SectionComponents& components_;
            std::uint64_t id_key_;
            SampleModel& sample_;
            StructuralModelBuilder builder_;
        };
    } // namespace

    void add_sample_collections( const Section& section,
        const SectionComponents& components, std::uint64_t id_key,
        SampleModel& sample )
    {
        CollectionMaker{ section, components, id_key, sample }.make();
    }
} // namespace brevane
