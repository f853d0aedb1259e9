#include "pillars/parallel_pillars.h"

#include <exception>
#include <mutex>

#include <tbb/parallel_for.h>

namespace brevane::internal
{
    std::vector< Pillar > define_pillars_in_parallel(
        const PillarModelContext& context,
        absl::Span< const index_t > vertices,
        double top_z,
        double bottom_z )
    {
        std::vector< Pillar > pillars( vertices.size() );
        std::mutex failure_mutex;
        std::size_t failed_index{ vertices.size() };
        std::exception_ptr failure;
        tbb::parallel_for( std::size_t{ 0 }, vertices.size(),
            [&]( std::size_t index ) {
                try
                {
                    pillars[index] = define_pillar(
                        context, vertices[index], top_z, bottom_z );
                }
                catch( ... )
                {
                    const std::lock_guard< std::mutex > lock{ failure_mutex };
                    if( index < failed_index )
                    {
                        failed_index = index;
                        failure = std::current_exception();
                    }
                }
            } );
        if( failure )
        {
            std::rethrow_exception( failure );
        }
        return pillars;
    }
} // namespace brevane::internal
