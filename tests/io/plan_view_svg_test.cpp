#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <halven/background/background_surface_builder.h>

#include <io/plan_view_svg.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        index_t count( const std::string& text, const std::string& pattern )
        {
            index_t found{ 0 };
            for( auto position = text.find( pattern );
                 position != std::string::npos;
                 position = text.find( pattern, position + 1 ) )
            {
                found++;
            }
            return found;
        }
    } // namespace

    // A 2 x 1 grid: 2 squares, 4 triangles, 7 edges of which 6 on the border;
    // one trace along the middle column of edges.
    class PlanViewSvg : public testing::Test
    {
    protected:
        PlanViewSvg()
        {
            internal::BackgroundSurfaceBuilder builder{ background };
            const auto middle = surface->edges().edge_from_vertices( { 1, 4 } );
            builder.add_macro_edge_info( { line, 0 }, { middle.value() } );
        }

        std::unique_ptr< TriangulatedSurface2D > surface{
            test::grid_surface< 2 >( 2, 1 )
        };
        internal::BackgroundSurface background{ *surface };
        uuid line;
    };

    TEST_F( PlanViewSvg, DrawsEdgesTracesBorderAndMarkedVertices )
    {
        const std::vector< index_t > marked{ 0, 5 };
        const auto svg = plan_view_svg( background, marked, 400 );
        EXPECT_EQ( svg.rfind( "<svg ", 0 ), 0 );
        EXPECT_NE( svg.find( "</svg>" ), std::string::npos );
        EXPECT_EQ( count( svg, "<line " ), surface->edges().nb_edges() );
        EXPECT_EQ( count( svg, "stroke=\"black\"" ), 6 );
        EXPECT_EQ( count( svg, "stroke=\"hsl(" ), 1 );
        EXPECT_EQ( count( svg, "<circle " ), 2 );
        // The same line gets the same colour in another picture.
        EXPECT_EQ( plan_view_svg( background, marked, 400 ), svg );
        EXPECT_EQ( count( svg, "<text" ), 0 );
    }

    // Above the number of triangles drawn, the picture keeps the traces, the
    // border and the marked vertices, each pixel once, and says why.
    TEST_F( PlanViewSvg, DrawsAnOverviewOfALargePlanView )
    {
        const std::vector< index_t > marked{ 0, 0, 5 };
        const auto svg = plan_view_svg( background, marked, 400, 3 );
        EXPECT_EQ( svg.rfind( "<svg ", 0 ), 0 );
        EXPECT_NE( svg.find( "</svg>" ), std::string::npos );
        EXPECT_EQ( count( svg, "<line " ), 0 );
        EXPECT_EQ( count( svg, "<path " ), 2 );
        EXPECT_EQ( count( svg, "stroke=\"black\"" ), 1 );
        EXPECT_EQ( count( svg, "stroke=\"hsl(" ), 1 );
        // Six border segments and the trace: one pen stroke each.
        EXPECT_EQ( count( svg, "L" ), 7 );
        EXPECT_EQ( count( svg, "<circle " ), 2 );
        EXPECT_NE( svg.find( ">4 triangles, more than 3: " ), std::string::npos );
        EXPECT_EQ( plan_view_svg( background, marked, 400, 4 ).find( "<text" ),
            std::string::npos );
    }
} // namespace brevane
