#pragma once

#include <tessark/basic/tessark_exception.h>

#include <pillar/pillar_structural_model_inspection_result.h>

namespace brevane
{
    // Thrown by a build that refuses the model; carries the inspection that
    // made it refuse. The message is "Pillar model construction is not
    // possible." followed by the checks that found issues, each as
    // "<count> issues with <description>".
    class VARNHOLT_PILLAR_EXPORT PillarStructuralModelException
        : public TessarkDataException
    {
    public:
        explicit PillarStructuralModelException(
            PillarStructuralModelInspectionResult result );
        ~PillarStructuralModelException() override;

        PillarStructuralModelInspectionResult inspection_result;
    };
} // namespace brevane
