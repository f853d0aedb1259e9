#include <samples/sample_ids.h>
#include <samples/sample_model_parameters.h>

#include <array>
#include <bit>

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

    std::uint64_t sample_id_key( const SampleModelParameters& parameters )
    {
        auto key = detail::mix( parameters.seed );
        for( const auto value :
            { static_cast< std::uint64_t >( parameters.nb_horizons ),
                static_cast< std::uint64_t >( parameters.faults.size() ),
                static_cast< std::uint64_t >(
                    parameters.resolution.target_top_triangles ),
                std::bit_cast< std::uint64_t >( parameters.box.length_x ),
                std::bit_cast< std::uint64_t >( parameters.box.length_y ),
                std::bit_cast< std::uint64_t >( parameters.box.bottom_z ),
                std::bit_cast< std::uint64_t >( parameters.box.top_z ) } )
        {
            key = detail::mix( key ^ value );
        }
        return key;
    }

    uuid sample_uuid(
        std::uint64_t key, std::string_view kind, std::string_view name )
    {
        const auto state = mix_text( mix_text( key, kind ), name );
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
