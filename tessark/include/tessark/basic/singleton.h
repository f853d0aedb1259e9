#pragma once

#include <memory>
#include <mutex>
#include <typeindex>

namespace brevane
{
    // Process-wide registry of one object per type. The registry owns what is
    // registered until the end of the process. Callers that create an object
    // on first use hold lock() while they look it up and register it, so that
    // concurrent first calls create one object.
    class Singleton
    {
    public:
        virtual ~Singleton() = default;

        Singleton( const Singleton& ) = delete;
        Singleton& operator=( const Singleton& ) = delete;

        // The registration mutex. instance and set_instance expect it held.
        [[nodiscard]] static std::mutex& lock();

        // The object registered under the type, or null.
        [[nodiscard]] static Singleton* instance( const std::type_index& type );

        // Registers the object under the type; throws when the type already
        // has one (the given object is then destroyed).
        static void set_instance(
            const std::type_index& type, std::unique_ptr< Singleton > object );

        // The object of type T, created and registered on first call.
        template < typename T >
        [[nodiscard]] static T& instance()
        {
            std::lock_guard< std::mutex > guard{ lock() };
            if( auto* existing = instance( typeid( T ) ) )
            {
                return static_cast< T& >( *existing );
            }
            auto object = std::make_unique< T >();
            auto& result = *object;
            set_instance( typeid( T ), std::move( object ) );
            return result;
        }

    protected:
        Singleton() = default;
    };
} // namespace brevane
