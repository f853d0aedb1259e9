#pragma once

#include <tessark/model/brep_builder.h>
#include <tessark/model/structural_model.h>

namespace brevane
{
    // BRepBuilder plus the horizon, fault and fault-block collections.
    class StructuralModelBuilder : public BRepBuilder
    {
    public:
        explicit StructuralModelBuilder( StructuralModel& model );

        const uuid& add_horizon();
        const uuid& add_fault();
        const uuid& add_fault_block();
        // Under the caller's uuid; throws a TessarkException naming the uuid
        // and its holder when the model already uses it.
        const uuid& add_horizon( const uuid& id );
        const uuid& add_fault( const uuid& id );
        const uuid& add_fault_block( const uuid& id );
        void add_surface_in_horizon(
            const Surface< 3 >& surface, const Collection& horizon );
        void add_surface_in_fault(
            const Surface< 3 >& surface, const Collection& fault );
        void add_block_in_fault_block(
            const Block< 3 >& block, const Collection& fault_block );
        void remove_horizon( const Collection& horizon );
        void remove_fault( const Collection& fault );
        void remove_fault_block( const Collection& fault_block );

    private:
        StructuralModel& model_;
    };
} // namespace brevane
