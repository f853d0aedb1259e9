#include <io/tsurf_writer.h>

#include <array>
#include <charconv>
#include <cmath>

#include <tessark/basic/tessark_exception.h>

#include <io/safe_files.h>

namespace brevane
{
    namespace
    {
        // The shortest text that reads back as the same double.
        void append_number( std::string& text, double value )
        {
            std::array< char, 32 > buffer{};
            const auto result = std::to_chars(
                buffer.data(), buffer.data() + buffer.size(), value );
            text.append( buffer.data(), result.ptr );
        }

        void check_part( const TSurfPart& part, std::size_t index )
        {
            TESSARK_EXCEPTION(
                !part.name.empty()
                    && part.name.find_first_of( "\r\n" ) == std::string::npos,
                "[TSurf] Part ", index, " (\"", part.name,
                "\") needs a name on one line" );
            TESSARK_EXCEPTION( !part.triangles.empty(), "[TSurf] Part \"",
                part.name, "\" has no triangle" );
            for( std::size_t point = 0; point < part.points.size(); point++ )
            {
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    TESSARK_EXCEPTION(
                        std::isfinite( part.points[point].value( axis ) ),
                        "[TSurf] Part \"", part.name, "\" point ", point,
                        " has a coordinate that is not finite" );
                }
            }
            const auto nb_points = part.points.size();
            for( std::size_t triangle = 0; triangle < part.triangles.size();
                 triangle++ )
            {
                const auto& vertices = part.triangles[triangle];
                TESSARK_EXCEPTION( vertices[0] < nb_points
                                       && vertices[1] < nb_points
                                       && vertices[2] < nb_points,
                    "[TSurf] Part \"", part.name, "\" triangle ", triangle,
                    " indexes a point past the last one (", nb_points,
                    " points)" );
                TESSARK_EXCEPTION( vertices[0] != vertices[1]
                                       && vertices[1] != vertices[2]
                                       && vertices[2] != vertices[0],
                    "[TSurf] Part \"", part.name, "\" triangle ", triangle,
                    " uses one point twice" );
            }
        }

        void append_part( std::string& text, const TSurfPart& part )
        {
            append( &text, "GOCAD TSurf 1\nHEADER {\nname: ", part.name,
                "\n}\nGOCAD_ORIGINAL_COORDINATE_SYSTEM\nNAME Default\n"
                "AXIS_NAME \"X\" \"Y\" \"Z\"\nZPOSITIVE Elevation\n"
                "END_ORIGINAL_COORDINATE_SYSTEM\nTFACE\n" );
            for( std::size_t point = 0; point < part.points.size(); point++ )
            {
                append( &text, "VRTX ", point + 1 );
                for( const auto value : part.points[point].values() )
                {
                    text.push_back( ' ' );
                    append_number( text, value );
                }
                text.push_back( '\n' );
            }
            for( const auto& triangle : part.triangles )
            {
                append( &text, "TRGL ", triangle[0] + 1, " ", triangle[1] + 1,
                    " ", triangle[2] + 1, "\n" );
            }
            text.append( "END\n" );
        }
    } // namespace

    TSurfPart tsurf_part( std::string_view name, const SurfaceMesh< 3 >& mesh )
    {
        TSurfPart part;
        part.name = std::string{ name };
        part.object = part.name;
        part.points.reserve( mesh.nb_vertices() );
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            part.points.push_back( mesh.point( vertex ) );
        }
        part.triangles.reserve( mesh.nb_polygons() );
        for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
        {
            const auto vertices = mesh.polygon_vertices( polygon );
            TESSARK_EXCEPTION( vertices.size() == 3, "[TSurf] Surface \"", name,
                "\" polygon ", polygon, " has ", vertices.size(),
                " vertices: a TSurf holds triangles only" );
            part.triangles.push_back(
                { vertices[0], vertices[1], vertices[2] } );
        }
        return part;
    }

    std::string tsurf_text( absl::Span< const TSurfPart > parts )
    {
        std::string text;
        for( std::size_t index = 0; index < parts.size(); index++ )
        {
            check_part( parts[index], index );
            append_part( text, parts[index] );
        }
        return text;
    }

    void write_tsurf(
        absl::Span< const TSurfPart > parts, const std::filesystem::path& path )
    {
        write_file_replacing( path, tsurf_text( parts ), "[TSurf] " );
    }
} // namespace brevane
