#include <gtest/gtest.h>

#include <io/model_file.h>
#include <tessark/inspection/model_validation.h>

#include <pillar/varnholt_pillar_library.h>

#include "tool_run.h"

namespace brevane::test
{
    namespace
    {
        // The points of the surface of that name.
        std::vector< Point3D > surface_points(
            const StructuralModel& model, std::string_view name )
        {
            for( const auto& surface : model.surfaces() )
            {
                if( surface.name() != name )
                {
                    continue;
                }
                std::vector< Point3D > points;
                for( index_t vertex = 0; vertex < surface.mesh().nb_vertices();
                     vertex++ )
                {
                    points.push_back( surface.mesh().point( vertex ) );
                }
                return points;
            }
            ADD_FAILURE() << "no surface named " << name;
            return {};
        }

        struct SampleCase
        {
            std::string horizons;
            std::string faults;
        };

        class SampleTest : public ToolTest,
                           public ::testing::WithParamInterface< SampleCase >
        {
        };

        TEST_P( SampleTest, WritesAValidModelOfTheAskedShape )
        {
            const auto& shape = GetParam();
            const auto run = this->run( { "sample", "--horizons",
                shape.horizons, "--faults", shape.faults, "--top-triangles",
                "60", "-o", "models/sample.vtm" } );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            EXPECT_TRUE( run.err.empty() ) << run.err;
            EXPECT_NE( run.out.find( "models/sample.vtm" ), std::string::npos );

            VarnholtPillarLibrary::initialize();
            const auto model = load_model( folder() / "models/sample.vtm" );
            EXPECT_EQ( model.nb_horizons(), std::stoul( shape.horizons ) );
            EXPECT_EQ( model.nb_faults(), std::stoul( shape.faults ) );
            EXPECT_TRUE( validate_model( model ).is_valid() );
            EXPECT_EQ( run_tool( { "inspect", "models/sample.vtm" }, folder() )
                           .exit_code,
                0 );
        }

        INSTANTIATE_TEST_SUITE_P( Shapes, SampleTest,
            ::testing::Values( SampleCase{ "1", "0" }, SampleCase{ "2", "1" },
                SampleCase{ "3", "2" } ),
            []( const ::testing::TestParamInfo< SampleCase >& info )
            {
                return info.param.horizons + "_horizons_" + info.param.faults
                       + "_faults";
            } );

        TEST_F( ToolTest, SeedDecidesTheTopography )
        {
            for( const auto* seed : { "1", "2" } )
            {
                for( const auto* copy : { "a", "b" } )
                {
                    ASSERT_EQ(
                        run( { "sample", "--horizons", "1", "--top-triangles",
                                 "60", "--seed", seed, "-o",
                                 std::string{ seed } + copy + ".vtm" } )
                            .exit_code,
                        0 );
                }
            }
            VarnholtPillarLibrary::initialize();
            const auto first = load_model( folder() / "1a.vtm" );
            EXPECT_EQ( surface_points( first, "top_block_0" ),
                surface_points(
                    load_model( folder() / "1b.vtm" ), "top_block_0" ) );
            EXPECT_NE( surface_points( first, "top_block_0" ),
                surface_points(
                    load_model( folder() / "2a.vtm" ), "top_block_0" ) );
        }

        TEST_F( ToolTest, WritesTheDefectsAskedFor )
        {
            const auto run =
                this->run( small_sample_arguments( "defects.vtm", { "all" } ) );
            ASSERT_EQ( run.exit_code, 0 ) << run.out << run.err;
            for( const auto* defect :
                { "fold", "dangling-line", "off-border", "untagged" } )
            {
                EXPECT_NE( run.out.find( std::string{ "defect: " } + defect ),
                    std::string::npos )
                    << defect;
            }
            VarnholtPillarLibrary::initialize();
            const auto model = load_model( folder() / "defects.vtm" );
            bool has_untagged{ false };
            for( const auto& surface : model.surfaces() )
            {
                has_untagged |= surface.name() == "untagged_surface";
            }
            bool has_dangling{ false };
            for( const auto& line : model.lines() )
            {
                has_dangling |= line.name() == "dangling_line";
            }
            EXPECT_TRUE( has_untagged );
            EXPECT_TRUE( has_dangling );
        }
    } // namespace
} // namespace brevane::test
