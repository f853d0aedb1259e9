#include <tessark/model/component_type.h>

#include <mutex>
#include <set>

namespace brevane
{
    ComponentType::ComponentType( std::string_view name )
    {
        // Never destroyed, so that names stay valid during static
        // destruction; std::set keeps each string at a stable address.
        static auto* names = new std::set< std::string, std::less<> >;
        static std::mutex mutex;
        std::lock_guard< std::mutex > lock{ mutex };
        auto found = names->find( name );
        if( found == names->end() )
        {
            found = names->emplace( name ).first;
        }
        name_ = *found;
    }
} // namespace brevane
