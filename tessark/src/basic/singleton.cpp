#include <tessark/basic/singleton.h>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/tessark_exception.h>

namespace
{
    // Never destroyed: registered objects stay valid while other static
    // objects are destroyed at exit.
    absl::flat_hash_map< std::type_index, std::unique_ptr< brevane::Singleton > >&
        registry()
    {
        static auto* objects = new absl::flat_hash_map< std::type_index,
            std::unique_ptr< brevane::Singleton > >;
        return *objects;
    }
} // namespace

namespace brevane
{
    std::mutex& Singleton::lock()
    {
        static std::mutex mutex;
        return mutex;
    }

    Singleton* Singleton::instance( const std::type_index& type )
    {
        const auto found = registry().find( type );
        return found == registry().end() ? nullptr : found->second.get();
    }

    void Singleton::set_instance(
        const std::type_index& type, std::unique_ptr< Singleton > object )
    {
        TESSARK_EXCEPTION( object != nullptr,
            "[Singleton] Cannot register a null object for type ",
            type.name() );
        const auto inserted = registry().try_emplace( type, std::move( object ) );
        TESSARK_EXCEPTION( inserted.second,
            "[Singleton] An object is already registered for type ",
            type.name() );
    }
} // namespace brevane
