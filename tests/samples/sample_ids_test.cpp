#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include <samples/sample_ids.h>
#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

namespace brevane
{
    namespace
    {
        // "Kind name uuid" of every component and collection, in model order.
        std::vector< std::string > named_ids( const StructuralModel& model )
        {
            std::vector< std::string > result;
            const auto add = [&result]( std::string_view kind, const auto& set )
            {
                for( const auto& item : set )
                {
                    result.push_back( std::string{ kind } + " "
                                      + std::string{ item.name() } + " "
                                      + item.id().string() );
                }
            };
            add( "Corner", model.corners() );
            add( "Line", model.lines() );
            add( "Surface", model.surfaces() );
            add( "Block", model.blocks() );
            add( "ModelBoundary", model.model_boundaries() );
            add( "Horizon", model.horizons() );
            add( "Fault", model.faults() );
            add( "FaultBlock", model.fault_blocks() );
            return result;
        }

        SampleModelParameters seeded( std::uint64_t seed )
        {
            auto parameters = small_sample_parameters( 2, 1 );
            parameters.seed = seed;
            return parameters;
        }
    } // namespace

    TEST( SampleIds, one_seed_gives_the_same_ids_in_the_same_order )
    {
        const auto first = build_sample_model( seeded( 3 ) );
        const auto second = build_sample_model( seeded( 3 ) );
        EXPECT_EQ( named_ids( first.model ), named_ids( second.model ) );
        EXPECT_EQ( first.top_surfaces, second.top_surfaces );
        EXPECT_EQ( first.top_boundary, second.top_boundary );
    }

    TEST( SampleIds, ids_differ_between_seeds_and_within_a_model )
    {
        const auto first = build_sample_model( seeded( 3 ) );
        const auto second = build_sample_model( seeded( 4 ) );
        absl::flat_hash_set< std::string > ids;
        std::size_t nb_ids{ 0 };
        for( const auto* model : { &first.model, &second.model } )
        {
            for( const auto& line : named_ids( *model ) )
            {
                ids.insert( line.substr( line.rfind( ' ' ) + 1 ) );
                nb_ids++;
            }
        }
        EXPECT_EQ( ids.size(), nb_ids );
    }

    TEST( SampleIds, differ_between_models_of_one_seed )
    {
        auto parameters = small_sample_parameters( 2, 0 );
        auto other = small_sample_parameters( 2, 1 );
        EXPECT_NE( sample_id_key( parameters ), sample_id_key( other ) );
        other = parameters;
        other.nb_horizons = 3;
        EXPECT_NE( sample_id_key( parameters ), sample_id_key( other ) );
        other = parameters;
        EXPECT_EQ( sample_id_key( parameters ), sample_id_key( other ) );
        EXPECT_NE( build_sample_model( parameters ).top_boundary,
            build_sample_model( small_sample_parameters( 2, 1 ) )
                .top_boundary );
    }

    TEST( SampleIds, depend_on_key_kind_and_every_byte_of_the_name )
    {
        const auto base = sample_uuid( 1, "Surface", "horizon_1_block_0" );
        EXPECT_EQ( base, sample_uuid( 1, "Surface", "horizon_1_block_0" ) );
        for( const auto& other :
            { sample_uuid( 2, "Surface", "horizon_1_block_0" ),
                sample_uuid( 1, "Line", "horizon_1_block_0" ),
                sample_uuid( 1, "Surface", "horizon_1_block_1" ),
                sample_uuid( 1, "Surface", "Horizon_1_block_0" ),
                sample_uuid( 1, "Surface", "horizon_1_block_0 " ),
                sample_uuid( 1, "Surface", "" ) } )
        {
            EXPECT_NE( base, other );
        }
        // Version 8, RFC 4122 variant.
        EXPECT_EQ( base.bytes()[6] >> 4, 8 );
        EXPECT_EQ( base.bytes()[8] >> 6, 2 );
    }
} // namespace brevane
