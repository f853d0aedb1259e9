#include <pillar/repair_pillar_model_input.h>

#include <tessark/model/structural_model_builder.h>

#include <halven/modifier/brep_geometric_modifier.h>

#include "inspection/model_fingerprint.h"

namespace brevane
{
    void repair_pillar_model_input( StructuralModel& model,
        const PillarStructuralModelInspectionResult& result )
    {
        TESSARK_EXCEPTION( result.model_fingerprint == 0
                               || result.model_fingerprint
                                      == internal::model_fingerprint( model ),
            "[repair_pillar_model_input] The inspection is not of the model "
            "as it is now: the model changed since (a build, a repair, an "
            "edit). Inspect it again and repair with that inspection." );
        TESSARK_EXCEPTION( result.input_problems.empty(),
            "[repair_pillar_model_input] The inspection was made of a model "
            "no build can use as given, so its side vertices may be off the "
            "wrong border: ",
            result.input_problems.front() );
        const auto& issues = result.points_too_far.issues;
        for( std::size_t issue = 0; issue < issues.size(); issue++ )
        {
            TESSARK_EXCEPTION(
                issues[issue].unique_vertex < model.nb_unique_vertices(),
                "[repair_pillar_model_input] Issue ", issue,
                " names unique vertex ", issues[issue].unique_vertex,
                ", but the model has ", model.nb_unique_vertices(),
                " unique vertices" );
        }
        StructuralModelBuilder builder{ model };
        BRepGeometricModifier modifier{ model, builder };
        for( const auto& issue : issues )
        {
            modifier.move_point( issue.unique_vertex, issue.point );
        }
    }
} // namespace brevane
