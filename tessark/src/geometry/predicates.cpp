#include <tessark/geometry/predicates.h>

#include <cmath>
#include <initializer_list>

#include <absl/container/inlined_vector.h>

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
    // the sign of the sum and an empty expansion is zero.
    class Expansion
    {
    public:
        Expansion() = default;
        explicit Expansion( const TwoTerms& terms )
        {
            append( terms.low );
            append( terms.high );
        }

        [[nodiscard]] SIDE sign() const
        {
            if( components_.empty() )
            {
                return SIDE::zero;
            }
            return components_.back() > 0 ? SIDE::positive : SIDE::negative;
        }

        // Sum of this expansion and one double (Grow-Expansion): the running
        // sum absorbs the components from the smallest, each rounding error
        // becoming an output component.
        [[nodiscard]] Expansion plus( double value ) const
        {
            Expansion result;
            auto running = value;
            for( const auto component : components_ )
            {
                const auto sum = two_sum( running, component );
                result.append( sum.low );
                running = sum.high;
            }
            result.append( running );
            return result;
        }

        [[nodiscard]] Expansion plus( const Expansion& other ) const
        {
            auto result = *this;
            for( const auto component : other.components_ )
            {
                result = result.plus( component );
            }
            return result;
        }

        [[nodiscard]] Expansion negated() const
        {
            auto result = *this;
            for( auto& component : result.components_ )
            {
                component = -component;
            }
            return result;
        }

        // Product of this expansion and one double (Scale-Expansion).
        [[nodiscard]] Expansion times( double value ) const
        {
            Expansion result;
            if( components_.empty() )
            {
                return result;
            }
            auto product = two_product( components_.front(), value );
            result.append( product.low );
            auto running = product.high;
            for( std::size_t index = 1; index < components_.size(); index++ )
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

        [[nodiscard]] Expansion times( const Expansion& other ) const
        {
            Expansion result;
            for( const auto component : other.components_ )
            {
                result = result.plus( times( component ) );
            }
            return result;
        }

    private:
        void append( double component )
        {
            if( component != 0 )
            {
                components_.push_back( component );
            }
        }

    private:
        absl::InlinedVector< double, 16 > components_;
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

    Expansion exact_diff( double a, double b )
    {
        return Expansion{ two_diff( a, b ) };
    }

    SIDE exact_orientation_2d( const brevane::Point2D& a,
        const brevane::Point2D& b,
        const brevane::Point2D& c )
    {
        check_finite( { a.value( 0 ), a.value( 1 ), b.value( 0 ), b.value( 1 ),
            c.value( 0 ), c.value( 1 ) } );
        const auto ux = exact_diff( b.value( 0 ), a.value( 0 ) );
        const auto uy = exact_diff( b.value( 1 ), a.value( 1 ) );
        const auto vx = exact_diff( c.value( 0 ), a.value( 0 ) );
        const auto vy = exact_diff( c.value( 1 ), a.value( 1 ) );
        return ux.times( vy ).plus( uy.times( vx ).negated() ).sign();
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
        const auto ux = exact_diff( b.value( 0 ), a.value( 0 ) );
        const auto uy = exact_diff( b.value( 1 ), a.value( 1 ) );
        const auto uz = exact_diff( b.value( 2 ), a.value( 2 ) );
        const auto vx = exact_diff( c.value( 0 ), a.value( 0 ) );
        const auto vy = exact_diff( c.value( 1 ), a.value( 1 ) );
        const auto vz = exact_diff( c.value( 2 ), a.value( 2 ) );
        const auto wx = exact_diff( d.value( 0 ), a.value( 0 ) );
        const auto wy = exact_diff( d.value( 1 ), a.value( 1 ) );
        const auto wz = exact_diff( d.value( 2 ), a.value( 2 ) );
        const auto normal_x = uy.times( vz ).plus( uz.times( vy ).negated() );
        const auto normal_y = uz.times( vx ).plus( ux.times( vz ).negated() );
        const auto normal_z = ux.times( vy ).plus( uy.times( vx ).negated() );
        return wx.times( normal_x )
            .plus( wy.times( normal_y ) )
            .plus( wz.times( normal_z ) )
            .sign();
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
            sum = sum.plus( exact_diff( to.value( axis ), from.value( axis ) )
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
        const double bound = DOT_ERROR_BOUND * permanent;
        if( dot > bound || -dot > bound )
        {
            return sign_of( dot );
        }
        return exact_dot_with_difference( vector, from, to );
    }

    // True when the two points of a collinear configuration are ordered
    // along their line: the lexicographic order of collinear points is
    // their order along the line (or its reverse, consistently).
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
        const double bound = ORIENTATION_2D_ERROR_BOUND
                             * ( std::abs( left ) + std::abs( right ) );
        if( det > bound || -det > bound )
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
        const double bound = ORIENTATION_3D_ERROR_BOUND * permanent;
        if( det > bound || -det > bound )
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
