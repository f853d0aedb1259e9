#include "model_file_vtk_writer.h"

#include <bit>
#include <cstdint>
#include <string_view>

#include <pugixml.hpp>

#include <tessark/basic/string_concatenation.h>

#include <io/safe_files.h>

namespace brevane::internal
{
    namespace
    {
        static_assert( std::endian::native == std::endian::little,
            "Model files are written in the host's byte order, declared "
            "little endian" );

        // One array of the appended data.
        struct RawArray
        {
            std::string_view name;
            std::string_view type;
            index_t nb_components;
            const char* data;
            std::uint64_t nb_bytes;
        };

        template < typename T >
        constexpr std::string_view vtk_type_name()
        {
            if constexpr( std::is_same_v< T, double > )
            {
                return "Float64";
            }
            else if constexpr( std::is_same_v< T, std::int64_t > )
            {
                return "Int64";
            }
            else if constexpr( std::is_same_v< T, std::uint32_t > )
            {
                return "UInt32";
            }
            else
            {
                static_assert( std::is_same_v< T, std::uint8_t > );
                return "UInt8";
            }
        }

        template < typename T >
        RawArray raw_array( std::string_view name,
            const std::vector< T >& values, index_t nb_components = 1 )
        {
            return { name, vtk_type_name< T >(), nb_components,
                reinterpret_cast< const char* >( values.data() ),
                values.size() * sizeof( T ) };
        }

        // An element of a piece ("Points", "Polys"...) and its arrays.
        struct Section
        {
            std::string_view element;
            std::vector< RawArray > arrays;
        };

        // The head (XML up to the appended data) of a one-piece file; the
        // arrays follow in section order, each as its byte count (UInt64)
        // then its bytes, at the offsets the head gives.
        std::string file_head( std::string_view dataset_type,
            std::string_view piece_attributes,
            const std::vector< Section >& sections )
        {
            std::string head = concatenate( "<?xml version=\"1.0\"?>\n",
                "<VTKFile type=\"", dataset_type,
                "\" version=\"1.0\" byte_order=\"LittleEndian\" "
                "header_type=\"UInt64\">\n  <",
                dataset_type, ">\n    <Piece ", piece_attributes, ">\n" );
            std::uint64_t offset{ 0 };
            for( const auto& section : sections )
            {
                append( &head, "      <", section.element, ">\n" );
                for( const auto& array : section.arrays )
                {
                    append( &head, "        <DataArray type=\"", array.type,
                        "\" Name=\"", array.name, "\" NumberOfComponents=\"",
                        array.nb_components, "\" format=\"appended\" offset=\"",
                        offset, "\"/>\n" );
                    offset += sizeof( std::uint64_t ) + array.nb_bytes;
                }
                append( &head, "      </", section.element, ">\n" );
            }
            append( &head, "    </Piece>\n  </", dataset_type,
                ">\n  <AppendedData encoding=\"raw\">\n   _" );
            return head;
        }

        void write_raw_file( const std::filesystem::path& file,
            std::string_view dataset_type, std::string_view piece_attributes,
            const std::vector< Section >& sections )
        {
            FileReplacement out{ file, "[save_model] " };
            const auto head =
                file_head( dataset_type, piece_attributes, sections );
            out.write( head );
            for( const auto& section : sections )
            {
                for( const auto& array : section.arrays )
                {
                    out.write(
                        reinterpret_cast< const char* >( &array.nb_bytes ),
                        sizeof( array.nb_bytes ) );
                    out.write( array.data, array.nb_bytes );
                }
            }
            out.write( "\n  </AppendedData>\n</VTKFile>\n" );
            out.commit();
        }

        // Gathers the text pugixml writes.
        class StringWriter : public pugi::xml_writer
        {
        public:
            void write( const void* data, std::size_t size ) override
            {
                text.append( static_cast< const char* >( data ), size );
            }

            std::string text;
        };

        Section point_data( const MeshArrays& arrays )
        {
            return { "PointData",
                { raw_array( "unique_vertex", arrays.unique_vertices ),
                    raw_array(
                        "unique_vertex_rank", arrays.unique_vertex_ranks ) } };
        }

        Section points( const MeshArrays& arrays )
        {
            return { "Points", { raw_array( "Points", arrays.points, 3 ) } };
        }

        std::string_view polydata_element( PolyDataCells cells )
        {
            switch( cells )
            {
            case PolyDataCells::verts:
                return "Verts";
            case PolyDataCells::lines:
                return "Lines";
            case PolyDataCells::polys:
                return "Polys";
            }
            return "Polys";
        }

        std::string_view polydata_count( PolyDataCells cells )
        {
            switch( cells )
            {
            case PolyDataCells::verts:
                return "NumberOfVerts";
            case PolyDataCells::lines:
                return "NumberOfLines";
            case PolyDataCells::polys:
                return "NumberOfPolys";
            }
            return "NumberOfPolys";
        }
    } // namespace

    void write_vtk_polydata( const std::filesystem::path& file,
        const MeshArrays& arrays, PolyDataCells cells )
    {
        std::string counts =
            concatenate( "NumberOfPoints=\"", arrays.nb_points(), "\"" );
        for( const auto kind : { PolyDataCells::verts, PolyDataCells::lines,
                 PolyDataCells::polys } )
        {
            append( &counts, " ", polydata_count( kind ), "=\"",
                kind == cells ? arrays.nb_cells() : 0, "\"" );
        }
        append( &counts, " NumberOfStrips=\"0\"" );
        write_raw_file( file, "PolyData", counts,
            { point_data( arrays ), points( arrays ),
                { polydata_element( cells ),
                    { raw_array( "connectivity", arrays.connectivity ),
                        raw_array( "offsets", arrays.offsets ) } } } );
    }

    void write_vtk_unstructured_grid(
        const std::filesystem::path& file, const MeshArrays& arrays )
    {
        write_raw_file( file, "UnstructuredGrid",
            concatenate( "NumberOfPoints=\"", arrays.nb_points(),
                "\" NumberOfCells=\"", arrays.nb_cells(), "\"" ),
            { point_data( arrays ), points( arrays ),
                { "Cells", { raw_array( "connectivity", arrays.connectivity ),
                               raw_array( "offsets", arrays.offsets ),
                               raw_array( "types", arrays.cell_types ) } } } );
    }

    std::string vtk_multiblock_text(
        const std::vector< MultiblockGroup >& groups )
    {
        pugi::xml_document document;
        auto root = document.append_child( "VTKFile" );
        root.append_attribute( "type" ) = "vtkMultiBlockDataSet";
        root.append_attribute( "version" ) = "1.0";
        root.append_attribute( "byte_order" ) = "LittleEndian";
        root.append_attribute( "header_type" ) = "UInt64";
        auto multiblock = root.append_child( "vtkMultiBlockDataSet" );
        for( std::size_t group = 0; group < groups.size(); group++ )
        {
            auto block = multiblock.append_child( "Block" );
            block.append_attribute( "index" ) =
                static_cast< unsigned long long >( group );
            block.append_attribute( "name" ) = groups[group].name.c_str();
            const auto& datasets = groups[group].datasets;
            for( std::size_t dataset = 0; dataset < datasets.size(); dataset++ )
            {
                auto node = block.append_child( "DataSet" );
                node.append_attribute( "index" ) =
                    static_cast< unsigned long long >( dataset );
                node.append_attribute( "name" ) =
                    datasets[dataset].name.c_str();
                node.append_attribute( "file" ) =
                    datasets[dataset].file.c_str();
            }
        }
        StringWriter writer;
        document.save( writer, "  " );
        return std::move( writer.text );
    }
} // namespace brevane::internal
