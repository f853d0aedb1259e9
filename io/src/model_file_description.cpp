#include "model_file_description.h"

#include <array>
#include <optional>
#include <utility>

#include <absl/container/flat_hash_map.h>
#include <nlohmann/json.hpp>

#include <io/safe_files.h>

#include "model_file_error.h"
#include "model_file_layout.h"

namespace brevane::internal
{
    namespace
    {
        using Json = nlohmann::json;

        constexpr std::array< std::pair< MeshKind, std::string_view >, 5 >
            MESH_KIND_NAMES{ { { MeshKind::point_set, "PointSet" },
                { MeshKind::edged_curve, "EdgedCurve" },
                { MeshKind::triangulated_surface, "TriangulatedSurface" },
                { MeshKind::polygonal_surface, "PolygonalSurface" },
                { MeshKind::hybrid_solid, "HybridSolid" } } };

        constexpr std::array< std::pair< RelationKind, std::string_view >, 3 >
            RELATION_KIND_NAMES{ { { RelationKind::boundary, "boundary" },
                { RelationKind::internal, "internal" },
                { RelationKind::item, "item" } } };

        std::string_view relation_kind_name( RelationKind kind )
        {
            for( const auto& [known, name] : RELATION_KIND_NAMES )
            {
                if( known == kind )
                {
                    return name;
                }
            }
            return "item";
        }

        std::vector< ComponentType > component_kinds()
        {
            return { component_types::corner(), component_types::line(),
                component_types::surface(), component_types::block() };
        }

        std::vector< ComponentType > collection_kinds()
        {
            return { component_types::model_boundary(),
                component_types::surface_collection(),
                component_types::horizon(), component_types::fault(),
                component_types::fault_block() };
        }

        // The meshes a component of each kind may have.
        bool fits( const ComponentType& kind, MeshKind mesh )
        {
            if( kind == component_types::corner() )
            {
                return mesh == MeshKind::point_set;
            }
            if( kind == component_types::line() )
            {
                return mesh == MeshKind::edged_curve;
            }
            if( kind == component_types::surface() )
            {
                return mesh == MeshKind::triangulated_surface
                       || mesh == MeshKind::polygonal_surface;
            }
            return mesh == MeshKind::hybrid_solid;
        }

        // The relations a model builder can make.
        bool can_relate( RelationKind kind, const ComponentType& from,
            const ComponentType& to )
        {
            using namespace component_types;
            switch( kind )
            {
            case RelationKind::boundary:
                return ( from == corner() && to == line() )
                       || ( from == line() && to == surface() )
                       || ( from == surface() && to == block() );
            case RelationKind::internal:
                return ( ( from == corner() || from == line() )
                           && ( to == surface() || to == block() ) )
                       || ( from == surface() && to == block() );
            case RelationKind::item:
                return ( from == surface()
                           && ( to == model_boundary()
                                || to == surface_collection() || to == horizon()
                                || to == fault() ) )
                       || ( from == block() && to == fault_block() );
            }
            return false;
        }

        // Reads the fields of one entry; where names it in messages
        // ("components[3]").
        class EntryReader
        {
        public:
            EntryReader( const Json& entry, std::string where,
                const std::filesystem::path& file )
                : entry_( entry ), where_( std::move( where ) ), file_( file )
            {
                if( !entry_.is_object() )
                {
                    throw load_error( file_, where_, " is not an object" );
                }
            }

            std::string text( const char* key ) const
            {
                const auto& value = field( key );
                if( !value.is_string() )
                {
                    throw load_error( file_, where_, ".",
                        std::string_view{ key }, " is not a string" );
                }
                return value.get< std::string >();
            }

            uuid id( const char* key ) const
            {
                const auto value = text( key );
                try
                {
                    return uuid{ value };
                }
                catch( const TessarkException& error )
                {
                    throw load_error( file_, where_, ".",
                        std::string_view{ key }, ": ",
                        std::string_view{ error.what() } );
                }
            }

            // The kind among the given ones named by the field.
            ComponentType kind( const char* key,
                const std::vector< ComponentType >& kinds ) const
            {
                const auto value = text( key );
                for( const auto& kind : kinds )
                {
                    if( kind.get() == value )
                    {
                        return kind;
                    }
                }
                throw load_error( file_, where_, ".", std::string_view{ key },
                    " \"", value, "\" is not one of ", names( kinds ) );
            }

            template < typename Kind, std::size_t size >
            Kind named( const char* key,
                const std::array< std::pair< Kind, std::string_view >, size >&
                    known ) const
            {
                const auto value = text( key );
                for( const auto& [kind, name] : known )
                {
                    if( name == value )
                    {
                        return kind;
                    }
                }
                throw load_error( file_, where_, ".", std::string_view{ key },
                    " \"", value, "\" is not a known kind" );
            }

            [[nodiscard]] const std::string& where() const
            {
                return where_;
            }

        private:
            const Json& field( const char* key ) const
            {
                const auto found = entry_.find( key );
                if( found == entry_.end() )
                {
                    throw load_error( file_, where_, " has no \"",
                        std::string_view{ key }, "\"" );
                }
                return *found;
            }

            static std::string names(
                const std::vector< ComponentType >& kinds )
            {
                std::string result;
                for( const auto& kind : kinds )
                {
                    append( &result, result.empty() ? "" : ", ", kind.get() );
                }
                return result;
            }

            const Json& entry_;
            std::string where_;
            const std::filesystem::path& file_;
        };

        const Json& array_field( const Json& root, const char* key,
            const std::filesystem::path& file )
        {
            const auto found = root.find( key );
            if( found == root.end() || !found->is_array() )
            {
                throw load_error( file, "\"", std::string_view{ key },
                    "\" is missing or is not an array" );
            }
            return *found;
        }

        Json parse_text(
            std::string_view text, const std::filesystem::path& file )
        {
            try
            {
                return Json::parse( text.begin(), text.end() );
            }
            catch( const Json::exception& parse_error )
            {
                throw load_error( file, "not valid JSON: ",
                    std::string_view{ parse_error.what() } );
            }
        }

        void check_format( const Json& root, const std::filesystem::path& file )
        {
            if( !root.is_object() )
            {
                throw load_error(
                    file, "the description is not a JSON object" );
            }
            const auto format = root.find( "format" );
            if( format == root.end() || !format->is_string()
                || format->get< std::string >() != MODEL_FILE_FORMAT )
            {
                throw load_error( file,
                    "not a model description (\"format\" "
                    "is not \"",
                    MODEL_FILE_FORMAT, "\")" );
            }
            const auto version = root.find( "version" );
            if( version == root.end() || !version->is_number_integer() )
            {
                throw load_error( file, "\"version\" is missing or is not an "
                                        "integer" );
            }
            if( version->get< std::int64_t >() != MODEL_FILE_VERSION )
            {
                throw load_error( file, "format version ",
                    version->get< std::int64_t >(),
                    " is not supported: this library reads version ",
                    MODEL_FILE_VERSION );
            }
        }

        index_t read_nb_unique_vertices(
            const Json& root, const std::filesystem::path& file )
        {
            const auto found = root.find( "nb_unique_vertices" );
            if( found == root.end() || !found->is_number_integer()
                || found->get< std::int64_t >() < 0
                || found->get< std::int64_t >() >= NO_ID )
            {
                throw load_error( file, "\"nb_unique_vertices\" is missing or "
                                        "is not a number of unique vertices" );
            }
            return static_cast< index_t >( found->get< std::int64_t >() );
        }

        // Every uuid names one component or collection; every relation
        // names two of kinds a model can relate.
        void check_references( const ModelDescription& description,
            const std::filesystem::path& file )
        {
            absl::flat_hash_map< uuid, std::pair< ComponentType, std::string > >
                kinds;
            const auto add = [&]( const uuid& id, const ComponentType& kind,
                                 std::string where )
            {
                const auto inserted =
                    kinds.try_emplace( id, kind, std::move( where ) );
                if( !inserted.second )
                {
                    throw load_error( file, where, ": uuid ", id.string(),
                        " is already used by ", inserted.first->second.second );
                }
            };
            for( std::size_t index = 0; index < description.components.size();
                 index++ )
            {
                const auto& component = description.components[index];
                add( component.id, component.kind,
                    concatenate( "components[", index, "]" ) );
            }
            for( std::size_t index = 0; index < description.collections.size();
                 index++ )
            {
                const auto& collection = description.collections[index];
                add( collection.id, collection.kind,
                    concatenate( "collections[", index, "]" ) );
            }
            for( std::size_t index = 0; index < description.relations.size();
                 index++ )
            {
                const auto& relation = description.relations[index];
                const auto kind_of = [&]( const uuid& id, std::string_view end )
                {
                    const auto found = kinds.find( id );
                    if( found == kinds.end() )
                    {
                        throw load_error( file, "relations[", index, "].", end,
                            " names ", id.string(),
                            ", which is no component or collection of the "
                            "model" );
                    }
                    return found->second.first;
                };
                const auto from = kind_of( relation.from, "from" );
                const auto to = kind_of( relation.to, "to" );
                if( !can_relate( relation.kind, from, to ) )
                {
                    throw load_error( file, "relations[", index, "]: a ",
                        relation_kind_name( relation.kind ), " relation from ",
                        from.get(), " ", relation.from.string(), " to ",
                        to.get(), " ", relation.to.string(),
                        " is not one a model holds" );
                }
            }
        }
    } // namespace

    std::string_view mesh_kind_name( MeshKind kind )
    {
        for( const auto& [known, name] : MESH_KIND_NAMES )
        {
            if( known == kind )
            {
                return name;
            }
        }
        return "HybridSolid";
    }

    void write_description(
        const ModelDescription& description, const std::filesystem::path& file )
    {
        nlohmann::ordered_json root;
        root["format"] = MODEL_FILE_FORMAT;
        root["version"] = MODEL_FILE_VERSION;
        root["nb_unique_vertices"] = description.nb_unique_vertices;
        auto& components = root["components"] = nlohmann::ordered_json::array();
        for( const auto& component : description.components )
        {
            components.push_back( { { "kind", component.kind.get() },
                { "uuid", component.id.string() }, { "name", component.name },
                { "mesh", mesh_kind_name( component.mesh ) },
                { "file", component.file } } );
        }
        auto& collections = root["collections"] =
            nlohmann::ordered_json::array();
        for( const auto& collection : description.collections )
        {
            collections.push_back( { { "kind", collection.kind.get() },
                { "uuid", collection.id.string() },
                { "name", collection.name } } );
        }
        auto& relations = root["relations"] = nlohmann::ordered_json::array();
        for( const auto& relation : description.relations )
        {
            relations.push_back(
                { { "kind", relation_kind_name( relation.kind ) },
                    { "from", relation.from.string() },
                    { "to", relation.to.string() } } );
        }
        // Invalid UTF-8 in a name is replaced rather than refused: the
        // description stays valid JSON.
        write_file_replacing( file,
            root.dump( 2, ' ', false, Json::error_handler_t::replace ) + '\n',
            "[save_model] " );
    }

    ModelDescription read_description( const std::filesystem::path& file )
    {
        return parse_description(
            read_regular_file( file, "[load_model] " ), file );
    }

    ModelDescription parse_description(
        std::string_view text, const std::filesystem::path& file )
    {
        const auto root = parse_text( text, file );
        check_format( root, file );
        ModelDescription description;
        description.nb_unique_vertices = read_nb_unique_vertices( root, file );
        const auto& components = array_field( root, "components", file );
        for( std::size_t index = 0; index < components.size(); index++ )
        {
            const EntryReader entry{ components[index],
                concatenate( "components[", index, "]" ), file };
            ComponentEntry component{ entry.kind( "kind", component_kinds() ),
                entry.id( "uuid" ), entry.text( "name" ),
                entry.named( "mesh", MESH_KIND_NAMES ), entry.text( "file" ) };
            if( !fits( component.kind, component.mesh ) )
            {
                throw load_error( file, entry.where(), ": a ",
                    component.kind.get(), " cannot have a ",
                    mesh_kind_name( component.mesh ), " mesh" );
            }
            if( !is_plain_file_name( component.file ) )
            {
                throw load_error( file, entry.where(), ".file \"",
                    component.file,
                    "\" is not a file name of the model's folder" );
            }
            description.components.push_back( std::move( component ) );
        }
        const auto& collections = array_field( root, "collections", file );
        for( std::size_t index = 0; index < collections.size(); index++ )
        {
            const EntryReader entry{ collections[index],
                concatenate( "collections[", index, "]" ), file };
            description.collections.push_back(
                { entry.kind( "kind", collection_kinds() ), entry.id( "uuid" ),
                    entry.text( "name" ) } );
        }
        const auto& relations = array_field( root, "relations", file );
        for( std::size_t index = 0; index < relations.size(); index++ )
        {
            const EntryReader entry{ relations[index],
                concatenate( "relations[", index, "]" ), file };
            description.relations.push_back(
                { entry.named( "kind", RELATION_KIND_NAMES ),
                    entry.id( "from" ), entry.id( "to" ) } );
        }
        check_references( description, file );
        return description;
    }
} // namespace brevane::internal
