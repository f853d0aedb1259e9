#include <io/plan_view_svg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>
#include <vector>

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

        using Pixel = std::array< long, 2 >;
        // Its two ends, the smaller first.
        using PixelSegment = std::array< Pixel, 2 >;

        // Room below an overview for its note.
        constexpr double NOTE_HEIGHT{ 24 };

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
            // The whole pixel nearest to the point.
            Pixel pixel( const Point2D& point ) const
            {
                return { std::lround(
                             margin + ( point.value( 0 ) - min_x ) * scale ),
                    std::lround(
                        margin + ( max_y - point.value( 1 ) ) * scale ) };
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

        // Calls draw( polygon_edge, edge ) for each unique edge once, from
        // the polygon that reaches it first.
        template < typename Draw >
        void for_each_edge( const TriangulatedSurface2D& surface, Draw draw )
        {
            std::vector< bool > drawn( surface.edges().nb_edges(), false );
            for( index_t polygon = 0; polygon < surface.nb_polygons();
                 polygon++ )
            {
                for( local_index_t local = 0; local < 3; local++ )
                {
                    const PolygonEdge polygon_edge{ polygon, local };
                    const auto edge = surface.polygon_edge( polygon_edge );
                    if( !drawn[edge] )
                    {
                        drawn[edge] = true;
                        draw( polygon_edge, edge );
                    }
                }
            }
        }

        void append_every_edge( std::string& svg,
            const internal::BackgroundSurface& background,
            const Frame& frame,
            absl::Span< const index_t > marked_vertices )
        {
            const auto& surface = background.surface();
            std::string traces;
            std::string border;
            for_each_edge( surface,
                [&]( const PolygonEdge& polygon_edge, index_t edge )
                {
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
                        append_segment(
                            svg, frame, segment, "#bbbbbb", "0.5" );
                    }
                } );
            absl::StrAppend( &svg, border, traces );
            for( const auto vertex : marked_vertices )
            {
                const auto& point = surface.point( vertex );
                absl::StrAppend( &svg, "<circle cx=\"", frame.x( point ),
                    "\" cy=\"", frame.y( point ),
                    "\" r=\"2\" fill=\"#d62728\"/>\n" );
            }
        }

        // One path of the overview: its segments between whole pixels, each
        // once, drawn without lifting the pen where one ends where the next
        // starts.
        void append_path( std::string& svg,
            std::vector< PixelSegment > segments,
            const std::string& colour )
        {
            if( segments.empty() )
            {
                return;
            }
            std::sort( segments.begin(), segments.end() );
            segments.erase( std::unique( segments.begin(), segments.end() ),
                segments.end() );
            absl::StrAppend( &svg, "<path d=\"" );
            std::optional< Pixel > pen;
            for( const auto& segment : segments )
            {
                if( pen != segment[0] )
                {
                    absl::StrAppend(
                        &svg, "M", segment[0][0], " ", segment[0][1] );
                }
                absl::StrAppend( &svg, "L", segment[1][0], " ", segment[1][1] );
                pen = segment[1];
            }
            absl::StrAppend( &svg, "\" stroke=\"", colour,
                "\" stroke-width=\"2\" fill=\"none\"/>\n" );
        }

        void append_overview( std::string& svg,
            const internal::BackgroundSurface& background,
            const Frame& frame,
            absl::Span< const index_t > marked_vertices )
        {
            const auto& surface = background.surface();
            std::vector< PixelSegment > border;
            // Ordered by colour, so that the picture does not depend on
            // the order the edges come in.
            std::map< std::string, std::vector< PixelSegment > > traces;
            for_each_edge( surface,
                [&]( const PolygonEdge& polygon_edge, index_t edge )
                {
                    const auto& records = background.macro_edges( edge );
                    const auto on_border =
                        surface.is_edge_on_border( polygon_edge );
                    if( records.empty() && !on_border )
                    {
                        return;
                    }
                    const auto edge_segment = surface.segment( polygon_edge );
                    const auto& ends = edge_segment.vertices();
                    PixelSegment segment{ frame.pixel( ends[0] ),
                        frame.pixel( ends[1] ) };
                    if( segment[0] == segment[1] )
                    {
                        return;
                    }
                    if( segment[1] < segment[0] )
                    {
                        std::swap( segment[0], segment[1] );
                    }
                    if( records.empty() )
                    {
                        border.push_back( segment );
                    }
                    else
                    {
                        traces[line_colour( records.front().mesh_id )]
                            .push_back( segment );
                    }
                } );
            append_path( svg, std::move( border ), "black" );
            for( auto& [colour, segments] : traces )
            {
                append_path( svg, std::move( segments ), colour );
            }
            std::vector< Pixel > dots;
            dots.reserve( marked_vertices.size() );
            for( const auto vertex : marked_vertices )
            {
                dots.push_back( frame.pixel( surface.point( vertex ) ) );
            }
            std::sort( dots.begin(), dots.end() );
            dots.erase( std::unique( dots.begin(), dots.end() ), dots.end() );
            for( const auto& dot : dots )
            {
                absl::StrAppend( &svg, "<circle cx=\"", dot[0], "\" cy=\"",
                    dot[1], "\" r=\"2\" fill=\"#d62728\"/>\n" );
            }
        }
    } // namespace

    std::string plan_view_svg( const internal::BackgroundSurface& background,
        absl::Span< const index_t > marked_vertices,
        double width,
        index_t max_triangles )
    {
        const auto& surface = background.surface();
        const Frame frame{ surface.bounding_box(), width };
        const auto overview = surface.nb_polygons() > max_triangles;
        const auto height = frame.height + 2 * frame.margin
                            + ( overview ? NOTE_HEIGHT : 0.0 );
        std::string svg = absl::StrCat(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"",
            number( frame.width + 2 * frame.margin ), "\" height=\"",
            number( height ),
            "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n" );
        if( overview )
        {
            append_overview( svg, background, frame, marked_vertices );
            absl::StrAppend( &svg, "<text x=\"", number( frame.margin ),
                "\" y=\"", number( height - 8 ),
                "\" font-family=\"sans-serif\" font-size=\"14\" "
                "fill=\"#333333\">",
                surface.nb_polygons(), " triangles, more than ", max_triangles,
                ": only the line traces, the border and the marked vertices "
                "are drawn</text>\n" );
        }
        else
        {
            append_every_edge( svg, background, frame, marked_vertices );
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
