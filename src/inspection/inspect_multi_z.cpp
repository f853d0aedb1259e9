#include "builder/pillar_structural_model_builder_impl.h"

#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/predicates.h>

namespace brevane
{
    absl::flat_hash_map< uuid,
        PillarStructuralModelBuilder::Impl::PlanTriangles >
    PillarStructuralModelBuilder::Impl::top_surface_triangles() const
    {
        // Ids of the list that name no surface are ignored: only the model's
        // surfaces are walked.
        const absl::flat_hash_set< uuid > top_ids{ top_surfaces.begin(),
            top_surfaces.end() };
        absl::flat_hash_map< uuid, PlanTriangles > triangles;
        for( const auto& surface : model.surfaces() )
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

    MultiZInspectionResult PillarStructuralModelBuilder::Impl::inspect_multi_z()
        const
    {
        // A top surface is a height field when all its triangles turn the
        // same way seen from above. A triangle that is flat in plan view
        // (vertical) has the zero sign and so breaks the rule too. Surfaces
        // are reported in the model's surface order, at most once each.
        MultiZInspectionResult result;
        const auto triangles = top_surface_triangles();
        for( const auto& surface : model.surfaces() )
        {
            const auto found = triangles.find( surface.id() );
            if( found == triangles.end() || found->second.empty() )
            {
                continue;
            }
            const auto& plan = found->second;
            const auto sign_of = []( const std::array< Point2D, 3 >& points )
            {
                return triangle_area_sign(
                    Triangle2D{ points[0], points[1], points[2] } );
            };
            const auto reference = sign_of( plan.front() );
            for( const auto& points : plan )
            {
                if( sign_of( points ) != reference )
                {
                    result.issues.push_back( surface.id() );
                    result.messages.push_back( concatenate(
                        "Surface with uuid ", surface.id().string(),
                        " has multi z configurations" ) );
                    break;
                }
            }
        }
        return result;
    }
} // namespace brevane
