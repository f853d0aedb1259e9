#pragma once

#include <tessark/model/brep.h>

namespace brevane
{
    // A boundary representation whose surfaces are tagged by collections:
    // horizons, faults, and fault blocks (collections of blocks), beside the
    // model boundaries and generic surface collections of BRep.
    class StructuralModel : public BRep
    {
    public:
        StructuralModel();
        ~StructuralModel() override;
        StructuralModel( StructuralModel&& ) noexcept;
        StructuralModel& operator=( StructuralModel&& ) noexcept;

        [[nodiscard]] const ComponentSet< Collection >& horizons() const
        {
            return horizons_;
        }
        [[nodiscard]] const ComponentSet< Collection >& faults() const
        {
            return faults_;
        }
        [[nodiscard]] const ComponentSet< Collection >& fault_blocks() const
        {
            return fault_blocks_;
        }
        [[nodiscard]] index_t nb_horizons() const
        {
            return horizons_.size();
        }
        [[nodiscard]] index_t nb_faults() const
        {
            return faults_.size();
        }
        [[nodiscard]] index_t nb_fault_blocks() const
        {
            return fault_blocks_.size();
        }
        [[nodiscard]] bool has_horizon( const uuid& id ) const
        {
            return horizons_.contains( id );
        }
        [[nodiscard]] bool has_fault( const uuid& id ) const
        {
            return faults_.contains( id );
        }
        // A deep copy: the same components, collections, relations and
        // unique vertices under the same uuids and names, each mesh cloned
        // with its transferable attributes. Throws a TessarkException naming
        // a component whose mesh is of a kind that cannot be cloned.
        [[nodiscard]] StructuralModel clone() const;

        [[nodiscard]] const Collection& horizon( const uuid& id ) const;
        [[nodiscard]] const Collection& fault( const uuid& id ) const;
        [[nodiscard]] const Collection& fault_block( const uuid& id ) const;

        // The surfaces of a horizon or a fault, in insertion order.
        [[nodiscard]] std::vector< ComponentID > horizon_items(
            const Collection& horizon ) const
        {
            return items( horizon.id() );
        }
        [[nodiscard]] std::vector< ComponentID > fault_items(
            const Collection& fault ) const
        {
            return items( fault.id() );
        }
        [[nodiscard]] std::vector< ComponentID > fault_block_items(
            const Collection& fault_block ) const
        {
            return items( fault_block.id() );
        }

    private:
        friend class StructuralModelBuilder;
        friend class ModelSnapshot;

        [[nodiscard]] Identifier* find_identifier( const uuid& id ) override;

        ComponentSet< Collection > horizons_{ "Horizon" };
        ComponentSet< Collection > faults_{ "Fault" };
        ComponentSet< Collection > fault_blocks_{ "FaultBlock" };
    };
} // namespace brevane
