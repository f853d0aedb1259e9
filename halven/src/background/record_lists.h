#pragma once

#include <algorithm>

// Records are kept in small lists holding each record once.
namespace brevane::internal::detail
{
    template < typename List, typename Record >
    [[nodiscard]] bool has_record( const List& list, const Record& record )
    {
        return std::find( list.begin(), list.end(), record ) != list.end();
    }

    template < typename List, typename Record >
    void add_record( List& list, const Record& record )
    {
        if( !has_record( list, record ) )
        {
            list.push_back( record );
        }
    }

    template < typename List, typename Record >
    void remove_record( List& list, const Record& record )
    {
        list.erase(
            std::remove( list.begin(), list.end(), record ), list.end() );
    }

    template < typename List >
    void add_records( List& list, const List& records )
    {
        for( const auto& record : records )
        {
            add_record( list, record );
        }
    }
} // namespace brevane::internal::detail
