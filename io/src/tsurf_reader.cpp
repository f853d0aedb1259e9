#include <io/tsurf_reader.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>

#include <tessark/basic/tessark_exception.h>

#include <io/safe_files.h>

namespace brevane
{
    namespace
    {
        using Tokens = absl::InlinedVector< std::string_view, 8 >;

        bool is_blank( char character )
        {
            return character == ' ' || character == '\t' || character == '\r'
                   || character == '\f' || character == '\v';
        }

        std::string_view trimmed( std::string_view text )
        {
            while( !text.empty() && is_blank( text.front() ) )
            {
                text.remove_prefix( 1 );
            }
            while( !text.empty() && is_blank( text.back() ) )
            {
                text.remove_suffix( 1 );
            }
            return text;
        }

        Tokens split( std::string_view line )
        {
            Tokens tokens;
            std::size_t position{ 0 };
            while( position < line.size() )
            {
                while( position < line.size() && is_blank( line[position] ) )
                {
                    position++;
                }
                const auto start = position;
                while( position < line.size() && !is_blank( line[position] ) )
                {
                    position++;
                }
                if( position > start )
                {
                    tokens.push_back( line.substr( start, position - start ) );
                }
            }
            return tokens;
        }

        bool equal_ignoring_case(
            std::string_view first, std::string_view second )
        {
            return std::equal( first.begin(), first.end(), second.begin(),
                second.end(),
                []( char left, char right )
                {
                    return std::tolower( static_cast< unsigned char >( left ) )
                           == std::tolower(
                               static_cast< unsigned char >( right ) );
                } );
        }

        // from_chars takes no leading '+', which some writers put.
        std::string_view without_plus( std::string_view token )
        {
            if( token.size() > 1 && token.front() == '+' )
            {
                token.remove_prefix( 1 );
            }
            return token;
        }

        std::optional< double > to_number( std::string_view token )
        {
            token = without_plus( token );
            double value{ 0 };
            const auto end = token.data() + token.size();
            const auto [stop, error] =
                std::from_chars( token.data(), end, value );
            if( error != std::errc{} || stop != end || !std::isfinite( value ) )
            {
                return std::nullopt;
            }
            return value;
        }

        std::optional< std::int64_t > to_integer( std::string_view token )
        {
            token = without_plus( token );
            std::int64_t value{ 0 };
            const auto end = token.data() + token.size();
            const auto [stop, error] =
                std::from_chars( token.data(), end, value );
            if( error != std::errc{} || stop != end )
            {
                return std::nullopt;
            }
            return value;
        }

        std::string stem_of( std::string_view file )
        {
            auto stem =
                std::filesystem::path{ std::string{ file } }.stem().string();
            return stem.empty() ? std::string{ "TSurf" } : stem;
        }

        // Outside brace blocks, a '#' that starts a word starts a comment
        // that runs to the end of the line.
        std::string_view without_comment( std::string_view line )
        {
            for( std::size_t position = 0; position < line.size(); position++ )
            {
                if( line[position] == '#'
                    && ( position == 0 || is_blank( line[position - 1] ) ) )
                {
                    return trimmed( line.substr( 0, position ) );
                }
            }
            return line;
        }

        using Triangles = std::vector< std::array< index_t, 3 > >;

        // A "GOCAD ..." object being read. Triangles index points, which
        // are stored once per VRTX or PVRTX; ATOM and PATOM only add an id.
        struct TSurfObject
        {
            std::string name;
            bool is_tsurf{ true };
            bool depth_positive{ false };
            std::vector< Point3D > points;
            absl::flat_hash_map< std::int64_t, index_t > point_of_id;
            // faces[0] takes the triangles before the first TFACE.
            std::vector< Triangles > faces{ 1 };
        };

        class TSurfReader
        {
        public:
            TSurfReader( std::string_view text, std::string_view file )
                : text_( text ), file_( file ), default_name_( stem_of( file ) )
            {
            }

            std::vector< TSurfPart > read()
            {
                // Lines end with LF, CR LF or a lone CR (old Mac files).
                std::size_t position{ 0 };
                while( position < text_.size() )
                {
                    auto end = text_.find_first_of( "\r\n", position );
                    if( end == std::string_view::npos )
                    {
                        end = text_.size();
                    }
                    line_number_++;
                    read_line( text_.substr( position, end - position ) );
                    position = end + 1;
                    if( end + 1 < text_.size() && text_[end] == '\r'
                        && text_[end + 1] == '\n' )
                    {
                        position++;
                    }
                }
                if( block_depth_ > 0 )
                {
                    line_number_ = block_line_;
                    fail( "the ", in_header_ ? "HEADER block" : "block",
                        " opened on this line by \"{\" is never closed by "
                        "\"}\"" );
                }
                finish_object();
                if( parts_.empty() )
                {
                    fail( "the file holds no triangle" );
                }
                return std::move( parts_ );
            }

        private:
            template < typename... Args >
            [[noreturn]] void fail( const Args&... message ) const
            {
                throw TessarkException{ "[TSurf] ", file_, " line ",
                    line_number_, ": ", message... };
            }

            void read_line( std::string_view raw_line )
            {
                const auto line = trimmed( raw_line );
                if( line.empty() || line.front() == '#' )
                {
                    return;
                }
                if( block_depth_ > 0 )
                {
                    read_block_line( line );
                    return;
                }
                return read_statement( without_comment( line ) );
            }

            // A line outside brace blocks, without its trailing comment.
            void read_statement( std::string_view line )
            {
                if( line.empty() )
                {
                    return;
                }
                const auto tokens = split( line );
                const auto keyword = tokens.front();
                if( keyword == "GOCAD" )
                {
                    finish_object();
                    object_.emplace();
                    object_->is_tsurf =
                        tokens.size() > 1 && tokens[1] == "TSurf";
                    return;
                }
                if( line.find( '{' ) != std::string_view::npos )
                {
                    open_block( line, keyword == "HEADER" );
                    return;
                }
                if( !object_ )
                {
                    // Keywords before any "GOCAD TSurf" line: an object
                    // without header.
                    object_.emplace();
                }
                if( keyword == "END" )
                {
                    finish_object();
                    return;
                }
                if( object_->is_tsurf )
                {
                    read_keyword( keyword, tokens );
                }
            }

            void read_keyword( std::string_view keyword, const Tokens& tokens )
            {
                if( keyword == "VRTX" || keyword == "PVRTX" )
                {
                    expect_values( tokens, 4, "an id and three coordinates" );
                    define_id( integer( tokens[1], "vertex id" ),
                        static_cast< index_t >( object_->points.size() ) );
                    object_->points.emplace_back( std::array< double, 3 >{
                        number( tokens[2], "x" ), number( tokens[3], "y" ),
                        number( tokens[4], "z" ) } );
                }
                else if( keyword == "ATOM" || keyword == "PATOM" )
                {
                    expect_values( tokens, 2,
                        "a new vertex id and the id of an existing vertex" );
                    const auto id = integer( tokens[1], "vertex id" );
                    define_id( id, vertex( tokens[2], keyword ) );
                }
                else if( keyword == "TRGL" )
                {
                    expect_values( tokens, 3, "three vertex ids" );
                    const std::array< index_t, 3 > triangle{ vertex( tokens[1],
                                                                 keyword ),
                        vertex( tokens[2], keyword ),
                        vertex( tokens[3], keyword ) };
                    if( triangle[0] == triangle[1] || triangle[1] == triangle[2]
                        || triangle[2] == triangle[0] )
                    {
                        fail( "TRGL ", tokens[1], " ", tokens[2], " ",
                            tokens[3], " uses one vertex twice" );
                    }
                    object_->faces.back().push_back( triangle );
                }
                else if( keyword == "TFACE" )
                {
                    object_->faces.emplace_back();
                }
                else if( keyword == "BSTONE" )
                {
                    expect_values( tokens, 1, "a vertex id" );
                    static_cast< void >( vertex( tokens[1], keyword ) );
                }
                else if( keyword == "BORDER" )
                {
                    expect_values(
                        tokens, 3, "a border id and two vertex ids" );
                    static_cast< void >( integer( tokens[1], "border id" ) );
                    static_cast< void >( vertex( tokens[2], keyword ) );
                    static_cast< void >( vertex( tokens[3], keyword ) );
                }
                else if( keyword == "ZPOSITIVE" )
                {
                    expect_values( tokens, 1, "Elevation or Depth" );
                    if( equal_ignoring_case( tokens[1], "Depth" ) )
                    {
                        object_->depth_positive = true;
                    }
                    else if( equal_ignoring_case( tokens[1], "Elevation" ) )
                    {
                        object_->depth_positive = false;
                    }
                    else
                    {
                        fail( "ZPOSITIVE is \"", tokens[1],
                            "\" instead of Elevation or Depth" );
                    }
                }
            }

            // A "{" opens a block that runs to its matching "}", on this
            // line or a later one. Only the HEADER block is read, for the
            // object's name.
            void open_block( std::string_view line, bool is_header )
            {
                if( !object_ )
                {
                    object_.emplace();
                }
                in_header_ = is_header;
                block_depth_ = 0;
                block_line_ = line_number_;
                read_block_line( line.substr( line.find( '{' ) ) );
            }

            void read_block_line( std::string_view line )
            {
                std::size_t start{ 0 };
                for( std::size_t position = 0; position <= line.size();
                     position++ )
                {
                    const auto at_end = position == line.size();
                    const auto character = at_end ? '\0' : line[position];
                    if( !at_end && character != '{' && character != '}' )
                    {
                        continue;
                    }
                    if( in_header_ && block_depth_ == 1 )
                    {
                        read_header_entry(
                            line.substr( start, position - start ) );
                    }
                    if( character == '{' )
                    {
                        block_depth_++;
                    }
                    else if( character == '}' && --block_depth_ == 0 )
                    {
                        in_header_ = false;
                        return;
                    }
                    start = position + 1;
                }
            }

            void read_header_entry( std::string_view entry )
            {
                const auto colon = entry.find( ':' );
                if( colon == std::string_view::npos
                    || trimmed( entry.substr( 0, colon ) ) != "name" )
                {
                    return;
                }
                const auto name = trimmed( entry.substr( colon + 1 ) );
                if( !name.empty() && object_->is_tsurf )
                {
                    object_->name = std::string{ name };
                }
            }

            void expect_values( const Tokens& tokens, std::size_t nb_values,
                std::string_view what ) const
            {
                if( tokens.size() < nb_values + 1 )
                {
                    fail( tokens.front(), " needs ", what, ", found ",
                        tokens.size() - 1, " values" );
                }
            }

            std::int64_t integer(
                std::string_view token, std::string_view what ) const
            {
                const auto value = to_integer( token );
                if( !value )
                {
                    fail( "\"", token, "\" is not an integer (", what, ")" );
                }
                return *value;
            }

            double number( std::string_view token, std::string_view what ) const
            {
                const auto value = to_number( token );
                if( !value )
                {
                    fail( "\"", token, "\" is not a finite number (", what,
                        " coordinate)" );
                }
                return *value;
            }

            // The point of a vertex id that must already be defined.
            index_t vertex(
                std::string_view token, std::string_view keyword ) const
            {
                const auto id = integer( token, "vertex id" );
                const auto found = object_->point_of_id.find( id );
                if( found == object_->point_of_id.end() )
                {
                    fail( keyword, " names vertex ", id,
                        ", which no VRTX, PVRTX, ATOM or PATOM above defines" );
                }
                return found->second;
            }

            void define_id( std::int64_t id, index_t point )
            {
                if( !object_->point_of_id.try_emplace( id, point ).second )
                {
                    fail( "vertex id ", id, " is defined twice" );
                }
            }

            void finish_object()
            {
                block_depth_ = 0;
                in_header_ = false;
                if( !object_ )
                {
                    return;
                }
                if( object_->is_tsurf )
                {
                    add_parts( *object_ );
                }
                object_.reset();
            }

            void add_parts( TSurfObject& object )
            {
                if( object.depth_positive )
                {
                    for( auto& point : object.points )
                    {
                        point.set_value( 2, -point.value( 2 ) );
                    }
                }
                const auto name =
                    object.name.empty() ? default_name_ : object.name;
                const auto nb_parts =
                    std::count_if( object.faces.begin(), object.faces.end(),
                        []( const Triangles& face )
                        {
                            return !face.empty();
                        } );
                // Reset after each part, so that the whole object costs
                // one pass over its points.
                std::vector< index_t > local_of_point(
                    object.points.size(), NO_ID );
                index_t part_index{ 0 };
                for( const auto& face : object.faces )
                {
                    if( face.empty() )
                    {
                        continue;
                    }
                    TSurfPart part;
                    part.object = name;
                    part.name = nb_parts == 1
                                    ? name
                                    : concatenate( name, ":", part_index );
                    part_index++;
                    std::vector< index_t > used;
                    used.reserve( 3 * face.size() );
                    for( const auto& triangle : face )
                    {
                        used.insert(
                            used.end(), triangle.begin(), triangle.end() );
                    }
                    std::sort( used.begin(), used.end() );
                    used.erase(
                        std::unique( used.begin(), used.end() ), used.end() );
                    part.points.reserve( used.size() );
                    for( const auto point : used )
                    {
                        local_of_point[point] =
                            static_cast< index_t >( part.points.size() );
                        part.points.push_back( object.points[point] );
                    }
                    part.triangles.reserve( face.size() );
                    for( const auto& triangle : face )
                    {
                        part.triangles.push_back( { local_of_point[triangle[0]],
                            local_of_point[triangle[1]],
                            local_of_point[triangle[2]] } );
                    }
                    for( const auto point : used )
                    {
                        local_of_point[point] = NO_ID;
                    }
                    parts_.push_back( std::move( part ) );
                }
            }

            std::string_view text_;
            std::string_view file_;
            std::string default_name_;
            index_t line_number_{ 0 };
            std::optional< TSurfObject > object_;
            // Nesting depth of the brace block being skipped or read, and
            // the line that opened it.
            index_t block_depth_{ 0 };
            index_t block_line_{ 0 };
            bool in_header_{ false };
            std::vector< TSurfPart > parts_;
        };
    } // namespace

    std::vector< TSurfPart > read_tsurf( const std::filesystem::path& path )
    {
        const auto content = read_regular_file( path, "[TSurf] " );
        return TSurfReader{ content, path.string() }.read();
    }

    std::vector< TSurfPart > read_tsurf_text(
        std::string_view text, std::string_view name_for_messages )
    {
        return TSurfReader{ text, name_for_messages }.read();
    }
} // namespace brevane
