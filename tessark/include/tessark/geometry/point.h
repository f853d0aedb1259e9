#pragma once

#include <array>
#include <cmath>
#include <string>

#include <absl/hash/hash.h>

#include <tessark/basic/common.h>
#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    // A point of the plane (D = 2) or of space (D = 3): D coordinates.
    template < index_t D >
    class Point
    {
        static_assert( D >= 1 && D <= 3, "Points have 1 to 3 coordinates" );

    public:
        Point() = default;
        explicit Point( const std::array< double, D >& values )
            : values_( values )
        {
        }

        [[nodiscard]] double value( local_index_t axis ) const
        {
            return values_[axis];
        }
        void set_value( local_index_t axis, double value )
        {
            values_[axis] = value;
        }
        [[nodiscard]] const std::array< double, D >& values() const
        {
            return values_;
        }

        [[nodiscard]] bool operator==( const Point& other ) const = default;

        // Exact lexicographic order, for sorting and ordered containers.
        [[nodiscard]] bool operator<( const Point& other ) const
        {
            return values_ < other.values_;
        }

        // True when the two points are closer than GLOBAL_EPSILON (1e-6 model
        // units): the framework's one tolerance for point identity.
        [[nodiscard]] bool inexact_equal( const Point& other ) const
        {
            double square_length{ 0 };
            for( index_t axis = 0; axis < D; axis++ )
            {
                const auto diff = values_[axis] - other.values_[axis];
                square_length += diff * diff;
            }
            return square_length < GLOBAL_EPSILON * GLOBAL_EPSILON;
        }

        [[nodiscard]] Point operator+( const Point& other ) const
        {
            Point result{ *this };
            result += other;
            return result;
        }
        [[nodiscard]] Point operator-( const Point& other ) const
        {
            Point result;
            for( index_t axis = 0; axis < D; axis++ )
            {
                result.values_[axis] = values_[axis] - other.values_[axis];
            }
            return result;
        }
        [[nodiscard]] Point operator*( double multiplier ) const
        {
            Point result{ *this };
            result *= multiplier;
            return result;
        }
        [[nodiscard]] Point operator/( double divider ) const
        {
            TESSARK_EXCEPTION( divider != 0, "[Point] Division by zero" );
            return *this * ( 1. / divider );
        }
        Point& operator+=( const Point& other )
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                values_[axis] += other.values_[axis];
            }
            return *this;
        }
        Point& operator*=( double multiplier )
        {
            for( auto& value : values_ )
            {
                value *= multiplier;
            }
            return *this;
        }

        // Drops one axis: a Point<3> projected along axis 2 gives its (x, y).
        [[nodiscard]] Point< D - 1 > project_point( local_index_t axis ) const
            requires( D > 1 )
        {
            Point< D - 1 > result;
            local_index_t next{ 0 };
            for( local_index_t current = 0; current < D; current++ )
            {
                if( current != axis )
                {
                    result.set_value( next++, values_[current] );
                }
            }
            return result;
        }

        // Coordinates separated by spaces, doubles with six significant
        // digits: "1 2.5 -3".
        [[nodiscard]] std::string string() const
        {
            std::string result;
            for( index_t axis = 0; axis < D; axis++ )
            {
                if( axis != 0 )
                {
                    absl::StrAppend( &result, " " );
                }
                absl::StrAppend( &result, values_[axis] );
            }
            return result;
        }

        template < typename H >
        friend H AbslHashValue( H hash, const Point& point )
        {
            return H::combine( std::move( hash ), point.values_ );
        }

    private:
        std::array< double, D > values_{};
    };

    using Point1D = Point< 1 >;
    using Point2D = Point< 2 >;
    using Point3D = Point< 3 >;
} // namespace brevane
