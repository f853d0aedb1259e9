#pragma once

#include <cmath>

#include <tessark/geometry/point.h>

namespace brevane
{
    // A displacement of the plane or of space.
    template < index_t D >
    class Vector
    {
    public:
        Vector() = default;
        explicit Vector( const std::array< double, D >& values )
            : values_( values )
        {
        }
        // The vector from one point to another.
        Vector( const Point< D >& from, const Point< D >& to )
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                values_[axis] = to.value( axis ) - from.value( axis );
            }
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

        [[nodiscard]] bool operator==( const Vector& other ) const = default;

        [[nodiscard]] double length2() const
        {
            return dot( *this );
        }
        [[nodiscard]] double length() const
        {
            return std::sqrt( length2() );
        }
        // The unit vector of the same direction; throws on a zero vector.
        [[nodiscard]] Vector normalize() const
        {
            const auto norm = length();
            TESSARK_EXCEPTION(
                norm > 0, "[Vector::normalize] Cannot normalize a zero vector" );
            return *this / norm;
        }
        [[nodiscard]] double dot( const Vector& other ) const
        {
            double result{ 0 };
            for( index_t axis = 0; axis < D; axis++ )
            {
                result += values_[axis] * other.values_[axis];
            }
            return result;
        }
        [[nodiscard]] Vector cross( const Vector& other ) const
            requires( D == 3 )
        {
            return Vector{ { values_[1] * other.values_[2]
                                 - values_[2] * other.values_[1],
                values_[2] * other.values_[0] - values_[0] * other.values_[2],
                values_[0] * other.values_[1]
                    - values_[1] * other.values_[0] } };
        }

        [[nodiscard]] Vector operator+( const Vector& other ) const
        {
            Vector result{ *this };
            for( index_t axis = 0; axis < D; axis++ )
            {
                result.values_[axis] += other.values_[axis];
            }
            return result;
        }
        [[nodiscard]] Vector operator-( const Vector& other ) const
        {
            return *this + other * -1.;
        }
        [[nodiscard]] Vector operator*( double multiplier ) const
        {
            Vector result{ *this };
            for( auto& value : result.values_ )
            {
                value *= multiplier;
            }
            return result;
        }
        [[nodiscard]] Vector operator/( double divider ) const
        {
            TESSARK_EXCEPTION( divider != 0, "[Vector] Division by zero" );
            return *this * ( 1. / divider );
        }

        [[nodiscard]] std::string string() const
        {
            return Point< D >{ values_ }.string();
        }

    private:
        std::array< double, D > values_{};
    };

    // The point reached from a point by a displacement.
    template < index_t D >
    [[nodiscard]] Point< D > operator+(
        const Point< D >& point, const Vector< D >& vector )
    {
        return Point< D >{ point.values() } + Point< D >{ vector.values() };
    }

    using Vector2D = Vector< 2 >;
    using Vector3D = Vector< 3 >;
} // namespace brevane
