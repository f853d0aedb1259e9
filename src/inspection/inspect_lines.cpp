#include <pillar/input_inspections.h>

namespace brevane
{
    LinesInspectionResult internal::inspect_lines(
        const StructuralModel& model )
    {
        // A line that bounds a single surface and lies inside none stops
        // within the model. A line bounding no surface at all is not one of
        // them: it takes no part in the surfaces' topology.
        LinesInspectionResult result;
        for( const auto& line : model.lines() )
        {
            const auto& id = line.id();
            if( model.nb_embedding_surfaces( id ) == 0
                && model.nb_incidences( id ) == 1 )
            {
                result.issues.push_back( id );
                result.messages.push_back( concatenate( "Line ", id.string(),
                    " is not crossing the entire model" ) );
            }
        }
        return result;
    }
} // namespace brevane
