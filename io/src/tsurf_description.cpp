#include <io/tsurf_description.h>

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

#include <tessark/basic/tessark_exception.h>

#include <io/safe_files.h>

namespace brevane
{
    namespace
    {
        using nlohmann::json;

        constexpr std::array< TSurfRole, 5 > ROLES{ TSurfRole::topography,
            TSurfRole::bottom, TSurfRole::horizon, TSurfRole::fault,
            TSurfRole::boundary };

        // Horizons, faults and side boundaries are named under the key of
        // their role; the topography and the bottom have fixed collections.
        bool has_named_collection( TSurfRole role )
        {
            return role == TSurfRole::horizon || role == TSurfRole::fault
                   || role == TSurfRole::boundary;
        }

        class DescriptionParser
        {
        public:
            explicit DescriptionParser( std::string_view file ) : file_( file )
            {
            }

            TSurfModelDescription parse( std::string_view text ) const
            {
                json root;
                try
                {
                    root = json::parse( text.begin(), text.end() );
                }
                // A parse error, or a number too large for a double.
                catch( const json::exception& error )
                {
                    fail( "", "the text is not JSON: ", error.what() );
                }
                if( !root.is_object() )
                {
                    fail( "", "the description must be a JSON object" );
                }
                check_keys( root, "", { "surfaces", "blocks" } );
                TSurfModelDescription description;
                const auto surfaces = root.find( "surfaces" );
                if( surfaces == root.end() || !surfaces->is_array()
                    || surfaces->empty() )
                {
                    fail( "", "\"surfaces\" must be a non-empty array" );
                }
                for( std::size_t index = 0; index < surfaces->size(); index++ )
                {
                    description.surfaces.push_back(
                        surface_entry( ( *surfaces )[index],
                            concatenate( "surfaces[", index, "]" ) ) );
                }
                const auto blocks = root.find( "blocks" );
                if( blocks != root.end() )
                {
                    if( !blocks->is_array() )
                    {
                        fail( "", "\"blocks\" must be an array" );
                    }
                    for( std::size_t index = 0; index < blocks->size();
                         index++ )
                    {
                        description.blocks.push_back(
                            block_entry( ( *blocks )[index],
                                concatenate( "blocks[", index, "]" ) ) );
                    }
                }
                return description;
            }

        private:
            template < typename... Args >
            [[noreturn]] void fail(
                std::string_view entry, const Args&... message ) const
            {
                if( entry.empty() )
                {
                    throw TessarkException{ "[TSurf model] ", file_, ": ",
                        message... };
                }
                throw TessarkException{ "[TSurf model] ", file_, " ", entry,
                    ": ", message... };
            }

            void check_keys( const json& object, std::string_view entry,
                std::initializer_list< std::string_view > keys ) const
            {
                for( const auto& item : object.items() )
                {
                    if( std::find( keys.begin(), keys.end(), item.key() )
                        == keys.end() )
                    {
                        fail( entry, "unknown key \"", item.key(), "\"" );
                    }
                }
            }

            std::string string_value( const json& object,
                std::string_view entry, const std::string& key,
                bool required ) const
            {
                const auto found = object.find( key );
                if( found == object.end() )
                {
                    if( required )
                    {
                        fail( entry, "\"", key, "\" is missing" );
                    }
                    return {};
                }
                if( !found->is_string() )
                {
                    fail( entry, "\"", key, "\" must be a string" );
                }
                return found->get< std::string >();
            }

            TSurfRole role(
                const std::string& name, std::string_view entry ) const
            {
                for( const auto role : ROLES )
                {
                    if( tsurf_role_name( role ) == name )
                    {
                        return role;
                    }
                }
                fail( entry, "unknown role \"", name,
                    "\" (topography, bottom, horizon, fault or boundary)" );
            }

            TSurfSurfaceEntry surface_entry(
                const json& object, const std::string& entry ) const
            {
                if( !object.is_object() )
                {
                    fail( entry, "a surface entry must be a JSON object" );
                }
                TSurfSurfaceEntry result;
                result.role =
                    role( string_value( object, entry, "role", true ), entry );
                const auto role_key =
                    std::string{ tsurf_role_name( result.role ) };
                if( has_named_collection( result.role ) )
                {
                    check_keys(
                        object, entry, { "file", "part", "role", role_key } );
                    result.collection =
                        string_value( object, entry, role_key, false );
                }
                else
                {
                    check_keys( object, entry, { "file", "part", "role" } );
                }
                const auto file = string_value( object, entry, "file", true );
                if( file.empty() )
                {
                    fail( entry, "\"file\" is empty" );
                }
                result.file = file;
                result.part = string_value( object, entry, "part", false );
                return result;
            }

            TSurfBlockEntry block_entry(
                const json& object, const std::string& entry ) const
            {
                if( !object.is_object() )
                {
                    fail( entry, "a block entry must be a JSON object" );
                }
                check_keys( object, entry, { "name", "surfaces" } );
                TSurfBlockEntry result;
                result.name = string_value( object, entry, "name", true );
                if( result.name.empty() )
                {
                    fail( entry, "\"name\" is empty" );
                }
                const auto surfaces = object.find( "surfaces" );
                if( surfaces == object.end() || !surfaces->is_array()
                    || surfaces->empty() )
                {
                    fail( entry, "\"surfaces\" must be a non-empty array" );
                }
                for( const auto& surface : *surfaces )
                {
                    if( !surface.is_string() )
                    {
                        fail( entry, "\"surfaces\" must hold surface names" );
                    }
                    result.surfaces.push_back( surface.get< std::string >() );
                }
                return result;
            }

            std::string_view file_;
        };
    } // namespace

    std::string_view tsurf_role_name( TSurfRole role )
    {
        switch( role )
        {
        case TSurfRole::topography:
            return "topography";
        case TSurfRole::bottom:
            return "bottom";
        case TSurfRole::horizon:
            return "horizon";
        case TSurfRole::fault:
            return "fault";
        case TSurfRole::boundary:
            break;
        }
        return "boundary";
    }

    TSurfModelDescription read_tsurf_model_description(
        const std::filesystem::path& path )
    {
        return parse_tsurf_model_description(
            read_regular_file( path, "[TSurf model] " ), path.string() );
    }

    TSurfModelDescription parse_tsurf_model_description(
        std::string_view json, std::string_view name_for_messages )
    {
        return DescriptionParser{ name_for_messages }.parse( json );
    }

    std::string tsurf_model_description_json(
        const TSurfModelDescription& description )
    {
        auto surfaces = nlohmann::ordered_json::array();
        for( const auto& entry : description.surfaces )
        {
            nlohmann::ordered_json object;
            object["file"] = entry.file.generic_string();
            if( !entry.part.empty() )
            {
                object["part"] = entry.part;
            }
            const auto role = std::string{ tsurf_role_name( entry.role ) };
            object["role"] = role;
            if( has_named_collection( entry.role )
                && !entry.collection.empty() )
            {
                object[role] = entry.collection;
            }
            surfaces.push_back( std::move( object ) );
        }
        nlohmann::ordered_json root;
        root["surfaces"] = std::move( surfaces );
        if( !description.blocks.empty() )
        {
            auto blocks = nlohmann::ordered_json::array();
            for( const auto& block : description.blocks )
            {
                nlohmann::ordered_json object;
                object["name"] = block.name;
                object["surfaces"] = block.surfaces;
                blocks.push_back( std::move( object ) );
            }
            root["blocks"] = std::move( blocks );
        }
        try
        {
            return root.dump( 2 ) + "\n";
        }
        catch( const nlohmann::json::type_error& error )
        {
            throw TessarkException{
                "[TSurf model] A file, part, collection, block or surface "
                "name is not valid UTF-8: ",
                error.what()
            };
        }
    }

    void write_tsurf_model_description(
        const TSurfModelDescription& description,
        const std::filesystem::path& path )
    {
        write_file_replacing( path, tsurf_model_description_json( description ),
            "[TSurf model] " );
    }
} // namespace brevane
