// The TSurf reader over any bytes: it reads parts whose triangles index
// their own points, or throws a TessarkException; anything else (a crash,
// a sanitizer report, another exception) is a fault.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <tessark/basic/tessark_exception.h>

#include <io/tsurf_reader.h>

extern "C" int LLVMFuzzerTestOneInput( const std::uint8_t* data, std::size_t size )
{
    const std::string_view text{ reinterpret_cast< const char* >( data ), size };
    try
    {
        for( const auto& part : brevane::read_tsurf_text( text, "fuzz.ts" ) )
        {
            for( const auto& triangle : part.triangles )
            {
                for( const auto point : triangle )
                {
                    if( point >= part.points.size() )
                    {
                        std::abort();
                    }
                }
            }
        }
    }
    catch( const brevane::TessarkException& )
    {
    }
    return 0;
}
