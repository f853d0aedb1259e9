#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include <tessark/basic/singleton.h>

namespace brevane
{
    // A library of the framework family: a singleton that initialises the
    // libraries it depends on, once per process, in do_initialize.
    class Library : public Singleton
    {
    public:
        // Runs do_initialize the first time it is called; later calls, also
        // concurrent ones, return once that first run has finished. When
        // do_initialize throws, the exception propagates and the next call
        // tries again.
        void call_initialize( std::string_view name );

        // The name given at the first call_initialize, empty before.
        [[nodiscard]] std::string_view name() const
        {
            return name_;
        }
        [[nodiscard]] bool is_initialized() const
        {
            return done_.load();
        }

    protected:
        Library() = default;

    private:
        virtual void do_initialize() = 0;

        std::once_flag initialized_;
        std::string name_;
        std::atomic< bool > done_{ false };
    };

    // Registers the library object of type T on first call (under the
    // registration lock) and initialises it under the given name.
    template < typename T >
    void initialize_library( std::string_view name )
    {
        Singleton::instance< T >().call_initialize( name );
    }
} // namespace brevane
