#include "model_file_relation_order.h"

#include <functional>
#include <queue>

#include <absl/container/flat_hash_map.h>

namespace brevane::internal
{
    namespace
    {
        struct RelationKey
        {
            RelationKind kind;
            uuid from;
            uuid to;

            [[nodiscard]] bool operator==(
                const RelationKey& other ) const = default;

            template < typename H >
            friend H AbslHashValue( H hash, const RelationKey& key )
            {
                return H::combine(
                    std::move( hash ), key.kind, key.from, key.to );
            }
        };

        template < typename Set >
        void add_ids( std::vector< uuid >& ids, const Set& set )
        {
            for( const auto& element : set )
            {
                ids.push_back( element.id() );
            }
        }

        // Every component and collection, kind by kind in the model's order.
        std::vector< uuid > model_ids( const StructuralModel& model )
        {
            std::vector< uuid > ids;
            add_ids( ids, model.corners() );
            add_ids( ids, model.lines() );
            add_ids( ids, model.surfaces() );
            add_ids( ids, model.blocks() );
            add_ids( ids, model.model_boundaries() );
            add_ids( ids, model.surface_collections() );
            add_ids( ids, model.horizons() );
            add_ids( ids, model.faults() );
            add_ids( ids, model.fault_blocks() );
            return ids;
        }

        // The relations, numbered as first met, and the chains of the
        // answers of every query.
        class RelationChains
        {
        public:
            explicit RelationChains( const StructuralModel& model )
            {
                const auto ids = model_ids( model );
                const auto& relationships = model.relationships();
                // Outgoing answers first, so that relations are numbered in
                // the order of their "from" end.
                for( const auto& id : ids )
                {
                    add_outgoing( id, RelationKind::boundary,
                        relationships.incidences( id ) );
                    add_outgoing( id, RelationKind::internal,
                        relationships.embeddings( id ) );
                    add_outgoing( id, RelationKind::item,
                        relationships.collections( id ) );
                }
                for( const auto& id : ids )
                {
                    add_incoming( id, RelationKind::boundary,
                        relationships.boundaries( id ) );
                    add_incoming( id, RelationKind::internal,
                        relationships.internal_components( id ) );
                    add_incoming(
                        id, RelationKind::item, relationships.items( id ) );
                }
            }

            // The relations in a topological order of the chains, the
            // smallest number first among those that can come next.
            std::vector< RelationEntry > topological_order() const
            {
                const auto nb = relations_.size();
                std::vector< std::vector< index_t > > successors( nb );
                std::vector< index_t > nb_predecessors( nb, 0 );
                for( const auto& chain : chains_ )
                {
                    for( std::size_t link = 1; link < chain.size(); link++ )
                    {
                        successors[chain[link - 1]].push_back( chain[link] );
                        nb_predecessors[chain[link]]++;
                    }
                }
                std::priority_queue< index_t, std::vector< index_t >,
                    std::greater<> >
                    ready;
                for( index_t relation = 0; relation < nb; relation++ )
                {
                    if( nb_predecessors[relation] == 0 )
                    {
                        ready.push( relation );
                    }
                }
                std::vector< RelationEntry > order;
                order.reserve( nb );
                while( !ready.empty() )
                {
                    const auto relation = ready.top();
                    ready.pop();
                    order.push_back( relations_[relation] );
                    for( const auto next : successors[relation] )
                    {
                        if( --nb_predecessors[next] == 0 )
                        {
                            ready.push( next );
                        }
                    }
                }
                // The model added its relations in one order, which all
                // chains follow: they cannot form a cycle.
                TESSARK_EXCEPTION( order.size() == nb,
                    "[save_model] The relation queries of the model answer in "
                    "orders that contradict each other" );
                return order;
            }

        private:
            index_t number( const RelationKey& key )
            {
                const auto inserted = number_of_.try_emplace(
                    key, static_cast< index_t >( relations_.size() ) );
                if( inserted.second )
                {
                    relations_.push_back( { key.kind, key.from, key.to } );
                }
                return inserted.first->second;
            }

            void add_outgoing( const uuid& from, RelationKind kind,
                const std::vector< ComponentID >& answer )
            {
                std::vector< index_t > chain;
                for( const auto& to : answer )
                {
                    chain.push_back( number( { kind, from, to.id() } ) );
                }
                add_chain( std::move( chain ) );
            }

            void add_incoming( const uuid& to, RelationKind kind,
                const std::vector< ComponentID >& answer )
            {
                std::vector< index_t > chain;
                for( const auto& from : answer )
                {
                    chain.push_back( number( { kind, from.id(), to } ) );
                }
                add_chain( std::move( chain ) );
            }

            void add_chain( std::vector< index_t > chain )
            {
                if( chain.size() > 1 )
                {
                    chains_.push_back( std::move( chain ) );
                }
            }

            std::vector< RelationEntry > relations_;
            absl::flat_hash_map< RelationKey, index_t > number_of_;
            std::vector< std::vector< index_t > > chains_;
        };
    } // namespace

    std::vector< RelationEntry > ordered_relations(
        const StructuralModel& model )
    {
        return RelationChains{ model }.topological_order();
    }
} // namespace brevane::internal
