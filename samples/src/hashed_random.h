#pragma once

#include <cstdint>

namespace brevane
{
    // What a random number is drawn for: keeps the draws of different
    // purposes independent for the same object indices.
    enum struct RandomPurpose : std::uint64_t
    {
        hills = 1,
        line_samples = 2,
        surface_columns = 3,
        surface_rows = 4,
        face_columns = 5,
        face_rows = 6
    };

    namespace detail
    {
        // The splitmix64 finalizer: a bijective mix of 64 bits.
        [[nodiscard]] inline std::uint64_t mix( std::uint64_t value )
        {
            value += 0x9e3779b97f4a7c15ULL;
            value = ( value ^ ( value >> 30 ) ) * 0xbf58476d1ce4e5b9ULL;
            value = ( value ^ ( value >> 27 ) ) * 0x94d049bb133111ebULL;
            return value ^ ( value >> 31 );
        }
    } // namespace detail

    // A number in [0, 1) that depends only on its arguments, the same on
    // every platform: draws do not depend on the order in which they are
    // made, so a model is the same whatever order it is built in.
    [[nodiscard]] inline double hashed_unit( std::uint64_t seed,
        RandomPurpose purpose, std::uint64_t object, std::uint64_t index )
    {
        auto state = detail::mix( seed );
        state = detail::mix( state ^ static_cast< std::uint64_t >( purpose ) );
        state = detail::mix( state ^ object );
        state = detail::mix( state ^ index );
        return static_cast< double >( state >> 11 ) * 0x1.0p-53;
    }
} // namespace brevane
