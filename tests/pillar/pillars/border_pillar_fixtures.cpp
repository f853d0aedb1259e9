#include "border_pillar_fixtures.h"

#include <cmath>
#include <stdexcept>

#include <tessark/mesh/triangulated_surface_builder.h>

#include <samples/strip_triangulation.h>

namespace brevane::test
{
    namespace
    {
        Point3D at( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        // A surface made of the strip between two rows of points.
        struct Strip
        {
            Strip( absl::Span< const Point3D > first,
                absl::Span< const double > first_positions,
                absl::Span< const Point3D > second,
                absl::Span< const double > second_positions )
            {
                std::vector< index_t > first_vertices;
                std::vector< index_t > second_vertices;
                for( const auto& point : first )
                {
                    first_vertices.push_back(
                        static_cast< index_t >( points.size() ) );
                    points.push_back( point );
                }
                for( const auto& point : second )
                {
                    second_vertices.push_back(
                        static_cast< index_t >( points.size() ) );
                    points.push_back( point );
                }
                append_strip_triangles( { first_vertices, first_positions },
                    { second_vertices, second_positions }, triangles );
            }

            std::vector< Point3D > points;
            std::vector< std::array< index_t, 3 > > triangles;
        };

        std::vector< Point3D > row(
            absl::Span< const double > ys, double x, double ( *z )( double ) )
        {
            std::vector< Point3D > points;
            for( const auto y : ys )
            {
                points.push_back( at( x, y, z( y ) ) );
            }
            return points;
        }

        double top_z( double /*y*/ )
        {
            return 2;
        }

        double bottom_z( double /*y*/ )
        {
            return 0;
        }

        // A surface over [0, 1] x [0, 2] at the given height, from its rows
        // at x = 0 and x = 1.
        uuid add_layer( HandMadeModel& made, std::string_view name,
            absl::Span< const double > ys, double ( *z )( double ),
            const Vector3D& facing )
        {
            const Strip strip{ row( ys, 0, z ), ys, row( ys, 1, z ), ys };
            return made.add_surface(
                name, strip.points, strip.triangles, facing );
        }

        // A wall x = 0 between two rows.
        uuid add_x_wall( HandMadeModel& made, std::string_view name,
            absl::Span< const double > upper_ys, double ( *upper_z )( double ),
            absl::Span< const double > lower_ys, double ( *lower_z )( double ) )
        {
            const Strip strip{ row( upper_ys, 0, upper_z ), upper_ys,
                row( lower_ys, 0, lower_z ), lower_ys };
            return made.add_surface(
                name, strip.points, strip.triangles, Vector3D{ { -1, 0, 0 } } );
        }

        // A wall y = 0 between the heights, with vertices at x = 0 and 1.
        uuid add_y_wall( HandMadeModel& made, std::string_view name,
            double upper_z, double lower_z )
        {
            const std::array< double, 2 > xs{ 0, 1 };
            const std::array upper{ at( 0, 0, upper_z ), at( 1, 0, upper_z ) };
            const std::array lower{ at( 0, 0, lower_z ), at( 1, 0, lower_z ) };
            const Strip strip{ upper, xs, lower, xs };
            return made.add_surface(
                name, strip.points, strip.triangles, Vector3D{ { 0, -1, 0 } } );
        }

        std::vector< double > part_of(
            absl::Span< const double > ys, double split, bool below )
        {
            std::vector< double > result;
            for( const auto y : ys )
            {
                if( below ? y <= split : y >= split )
                {
                    result.push_back( y );
                }
            }
            return result;
        }
    } // namespace

    HandMadeModel::HandMadeModel() : builder( model )
    {
    }

    uuid HandMadeModel::add_surface( std::string_view name,
        absl::Span< const Point3D > points,
        absl::Span< const std::array< index_t, 3 > > triangles,
        const Vector3D& facing )
    {
        auto mesh = TriangulatedSurface3D::create();
        auto mesh_builder = TriangulatedSurfaceBuilder< 3 >::create( *mesh );
        for( const auto& point : points )
        {
            mesh_builder->create_point( point );
        }
        for( auto triangle : triangles )
        {
            const auto normal = Triangle3D{ points[triangle[0]],
                points[triangle[1]], points[triangle[2]] }
                                    .normal_direction();
            if( normal.dot( facing ) < 0 )
            {
                std::swap( triangle[1], triangle[2] );
            }
            mesh_builder->create_triangle( triangle );
        }
        mesh_builder->compute_polygon_adjacencies();
        return add_surface( name, std::move( mesh ) );
    }

    uuid HandMadeModel::add_surface(
        std::string_view name, std::unique_ptr< SurfaceMesh< 3 > > mesh )
    {
        const auto id = builder.add_surface( std::move( mesh ) );
        builder.set_name( id, name );
        const auto& surface = model.surface( id );
        for( index_t vertex = 0; vertex < surface.mesh().nb_vertices();
             vertex++ )
        {
            bind( surface.component_id(), vertex,
                surface.mesh().point( vertex ) );
        }
        return id;
    }

    uuid HandMadeModel::add_line( std::string_view name,
        absl::Span< const Point3D > points,
        absl::Span< const uuid > bounded_surfaces )
    {
        const auto id = builder.add_line();
        builder.set_name( id, name );
        const auto& line = model.line( id );
        auto mesh = builder.line_mesh_builder( id );
        for( const auto& point : points )
        {
            const auto vertex = mesh->create_point( point );
            bind( line.component_id(), vertex, point );
            if( vertex > 0 )
            {
                mesh->create_edge( vertex - 1, vertex );
            }
        }
        for( const auto& surface : bounded_surfaces )
        {
            builder.add_line_surface_boundary_relationship(
                line, model.surface( surface ) );
        }
        return id;
    }

    void HandMadeModel::add_to_model_boundary( const uuid& surface )
    {
        if( !model.has_model_boundary( boundary_ ) )
        {
            boundary_ = builder.add_model_boundary();
        }
        builder.add_surface_in_model_boundary(
            model.surface( surface ), model.model_boundary( boundary_ ) );
    }

    void HandMadeModel::remove_from_model_boundary( const uuid& surface )
    {
        builder.remove_relation( surface, boundary_ );
    }

    uuid HandMadeModel::add_horizon( absl::Span< const uuid > surfaces )
    {
        const auto id = builder.add_horizon();
        for( const auto& surface : surfaces )
        {
            builder.add_surface_in_horizon(
                model.surface( surface ), model.horizon( id ) );
        }
        return id;
    }

    uuid HandMadeModel::add_fault( absl::Span< const uuid > surfaces )
    {
        const auto id = builder.add_fault();
        for( const auto& surface : surfaces )
        {
            builder.add_surface_in_fault(
                model.surface( surface ), model.fault( id ) );
        }
        return id;
    }

    index_t HandMadeModel::unique_vertex_at( const Point3D& point ) const
    {
        const auto found = uniques_.find( point );
        if( found == uniques_.end() )
        {
            throw std::runtime_error{ "no unique vertex at " + point.string() };
        }
        return found->second;
    }

    index_t HandMadeModel::vertex_at(
        const uuid& surface, const Point3D& point ) const
    {
        const auto& mesh = model.surface( surface ).mesh();
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( mesh.point( vertex ) == point )
            {
                return vertex;
            }
        }
        throw std::runtime_error{ "no surface vertex at " + point.string() };
    }

    void HandMadeModel::detach_vertex(
        const uuid& surface, const Point3D& point )
    {
        builder.set_unique_vertex( { model.surface( surface ).component_id(),
                                       vertex_at( surface, point ) },
            builder.create_unique_vertex() );
    }

    void HandMadeModel::bind(
        const ComponentID& component, index_t vertex, const Point3D& point )
    {
        const auto [found, inserted] = uniques_.try_emplace( point, NO_ID );
        if( inserted )
        {
            found->second = builder.create_unique_vertex();
        }
        builder.set_unique_vertex( { component, vertex }, found->second );
    }

    Point3D octagon_point( index_t k, double z )
    {
        const auto diagonal = std::sqrt( 0.5 );
        const std::array< std::array< double, 2 >, 8 > corners{ { { 1, 0 },
            { diagonal, diagonal }, { 0, 1 }, { -diagonal, diagonal },
            { -1, 0 }, { -diagonal, -diagonal }, { 0, -1 },
            { diagonal, -diagonal } } };
        const auto& corner = corners[k % 8];
        return at( corner[0], corner[1], z );
    }

    std::unique_ptr< TriangulatedSurface3D > octagonal_tube(
        index_t first, index_t last )
    {
        const auto closed = last - first == 8;
        const auto nb_columns = closed ? 8 : last - first + 1;
        auto mesh = TriangulatedSurface3D::create();
        auto builder = TriangulatedSurfaceBuilder< 3 >::create( *mesh );
        // Vertex of column c (from first) and ring r is c * 3 + r.
        for( index_t column = 0; column < nb_columns; column++ )
        {
            for( index_t ring = 0; ring < 3; ring++ )
            {
                builder->create_point( octagon_point(
                    first + column, static_cast< double >( ring ) ) );
            }
        }
        const auto vertex = [nb_columns]( index_t column, index_t ring )
        {
            return ( column % nb_columns ) * 3 + ring;
        };
        for( index_t column = first; column < last; column++ )
        {
            const auto left = column - first;
            for( index_t ring = 0; ring < 2; ring++ )
            {
                // Counter-clockwise seen from outside: along the octagon,
                // then up.
                builder->create_triangle( { vertex( left, ring ),
                    vertex( left + 1, ring ), vertex( left + 1, ring + 1 ) } );
                builder->create_triangle( { vertex( left, ring ),
                    vertex( left + 1, ring + 1 ), vertex( left, ring + 1 ) } );
            }
        }
        builder->compute_polygon_adjacencies();
        return mesh;
    }

    double horizon_z( double y )
    {
        return 1 + 0.2 * y;
    }

    LayeredCorner::LayeredCorner( const WallRows& rows, double horizon_split )
    {
        const Vector3D up{ { 0, 0, 1 } };
        top = add_layer( made, "top", rows.top, top_z, up );
        horizon = add_layer( made, "horizon", rows.horizon, horizon_z, up );
        bottom = add_layer(
            made, "bottom", rows.bottom, bottom_z, Vector3D{ { 0, 0, -1 } } );
        x_upper = add_x_wall(
            made, "x_upper", rows.top, top_z, rows.horizon, horizon_z );
        x_lower = add_x_wall(
            made, "x_lower", rows.horizon, horizon_z, rows.bottom, bottom_z );
        y_upper = add_y_wall( made, "y_upper", 2, 1 );
        y_lower = add_y_wall( made, "y_lower", 1, 0 );
        for( const auto& surface :
            { top, bottom, x_upper, x_lower, y_upper, y_lower } )
        {
            made.add_to_model_boundary( surface );
        }
        const std::array horizons{ horizon };
        made.add_horizon( horizons );
        top_list = { top };
        bottom_list = { bottom };

        const auto x_line = [this]( std::string_view name,
                                absl::Span< const double > ys,
                                double ( *z )( double ),
                                std::initializer_list< uuid > surfaces )
        {
            made.add_line(
                name, row( ys, 0, z ), std::vector< uuid >{ surfaces } );
        };
        const auto y_line = [this]( std::string_view name, double z,
                                std::initializer_list< uuid > surfaces )
        {
            const std::array points{ at( 0, 0, z ), at( 1, 0, z ) };
            made.add_line( name, points, std::vector< uuid >{ surfaces } );
        };
        const auto corner_line = [this]( std::string_view name, double upper,
                                     double lower,
                                     std::initializer_list< uuid > surfaces )
        {
            const std::array points{ at( 0, 0, upper ), at( 0, 0, lower ) };
            made.add_line( name, points, std::vector< uuid >{ surfaces } );
        };
        x_line( "top_x", rows.top, top_z, { top, x_upper } );
        x_line( "horizon_x_below", part_of( rows.horizon, horizon_split, true ),
            horizon_z, { horizon, x_upper, x_lower } );
        x_line( "horizon_x_above",
            part_of( rows.horizon, horizon_split, false ), horizon_z,
            { horizon, x_upper, x_lower } );
        x_line( "bottom_x", rows.bottom, bottom_z, { bottom, x_lower } );
        y_line( "top_y", 2, { top, y_upper } );
        y_line( "horizon_y", 1, { horizon, y_upper, y_lower } );
        y_line( "bottom_y", 0, { bottom, y_lower } );
        corner_line( "corner_upper", 2, 1, { x_upper, y_upper } );
        corner_line( "corner_lower", 1, 0, { x_lower, y_lower } );
    }

    internal::SideWallContext LayeredCorner::context( double y ) const
    {
        return { made.model, top_list, bottom_list, at( 0, y, 2 + 1e-6 ) };
    }
} // namespace brevane::test
