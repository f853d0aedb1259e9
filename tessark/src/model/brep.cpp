#include <tessark/model/brep.h>

#include "model/component_clone.h"

namespace brevane
{
    BRep::BRep() = default;
    BRep::~BRep() = default;
    BRep::BRep( BRep&& ) noexcept = default;
    BRep& BRep::operator=( BRep&& ) noexcept = default;

    const Corner< 3 >& BRep::corner( const uuid& id ) const
    {
        return corners_.get( id );
    }
    const Line< 3 >& BRep::line( const uuid& id ) const
    {
        return lines_.get( id );
    }
    const Surface< 3 >& BRep::surface( const uuid& id ) const
    {
        return surfaces_.get( id );
    }
    const Block< 3 >& BRep::block( const uuid& id ) const
    {
        return blocks_.get( id );
    }
    const Collection& BRep::model_boundary( const uuid& id ) const
    {
        return model_boundaries_.get( id );
    }
    const Collection& BRep::surface_collection( const uuid& id ) const
    {
        return surface_collections_.get( id );
    }

    std::vector< ComponentID > BRep::embedding_surfaces( const uuid& id ) const
    {
        auto result = relationships_.embeddings( id );
        std::erase_if( result,
            []( const ComponentID& embedding )
            {
                return embedding.type() != component_types::surface();
            } );
        return result;
    }

    index_t BRep::nb_embedding_surfaces( const uuid& id ) const
    {
        return static_cast< index_t >( embedding_surfaces( id ).size() );
    }

    bool BRep::is_closed( const Line< 3 >& line ) const
    {
        const auto& mesh = line.mesh();
        if( mesh.nb_edges() == 0 )
        {
            return false;
        }
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( mesh.edges_around_vertex( vertex ).size() != 2 )
            {
                return false;
            }
        }
        return true;
    }

    Identifier* BRep::find_identifier( const uuid& id )
    {
        if( auto* corner = corners_.find( id ) )
        {
            return corner;
        }
        if( auto* line = lines_.find( id ) )
        {
            return line;
        }
        if( auto* surface = surfaces_.find( id ) )
        {
            return surface;
        }
        if( auto* block = blocks_.find( id ) )
        {
            return block;
        }
        if( auto* boundary = model_boundaries_.find( id ) )
        {
            return boundary;
        }
        return surface_collections_.find( id );
    }

    BoundingBox3D BRep::bounding_box() const
    {
        BoundingBox3D box;
        for( const auto& corner : corners() )
        {
            box.add_box( corner.mesh().bounding_box() );
        }
        for( const auto& line : lines() )
        {
            box.add_box( line.mesh().bounding_box() );
        }
        for( const auto& surface : surfaces() )
        {
            box.add_box( surface.mesh().bounding_box() );
        }
        for( const auto& block : blocks() )
        {
            box.add_box( block.mesh().bounding_box() );
        }
        return box;
    }

    std::unique_ptr< Collection > BRep::clone_collection(
        const Collection& collection )
    {
        auto copy =
            std::make_unique< Collection >( collection.component_type() );
        IdentifierBuilder identifier{ *copy };
        identifier.set_id( collection.id() );
        identifier.set_name( collection.name() );
        return copy;
    }

    void BRep::copy_into( BRep& copy ) const
    {
        copy.corners_ = corners_.copy( detail::clone_component< Corner< 3 > > );
        copy.lines_ = lines_.copy( detail::clone_component< Line< 3 > > );
        copy.surfaces_ =
            surfaces_.copy( detail::clone_component< Surface< 3 > > );
        copy.blocks_ = blocks_.copy( detail::clone_component< Block< 3 > > );
        copy.model_boundaries_ = model_boundaries_.copy( clone_collection );
        copy.surface_collections_ =
            surface_collections_.copy( clone_collection );
        copy.relationships_ = relationships_;
        copy.vertex_identifier_ = vertex_identifier_;
    }
} // namespace brevane
