#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevane
{
    // A 16-byte identifier of components and collections. A default uuid is
    // random (version 4, RFC 4122 variant), so two created uuids differ with
    // overwhelming probability.
    class uuid
    {
    public:
        uuid();
        // Parses the 8-4-4-4-12 hexadecimal form ("0f1e2d3c-..."), upper or
        // lower case; throws a TessarkException naming the text otherwise.
        explicit uuid( std::string_view text );

        [[nodiscard]] static uuid from_bytes(
            const std::array< std::uint8_t, 16 >& bytes );

        [[nodiscard]] const std::array< std::uint8_t, 16 >& bytes() const
        {
            return bytes_;
        }

        // The 8-4-4-4-12 lowercase hexadecimal form.
        [[nodiscard]] std::string string() const;

        [[nodiscard]] bool operator==( const uuid& other ) const = default;
        [[nodiscard]] auto operator<=>( const uuid& other ) const = default;

        template < typename H >
        friend H AbslHashValue( H hash, const uuid& id )
        {
            return H::combine( std::move( hash ), id.bytes_ );
        }

    private:
        std::array< std::uint8_t, 16 > bytes_{};
    };
} // namespace brevane
