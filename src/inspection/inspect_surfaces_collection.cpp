#include <pillar/input_inspections.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace brevane
{
    namespace
    {
        // The collection types that place a surface in the pillar model.
        bool is_placing_collection( const ComponentID& collection )
        {
            static constexpr std::array< std::string_view, 3 > placing{
                "ModelBoundary", "Horizon", "Fault"
            };
            return std::find(
                       placing.begin(), placing.end(), collection.type().get() )
                   != placing.end();
        }
    } // namespace

    SurfacesCollectionInspectionResult internal::inspect_surfaces_collection(
        const StructuralModel& model )
    {
        SurfacesCollectionInspectionResult result;
        for( const auto& surface : model.surfaces() )
        {
            const auto collections = model.collections( surface.id() );
            if( std::any_of( collections.begin(), collections.end(),
                    is_placing_collection ) )
            {
                continue;
            }
            result.issues.push_back( surface.id() );
            result.messages.push_back(
                concatenate( "Surface with name ", surface.name(),
                    " is neither tagged as a fault nor as a horizon" ) );
        }
        return result;
    }
} // namespace brevane
