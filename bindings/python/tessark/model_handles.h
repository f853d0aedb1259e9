#pragma once

#include <memory>
#include <string_view>
#include <type_traits>

#include <tessark/basic/tessark_exception.h>
#include <tessark/model/structural_model.h>

// What Python holds of the components, collections and meshes of a model.
// Python keeps a model by a shared pointer, and every object it gets from
// the model holds that pointer and a uuid instead of a reference into the
// model: the object is looked up again at every use. A build replaces meshes
// and rebuilds lines and corners, so a reference would dangle; a handle of
// something that is gone raises a RuntimeError naming its uuid instead.
namespace brevane::python
{
    // Whether the lookup finds what it looks for, instead of throwing the
    // TessarkException of something absent.
    template < typename Lookup >
    [[nodiscard]] bool found( const Lookup& lookup )
    {
        try
        {
            static_cast< void >( lookup() );
            return true;
        }
        catch( const TessarkException& )
        {
            return false;
        }
    }

    using ModelPointer = std::shared_ptr< StructuralModel >;

    // A corner, line, surface or block of a model.
    template < typename Component >
    struct ComponentHandle
    {
        ModelPointer model;
        uuid id;

        // Throws a TessarkException naming the uuid when the model has no
        // such component any more.
        [[nodiscard]] const Component& component() const
        {
            if constexpr( std::is_same_v< Component, Corner< 3 > > )
            {
                return model->corner( id );
            }
            else if constexpr( std::is_same_v< Component, Line< 3 > > )
            {
                return model->line( id );
            }
            else if constexpr( std::is_same_v< Component, Surface< 3 > > )
            {
                return model->surface( id );
            }
            else
            {
                return model->block( id );
            }
        }

        // Whether the model still has the component.
        [[nodiscard]] bool exists() const
        {
            return found( [this]
                {
                    return &component();
                } );
        }

        // What tells two handles of one model apart.
        [[nodiscard]] const uuid& key() const
        {
            return id;
        }
    };

    // A collection of a model, of one of the five kinds (model boundary,
    // surface collection, horizon, fault, fault block).
    struct CollectionHandle
    {
        ModelPointer model;
        ComponentID collection;

        // Throws a TessarkException naming the uuid when the model has no
        // such collection any more.
        [[nodiscard]] const Collection& get() const;

        // Whether the model still has the collection.
        [[nodiscard]] bool exists() const
        {
            return found( [this]
                {
                    return &get();
                } );
        }

        // What tells two handles of one model apart.
        [[nodiscard]] const ComponentID& key() const
        {
            return collection;
        }
    };

    // The mesh of a component. The derived handles only tell Python which
    // kind of mesh the component had when the handle was made; each use
    // checks the kind again.
    struct MeshHandle
    {
        ModelPointer model;
        ComponentID component;

        // The component's current mesh as the given kind (named by kind in
        // messages); throws a TessarkException naming the component when it
        // is gone or its mesh is of another kind.
        template < typename Mesh >
        [[nodiscard]] const Mesh& mesh( std::string_view kind ) const
        {
            const auto* mesh = dynamic_cast< const Mesh* >( &vertex_set() );
            TESSARK_EXCEPTION( mesh != nullptr, "[Python] The mesh of ",
                component.string(), " is not a ", kind, " any more" );
            return *mesh;
        }
        // The component's current mesh, whatever its kind.
        [[nodiscard]] const VertexSet& vertex_set() const;

        // Whether the model still has the component.
        [[nodiscard]] bool exists() const
        {
            return found( [this]
                {
                    return &vertex_set();
                } );
        }
    };

    struct PointSetHandle : MeshHandle
    {
    };
    struct EdgedCurveHandle : MeshHandle
    {
    };
    struct SurfaceMeshHandle : MeshHandle
    {
    };
    struct TriangulatedSurfaceHandle : SurfaceMeshHandle
    {
    };
    struct PolygonalSurfaceHandle : SurfaceMeshHandle
    {
    };
    struct SolidMeshHandle : MeshHandle
    {
    };
    struct HybridSolidHandle : SolidMeshHandle
    {
    };
} // namespace brevane::python
