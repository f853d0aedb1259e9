#include <gtest/gtest.h>

#include <absl/container/flat_hash_set.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/basic/uuid.h>

namespace brevane
{
    TEST( Uuid, text_round_trip )
    {
        for( int trial = 0; trial < 100; trial++ )
        {
            const uuid id;
            const auto text = id.string();
            ASSERT_EQ( text.size(), 36u );
            EXPECT_EQ( uuid{ text }, id );
            for( const auto character : text )
            {
                EXPECT_TRUE( character == '-' || std::isdigit( character )
                             || ( character >= 'a' && character <= 'f' ) );
            }
        }
    }

    TEST( Uuid, parses_a_known_text_in_either_case )
    {
        const uuid lower{ "00112233-4455-6677-8899-aabbccddeeff" };
        const uuid upper{ "00112233-4455-6677-8899-AABBCCDDEEFF" };
        EXPECT_EQ( lower, upper );
        EXPECT_EQ( lower.string(), "00112233-4455-6677-8899-aabbccddeeff" );
        EXPECT_EQ( lower.bytes()[0], 0x00 );
        EXPECT_EQ( lower.bytes()[15], 0xff );
    }

    TEST( Uuid, rejects_bad_text_with_a_clear_message )
    {
        struct Case
        {
            const char* text;
            const char* reason;
        };
        const Case cases[] = {
            { "", "0 characters" },
            { "00112233-4455-6677-8899-aabbccddeef", "35 characters" },
            { "00112233x4455-6677-8899-aabbccddeeff", "dash is missing at position 8" },
            { "0011223g-4455-6677-8899-aabbccddeeff", "non-hexadecimal character at position 7" },
            { "00112233-4455-6677-8899-aabbccddeef ", "non-hexadecimal character at position 35" },
        };
        for( const auto& test : cases )
        {
            try
            {
                const uuid parsed{ test.text };
                ADD_FAILURE() << "accepted \"" << test.text << "\"";
            }
            catch( const TessarkException& error )
            {
                const std::string message = error.what();
                EXPECT_NE( message.find( test.reason ), std::string::npos )
                    << message;
                EXPECT_NE( message.find( test.text ), std::string::npos )
                    << message;
            }
        }
    }

    TEST( Uuid, random_ids_are_distinct_ordered_and_hashable )
    {
        absl::flat_hash_set< uuid > ids;
        for( int trial = 0; trial < 10000; trial++ )
        {
            ids.insert( uuid{} );
        }
        EXPECT_EQ( ids.size(), 10000u );
        const uuid a{ "00000000-0000-4000-8000-000000000001" };
        const uuid b{ "00000000-0000-4000-8000-000000000002" };
        EXPECT_LT( a, b );
        EXPECT_NE( a, b );
        EXPECT_FALSE( b < a );
    }
} // namespace brevane
