#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <tessark/basic/tessark_exception.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

namespace brevane
{
    TEST( SampleModelParameters, bad_values_are_named )
    {
        struct Case
        {
            const char* name;
            std::function< void( SampleModelParameters& ) > change;
            const char* message;
        };
        const std::vector< Case > cases{ { "empty box",
                                             []( SampleModelParameters& p )
                                             {
                                                 p.box.length_y = 0;
                                             },
                                             "box lengths must be positive" },
            { "top under the bottom",
                []( SampleModelParameters& p )
                {
                    p.box.top_z = -1;
                },
                "mean top height -1" },
            { "non-finite length",
                []( SampleModelParameters& p )
                {
                    p.box.length_x = std::numeric_limits< double >::infinity();
                },
                "box lengths" },
            { "hills down to the bottom",
                []( SampleModelParameters& p )
                {
                    p.topography.hills_amplitude = 39;
                    p.bottom_amplitude = 1;
                },
                "may reach the bottom" },
            { "grid of the wrong size",
                []( SampleModelParameters& p )
                {
                    p.topography.kind = TopographyKind::height_grid;
                    p.topography.height_grid = { 3, 2, { 40, 40, 40, 40 } };
                },
                "3 x 2 has 4 heights" },
            { "grid of one row",
                []( SampleModelParameters& p )
                {
                    p.topography.kind = TopographyKind::height_grid;
                    p.topography.height_grid = { 3, 1, { 40, 40, 40 } };
                },
                "at least 2 x 2" },
            { "grid under the bottom",
                []( SampleModelParameters& p )
                {
                    p.topography.kind = TopographyKind::height_grid;
                    p.topography.height_grid = { 2, 2, { 40, 40, -3, 40 } };
                },
                "Height 2 of the grid (-3)" },
            { "depths not increasing",
                []( SampleModelParameters& p )
                {
                    p.horizon_depths = { 10, 20, 15 };
                },
                "horizon 3 at 15 after 20" },
            { "depth below the box",
                []( SampleModelParameters& p )
                {
                    p.horizon_depths = { 10, 45 };
                },
                "Depth 45 of horizon 2" },
            { "horizons too close",
                []( SampleModelParameters& p )
                {
                    p.horizon_depths = { 10, 10.00001 };
                },
                "Horizons 1 and 2 are only " },
            { "horizon pushed out by the throw",
                []( SampleModelParameters& p )
                {
                    p.horizon_depths = { 10, 38 };
                },
                "Horizon 2 lies at z = " },
            { "throws leaving no room",
                []( SampleModelParameters& p )
                {
                    p.faults[0].vertical_throw = 25;
                    p.faults[1].vertical_throw = 25;
                },
                "leave no room for horizons" },
            { "edge lengths for the wrong horizon count",
                []( SampleModelParameters& p )
                {
                    p.resolution.horizon_edge_lengths = { 1 };
                },
                "1 horizon edge lengths given for 2 horizons" },
            { "flat fault",
                []( SampleModelParameters& p )
                {
                    p.faults[1].dip_degrees = 0;
                },
                "Fault 2 dips by 0 degrees" },
            { "fault out of the box",
                []( SampleModelParameters& p )
                {
                    p.faults[0].x_at_reference_depth = 2;
                },
                "Fault 1 is at x = " },
            { "crossing faults",
                []( SampleModelParameters& p )
                {
                    p.faults[1].x_at_reference_depth =
                        p.faults[0].x_at_reference_depth;
                },
                "must not cross" },
            { "lines too close on a fault",
                []( SampleModelParameters& p )
                {
                    p.horizon_depths = { 10, 20 };
                    p.faults.resize( 1 );
                    p.faults[0].vertical_throw = 10.001;
                },
                "only 0.001 apart" },
            { "no top triangle",
                []( SampleModelParameters& p )
                {
                    p.resolution.target_top_triangles = 0;
                },
                "target number of top triangles" },
            { "negative edge length",
                []( SampleModelParameters& p )
                {
                    p.resolution.fault_edge_length = -1;
                },
                "fault edge length" },
            { "too fine",
                []( SampleModelParameters& p )
                {
                    p.resolution.topography_edge_length = 1e-6;
                },
                "edges" },
            { "too many vertices",
                []( SampleModelParameters& p )
                {
                    p.resolution.bottom_edge_length = 0.002;
                },
                "vertices, more than" },
            { "strong jitter",
                []( SampleModelParameters& p )
                {
                    p.resolution.jitter = 0.9;
                },
                "jitter 0.9" },
            { "relief too strong for the resolution",
                []( SampleModelParameters& p )
                {
                    p.box.top_z = 4;
                    p.topography.hills_amplitude = 3.9;
                    p.topography.nb_hills = 40;
                    p.horizon_depths = { 0.2 };
                    p.faults.clear();
                    p.resolution.side_edge_length = 50;
                },
                "folds over" } };
        for( const auto& bad : cases )
        {
            auto parameters = small_sample_parameters( 2, 2 );
            bad.change( parameters );
            try
            {
                (void)build_sample_model( parameters );
                ADD_FAILURE() << bad.name << ": no exception";
            }
            catch( const TessarkException& error )
            {
                EXPECT_THAT( error.what(), testing::HasSubstr( bad.message ) )
                    << bad.name;
            }
        }
    }
} // namespace brevane
