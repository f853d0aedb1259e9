#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <tessark/basic/library.h>
#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    namespace
    {
        std::atomic< int > counting_runs{ 0 };
        std::atomic< int > failing_runs{ 0 };

        class CountingLibrary : public Library
        {
        private:
            void do_initialize() override
            {
                counting_runs++;
            }
        };

        class FailingOnceLibrary : public Library
        {
        private:
            void do_initialize() override
            {
                if( failing_runs++ == 0 )
                {
                    throw TessarkException{ "first run fails" };
                }
            }
        };
    } // namespace

    TEST( Library, concurrent_first_calls_register_and_initialize_once )
    {
        std::vector< std::thread > threads;
        for( int thread = 0; thread < 8; thread++ )
        {
            threads.emplace_back(
                [] { initialize_library< CountingLibrary >( "Counting" ); } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        initialize_library< CountingLibrary >( "Counting" );
        EXPECT_EQ( counting_runs.load(), 1 );

        std::lock_guard< std::mutex > guard{ Singleton::lock() };
        auto* registered = Singleton::instance( typeid( CountingLibrary ) );
        ASSERT_NE( registered, nullptr );
        auto& library = static_cast< CountingLibrary& >( *registered );
        EXPECT_TRUE( library.is_initialized() );
        EXPECT_EQ( library.name(), "Counting" );
    }

    TEST( Library, a_failed_initialization_is_retried )
    {
        EXPECT_THROW( initialize_library< FailingOnceLibrary >( "Failing" ),
            TessarkException );
        EXPECT_NO_THROW( initialize_library< FailingOnceLibrary >( "Failing" ) );
        EXPECT_EQ( failing_runs.load(), 2 );
    }

    TEST( Singleton, a_type_registers_one_object )
    {
        struct Registered : Singleton
        {
        };
        std::lock_guard< std::mutex > guard{ Singleton::lock() };
        EXPECT_EQ( Singleton::instance( typeid( Registered ) ), nullptr );
        Singleton::set_instance( typeid( Registered ),
            std::unique_ptr< Singleton >{ new Registered } );
        EXPECT_NE( Singleton::instance( typeid( Registered ) ), nullptr );
        EXPECT_THROW( Singleton::set_instance( typeid( Registered ),
                          std::unique_ptr< Singleton >{ new Registered } ),
            TessarkException );
    }
} // namespace brevane
