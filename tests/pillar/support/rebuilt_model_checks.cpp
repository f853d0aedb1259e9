#include "pillar/support/rebuilt_model_checks.h"

#include <algorithm>
#include <cmath>

#include <absl/strings/str_cat.h>

#include <tessark/search/ray_tracing.h>

namespace brevane::test
{
    namespace
    {
        std::array< double, 3 > coordinates( const Point3D& point )
        {
            return { point.value( 0 ), point.value( 1 ), point.value( 2 ) };
        }

        std::array< double, 3 > unique_vertex_point(
            const StructuralModel& model, index_t unique )
        {
            const auto vertices = model.component_mesh_vertices( unique );
            for( const auto& vertex : vertices )
            {
                if( vertex.component_id.type().get() == "Surface" )
                {
                    return coordinates(
                        model.surface( vertex.component_id.id() )
                            .mesh()
                            .point( vertex.vertex ) );
                }
            }
            return { NAN, NAN, NAN };
        }

        bool is_in_collection_of_type( const StructuralModel& model,
            const uuid& surface, std::string_view type )
        {
            const auto collections = model.collections( surface );
            return std::any_of( collections.begin(), collections.end(),
                [type]( const ComponentID& collection )
                {
                    return collection.type().get() == type;
                } );
        }

        bool contains( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }

        Vector3D polygon_normal( const SurfaceMesh< 3 >& mesh, index_t polygon )
        {
            // Twice the vector area: the sum of the cross products around
            // the polygon's first vertex.
            const auto vertices = mesh.polygon_vertices( polygon );
            const auto& origin = mesh.point( vertices[0] );
            Vector3D normal;
            for( std::size_t corner = 1; corner + 1 < vertices.size(); corner++ )
            {
                const Vector3D first{ origin, mesh.point( vertices[corner] ) };
                const Vector3D second{ origin,
                    mesh.point( vertices[corner + 1] ) };
                normal = normal + first.cross( second );
            }
            return normal;
        }

        Vector3D area_normal( const SurfaceMesh< 3 >& mesh )
        {
            Vector3D normal;
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                normal = normal + polygon_normal( mesh, polygon );
            }
            return normal;
        }

        Point3D polygon_centre( const SurfaceMesh< 3 >& mesh, index_t polygon )
        {
            const auto vertices = mesh.polygon_vertices( polygon );
            std::array< double, 3 > sum{ 0, 0, 0 };
            for( const auto vertex : vertices )
            {
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    sum[axis] += mesh.point( vertex ).value( axis );
                }
            }
            const auto nb = static_cast< double >( vertices.size() );
            return Point3D{ { sum[0] / nb, sum[1] / nb, sum[2] / nb } };
        }
    } // namespace

    std::optional< double > height_of( const StructuralModel& model,
        const ModelMeshesAABBTree< 3 >& trees, const uuid& surface,
        const Point3D& point )
    {
        const auto box = model.bounding_box();
        const Segment3D line{ Point3D{ { point.value( 0 ), point.value( 1 ),
                                  box.max().value( 2 ) + 1 } },
            Point3D{ { point.value( 0 ), point.value( 1 ),
                box.min().value( 2 ) - 1 } } };
        RayTracing3D tracer{ model.surface( surface ).mesh(),
            line.vertices()[0], line };
        trees.mesh_trees[trees.uuid_to_mesh_index.at( surface )]
            .compute_segment_element_bbox_intersections( line, tracer );
        std::optional< double > highest;
        for( const auto& hit : tracer.all_intersections() )
        {
            if( !highest || hit.point.value( 2 ) > *highest )
            {
                highest = hit.point.value( 2 );
            }
        }
        return highest;
    }

    RebuiltModelSummary summarise_rebuilt_model( const StructuralModel& model,
        const PillarStructuralModelBuilderResult& result )
    {
        RebuiltModelSummary summary;
        for( const auto& collection : result.slice_collection_order )
        {
            auto& names = summary.slices.emplace_back();
            for( const auto& item : model.items( collection ) )
            {
                names.emplace( model.surface( item.id() ).name() );
            }
        }
        for( const auto& surface : model.surfaces() )
        {
            auto& points = summary.points[std::string{ surface.name() }];
            const auto& mesh = surface.mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                points.push_back( coordinates( mesh.point( vertex ) ) );
            }
            std::sort( points.begin(), points.end() );
        }
        for( const auto& [upper, lower] : result.unique_vertex_below )
        {
            summary.links.emplace( unique_vertex_point( model, upper ),
                unique_vertex_point( model, lower ) );
        }
        return summary;
    }

    namespace
    {
        // Points computed through differently ordered vertices may differ in
        // their last bits.
        bool nearly_equal( const std::array< double, 3 >& first,
            const std::array< double, 3 >& second )
        {
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                if( std::abs( first[axis] - second[axis] ) > 1e-9 )
                {
                    return false;
                }
            }
            return true;
        }

        bool nearly_equal( const std::vector< std::array< double, 3 > >& first,
            const std::vector< std::array< double, 3 > >& second )
        {
            if( first.size() != second.size() )
            {
                return false;
            }
            for( std::size_t index = 0; index < first.size(); index++ )
            {
                if( !nearly_equal( first[index], second[index] ) )
                {
                    return false;
                }
            }
            return true;
        }

        std::vector< std::array< double, 3 > > flattened(
            const std::set< std::pair< std::array< double, 3 >,
                std::array< double, 3 > > >& links )
        {
            std::vector< std::array< double, 3 > > points;
            for( const auto& [upper, lower] : links )
            {
                points.push_back( upper );
                points.push_back( lower );
            }
            return points;
        }
    } // namespace

    std::string summary_difference(
        const RebuiltModelSummary& expected, const RebuiltModelSummary& actual )
    {
        if( expected.slices != actual.slices )
        {
            return "the slice collections differ";
        }
        for( const auto& [name, points] : expected.points )
        {
            const auto other = actual.points.find( name );
            if( other == actual.points.end() )
            {
                return absl::StrCat( "surface ", name, " is missing" );
            }
            if( !nearly_equal( other->second, points ) )
            {
                return absl::StrCat( "the points of surface ", name,
                    " differ (", points.size(), " against ",
                    other->second.size(), ")" );
            }
        }
        if( expected.points.size() != actual.points.size() )
        {
            return "the surfaces differ";
        }
        if( !nearly_equal( flattened( expected.links ), flattened( actual.links ) ) )
        {
            return absl::StrCat( "the pillar links differ (",
                expected.links.size(), " against ", actual.links.size(), ")" );
        }
        return {};
    }

    std::vector< std::string > wrongly_facing_surfaces(
        const StructuralModel& input, const StructuralModel& rebuilt,
        absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces )
    {
        const auto box = rebuilt.bounding_box();
        const auto centre_x =
            ( box.min().value( 0 ) + box.max().value( 0 ) ) / 2;
        const auto centre_y =
            ( box.min().value( 1 ) + box.max().value( 1 ) ) / 2;
        std::vector< std::string > wrong;
        for( const auto& surface : rebuilt.surfaces() )
        {
            const auto& id = surface.id();
            const auto& mesh = surface.mesh();
            const auto is_fault =
                is_in_collection_of_type( rebuilt, id, "Fault" );
            const auto input_normal =
                is_fault ? area_normal( input.surface( id ).mesh() )
                         : Vector3D{};
            index_t nb_wrong = 0;
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto normal = polygon_normal( mesh, polygon );
                bool right = true;
                if( contains( bottom_surfaces, id ) )
                {
                    right = normal.value( 2 ) < 0;
                }
                else if( contains( top_surfaces, id )
                         || is_in_collection_of_type( rebuilt, id, "Horizon" ) )
                {
                    right = normal.value( 2 ) > 0;
                }
                else if( is_fault )
                {
                    right = normal.dot( input_normal ) > 0;
                }
                else if( is_in_collection_of_type(
                             rebuilt, id, "ModelBoundary" ) )
                {
                    const auto centre = polygon_centre( mesh, polygon );
                    right = normal.value( 0 )
                                    * ( centre.value( 0 ) - centre_x )
                                + normal.value( 1 )
                                      * ( centre.value( 1 ) - centre_y )
                            > 0;
                }
                nb_wrong += right ? 0 : 1;
            }
            if( nb_wrong > 0 )
            {
                wrong.push_back( absl::StrCat( std::string{ surface.name() }, ": ", nb_wrong,
                    " of ", mesh.nb_polygons(), " polygons" ) );
            }
        }
        return wrong;
    }
} // namespace brevane::test
