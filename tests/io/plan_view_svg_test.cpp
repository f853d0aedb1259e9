#include <gtest/gtest.h>

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
    TEST( PlanViewSvg, DrawsEdgesTracesBorderAndMarkedVertices )
    {
        const auto surface = test::grid_surface< 2 >( 2, 1 );
        internal::BackgroundSurface background{ *surface };
        const uuid line;
        {
            internal::BackgroundSurfaceBuilder builder{ background };
            const auto middle = surface->edges().edge_from_vertices( { 1, 4 } );
            ASSERT_TRUE( middle );
            builder.add_macro_edge_info( { line, 0 }, { *middle } );
        }
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
    }
} // namespace brevane
