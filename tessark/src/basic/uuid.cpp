#include <tessark/basic/uuid.h>

#include <random>

#include <tessark/basic/tessark_exception.h>

namespace
{
    // Each thread draws from its own generator, seeded once from the
    // system's entropy source, so creation needs no lock.
    std::mt19937_64& generator()
    {
        thread_local std::mt19937_64 engine{ [] {
            std::random_device device;
            std::seed_seq seed{ device(), device(), device(), device() };
            return std::mt19937_64{ seed };
        }() };
        return engine;
    }

    int hex_value( char character )
    {
        if( character >= '0' && character <= '9' )
        {
            return character - '0';
        }
        if( character >= 'a' && character <= 'f' )
        {
            return character - 'a' + 10;
        }
        if( character >= 'A' && character <= 'F' )
        {
            return character - 'A' + 10;
        }
        return -1;
    }

    constexpr std::array< std::size_t, 4 > DASH_POSITIONS{ 8, 13, 18, 23 };
    constexpr std::size_t TEXT_LENGTH{ 36 };
} // namespace

namespace brevane
{
    uuid::uuid()
    {
        auto& engine = generator();
        for( std::size_t word = 0; word < 2; word++ )
        {
            const auto bits = engine();
            for( std::size_t byte = 0; byte < 8; byte++ )
            {
                bytes_[word * 8 + byte] =
                    static_cast< std::uint8_t >( bits >> ( 8 * byte ) );
            }
        }
        bytes_[6] = static_cast< std::uint8_t >( ( bytes_[6] & 0x0F ) | 0x40 );
        bytes_[8] = static_cast< std::uint8_t >( ( bytes_[8] & 0x3F ) | 0x80 );
    }

    uuid::uuid( std::string_view text )
    {
        const auto error = [&text]( std::string_view reason ) {
            return TessarkException{ "[uuid] Cannot parse \"", text,
                "\" as a uuid: ", reason,
                " (expected the form xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx)" };
        };
        if( text.size() != TEXT_LENGTH )
        {
            throw error( absl::StrCat(
                "it has ", text.size(), " characters instead of 36" ) );
        }
        std::size_t byte{ 0 };
        for( std::size_t position = 0; position < TEXT_LENGTH; )
        {
            const bool dash_expected =
                position == DASH_POSITIONS[0] || position == DASH_POSITIONS[1]
                || position == DASH_POSITIONS[2]
                || position == DASH_POSITIONS[3];
            if( dash_expected )
            {
                if( text[position] != '-' )
                {
                    throw error( absl::StrCat(
                        "a dash is missing at position ", position ) );
                }
                position++;
                continue;
            }
            const auto high = hex_value( text[position] );
            const auto low = hex_value( text[position + 1] );
            if( high < 0 || low < 0 )
            {
                throw error( absl::StrCat(
                    "non-hexadecimal character at position ",
                    high < 0 ? position : position + 1 ) );
            }
            bytes_[byte++] = static_cast< std::uint8_t >( high * 16 + low );
            position += 2;
        }
    }

    uuid uuid::from_bytes( const std::array< std::uint8_t, 16 >& bytes )
    {
        uuid result;
        result.bytes_ = bytes;
        return result;
    }

    std::string uuid::string() const
    {
        static constexpr char DIGITS[] = "0123456789abcdef";
        std::string result;
        result.reserve( TEXT_LENGTH );
        for( std::size_t byte = 0; byte < bytes_.size(); byte++ )
        {
            if( byte == 4 || byte == 6 || byte == 8 || byte == 10 )
            {
                result.push_back( '-' );
            }
            result.push_back( DIGITS[bytes_[byte] >> 4] );
            result.push_back( DIGITS[bytes_[byte] & 0x0F] );
        }
        return result;
    }
} // namespace brevane
