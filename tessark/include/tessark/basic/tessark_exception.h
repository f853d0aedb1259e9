#pragma once

#include <stdexcept>
#include <string>

#include <tessark/basic/string_concatenation.h>

namespace brevane
{
    // The framework's error: a message built from its pieces by concatenate
    // (integers in decimal, doubles with six significant digits).
    class TessarkException : public std::runtime_error
    {
    public:
        template < typename... Args >
        explicit TessarkException( const Args&... message )
            : std::runtime_error{ concatenate( message... ) }
        {
        }
        // Defined in the library, so that the type's identity lives in one
        // place and exceptions are caught across shared libraries.
        ~TessarkException() override;
    };

    // An error caused by inconsistent data rather than by a wrong call.
    class TessarkDataException : public TessarkException
    {
    public:
        template < typename... Args >
        explicit TessarkDataException( const Args&... message )
            : TessarkException{ message... }
        {
        }
        ~TessarkDataException() override;
    };
} // namespace brevane

// Throws a TessarkException with the given message pieces when the condition
// does not hold.
#define TESSARK_EXCEPTION( condition, ... )                                    \
    do                                                                         \
    {                                                                          \
        if( !( condition ) )                                                   \
        {                                                                      \
            throw ::brevane::TessarkException{ __VA_ARGS__ };                  \
        }                                                                      \
    } while( false )

// Same as TESSARK_EXCEPTION, with a TessarkDataException.
#define TESSARK_DATA_EXCEPTION( condition, ... )                               \
    do                                                                         \
    {                                                                          \
        if( !( condition ) )                                                   \
        {                                                                      \
            throw ::brevane::TessarkDataException{ __VA_ARGS__ };              \
        }                                                                      \
    } while( false )
