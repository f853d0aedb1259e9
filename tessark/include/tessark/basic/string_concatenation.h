#pragma once

#include <string>
#include <string_view>
#include <type_traits>

#include <absl/strings/str_cat.h>

namespace brevane
{
    // Abseil's own string_view is not std::string_view in the Abseil build we
    // use, so StrCat does not take std::string_view pieces: this converts
    // them and passes every other piece through unchanged.
    template < typename T >
    [[nodiscard]] decltype( auto ) string_piece( const T& piece )
    {
        if constexpr( std::is_same_v< T, std::string_view > )
        {
            return absl::string_view{ piece.data(), piece.size() };
        }
        else
        {
            return ( piece );
        }
    }

    // absl::StrCat over any pieces, std::string_view included (integers in
    // decimal, doubles with six significant digits).
    template < typename... Args >
    [[nodiscard]] std::string concatenate( const Args&... pieces )
    {
        return absl::StrCat( string_piece( pieces )... );
    }

    // absl::StrAppend over any pieces, std::string_view included.
    template < typename... Args >
    void append( std::string* destination, const Args&... pieces )
    {
        absl::StrAppend( destination, string_piece( pieces )... );
    }
} // namespace brevane
