#include <tessark/geometry/barycentric_coordinates.h>

#include <algorithm>
#include <cmath>

namespace
{
    // Height over the longest edge, relative to that edge, at or below which
    // safe_triangle_barycentric_coordinates treats a triangle as degenerate.
    constexpr double DEGENERATE_RELATIVE_HEIGHT = 1e-12;

    // Twice the signed areas of the sub-triangles ( p, v1, v2 ), ( v0, p,
    // v2 ), ( v0, v1, p ) and of the triangle, all measured along the same
    // reference: the plane's orientation in 2D, the triangle's normal in 3D
    // (then scaled by the normal's length, as is the triangle's measure).
    struct AreaMeasures
    {
        std::array< double, 3 > sub_triangles;
        double triangle;
    };

    double cross_2d( const brevane::Vector2D& u, const brevane::Vector2D& v )
    {
        return u.value( 0 ) * v.value( 1 ) - u.value( 1 ) * v.value( 0 );
    }

    template < brevane::index_t D >
    AreaMeasures area_measures( const brevane::Point< D >& point,
        const brevane::Triangle< D >& triangle )
    {
        const auto& vertices = triangle.vertices();
        AreaMeasures measures;
        if constexpr( D == 2 )
        {
            for( brevane::local_index_t vertex = 0; vertex < 3; vertex++ )
            {
                measures.sub_triangles[vertex] = cross_2d(
                    brevane::Vector2D{ point, vertices[( vertex + 1 ) % 3] },
                    brevane::Vector2D{ point, vertices[( vertex + 2 ) % 3] } );
            }
            measures.triangle =
                cross_2d( brevane::Vector2D{ vertices[0], vertices[1] },
                    brevane::Vector2D{ vertices[0], vertices[2] } );
        }
        else
        {
            const auto normal = triangle.normal_direction();
            for( brevane::local_index_t vertex = 0; vertex < 3; vertex++ )
            {
                measures.sub_triangles[vertex] =
                    brevane::Vector3D{ point, vertices[( vertex + 1 ) % 3] }
                        .cross( brevane::Vector3D{
                            point, vertices[( vertex + 2 ) % 3] } )
                        .dot( normal );
            }
            measures.triangle = normal.length2();
        }
        return measures;
    }

    std::array< double, 3 > weights( const AreaMeasures& measures )
    {
        return { measures.sub_triangles[0] / measures.triangle,
            measures.sub_triangles[1] / measures.triangle,
            measures.sub_triangles[2] / measures.triangle };
    }

    // Twice the unsigned area of the triangle.
    template < brevane::index_t D >
    double doubled_area( const AreaMeasures& measures )
    {
        if constexpr( D == 2 )
        {
            return std::abs( measures.triangle );
        }
        else
        {
            return std::sqrt( measures.triangle );
        }
    }

    // Weights of the point's projection on the longest edge (the first one
    // among equally long edges).
    template < brevane::index_t D >
    std::array< double, 3 > longest_edge_weights(
        const brevane::Point< D >& point,
        const brevane::Triangle< D >& triangle )
    {
        const auto& vertices = triangle.vertices();
        brevane::local_index_t longest{ 0 };
        double longest_length2{ -1 };
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            const auto length2 = brevane::Vector< D >{ vertices[edge],
                vertices[( edge + 1 ) % 3] }
                                     .length2();
            if( length2 > longest_length2 )
            {
                longest = edge;
                longest_length2 = length2;
            }
        }
        std::array< double, 3 > result{ 1, 0, 0 };
        if( longest_length2 == 0 )
        {
            return result;
        }
        const auto start = longest;
        const auto end =
            static_cast< brevane::local_index_t >( ( longest + 1 ) % 3 );
        // The projection's parameter along the edge, clamped to its ends as
        // point_segment_projection does.
        const brevane::Vector< D > edge{ vertices[start], vertices[end] };
        const auto parameter = std::clamp(
            edge.dot( brevane::Vector< D >{ vertices[start], point } )
                / longest_length2,
            0., 1. );
        result[0] = 0;
        result[start] = 1 - parameter;
        result[end] = parameter;
        return result;
    }

    template < brevane::index_t D >
    double longest_edge_length2( const brevane::Triangle< D >& triangle )
    {
        const auto& vertices = triangle.vertices();
        double result{ 0 };
        for( brevane::local_index_t edge = 0; edge < 3; edge++ )
        {
            result = std::max( result, brevane::Vector< D >{ vertices[edge],
                                           vertices[( edge + 1 ) % 3] }
                                           .length2() );
        }
        return result;
    }
} // namespace

namespace brevane
{
    template < index_t D >
    std::array< double, 3 > triangle_barycentric_coordinates(
        const Point< D >& point, const Triangle< D >& triangle )
    {
        const auto measures = area_measures( point, triangle );
        TESSARK_EXCEPTION( measures.triangle != 0,
            "[triangle_barycentric_coordinates] Triangle of zero area: ",
            triangle.vertices()[0].string(), " / ",
            triangle.vertices()[1].string(), " / ",
            triangle.vertices()[2].string() );
        return weights( measures );
    }

    template < index_t D >
    std::array< double, 3 > safe_triangle_barycentric_coordinates(
        const Point< D >& point, const Triangle< D >& triangle )
    {
        const auto measures = area_measures( point, triangle );
        if( doubled_area< D >( measures )
            <= DEGENERATE_RELATIVE_HEIGHT * longest_edge_length2( triangle ) )
        {
            return longest_edge_weights( point, triangle );
        }
        return weights( measures );
    }

    template std::array< double, 3 > triangle_barycentric_coordinates(
        const Point< 2 >&, const Triangle< 2 >& );
    template std::array< double, 3 > triangle_barycentric_coordinates(
        const Point< 3 >&, const Triangle< 3 >& );
    template std::array< double, 3 > safe_triangle_barycentric_coordinates(
        const Point< 2 >&, const Triangle< 2 >& );
    template std::array< double, 3 > safe_triangle_barycentric_coordinates(
        const Point< 3 >&, const Triangle< 3 >& );
} // namespace brevane
