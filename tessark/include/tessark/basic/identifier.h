#pragma once

#include <string>
#include <string_view>

#include <tessark/basic/uuid.h>

namespace brevane
{
    // The identity of an object of a model: a uuid and a free name.
    class Identifier
    {
    public:
        Identifier() = default;

        [[nodiscard]] const uuid& id() const
        {
            return id_;
        }
        [[nodiscard]] std::string_view name() const
        {
            return name_;
        }

    protected:
        friend class IdentifierBuilder;

        void set_id( const uuid& id )
        {
            id_ = id;
        }
        void set_name( std::string_view name )
        {
            name_ = std::string{ name };
        }

    private:
        uuid id_;
        std::string name_;
    };

    // The one way to change an identifier.
    class IdentifierBuilder
    {
    public:
        explicit IdentifierBuilder( Identifier& identifier )
            : identifier_( identifier )
        {
        }

        void set_id( const uuid& id )
        {
            identifier_.set_id( id );
        }
        void set_name( std::string_view name )
        {
            identifier_.set_name( name );
        }

    private:
        Identifier& identifier_;
    };
} // namespace brevane
