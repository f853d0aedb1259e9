#include <io/plan_view_svg.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include <absl/strings/str_cat.h>

#include <io/safe_files.h>

namespace brevane
{
    namespace
    {
        // A colour of its own for each line, from its uuid: a hue on the
        // colour wheel, at a saturation and lightness that stand out on
        // white.
        std::string line_colour( const uuid& line )
        {
            unsigned hue{ 0 };
            for( const auto byte : line.bytes() )
            {
                hue = hue * 31 + byte;
            }
            return absl::StrCat( "hsl(", hue % 360, ",80%,40%)" );
        }

        std::string number( double value )
        {
            std::array< char, 32 > text{};
            std::snprintf( text.data(), text.size(), "%.2f", value );
            return text.data();
        }

        // Model coordinates to picture coordinates, y flipped.
        struct Frame
        {
            Frame( const BoundingBox2D& box, double width_in )
                : min_x( box.min().value( 0 ) ),
                  max_y( box.max().value( 1 ) ),
                  width( width_in )
            {
                const auto extent_x = box.max().value( 0 ) - min_x;
                const auto extent_y = max_y - box.min().value( 1 );
                scale = width / std::max( { extent_x, extent_y, 1e-30 } );
                height = std::max( extent_y * scale, 1.0 );
            }

            std::string x( const Point2D& point ) const
            {
                return number( margin + ( point.value( 0 ) - min_x ) * scale );
            }
            std::string y( const Point2D& point ) const
            {
                return number( margin + ( max_y - point.value( 1 ) ) * scale );
            }

            double min_x;
            double max_y;
            double width;
            double scale{ 1 };
            double height{ 1 };
            double margin{ 10 };
        };

        void append_segment( std::string& svg,
            const Frame& frame,
            const Segment2D& segment,
            std::string_view colour,
            std::string_view stroke_width )
        {
            const auto& ends = segment.vertices();
            absl::StrAppend( &svg, "<line x1=\"", frame.x( ends[0] ), "\" y1=\"",
                frame.y( ends[0] ), "\" x2=\"", frame.x( ends[1] ), "\" y2=\"",
                frame.y( ends[1] ), "\" stroke=\"", std::string{ colour },
                "\" stroke-width=\"", std::string{ stroke_width }, "\"/>\n" );
        }
    } // namespace

    std::string plan_view_svg( const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices,
        double width )
    {
        const auto& surface = background.surface();
        const Frame frame{ surface.bounding_box(), width };
        std::string svg = absl::StrCat(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"",
            number( frame.width + 2 * frame.margin ), "\" height=\"",
            number( frame.height + 2 * frame.margin ),
            "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n" );
        // Each unique edge once, from the polygon that reaches it first.
        std::vector< bool > drawn( surface.edges().nb_edges(), false );
        std::string traces;
        std::string border;
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            for( local_index_t local = 0; local < 3; local++ )
            {
                const PolygonEdge polygon_edge{ polygon, local };
                const auto edge = surface.polygon_edge( polygon_edge );
                if( drawn[edge] )
                {
                    continue;
                }
                drawn[edge] = true;
                const auto segment = surface.segment( polygon_edge );
                const auto& records = background.macro_edges( edge );
                if( !records.empty() )
                {
                    append_segment( traces, frame, segment,
                        line_colour( records.front().mesh_id ), "2" );
                }
                else if( surface.is_edge_on_border( polygon_edge ) )
                {
                    append_segment( border, frame, segment, "black", "2" );
                }
                else
                {
                    append_segment( svg, frame, segment, "#bbbbbb", "0.5" );
                }
            }
        }
        absl::StrAppend( &svg, border, traces );
        for( const auto vertex : marked_vertices )
        {
            const auto& point = surface.point( vertex );
            absl::StrAppend( &svg, "<circle cx=\"", frame.x( point ), "\" cy=\"",
                frame.y( point ), "\" r=\"2\" fill=\"#d62728\"/>\n" );
        }
        absl::StrAppend( &svg, "</svg>\n" );
        return svg;
    }

    void write_plan_view_svg( const std::filesystem::path& file,
        const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices, double width )
    {
        write_file_replacing( file,
            plan_view_svg( background, marked_vertices, width ),
            "[plan view] " );
    }
} // namespace brevane
