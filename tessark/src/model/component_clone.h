#pragma once

// Copies of model components: the component's identity and a copy of its
// mesh, of the same kind.

#include <memory>

#include <tessark/basic/identifier.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/components.h>

namespace brevane::detail
{
    template < typename Mesh, typename Kind >
    std::unique_ptr< Mesh > clone_as( const Mesh& mesh )
    {
        if( const auto* kind = dynamic_cast< const Kind* >( &mesh ) )
        {
            return kind->clone();
        }
        return nullptr;
    }

    inline std::unique_ptr< SurfaceMesh< 3 > > clone_mesh(
        const SurfaceMesh< 3 >& mesh )
    {
        if( auto clone =
                clone_as< SurfaceMesh< 3 >, TriangulatedSurface< 3 > >( mesh ) )
        {
            return clone;
        }
        return clone_as< SurfaceMesh< 3 >, PolygonalSurface< 3 > >( mesh );
    }

    inline std::unique_ptr< SolidMesh< 3 > > clone_mesh(
        const SolidMesh< 3 >& mesh )
    {
        return clone_as< SolidMesh< 3 >, HybridSolid< 3 > >( mesh );
    }

    inline std::unique_ptr< PointSet< 3 > > clone_mesh(
        const PointSet< 3 >& mesh )
    {
        return mesh.clone();
    }

    inline std::unique_ptr< EdgedCurve< 3 > > clone_mesh(
        const EdgedCurve< 3 >& mesh )
    {
        return mesh.clone();
    }

    template < typename Component >
    std::unique_ptr< Component > clone_component( const Component& component )
    {
        auto mesh = clone_mesh( component.mesh() );
        TESSARK_EXCEPTION( mesh != nullptr, "[BRep] Cannot copy ",
            component.component_id().string(), " \"",
            std::string{ component.name() }, "\": its mesh is a ",
            std::string{ component.mesh().impl_name() },
            ", which has no copy" );
        auto copy = std::make_unique< Component >( std::move( mesh ) );
        IdentifierBuilder identifier{ *copy };
        identifier.set_id( component.id() );
        identifier.set_name( component.name() );
        return copy;
    }
} // namespace brevane::detail
