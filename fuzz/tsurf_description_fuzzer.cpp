// The description of a TSurf set over any bytes: a description read from
// text is written back as text that reads back to the same description,
// or the text is refused with a TessarkException.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_description.h>

namespace
{
    bool same( const brevane::TSurfModelDescription& first,
        const brevane::TSurfModelDescription& second )
    {
        if( first.surfaces.size() != second.surfaces.size()
            || first.blocks.size() != second.blocks.size() )
        {
            return false;
        }
        for( std::size_t index = 0; index < first.surfaces.size(); index++ )
        {
            const auto& left = first.surfaces[index];
            const auto& right = second.surfaces[index];
            if( left.file != right.file || left.part != right.part
                || left.role != right.role
                || left.collection != right.collection )
            {
                return false;
            }
        }
        for( std::size_t index = 0; index < first.blocks.size(); index++ )
        {
            if( first.blocks[index].name != second.blocks[index].name
                || first.blocks[index].surfaces
                       != second.blocks[index].surfaces )
            {
                return false;
            }
        }
        return true;
    }
} // namespace

extern "C" int LLVMFuzzerTestOneInput( const std::uint8_t* data, std::size_t size )
{
    const std::string_view text{ reinterpret_cast< const char* >( data ), size };
    brevane::TSurfModelDescription description;
    try
    {
        description =
            brevane::parse_tsurf_model_description( text, "fuzz.json" );
    }
    catch( const brevane::TessarkException& )
    {
        return 0;
    }
    const auto written = brevane::tsurf_model_description_json( description );
    if( !same( brevane::parse_tsurf_model_description( written, "written" ),
            description ) )
    {
        std::abort();
    }
    return 0;
}
