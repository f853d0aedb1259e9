#include <tessark/model/relationships.h>

#include <tessark/basic/tessark_exception.h>

#include "basic/erase_from.h"

namespace brevane
{
    void Relationships::register_component( const ComponentID& component )
    {
        const auto inserted = node_of_id_.try_emplace(
            component.id(), static_cast< index_t >( nodes_.size() ) );
        if( inserted.second )
        {
            nodes_.push_back( Node{ component, {}, true } );
        }
    }

    void Relationships::unregister_component( const uuid& id )
    {
        const auto found = node_of_id_.find( id );
        if( found == node_of_id_.end() )
        {
            return;
        }
        auto& removed = nodes_[found->second];
        for( const auto relation : removed.relations )
        {
            if( !relation_alive_[relation] )
            {
                continue;
            }
            relation_alive_[relation] = false;
            const auto& ends = relations_[relation];
            const auto other = ends.from == found->second ? ends.to : ends.from;
            auto& other_relations = nodes_[other].relations;
            erase_value( other_relations, relation );
        }
        removed.relations.clear();
        removed.alive = false;
        node_of_id_.erase( found );
    }

    bool Relationships::is_registered( const uuid& id ) const
    {
        return node_of_id_.contains( id );
    }

    const ComponentID& Relationships::component( const uuid& id ) const
    {
        return nodes_[node( id )].component;
    }

    index_t Relationships::node( const uuid& id ) const
    {
        const auto found = node_of_id_.find( id );
        TESSARK_EXCEPTION( found != node_of_id_.end(),
            "[Relationships] No component with id ", id.string(),
            " is registered" );
        return found->second;
    }

    void Relationships::add_boundary_relation(
        const uuid& boundary, const uuid& incidence )
    {
        add_relation( boundary, incidence, RELATION_TYPE::boundary );
    }

    void Relationships::add_internal_relation(
        const uuid& internal, const uuid& embedding )
    {
        add_relation( internal, embedding, RELATION_TYPE::internal );
    }

    void Relationships::add_item_in_collection(
        const uuid& item, const uuid& collection )
    {
        add_relation( item, collection, RELATION_TYPE::item );
    }

    void Relationships::add_relation(
        const uuid& from, const uuid& to, RELATION_TYPE type )
    {
        const auto from_node = node( from );
        const auto to_node = node( to );
        TESSARK_EXCEPTION( from_node != to_node,
            "[Relationships] A component cannot be related to itself: ",
            from.string() );
        if( has_relation( from, to, type ) )
        {
            return;
        }
        const auto relation = static_cast< index_t >( relations_.size() );
        relations_.push_back( Relation{ from_node, to_node, type } );
        relation_alive_.push_back( true );
        nodes_[from_node].relations.push_back( relation );
        nodes_[to_node].relations.push_back( relation );
    }

    void Relationships::remove_relation( const uuid& first, const uuid& second )
    {
        const auto first_node = node( first );
        const auto second_node = node( second );
        auto& first_relations = nodes_[first_node].relations;
        for( const auto relation : first_relations )
        {
            const auto& ends = relations_[relation];
            if( ends.from == second_node || ends.to == second_node )
            {
                relation_alive_[relation] = false;
                erase_value( nodes_[second_node].relations, relation );
            }
        }
        erase_matching( first_relations, [this]( index_t relation ) {
            return !relation_alive_[relation];
        } );
    }

    bool Relationships::has_relation(
        const uuid& from, const uuid& to, RELATION_TYPE type ) const
    {
        const auto from_node = node( from );
        const auto to_node = node( to );
        for( const auto relation : nodes_[from_node].relations )
        {
            const auto& ends = relations_[relation];
            if( ends.type == type && ends.from == from_node
                && ends.to == to_node )
            {
                return true;
            }
        }
        return false;
    }

    std::vector< ComponentID > Relationships::related(
        const uuid& id, RELATION_TYPE type, bool outgoing ) const
    {
        const auto self = node( id );
        std::vector< ComponentID > result;
        for( const auto relation : nodes_[self].relations )
        {
            const auto& ends = relations_[relation];
            if( ends.type != type )
            {
                continue;
            }
            if( outgoing && ends.from == self )
            {
                result.push_back( nodes_[ends.to].component );
            }
            else if( !outgoing && ends.to == self )
            {
                result.push_back( nodes_[ends.from].component );
            }
        }
        return result;
    }

    index_t Relationships::nb_related(
        const uuid& id, RELATION_TYPE type, bool outgoing ) const
    {
        const auto self = node( id );
        index_t count{ 0 };
        for( const auto relation : nodes_[self].relations )
        {
            const auto& ends = relations_[relation];
            if( ends.type == type
                && ( outgoing ? ends.from == self : ends.to == self ) )
            {
                count++;
            }
        }
        return count;
    }

    std::vector< ComponentID > Relationships::boundaries( const uuid& id ) const
    {
        return related( id, RELATION_TYPE::boundary, false );
    }
    std::vector< ComponentID > Relationships::incidences( const uuid& id ) const
    {
        return related( id, RELATION_TYPE::boundary, true );
    }
    std::vector< ComponentID > Relationships::internal_components(
        const uuid& id ) const
    {
        return related( id, RELATION_TYPE::internal, false );
    }
    std::vector< ComponentID > Relationships::embeddings( const uuid& id ) const
    {
        return related( id, RELATION_TYPE::internal, true );
    }
    std::vector< ComponentID > Relationships::items( const uuid& id ) const
    {
        return related( id, RELATION_TYPE::item, false );
    }
    std::vector< ComponentID > Relationships::collections( const uuid& id ) const
    {
        return related( id, RELATION_TYPE::item, true );
    }

    index_t Relationships::nb_boundaries( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::boundary, false );
    }
    index_t Relationships::nb_incidences( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::boundary, true );
    }
    index_t Relationships::nb_internal_components( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::internal, false );
    }
    index_t Relationships::nb_embeddings( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::internal, true );
    }
    index_t Relationships::nb_items( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::item, false );
    }
    index_t Relationships::nb_collections( const uuid& id ) const
    {
        return nb_related( id, RELATION_TYPE::item, true );
    }

    bool Relationships::is_boundary(
        const uuid& boundary, const uuid& incidence ) const
    {
        return has_relation( boundary, incidence, RELATION_TYPE::boundary );
    }
    bool Relationships::is_internal(
        const uuid& internal, const uuid& embedding ) const
    {
        return has_relation( internal, embedding, RELATION_TYPE::internal );
    }
    bool Relationships::is_item( const uuid& item, const uuid& collection ) const
    {
        return has_relation( item, collection, RELATION_TYPE::item );
    }
} // namespace brevane
