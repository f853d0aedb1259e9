#pragma once

#include <string>
#include <string_view>

#include <tessark/basic/common.h>
#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/uuid.h>

namespace brevane
{
    // The kind of a model component or collection, named by a fixed text:
    // "Corner", "Line", "Surface", "Block" for components and
    // "ModelBoundary", "Horizon", "Fault", "FaultBlock", "SurfaceCollection"
    // for collections. Names are interned, so a type is as cheap to copy and
    // compare as a string view and stays valid for the life of the process.
    class ComponentType
    {
    public:
        ComponentType() = default;
        explicit ComponentType( std::string_view name );

        [[nodiscard]] std::string_view get() const
        {
            return name_;
        }
        [[nodiscard]] bool operator==( const ComponentType& other ) const
        {
            return name_ == other.name_;
        }
        [[nodiscard]] bool operator<( const ComponentType& other ) const
        {
            return name_ < other.name_;
        }

        template < typename H >
        friend H AbslHashValue( H hash, const ComponentType& type )
        {
            return H::combine( std::move( hash ), type.name_ );
        }

    private:
        std::string_view name_;
    };

    // A component or collection of a model: its kind and its uuid.
    class ComponentID
    {
    public:
        ComponentID() = default;
        ComponentID( ComponentType type, const uuid& id )
            : type_( std::move( type ) ), id_( id )
        {
        }

        [[nodiscard]] const ComponentType& type() const
        {
            return type_;
        }
        [[nodiscard]] const uuid& id() const
        {
            return id_;
        }
        [[nodiscard]] bool operator==( const ComponentID& other ) const =
            default;
        // "Surface 0f1e2d3c-...".
        [[nodiscard]] std::string string() const
        {
            return concatenate( type_.get(), " ", id_.string() );
        }

        template < typename H >
        friend H AbslHashValue( H hash, const ComponentID& component )
        {
            return H::combine(
                std::move( hash ), component.type_, component.id_ );
        }

    private:
        ComponentType type_;
        uuid id_;
    };

    // One vertex of one component mesh.
    struct ComponentMeshVertex
    {
        ComponentID component_id;
        index_t vertex{ NO_ID };

        [[nodiscard]] bool operator==( const ComponentMeshVertex& other ) const =
            default;
        [[nodiscard]] std::string string() const
        {
            return concatenate( component_id.string(), " vertex ", vertex );
        }

        template < typename H >
        friend H AbslHashValue( H hash, const ComponentMeshVertex& value )
        {
            return H::combine(
                std::move( hash ), value.component_id, value.vertex );
        }
    };

    namespace component_types
    {
        inline const ComponentType& corner()
        {
            static const ComponentType type{ "Corner" };
            return type;
        }
        inline const ComponentType& line()
        {
            static const ComponentType type{ "Line" };
            return type;
        }
        inline const ComponentType& surface()
        {
            static const ComponentType type{ "Surface" };
            return type;
        }
        inline const ComponentType& block()
        {
            static const ComponentType type{ "Block" };
            return type;
        }
        inline const ComponentType& model_boundary()
        {
            static const ComponentType type{ "ModelBoundary" };
            return type;
        }
        inline const ComponentType& horizon()
        {
            static const ComponentType type{ "Horizon" };
            return type;
        }
        inline const ComponentType& fault()
        {
            static const ComponentType type{ "Fault" };
            return type;
        }
        inline const ComponentType& fault_block()
        {
            static const ComponentType type{ "FaultBlock" };
            return type;
        }
        inline const ComponentType& surface_collection()
        {
            static const ComponentType type{ "SurfaceCollection" };
            return type;
        }
    } // namespace component_types
} // namespace brevane
