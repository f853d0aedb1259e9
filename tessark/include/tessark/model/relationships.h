#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/inlined_vector.h>

#include <tessark/model/component_type.h>

namespace brevane
{
    // The relations between the components and collections of a model:
    // - boundary: a boundary bounds an incidence (a corner bounds a line, a
    //   line a surface, a surface a block);
    // - internal: an internal component is embedded in another (a line inside
    //   a surface, a corner inside a surface or a block);
    // - item: a component is an item of a collection.
    // Every query answers in the order in which the relations were added.
    class Relationships
    {
    public:
        enum struct RELATION_TYPE : std::uint8_t
        {
            boundary,
            internal,
            item
        };

        // Registers a component or collection; adding it again does nothing.
        void register_component( const ComponentID& component );
        // Removes a component and every relation it takes part in.
        void unregister_component( const uuid& id );
        [[nodiscard]] bool is_registered( const uuid& id ) const;
        // Throws a TessarkException naming the id when it is unknown.
        [[nodiscard]] const ComponentID& component( const uuid& id ) const;

        // Both components must be registered; an existing relation of the
        // same kind between the same two is not added again.
        void add_boundary_relation( const uuid& boundary, const uuid& incidence );
        void add_internal_relation( const uuid& internal, const uuid& embedding );
        void add_item_in_collection( const uuid& item, const uuid& collection );
        // Removes the relations of any kind between the two, both ways.
        void remove_relation( const uuid& first, const uuid& second );

        [[nodiscard]] std::vector< ComponentID > boundaries(
            const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > incidences(
            const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > internal_components(
            const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > embeddings(
            const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > items( const uuid& id ) const;
        [[nodiscard]] std::vector< ComponentID > collections(
            const uuid& id ) const;

        [[nodiscard]] index_t nb_boundaries( const uuid& id ) const;
        [[nodiscard]] index_t nb_incidences( const uuid& id ) const;
        [[nodiscard]] index_t nb_internal_components( const uuid& id ) const;
        [[nodiscard]] index_t nb_embeddings( const uuid& id ) const;
        [[nodiscard]] index_t nb_items( const uuid& id ) const;
        [[nodiscard]] index_t nb_collections( const uuid& id ) const;

        [[nodiscard]] bool is_boundary(
            const uuid& boundary, const uuid& incidence ) const;
        [[nodiscard]] bool is_internal(
            const uuid& internal, const uuid& embedding ) const;
        [[nodiscard]] bool is_item( const uuid& item, const uuid& collection ) const;

    private:
        struct Relation
        {
            index_t from;
            index_t to;
            RELATION_TYPE type;
        };
        // One registered component and the relations it takes part in, by
        // index in relations_, in insertion order.
        struct Node
        {
            ComponentID component;
            absl::InlinedVector< index_t, 6 > relations;
            bool alive{ true };
        };

        index_t node( const uuid& id ) const;
        void add_relation( const uuid& from, const uuid& to, RELATION_TYPE type );
        // The other ends of the node's relations of this type, where the
        // node is the `from` end (outgoing) or the `to` end.
        std::vector< ComponentID > related(
            const uuid& id, RELATION_TYPE type, bool outgoing ) const;
        index_t nb_related(
            const uuid& id, RELATION_TYPE type, bool outgoing ) const;
        bool has_relation(
            const uuid& from, const uuid& to, RELATION_TYPE type ) const;

        std::vector< Node > nodes_;
        std::vector< Relation > relations_;
        std::vector< bool > relation_alive_;
        absl::flat_hash_map< uuid, index_t > node_of_id_;
    };
} // namespace brevane
