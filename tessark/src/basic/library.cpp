#include <tessark/basic/library.h>

#include <tessark/basic/logger.h>

namespace brevane
{
    void Library::call_initialize( std::string_view name )
    {
        std::call_once( initialized_, [this, name] {
            name_ = std::string{ name };
            do_initialize();
            done_ = true;
            Logger::debug( "[Library] ", name, " initialized" );
        } );
    }
} // namespace brevane
