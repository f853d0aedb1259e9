#include <samples/sample_ids.h>

#include <array>

#include "hashed_random.h"

namespace brevane
{
    namespace
    {
        // Mixes the bytes of the text into the state, eight at a time, then
        // its length, so that texts differing in any byte or in length give
        // different states.
        std::uint64_t mix_text( std::uint64_t state, std::string_view text )
        {
            std::uint64_t word{ 0 };
            std::size_t nb_bytes{ 0 };
            for( const auto character : text )
            {
                word = ( word << 8 ) | static_cast< unsigned char >( character );
                if( ++nb_bytes == 8 )
                {
                    state = detail::mix( state ^ word );
                    word = 0;
                    nb_bytes = 0;
                }
            }
            state = detail::mix( state ^ word );
            return detail::mix( state ^ text.size() );
        }
    } // namespace

    uuid sample_uuid(
        std::uint64_t seed, std::string_view kind, std::string_view name )
    {
        const auto state = mix_text( mix_text( detail::mix( seed ), kind ), name );
        const std::array< std::uint64_t, 2 > halves{ detail::mix( state ),
            detail::mix( state ^ 0x5851f42d4c957f2dULL ) };
        std::array< std::uint8_t, 16 > bytes{};
        for( std::size_t byte = 0; byte < bytes.size(); byte++ )
        {
            bytes[byte] = static_cast< std::uint8_t >(
                halves[byte / 8] >> ( 8 * ( byte % 8 ) ) );
        }
        bytes[6] = static_cast< std::uint8_t >( ( bytes[6] & 0x0f ) | 0x80 );
        bytes[8] = static_cast< std::uint8_t >( ( bytes[8] & 0x3f ) | 0x80 );
        return uuid::from_bytes( bytes );
    }
} // namespace brevane
