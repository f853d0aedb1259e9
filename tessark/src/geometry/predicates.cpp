#include <tessark/geometry/predicates.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace
{
    using brevane::SIDE;

    // Half the distance from 1 to the next double: the relative rounding
    // error of one operation in round-to-nearest.
    constexpr double EPSILON = 0x1p-53;

    // Bounds on the rounding error of the double evaluations below, relative
    // to the permanent (the same sum with absolute values). They follow the
    // classical analysis of these evaluation orders: two rounded
    // differences, one product and one subtraction in 2D; the 3D cofactor
    // expansion adds one product and two sums.
    constexpr double ORIENTATION_2D_ERROR_BOUND =
        ( 3. + 16. * EPSILON ) * EPSILON;
    constexpr double ORIENTATION_3D_ERROR_BOUND =
        ( 7. + 56. * EPSILON ) * EPSILON;
    // A dot product of an exact vector with three rounded differences: at
    // most four roundings on each term.
    constexpr double DOT_ERROR_BOUND = ( 4. + 32. * EPSILON ) * EPSILON;
    // The bounds above are relative, which subnormal results break: below
    // this permanent the exact evaluation decides.
    constexpr double MIN_FILTERED_PERMANENT = 1e-290;

    // True when the double evaluation det, whose rounding error is at most
    // bound, has the sign of the exact value.
    bool is_certain( double det, double bound, double permanent )
    {
        return permanent >= MIN_FILTERED_PERMANENT
               && ( det > bound || -det > bound );
    }

    // a + b = high + low exactly, |low| <= ulp( high ) / 2.
    struct TwoTerms
    {
        double high;
        double low;
    };

    TwoTerms two_sum( double a, double b )
    {
        const double sum = a + b;
        const double b_virtual = sum - a;
        const double a_virtual = sum - b_virtual;
        const double b_round = b - b_virtual;
        const double a_round = a - a_virtual;
        return { sum, a_round + b_round };
    }

    TwoTerms two_diff( double a, double b )
    {
        const double diff = a - b;
        const double b_virtual = a - diff;
        const double a_virtual = diff + b_virtual;
        const double b_round = b_virtual - b;
        const double a_round = a - a_virtual;
        return { diff, a_round + b_round };
    }

    TwoTerms two_product( double a, double b )
    {
        const double product = a * b;
        return { product, std::fma( a, b, -product ) };
    }

    // A floating-point expansion: a sum of doubles that represents a real
    // number exactly. Invariants: components are nonoverlapping, sorted by
    // increasing magnitude and none is zero, so the last component carries
    // the sign of the sum and an empty expansion is zero. The storage is
    // fixed and sized for the largest expansion of these predicates (the 3D
    // determinant when no coordinate difference is a double: three cofactor
    // terms of at most 64 components), so the exact evaluation never
    // allocates.
    class Expansion
    {
    public:
        static constexpr std::size_t CAPACITY = 192;

        Expansion() = default;
        explicit Expansion( const TwoTerms& terms )
        {
            append( terms.low );
            append( terms.high );
        }

        [[nodiscard]] SIDE sign() const
        {
            if( size_ == 0 )
            {
                return SIDE::zero;
            }
            return components_[size_ - 1] > 0 ? SIDE::positive : SIDE::negative;
        }

        // Adds one double (Grow-Expansion): a running sum absorbs the
        // components from the smallest, each rounding error becoming a
        // component. The output index never passes the input index, so the
        // update is done in place.
        void add( double value )
        {
            std::size_t nb_components{ 0 };
            auto running = value;
            for( std::size_t index = 0; index < size_; index++ )
            {
                const auto sum = two_sum( running, components_[index] );
                if( sum.low != 0 )
                {
                    components_[nb_components++] = sum.low;
                }
                running = sum.high;
            }
            size_ = nb_components;
            append( running );
        }

        void add( const Expansion& other )
        {
            for( std::size_t index = 0; index < other.size_; index++ )
            {
                add( other.components_[index] );
            }
        }

        void subtract( const Expansion& other )
        {
            for( std::size_t index = 0; index < other.size_; index++ )
            {
                add( -other.components_[index] );
            }
        }

        // Product with one double (Scale-Expansion): each component's
        // product is split into two exact halves merged into a running sum.
        [[nodiscard]] Expansion times( double value ) const
        {
            Expansion result;
            if( size_ == 0 )
            {
                return result;
            }
            auto product = two_product( components_[0], value );
            result.append( product.low );
            auto running = product.high;
            for( std::size_t index = 1; index < size_; index++ )
            {
                product = two_product( components_[index], value );
                const auto low_sum = two_sum( running, product.low );
                result.append( low_sum.low );
                const auto high_sum = two_sum( product.high, low_sum.high );
                result.append( high_sum.low );
                running = high_sum.high;
            }
            result.append( running );
            return result;
        }

        [[nodiscard]] Expansion times( const TwoTerms& value ) const
        {
            auto result = times( value.high );
            if( value.low != 0 )
            {
                result.add( times( value.low ) );
            }
            return result;
        }

    private:
        void append( double component )
        {
            if( component == 0 )
            {
                return;
            }
            TESSARK_EXCEPTION( size_ < CAPACITY,
                "[predicates] Exact expansion exceeds its capacity" );
            components_[size_++] = component;
        }

    private:
        std::array< double, CAPACITY > components_;
        std::size_t size_{ 0 };
    };

    SIDE sign_of( double value )
    {
        if( value > 0 )
        {
            return SIDE::positive;
        }
        if( value < 0 )
        {
            return SIDE::negative;
        }
        return SIDE::zero;
    }

    // Non-finite coordinates defeat both the filter (NaN compares false) and
    // the expansions, so they are rejected before the exact evaluation.
    void check_finite( std::initializer_list< double > values )
    {
        for( const auto value : values )
        {
            TESSARK_EXCEPTION( std::isfinite( value ),
                "[predicates] Non-finite coordinate: ", value );
        }
    }

    // u0 v1 - u1 v0 for exact differences u and v.
    Expansion exact_minor( const TwoTerms& u0,
        const TwoTerms& u1,
        const TwoTerms& v0,
        const TwoTerms& v1 )
    {
        auto result = Expansion{ u0 }.times( v1 );
        result.subtract( Expansion{ u1 }.times( v0 ) );
        return result;
    }

    SIDE exact_orientation_2d( const brevane::Point2D& a,
        const brevane::Point2D& b,
        const brevane::Point2D& c )
    {
        check_finite( { a.value( 0 ), a.value( 1 ), b.value( 0 ), b.value( 1 ),
            c.value( 0 ), c.value( 1 ) } );
        return exact_minor( two_diff( b.value( 0 ), a.value( 0 ) ),
            two_diff( b.value( 1 ), a.value( 1 ) ),
            two_diff( c.value( 0 ), a.value( 0 ) ),
            two_diff( c.value( 1 ), a.value( 1 ) ) )
            .sign();
    }

    std::array< TwoTerms, 3 > exact_difference(
        const brevane::Point3D& from, const brevane::Point3D& to )
    {
        return { two_diff( to.value( 0 ), from.value( 0 ) ),
            two_diff( to.value( 1 ), from.value( 1 ) ),
            two_diff( to.value( 2 ), from.value( 2 ) ) };
    }

    SIDE exact_orientation_3d( const brevane::Point3D& a,
        const brevane::Point3D& b,
        const brevane::Point3D& c,
        const brevane::Point3D& d )
    {
        for( const auto* point : { &a, &b, &c, &d } )
        {
            check_finite(
                { point->value( 0 ), point->value( 1 ), point->value( 2 ) } );
        }
        const auto u = exact_difference( a, b );
        const auto v = exact_difference( a, c );
        const auto w = exact_difference( a, d );
        // w . ( u x v ), one cofactor at a time.
        Expansion det;
        for( brevane::local_index_t axis = 0; axis < 3; axis++ )
        {
            const auto next = ( axis + 1 ) % 3;
            const auto last = ( axis + 2 ) % 3;
            det.add( exact_minor( u[next], u[last], v[next], v[last] )
                         .times( w[axis] ) );
        }
        return det.sign();
    }

    SIDE exact_dot_with_difference( const brevane::Vector3D& vector,
        const brevane::Point3D& from,
        const brevane::Point3D& to )
    {
        Expansion sum;
        for( brevane::local_index_t axis = 0; axis < 3; axis++ )
        {
            check_finite( { vector.value( axis ), from.value( axis ),
                to.value( axis ) } );
            sum.add(
                Expansion{ two_diff( to.value( axis ), from.value( axis ) ) }
                    .times( vector.value( axis ) ) );
        }
        return sum.sign();
    }

    // Exact sign of vector . ( to - from ).
    SIDE dot_with_difference( const brevane::Vector3D& vector,
        const brevane::Point3D& from,
        const brevane::Point3D& to )
    {
        double dot{ 0 };
        double permanent{ 0 };
        for( brevane::local_index_t axis = 0; axis < 3; axis++ )
        {
            const double term = vector.value( axis )
                                * ( to.value( axis ) - from.value( axis ) );
            dot += term;
            permanent += std::abs( term );
        }
        if( is_certain( dot, DOT_ERROR_BOUND * permanent, permanent ) )
        {
            return sign_of( dot );
        }
        return exact_dot_with_difference( vector, from, to );
    }

    // Collinear (or zero-length) segments: along their common line the
    // lexicographic order of points is their order along the line (or its
    // reverse), so they overlap unless one ends before the other starts.
    bool collinear_segments_overlap(
        const brevane::Segment2D& segment0, const brevane::Segment2D& segment1 )
    {
        const auto& [a0, a1] = segment0.vertices();
        const auto& [b0, b1] = segment1.vertices();
        const auto& a_min = std::min( a0, a1 );
        const auto& a_max = std::max( a0, a1 );
        const auto& b_min = std::min( b0, b1 );
        const auto& b_max = std::max( b0, b1 );
        return !( a_max < b_min ) && !( b_max < a_min );
    }
} // namespace

namespace brevane
{
    SIDE orientation_2d( const Point2D& a, const Point2D& b, const Point2D& c )
    {
        const double left =
            ( b.value( 0 ) - a.value( 0 ) ) * ( c.value( 1 ) - a.value( 1 ) );
        const double right =
            ( b.value( 1 ) - a.value( 1 ) ) * ( c.value( 0 ) - a.value( 0 ) );
        const double det = left - right;
        const double permanent = std::abs( left ) + std::abs( right );
        if( is_certain(
                det, ORIENTATION_2D_ERROR_BOUND * permanent, permanent ) )
        {
            return sign_of( det );
        }
        return exact_orientation_2d( a, b, c );
    }

    SIDE orientation_3d(
        const Point3D& a, const Point3D& b, const Point3D& c, const Point3D& d )
    {
        const double ux = b.value( 0 ) - a.value( 0 );
        const double uy = b.value( 1 ) - a.value( 1 );
        const double uz = b.value( 2 ) - a.value( 2 );
        const double vx = c.value( 0 ) - a.value( 0 );
        const double vy = c.value( 1 ) - a.value( 1 );
        const double vz = c.value( 2 ) - a.value( 2 );
        const double wx = d.value( 0 ) - a.value( 0 );
        const double wy = d.value( 1 ) - a.value( 1 );
        const double wz = d.value( 2 ) - a.value( 2 );
        const double uyvz = uy * vz;
        const double uzvy = uz * vy;
        const double uzvx = uz * vx;
        const double uxvz = ux * vz;
        const double uxvy = ux * vy;
        const double uyvx = uy * vx;
        const double det =
            wx * ( uyvz - uzvy ) + wy * ( uzvx - uxvz ) + wz * ( uxvy - uyvx );
        const double permanent =
            std::abs( wx ) * ( std::abs( uyvz ) + std::abs( uzvy ) )
            + std::abs( wy ) * ( std::abs( uzvx ) + std::abs( uxvz ) )
            + std::abs( wz ) * ( std::abs( uxvy ) + std::abs( uyvx ) );
        if( is_certain(
                det, ORIENTATION_3D_ERROR_BOUND * permanent, permanent ) )
        {
            return sign_of( det );
        }
        return exact_orientation_3d( a, b, c, d );
    }

    SIDE triangle_area_sign( const Triangle2D& triangle )
    {
        const auto& [p0, p1, p2] = triangle.vertices();
        return orientation_2d( p0, p1, p2 );
    }

    SIDE point_side_to_segment( const Point2D& point, const Segment2D& segment )
    {
        const auto& [p0, p1] = segment.vertices();
        return orientation_2d( p0, p1, point );
    }

    SIDE point_side_to_plane( const Point3D& point, const Plane& plane )
    {
        return dot_with_difference( plane.normal(), plane.origin(), point );
    }

    SIDE point_side_to_triangle(
        const Point3D& point, const Triangle3D& triangle )
    {
        const auto& [p0, p1, p2] = triangle.vertices();
        return orientation_3d( p0, p1, p2, point );
    }

    bool segments_cross( const Segment2D& segment0, const Segment2D& segment1 )
    {
        const auto& [a0, a1] = segment0.vertices();
        const auto& [b0, b1] = segment1.vertices();
        const auto b0_side = orientation_2d( a0, a1, b0 );
        const auto b1_side = orientation_2d( a0, a1, b1 );
        if( b0_side != SIDE::zero && b0_side == b1_side )
        {
            return false;
        }
        const auto a0_side = orientation_2d( b0, b1, a0 );
        const auto a1_side = orientation_2d( b0, b1, a1 );
        if( a0_side != SIDE::zero && a0_side == a1_side )
        {
            return false;
        }
        if( b0_side == SIDE::zero && b1_side == SIDE::zero
            && a0_side == SIDE::zero && a1_side == SIDE::zero )
        {
            return collinear_segments_overlap( segment0, segment1 );
        }
        return true;
    }

    bool is_triangle_degenerate( const Triangle3D& triangle )
    {
        const auto& [p0, p1, p2] = triangle.vertices();
        for( local_index_t axis = 0; axis < 3; axis++ )
        {
            if( orientation_2d( p0.project_point( axis ),
                    p1.project_point( axis ), p2.project_point( axis ) )
                != SIDE::zero )
            {
                return false;
            }
        }
        return true;
    }
} // namespace brevane
