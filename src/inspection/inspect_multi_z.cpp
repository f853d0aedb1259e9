#include <pillar/input_inspections.h>

#include <algorithm>

#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/predicates.h>

namespace brevane
{
    namespace
    {
        SIDE plan_sign( const std::array< Point2D, 3 >& points )
        {
            return triangle_area_sign(
                Triangle2D{ points[0], points[1], points[2] } );
        }
    } // namespace

    absl::flat_hash_map< uuid, internal::PlanTriangles >
    internal::top_surface_triangles( const TopSurfaceContext& context )
    {
        const absl::flat_hash_set< uuid > top_ids{ context.top_surfaces.begin(),
            context.top_surfaces.end() };
        absl::flat_hash_map< uuid, PlanTriangles > triangles;
        for( const auto& surface : context.model.surfaces() )
        {
            if( !top_ids.contains( surface.id() ) )
            {
                continue;
            }
            const auto* mesh = dynamic_cast< const TriangulatedSurface< 3 >* >(
                &surface.mesh() );
            TESSARK_EXCEPTION( mesh != nullptr,
                "[PillarStructuralModelBuilder] Top surface \"", surface.name(),
                "\" (", surface.id().string(),
                ") is not a triangulated surface" );
            auto& projected = triangles[surface.id()];
            projected.reserve( mesh->nb_polygons() );
            for( index_t triangle = 0; triangle < mesh->nb_polygons();
                 triangle++ )
            {
                const auto vertices = mesh->polygon_vertices( triangle );
                projected.push_back(
                    { mesh->point( vertices[0] ).project_point( 2 ),
                        mesh->point( vertices[1] ).project_point( 2 ),
                        mesh->point( vertices[2] ).project_point( 2 ) } );
            }
        }
        return triangles;
    }

    MultiZInspectionResult internal::inspect_multi_z(
        const TopSurfaceContext& context )
    {
        // A top surface is a height field when all its triangles turn the
        // same way seen from above; the first triangle sets the way.
        MultiZInspectionResult result;
        const auto triangles = top_surface_triangles( context );
        for( const auto& surface : context.model.surfaces() )
        {
            const auto found = triangles.find( surface.id() );
            if( found == triangles.end() || found->second.empty() )
            {
                continue;
            }
            const auto& plan = found->second;
            const auto reference = plan_sign( plan.front() );
            const auto folded = std::any_of( plan.begin(), plan.end(),
                [reference]( const std::array< Point2D, 3 >& points )
                {
                    return plan_sign( points ) != reference;
                } );
            if( folded )
            {
                result.issues.push_back( surface.id() );
                result.messages.push_back( concatenate( "Surface with uuid ",
                    surface.id().string(), " has multi z configurations" ) );
            }
        }
        return result;
    }
} // namespace brevane
