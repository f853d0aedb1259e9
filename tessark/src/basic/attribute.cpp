#include <tessark/basic/attribute.h>

#include <cstdlib>
#include <memory>

#include <cxxabi.h>

namespace brevane
{
    std::string attribute_type_name( const std::type_info& type )
    {
        int status{ 0 };
        std::unique_ptr< char, decltype( &std::free ) > demangled{
            abi::__cxa_demangle( type.name(), nullptr, nullptr, &status ),
            &std::free
        };
        if( status != 0 || demangled == nullptr )
        {
            return type.name();
        }
        return demangled.get();
    }
} // namespace brevane
