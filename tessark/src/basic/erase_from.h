#pragma once

#include <algorithm>

namespace brevane
{
    // std::erase / std::erase_if for any contiguous container, InlinedVector
    // included (the standard ones only take standard containers).
    template < typename Container, typename Value >
    void erase_value( Container& container, const Value& value )
    {
        container.erase(
            std::remove( container.begin(), container.end(), value ),
            container.end() );
    }

    template < typename Container, typename Predicate >
    void erase_matching( Container& container, Predicate predicate )
    {
        container.erase(
            std::remove_if( container.begin(), container.end(), predicate ),
            container.end() );
    }
} // namespace brevane
