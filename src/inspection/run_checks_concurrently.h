#pragma once

#include <array>
#include <cstddef>
#include <exception>
#include <functional>

#include <tbb/parallel_invoke.h>

namespace brevane::internal
{
    // Runs the four checks at once on the thread pool (the calling thread
    // takes part) and returns once all of them have ended. A failing check
    // never cancels the others: every check runs to its end, and afterwards
    // the exception of the first failed check, in the order given, is
    // rethrown. Each check must write only its own data.
    inline void run_checks_concurrently(
        const std::array< std::function< void() >, 4 >& checks )
    {
        std::array< std::exception_ptr, 4 > failures;
        const auto guarded = [&checks, &failures]( std::size_t index )
        {
            return [&checks, &failures, index]
            {
                try
                {
                    checks[index]();
                }
                catch( ... )
                {
                    failures[index] = std::current_exception();
                }
            };
        };
        tbb::parallel_invoke(
            guarded( 0 ), guarded( 1 ), guarded( 2 ), guarded( 3 ) );
        for( const auto& failure : failures )
        {
            if( failure )
            {
                std::rethrow_exception( failure );
            }
        }
    }
} // namespace brevane::internal
