#pragma once

#include <memory>

#include <tessark/basic/identifier.h>
#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/point_set.h>
#include <tessark/mesh/solid_mesh.h>
#include <tessark/mesh/surface_mesh.h>
#include <tessark/model/component_type.h>

namespace brevane
{
    class BRepBuilder;

    // A component of a boundary representation: an identity and a mesh of
    // the kind given by MeshType. Only BRepBuilder changes it.
    template < typename MeshType >
    class Component : public Identifier
    {
    public:
        explicit Component( std::unique_ptr< MeshType > mesh )
            : mesh_( std::move( mesh ) )
        {
        }

        [[nodiscard]] const MeshType& mesh() const
        {
            return *mesh_;
        }
        // The mesh as a given implementation; throws std::bad_cast when the
        // mesh is of another kind.
        template < typename Mesh >
        [[nodiscard]] const Mesh& get_mesh() const
        {
            return dynamic_cast< const Mesh& >( *mesh_ );
        }

    protected:
        friend class BRepBuilder;
        friend class ModelSnapshot;

        MeshType& modifiable_mesh()
        {
            return *mesh_;
        }
        void set_mesh( std::unique_ptr< MeshType > mesh )
        {
            mesh_ = std::move( mesh );
        }

    private:
        std::unique_ptr< MeshType > mesh_;
    };

    template < index_t dimension >
    class Corner : public Component< PointSet< dimension > >
    {
    public:
        using Component< PointSet< dimension > >::Component;
        [[nodiscard]] static const ComponentType& component_type_static()
        {
            return component_types::corner();
        }
        [[nodiscard]] ComponentID component_id() const
        {
            return { component_type_static(), this->id() };
        }
    };

    template < index_t dimension >
    class Line : public Component< EdgedCurve< dimension > >
    {
    public:
        using Component< EdgedCurve< dimension > >::Component;
        [[nodiscard]] static const ComponentType& component_type_static()
        {
            return component_types::line();
        }
        [[nodiscard]] ComponentID component_id() const
        {
            return { component_type_static(), this->id() };
        }
    };

    template < index_t dimension >
    class Surface : public Component< SurfaceMesh< dimension > >
    {
    public:
        using Component< SurfaceMesh< dimension > >::Component;
        [[nodiscard]] static const ComponentType& component_type_static()
        {
            return component_types::surface();
        }
        [[nodiscard]] ComponentID component_id() const
        {
            return { component_type_static(), this->id() };
        }
    };

    template < index_t dimension >
    class Block : public Component< SolidMesh< dimension > >
    {
    public:
        using Component< SolidMesh< dimension > >::Component;
        [[nodiscard]] static const ComponentType& component_type_static()
        {
            return component_types::block();
        }
        [[nodiscard]] ComponentID component_id() const
        {
            return { component_type_static(), this->id() };
        }
    };

    // A named group of components of a model (model boundaries, horizons,
    // faults, fault blocks, generic surface collections). Its items are
    // relations of the model's Relationships.
    class Collection : public Identifier
    {
    public:
        explicit Collection( ComponentType type ) : type_( std::move( type ) ) {}

        [[nodiscard]] const ComponentType& component_type() const
        {
            return type_;
        }
        [[nodiscard]] ComponentID component_id() const
        {
            return { type_, id() };
        }

    private:
        friend class BRepBuilder;
        friend class ModelSnapshot;
        ComponentType type_;
    };
} // namespace brevane
