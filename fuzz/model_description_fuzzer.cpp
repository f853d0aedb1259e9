// The description of a model file (model.json) over any bytes: it is read
// and checked, or refused with a TessarkException.
#include <cstdint>
#include <string_view>

#include <tessark/basic/tessark_exception.h>

#include "model_file_description.h"

extern "C" int LLVMFuzzerTestOneInput( const std::uint8_t* data, std::size_t size )
{
    const std::string_view text{ reinterpret_cast< const char* >( data ), size };
    try
    {
        static_cast< void >(
            brevane::internal::parse_description( text, "model.json" ) );
    }
    catch( const brevane::TessarkException& )
    {
    }
    return 0;
}
