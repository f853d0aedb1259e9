#include <io/tsurf_model_export.h>

#include <cctype>
#include <set>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_writer.h>

namespace brevane
{
    namespace
    {
        std::string name_or_id( const Identifier& identifier )
        {
            return identifier.name().empty() ? identifier.id().string()
                                             : std::string{ identifier.name() };
        }

        // A file name every file system takes: letters, digits, '-', '_'.
        std::string file_stem( std::string_view name )
        {
            std::string stem;
            for( const auto character : name )
            {
                const auto byte = static_cast< unsigned char >( character );
                stem.push_back( std::isalnum( byte ) != 0 || character == '-'
                                        || character == '_'
                                    ? character
                                    : '_' );
            }
            return stem.empty() ? std::string{ "surfaces" } : stem;
        }

        bool is_role_collection( std::string_view type )
        {
            return type == "ModelBoundary" || type == "Horizon"
                   || type == "Fault";
        }

        class ModelExporter
        {
        public:
            ModelExporter( const StructuralModel& model,
                const std::filesystem::path& folder )
                : model_( model ), folder_( folder )
            {
            }

            std::filesystem::path run()
            {
                check_surfaces();
                std::error_code error;
                std::filesystem::create_directories( folder_, error );
                TESSARK_EXCEPTION( !error,
                    "[TSurf export] Cannot create folder ", folder_.string(),
                    ": ", error.message() );
                for( const auto& boundary : model_.model_boundaries() )
                {
                    write_collection( boundary, boundary_role( boundary ) );
                }
                for( const auto& horizon : model_.horizons() )
                {
                    write_collection( horizon, TSurfRole::horizon );
                }
                for( const auto& fault : model_.faults() )
                {
                    write_collection( fault, TSurfRole::fault );
                }
                for( const auto& block : model_.blocks() )
                {
                    add_block( block );
                }
                const auto path = folder_ / "model.json";
                write_tsurf_model_description( description_, path );
                return path;
            }

        private:
            static TSurfRole boundary_role( const Collection& boundary )
            {
                if( boundary.name() == "top" )
                {
                    return TSurfRole::topography;
                }
                if( boundary.name() == "bottom" )
                {
                    return TSurfRole::bottom;
                }
                return TSurfRole::boundary;
            }

            // Blocks name their surfaces, and each surface gets one role.
            void check_surfaces() const
            {
                absl::flat_hash_map< std::string, uuid > surface_of_name;
                for( const auto& surface : model_.surfaces() )
                {
                    const auto [found, inserted] = surface_of_name.try_emplace(
                        name_or_id( surface ), surface.id() );
                    TESSARK_EXCEPTION( inserted, "[TSurf export] Surfaces ",
                        found->second.string(), " and ", surface.id().string(),
                        " are both named \"", found->first, "\"" );
                    index_t nb_roles{ 0 };
                    for( const auto& collection :
                        model_.collections( surface.id() ) )
                    {
                        if( is_role_collection( collection.type().get() ) )
                        {
                            nb_roles++;
                        }
                    }
                    TESSARK_EXCEPTION( nb_roles == 1,
                        "[TSurf export] Surface \"", surface.name(), "\" (",
                        surface.id().string(), ") is in ", nb_roles,
                        " model boundaries, horizons and faults instead of "
                        "one" );
                }
            }

            std::string unused_file_name( std::string_view name )
            {
                const auto stem = file_stem( name );
                auto file = concatenate( stem, ".ts" );
                for( index_t suffix = 2;
                     !file_names_.insert( lowercase( file ) ).second; suffix++ )
                {
                    file = concatenate( stem, "_", suffix, ".ts" );
                }
                return file;
            }

            // Case-insensitive file systems see "Top.ts" and "top.ts" as one.
            static std::string lowercase( std::string text )
            {
                for( auto& character : text )
                {
                    character = static_cast< char >( std::tolower(
                        static_cast< unsigned char >( character ) ) );
                }
                return text;
            }

            void write_collection(
                const Collection& collection, TSurfRole role )
            {
                std::vector< TSurfPart > parts;
                for( const auto& item : model_.items( collection.id() ) )
                {
                    if( item.type() != component_types::surface() )
                    {
                        continue;
                    }
                    const auto& surface = model_.surface( item.id() );
                    parts.push_back(
                        tsurf_part( name_or_id( surface ), surface.mesh() ) );
                }
                if( parts.empty() )
                {
                    return;
                }
                const auto name = name_or_id( collection );
                const auto file = unused_file_name( name );
                write_tsurf( parts, folder_ / file );
                TSurfSurfaceEntry entry;
                entry.file = file;
                entry.role = role;
                if( role != TSurfRole::topography && role != TSurfRole::bottom )
                {
                    entry.collection = name;
                }
                description_.surfaces.push_back( std::move( entry ) );
            }

            void add_block( const Block< 3 >& block )
            {
                TSurfBlockEntry entry{ name_or_id( block ), {} };
                for( const auto& boundary : model_.boundaries( block.id() ) )
                {
                    if( boundary.type() == component_types::surface() )
                    {
                        entry.surfaces.push_back(
                            name_or_id( model_.surface( boundary.id() ) ) );
                    }
                }
                TESSARK_EXCEPTION( !entry.surfaces.empty(),
                    "[TSurf export] Block \"", block.name(), "\" (",
                    block.id().string(), ") has no boundary surface" );
                description_.blocks.push_back( std::move( entry ) );
            }

            const StructuralModel& model_;
            const std::filesystem::path& folder_;
            TSurfModelDescription description_;
            std::set< std::string > file_names_;
        };
    } // namespace

    std::filesystem::path export_tsurf_model(
        const StructuralModel& model, const std::filesystem::path& folder )
    {
        return ModelExporter{ model, folder }.run();
    }
} // namespace brevane
