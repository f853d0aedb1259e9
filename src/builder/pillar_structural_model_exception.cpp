#include <pillar/pillar_structural_model_exception.h>

namespace brevane
{
    PillarStructuralModelException::PillarStructuralModelException(
        PillarStructuralModelInspectionResult result )
        : TessarkDataException{ "Pillar model construction is not possible." },
          inspection_result( std::move( result ) )
    {
    }

    PillarStructuralModelException::~PillarStructuralModelException() = default;
} // namespace brevane
