#include "model_file_vtk_reader.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include <pugixml.hpp>

#include <io/safe_files.h>

#include "model_file_error.h"

namespace brevane::internal
{
    namespace
    {
        static_assert( std::endian::native == std::endian::little,
            "Model files are read in the host's byte order, declared little "
            "endian" );

        enum struct ValueType : std::uint8_t
        {
            int8,
            uint8,
            int16,
            uint16,
            int32,
            uint32,
            int64,
            uint64,
            float32,
            float64
        };

        struct TypeInfo
        {
            std::string_view name;
            ValueType type;
            std::size_t size;
            bool is_float;
        };

        constexpr std::array< TypeInfo, 10 > VALUE_TYPES{ {
            { "Int8", ValueType::int8, 1, false },
            { "UInt8", ValueType::uint8, 1, false },
            { "Int16", ValueType::int16, 2, false },
            { "UInt16", ValueType::uint16, 2, false },
            { "Int32", ValueType::int32, 4, false },
            { "UInt32", ValueType::uint32, 4, false },
            { "Int64", ValueType::int64, 8, false },
            { "UInt64", ValueType::uint64, 8, false },
            { "Float32", ValueType::float32, 4, true },
            { "Float64", ValueType::float64, 8, true },
        } };

        std::optional< TypeInfo > find_value_type( std::string_view name )
        {
            for( const auto& type : VALUE_TYPES )
            {
                if( type.name == name )
                {
                    return type;
                }
            }
            return std::nullopt;
        }

        // Copies count values of type Source from unaligned bytes into
        // values, refusing integers that Target cannot hold.
        template < typename Source, typename Target >
        void convert_values( const char* bytes, std::vector< Target >& values,
            const std::filesystem::path& file, std::string_view name )
        {
            if( values.empty() )
            {
                return;
            }
            if constexpr( std::is_same_v< Source, Target > )
            {
                std::memcpy(
                    values.data(), bytes, values.size() * sizeof( Target ) );
            }
            else
            {
                for( std::size_t index = 0; index < values.size(); index++ )
                {
                    Source value;
                    std::memcpy( &value, bytes + index * sizeof( Source ),
                        sizeof( Source ) );
                    if constexpr( std::is_floating_point_v< Target > )
                    {
                        values[index] = static_cast< Target >( value );
                    }
                    else
                    {
                        if( !std::in_range< Target >( value ) )
                        {
                            throw load_error( file, "array \"", name,
                                "\" holds ", value, " at value ", index,
                                ", out of the range of its use" );
                        }
                        values[index] = static_cast< Target >( value );
                    }
                }
            }
        }

        template < typename Target >
        void convert_integers( ValueType type, const char* bytes,
            std::vector< Target >& values, const std::filesystem::path& file,
            std::string_view name )
        {
            switch( type )
            {
            case ValueType::int8:
                return convert_values< std::int8_t >(
                    bytes, values, file, name );
            case ValueType::uint8:
                return convert_values< std::uint8_t >(
                    bytes, values, file, name );
            case ValueType::int16:
                return convert_values< std::int16_t >(
                    bytes, values, file, name );
            case ValueType::uint16:
                return convert_values< std::uint16_t >(
                    bytes, values, file, name );
            case ValueType::int32:
                return convert_values< std::int32_t >(
                    bytes, values, file, name );
            case ValueType::uint32:
                return convert_values< std::uint32_t >(
                    bytes, values, file, name );
            case ValueType::int64:
                return convert_values< std::int64_t >(
                    bytes, values, file, name );
            case ValueType::uint64:
                return convert_values< std::uint64_t >(
                    bytes, values, file, name );
            case ValueType::float32:
            case ValueType::float64:
                // Refused for integer arrays before reading.
                break;
            }
        }

        // One VTK XML file of one piece with raw appended data, held in
        // memory: its XML head parsed, its arrays read on demand.
        class VtkXmlFile
        {
        public:
            VtkXmlFile( std::string content, const std::filesystem::path& file,
                std::string_view dataset_type )
                : file_( file ), content_( std::move( content ) )
            {
                // The appended bytes are not XML: only the text before them
                // is parsed, closed by the root's end tag.
                const auto appended = content_.find( "<AppendedData" );
                if( appended == std::string::npos )
                {
                    throw load_error( file_,
                        "no <AppendedData> element: the file is truncated or "
                        "is not a VTK XML file with raw appended data" );
                }
                const auto tag_end = content_.find( '>', appended );
                if( tag_end == std::string::npos )
                {
                    throw load_error(
                        file_, "the file is truncated inside <AppendedData>" );
                }
                const std::string_view tag{ content_.data() + appended,
                    tag_end - appended };
                if( tag.find( "encoding=\"raw\"" ) == std::string_view::npos )
                {
                    throw load_error( file_,
                        "the appended data is not raw (expected "
                        "encoding=\"raw\")" );
                }
                const auto underscore =
                    content_.find_first_not_of( " \t\r\n", tag_end + 1 );
                if( underscore == std::string::npos
                    || content_[underscore] != '_' )
                {
                    throw load_error(
                        file_, "the appended data does not start with '_'" );
                }
                data_begin_ = underscore + 1;
                // The raw bytes end with the closing tags: a file cut
                // anywhere lacks them.
                const auto last = content_.find_last_not_of( " \t\r\n" );
                constexpr std::string_view END{ "</VTKFile>" };
                if( last == std::string::npos || last + 1 < END.size()
                    || std::string_view{ content_ }.substr(
                           last + 1 - END.size(), END.size() )
                           != END )
                {
                    throw load_error( file_,
                        "the file is truncated: it does not end with ", END );
                }
                parse_head(
                    std::string{ content_.data(), appended } + "</VTKFile>",
                    dataset_type );
            }

            // The value of a count attribute of the piece; 0 when absent
            // unless required.
            index_t count( const char* attribute, bool required ) const
            {
                const auto value = piece_.attribute( attribute );
                if( !value )
                {
                    if( required )
                    {
                        throw load_error( file_, "the piece has no ",
                            std::string_view{ attribute } );
                    }
                    return 0;
                }
                const auto parsed = parse_unsigned( value.value(), attribute );
                if( parsed >= NO_ID )
                {
                    throw load_error( file_, std::string_view{ attribute }, " ",
                        parsed, " is more than a mesh can hold" );
                }
                return static_cast< index_t >( parsed );
            }

            // The array named name in the element section of the piece, of
            // nb_tuples tuples of nb_components values, or of as many tuples
            // as its bytes hold when nb_tuples is not given.
            template < typename T >
            std::vector< T > read( const char* section, const char* name,
                std::optional< std::uint64_t > nb_tuples,
                index_t nb_components ) const
            {
                const auto array = data_array( section, name );
                const auto type_name =
                    std::string_view{ array.attribute( "type" ).value() };
                const auto type = find_value_type( type_name );
                if( !type || type->is_float != std::is_floating_point_v< T > )
                {
                    throw load_error( file_, "array \"", name,
                        "\" has the type \"", type_name, "\" where ",
                        std::is_floating_point_v< T > ? "Float32 or Float64"
                                                      : "an integer type",
                        " is expected" );
                }
                const auto components = array.attribute( "NumberOfComponents" );
                if( ( components ? parse_unsigned(
                          components.value(), "NumberOfComponents" )
                                 : 1 )
                    != nb_components )
                {
                    throw load_error( file_, "array \"", name,
                        "\" should have ", nb_components,
                        " components per tuple" );
                }
                if( std::string_view{ array.attribute( "format" ).value() }
                    != "appended" )
                {
                    throw load_error( file_, "array \"", name,
                        "\" is not in the appended data" );
                }
                const auto offset = parse_unsigned(
                    array.attribute( "offset" ).value(), "offset" );
                const auto available = content_.size() - data_begin_;
                if( offset > available
                    || available - offset < sizeof( std::uint64_t ) )
                {
                    throw load_error( file_, "array \"", name,
                        "\" starts at byte ", offset,
                        " of the appended data, past its end (", available,
                        " bytes)" );
                }
                std::uint64_t nb_bytes;
                std::memcpy( &nb_bytes, content_.data() + data_begin_ + offset,
                    sizeof( nb_bytes ) );
                const auto tuple_size = type->size * nb_components;
                if( !nb_tuples && nb_bytes % tuple_size != 0 )
                {
                    throw load_error( file_, "array \"", name, "\" holds ",
                        nb_bytes, " bytes, not a whole number of ", type_name,
                        " tuples" );
                }
                const auto nb_values =
                    nb_tuples.value_or( nb_bytes / tuple_size ) * nb_components;
                const auto room = available - offset - sizeof( std::uint64_t );
                if( nb_values > room / type->size || nb_bytes > room )
                {
                    throw load_error( file_, "array \"", name,
                        "\" runs past the end of the file: it needs ",
                        std::max( nb_values * type->size, nb_bytes ),
                        " bytes from byte ", offset,
                        " of the appended data, which holds ", available,
                        " bytes" );
                }
                if( nb_bytes != nb_values * type->size )
                {
                    throw load_error( file_, "array \"", name, "\" holds ",
                        nb_bytes, " bytes where ", nb_values, " values of ",
                        type_name, " take ", nb_values * type->size );
                }
                std::vector< T > values( nb_values );
                const auto* bytes = content_.data() + data_begin_ + offset
                                    + sizeof( std::uint64_t );
                if constexpr( std::is_floating_point_v< T > )
                {
                    if( type->type == ValueType::float32 )
                    {
                        convert_values< float >( bytes, values, file_, name );
                    }
                    else
                    {
                        convert_values< double >( bytes, values, file_, name );
                    }
                }
                else
                {
                    convert_integers( type->type, bytes, values, file_, name );
                }
                return values;
            }

            [[nodiscard]] const std::filesystem::path& file() const
            {
                return file_;
            }

        private:
            void parse_head(
                const std::string& head, std::string_view dataset_type )
            {
                const auto parsed =
                    document_.load_buffer( head.data(), head.size() );
                if( !parsed )
                {
                    throw load_error( file_, "the XML head cannot be parsed: ",
                        std::string_view{ parsed.description() }, " at byte ",
                        static_cast< std::int64_t >( parsed.offset ) );
                }
                const auto root = document_.child( "VTKFile" );
                if( std::string_view{ root.attribute( "type" ).value() }
                    != dataset_type )
                {
                    throw load_error( file_, "not a VTK XML ", dataset_type,
                        " file (type \"",
                        std::string_view{ root.attribute( "type" ).value() },
                        "\")" );
                }
                if( std::string_view{ root.attribute( "byte_order" ).value() }
                    != "LittleEndian" )
                {
                    throw load_error(
                        file_, "the byte order is not LittleEndian" );
                }
                if( std::string_view{ root.attribute( "header_type" ).value() }
                    != "UInt64" )
                {
                    throw load_error( file_, "the header type is not UInt64" );
                }
                if( root.attribute( "compressor" ) )
                {
                    throw load_error(
                        file_, "compressed data is not supported" );
                }
                piece_ = root.child( std::string{ dataset_type }.c_str() )
                             .child( "Piece" );
                if( !piece_ )
                {
                    throw load_error(
                        file_, "no <Piece> in <", dataset_type, ">" );
                }
            }

            pugi::xml_node data_array(
                const char* section, const char* name ) const
            {
                for( const auto array :
                    piece_.child( section ).children( "DataArray" ) )
                {
                    if( std::string_view{ array.attribute( "Name" ).value() }
                        == name )
                    {
                        return array;
                    }
                }
                throw load_error( file_, "no array \"",
                    std::string_view{ name }, "\" in <",
                    std::string_view{ section }, ">" );
            }

            std::uint64_t parse_unsigned(
                std::string_view text, std::string_view what ) const
            {
                std::uint64_t value{ 0 };
                const auto* end = text.data() + text.size();
                const auto result = std::from_chars( text.data(), end, value );
                if( result.ec != std::errc{} || result.ptr != end )
                {
                    throw load_error( file_, what, " \"", text,
                        "\" is not a non-negative integer" );
                }
                return value;
            }

            std::filesystem::path file_;
            std::string content_;
            std::size_t data_begin_{ 0 };
            pugi::xml_document document_;
            pugi::xml_node piece_;
        };

        // Offsets never decrease and end at the size of the connectivity.
        void check_offsets( const VtkXmlFile& file, const MeshArrays& arrays )
        {
            std::int64_t previous{ 0 };
            for( index_t cell = 0; cell < arrays.nb_cells(); cell++ )
            {
                const auto offset = arrays.offsets[cell];
                if( offset < previous )
                {
                    throw load_error( file.file(), "the offset of cell ", cell,
                        " (", offset, ") is below the one before (", previous,
                        ")" );
                }
                previous = offset;
            }
            if( static_cast< std::uint64_t >( previous )
                != arrays.connectivity.size() )
            {
                throw load_error( file.file(), "the cells end at ", previous,
                    " but the connectivity holds ", arrays.connectivity.size(),
                    " vertex indices" );
            }
        }

        // No model holds a point at an infinite or undefined place.
        void check_finite_points(
            const VtkXmlFile& file, const MeshArrays& arrays )
        {
            for( std::size_t value = 0; value < arrays.points.size(); value++ )
            {
                if( !std::isfinite( arrays.points[value] ) )
                {
                    const auto point = value / 3;
                    throw load_error( file.file(), "point ", point, " (",
                        arrays.points[3 * point], " ",
                        arrays.points[3 * point + 1], " ",
                        arrays.points[3 * point + 2],
                        ") has a coordinate that is not a finite number" );
                }
            }
        }

        // Reads the point arrays and the cells of the given element.
        MeshArrays read_mesh_arrays( const VtkXmlFile& file,
            const char* cells_element, index_t nb_cells, bool with_types )
        {
            MeshArrays arrays;
            const auto nb_points = file.count( "NumberOfPoints", true );
            arrays.points =
                file.read< double >( "Points", "Points", nb_points, 3 );
            check_finite_points( file, arrays );
            arrays.unique_vertices = file.read< std::uint32_t >(
                "PointData", "unique_vertex", nb_points, 1 );
            arrays.unique_vertex_ranks = file.read< std::uint32_t >(
                "PointData", "unique_vertex_rank", nb_points, 1 );
            arrays.offsets = file.read< std::int64_t >(
                cells_element, "offsets", nb_cells, 1 );
            arrays.connectivity = file.read< std::int64_t >(
                cells_element, "connectivity", std::nullopt, 1 );
            check_offsets( file, arrays );
            if( with_types )
            {
                arrays.cell_types = file.read< std::uint8_t >(
                    cells_element, "types", nb_cells, 1 );
            }
            return arrays;
        }
    } // namespace

    MeshArrays read_vtk_polydata(
        const std::filesystem::path& file, PolyDataCells cells )
    {
        return parse_vtk_polydata(
            read_regular_file( file, "[load_model] " ), file, cells );
    }

    MeshArrays parse_vtk_polydata( std::string content,
        const std::filesystem::path& file, PolyDataCells cells )
    {
        const VtkXmlFile vtk{ std::move( content ), file, "PolyData" };
        switch( cells )
        {
        case PolyDataCells::verts:
            return read_mesh_arrays(
                vtk, "Verts", vtk.count( "NumberOfVerts", false ), false );
        case PolyDataCells::lines:
            return read_mesh_arrays(
                vtk, "Lines", vtk.count( "NumberOfLines", false ), false );
        case PolyDataCells::polys:
            break;
        }
        return read_mesh_arrays(
            vtk, "Polys", vtk.count( "NumberOfPolys", false ), false );
    }

    MeshArrays read_vtk_unstructured_grid( const std::filesystem::path& file )
    {
        return parse_vtk_unstructured_grid(
            read_regular_file( file, "[load_model] " ), file );
    }

    MeshArrays parse_vtk_unstructured_grid(
        std::string content, const std::filesystem::path& file )
    {
        const VtkXmlFile vtk{ std::move( content ), file, "UnstructuredGrid" };
        return read_mesh_arrays(
            vtk, "Cells", vtk.count( "NumberOfCells", true ), true );
    }
} // namespace brevane::internal
