#include <pillar/pillar_structural_model_inspection_result.h>

#include <tessark/basic/string_concatenation.h>

namespace brevane
{
    namespace
    {
        std::string report( const std::string& description,
            std::uint32_t nb_issues,
            const std::vector< std::string >& messages )
        {
            if( nb_issues == 0 )
            {
                return concatenate( "no issues with ", description, "\n" );
            }
            auto text = concatenate( nb_issues, " issues with ", description );
            for( const auto& message : messages )
            {
                append( &text, "\n\t", message );
            }
            text.push_back( '\n' );
            return text;
        }

        // Moves every member and leaves the source empty, description
        // included, whatever the standard library does with moved strings.
        template < typename Record >
        void move_members( Record& to, Record& from ) noexcept
        {
            if( &to == &from )
            {
                return;
            }
            to.description = std::move( from.description );
            to.issues = std::move( from.issues );
            to.messages = std::move( from.messages );
            from.description.clear();
            from.issues.clear();
            from.messages.clear();
        }

        template < typename Record >
        std::uint32_t count( const Record& record )
        {
            return static_cast< std::uint32_t >( record.issues.size() );
        }
    } // namespace

    MultiZInspectionResult::MultiZInspectionResult()
        : description{ "Multi z configurations." }
    {
    }
    MultiZInspectionResult::MultiZInspectionResult(
        const MultiZInspectionResult& ) = default;
    MultiZInspectionResult::MultiZInspectionResult(
        MultiZInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
    }
    MultiZInspectionResult& MultiZInspectionResult::operator=(
        const MultiZInspectionResult& ) = default;
    MultiZInspectionResult& MultiZInspectionResult::operator=(
        MultiZInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
        return *this;
    }
    MultiZInspectionResult::~MultiZInspectionResult() = default;
    std::uint32_t MultiZInspectionResult::nb_issues() const
    {
        return count( *this );
    }
    std::string MultiZInspectionResult::string() const
    {
        return report( description, nb_issues(), messages );
    }
    std::string MultiZInspectionResult::inspection_type() const
    {
        return "Multi z surfaces inspection";
    }

    LinesInspectionResult::LinesInspectionResult()
        : description{ "Lines not crossing the entire model." }
    {
    }
    LinesInspectionResult::LinesInspectionResult(
        const LinesInspectionResult& ) = default;
    LinesInspectionResult::LinesInspectionResult(
        LinesInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
    }
    LinesInspectionResult& LinesInspectionResult::operator=(
        const LinesInspectionResult& ) = default;
    LinesInspectionResult& LinesInspectionResult::operator=(
        LinesInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
        return *this;
    }
    LinesInspectionResult::~LinesInspectionResult() = default;
    std::uint32_t LinesInspectionResult::nb_issues() const
    {
        return count( *this );
    }
    std::string LinesInspectionResult::string() const
    {
        return report( description, nb_issues(), messages );
    }
    std::string LinesInspectionResult::inspection_type() const
    {
        return "Lines inspection";
    }

    PointsTooFarFromTopographyBoundaryInspectionResult::
        PointsTooFarFromTopographyBoundaryInspectionResult()
        : description{ "Points too far from topography boundaries." }
    {
    }
    PointsTooFarFromTopographyBoundaryInspectionResult::
        PointsTooFarFromTopographyBoundaryInspectionResult(
            const PointsTooFarFromTopographyBoundaryInspectionResult& ) =
            default;
    PointsTooFarFromTopographyBoundaryInspectionResult::
        PointsTooFarFromTopographyBoundaryInspectionResult(
            PointsTooFarFromTopographyBoundaryInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
    }
    PointsTooFarFromTopographyBoundaryInspectionResult&
        PointsTooFarFromTopographyBoundaryInspectionResult::operator=(
            const PointsTooFarFromTopographyBoundaryInspectionResult& ) =
            default;
    PointsTooFarFromTopographyBoundaryInspectionResult&
        PointsTooFarFromTopographyBoundaryInspectionResult::operator=(
            PointsTooFarFromTopographyBoundaryInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
        return *this;
    }
    PointsTooFarFromTopographyBoundaryInspectionResult::
        ~PointsTooFarFromTopographyBoundaryInspectionResult() = default;
    std::uint32_t
        PointsTooFarFromTopographyBoundaryInspectionResult::nb_issues() const
    {
        return count( *this );
    }
    std::string PointsTooFarFromTopographyBoundaryInspectionResult::string() const
    {
        return report( description, nb_issues(), messages );
    }
    std::string
        PointsTooFarFromTopographyBoundaryInspectionResult::inspection_type() const
    {
        return "Different horizon boundaries size inspection";
    }

    SurfacesCollectionInspectionResult::SurfacesCollectionInspectionResult()
        : description{ "Surfaces not tagged as faults or as horizons." }
    {
    }
    SurfacesCollectionInspectionResult::SurfacesCollectionInspectionResult(
        const SurfacesCollectionInspectionResult& ) = default;
    SurfacesCollectionInspectionResult::SurfacesCollectionInspectionResult(
        SurfacesCollectionInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
    }
    SurfacesCollectionInspectionResult&
        SurfacesCollectionInspectionResult::operator=(
            const SurfacesCollectionInspectionResult& ) = default;
    SurfacesCollectionInspectionResult&
        SurfacesCollectionInspectionResult::operator=(
            SurfacesCollectionInspectionResult&& other ) noexcept
    {
        move_members( *this, other );
        return *this;
    }
    SurfacesCollectionInspectionResult::~SurfacesCollectionInspectionResult() =
        default;
    std::uint32_t SurfacesCollectionInspectionResult::nb_issues() const
    {
        return count( *this );
    }
    std::string SurfacesCollectionInspectionResult::string() const
    {
        return report( description, nb_issues(), messages );
    }
    std::string SurfacesCollectionInspectionResult::inspection_type() const
    {
        return "Surfaces collection inspection";
    }
} // namespace brevane
