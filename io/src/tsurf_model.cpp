#include <io/tsurf_model.h>

#include <algorithm>
#include <map>
#include <optional>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_model_assembly.h>
#include <io/tsurf_reader.h>

namespace brevane
{
    namespace
    {
        // The parts of a TSurf file and the surface entry that took each.
        struct LoadedFile
        {
            std::vector< TSurfPart > parts;
            std::vector< std::optional< std::size_t > > taken_by;
        };

        // Turns a description into the parts of the model: reads each file
        // once, picks the parts of each entry, names their collections and
        // finds the surfaces of each block.
        class DescriptionResolver
        {
        public:
            explicit DescriptionResolver( const std::filesystem::path& path )
                : path_( path ), folder_( path.parent_path() )
            {
            }

            TSurfModelParts resolve()
            {
                const auto description = read_tsurf_model_description( path_ );
                TSurfModelParts result;
                for( std::size_t index = 0; index < description.surfaces.size();
                     index++ )
                {
                    add_entry( description.surfaces[index], index, result );
                }
                for( std::size_t index = 0; index < description.blocks.size();
                     index++ )
                {
                    result.blocks.push_back(
                        block( description.blocks[index], index ) );
                }
                return result;
            }

        private:
            template < typename... Args >
            [[noreturn]] void fail(
                std::string_view entry, const Args&... message ) const
            {
                throw TessarkException{ "[TSurf model] ", path_.string(), " ",
                    entry, ": ", message... };
            }

            LoadedFile& load(
                const TSurfSurfaceEntry& entry, std::string_view entry_name )
            {
                const auto file = ( folder_ / entry.file ).lexically_normal();
                const auto key = file.generic_string();
                const auto found = files_.find( key );
                if( found != files_.end() )
                {
                    return found->second;
                }
                LoadedFile loaded;
                try
                {
                    loaded.parts = read_tsurf( file );
                }
                catch( const TessarkException& error )
                {
                    fail( entry_name, error.what() );
                }
                loaded.taken_by.resize( loaded.parts.size() );
                return files_.emplace( key, std::move( loaded ) ).first->second;
            }

            void add_entry( const TSurfSurfaceEntry& entry, std::size_t index,
                TSurfModelParts& result )
            {
                const auto entry_name = concatenate( "surfaces[", index, "]" );
                const auto collection = collection_name( entry, entry_name );
                auto& file = load( entry, entry_name );
                bool found{ false };
                for( std::size_t part = 0; part < file.parts.size(); part++ )
                {
                    auto& tsurf_part = file.parts[part];
                    if( !entry.part.empty() && tsurf_part.name != entry.part
                        && tsurf_part.object != entry.part )
                    {
                        continue;
                    }
                    found = true;
                    if( file.taken_by[part] )
                    {
                        fail( entry_name, "part \"", tsurf_part.name, "\" of ",
                            entry.file.string(),
                            " is already taken by surfaces[",
                            *file.taken_by[part], "]" );
                    }
                    file.taken_by[part] = index;
                    surfaces_by_name_[tsurf_part.name].push_back(
                        static_cast< index_t >( result.surfaces.size() ) );
                    // Each part is taken once: its points can move.
                    result.surfaces.push_back(
                        { { tsurf_part.name, tsurf_part.object,
                              std::move( tsurf_part.points ),
                              std::move( tsurf_part.triangles ) },
                            entry.role,
                            collection.empty() ? tsurf_part.object
                                               : collection } );
                }
                if( !found )
                {
                    fail( entry_name, "no part or object of ",
                        entry.file.string(), " is named \"", entry.part, "\"" );
                }
            }

            std::string collection_name( const TSurfSurfaceEntry& entry,
                std::string_view entry_name ) const
            {
                if( entry.role != TSurfRole::boundary )
                {
                    return entry.collection;
                }
                if( entry.collection == "top" || entry.collection == "bottom" )
                {
                    fail( entry_name, "the boundary \"", entry.collection,
                        "\" is kept for the role \"",
                        entry.collection == "top" ? "topography" : "bottom",
                        "\"" );
                }
                return entry.collection;
            }

            TSurfModelBlock block(
                const TSurfBlockEntry& entry, std::size_t index ) const
            {
                const auto entry_name =
                    concatenate( "blocks[", index, "] (\"", entry.name, "\")" );
                TSurfModelBlock result{ entry.name, {} };
                for( const auto& name : entry.surfaces )
                {
                    const auto found = surfaces_by_name_.find( name );
                    if( found == surfaces_by_name_.end() )
                    {
                        fail(
                            entry_name, "no surface is named \"", name, "\"" );
                    }
                    if( found->second.size() > 1 )
                    {
                        fail( entry_name, found->second.size(),
                            " surfaces are named \"", name, "\"" );
                    }
                    const auto surface = found->second.front();
                    if( std::find( result.surfaces.begin(),
                            result.surfaces.end(), surface )
                        != result.surfaces.end() )
                    {
                        fail( entry_name, "surface \"", name,
                            "\" is listed twice" );
                    }
                    result.surfaces.push_back( surface );
                }
                return result;
            }

            const std::filesystem::path& path_;
            std::filesystem::path folder_;
            // By normalised path; only looked up, never iterated.
            std::map< std::string, LoadedFile > files_;
            std::map< std::string, std::vector< index_t > > surfaces_by_name_;
        };
    } // namespace

    ImportedModel import_tsurf_model( const std::filesystem::path& description )
    {
        return assemble_tsurf_model(
            DescriptionResolver{ description }.resolve() );
    }
} // namespace brevane
