#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tessark/basic/uuid.h>
#include <tessark/geometry/point.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane
{
    // The four records below share one shape: a description, the issues
    // found and one message per issue (same index). A moved-from record is
    // empty: no description, no issue, no message. string() writes
    // "no issues with <description>\n" when there is no issue, otherwise
    // "<count> issues with <description>" followed by "\n\t<message>" for
    // each message and a final "\n".

    // Top surfaces that fold over themselves in plan view.
    struct VARNHOLT_PILLAR_EXPORT MultiZInspectionResult
    {
        MultiZInspectionResult();
        MultiZInspectionResult( const MultiZInspectionResult& other );
        MultiZInspectionResult( MultiZInspectionResult&& other ) noexcept;
        MultiZInspectionResult& operator=( const MultiZInspectionResult& other );
        MultiZInspectionResult& operator=(
            MultiZInspectionResult&& other ) noexcept;
        ~MultiZInspectionResult();

        [[nodiscard]] std::uint32_t nb_issues() const;
        [[nodiscard]] std::string string() const;
        [[nodiscard]] std::string inspection_type() const;

        std::string description;
        std::vector< uuid > issues;
        std::vector< std::string > messages;
    };

    // Lines that stop inside the model.
    struct VARNHOLT_PILLAR_EXPORT LinesInspectionResult
    {
        LinesInspectionResult();
        LinesInspectionResult( const LinesInspectionResult& other );
        LinesInspectionResult( LinesInspectionResult&& other ) noexcept;
        LinesInspectionResult& operator=( const LinesInspectionResult& other );
        LinesInspectionResult& operator=(
            LinesInspectionResult&& other ) noexcept;
        ~LinesInspectionResult();

        [[nodiscard]] std::uint32_t nb_issues() const;
        [[nodiscard]] std::string string() const;
        [[nodiscard]] std::string inspection_type() const;

        std::string description;
        std::vector< uuid > issues;
        std::vector< std::string > messages;
    };

    // A side-boundary vertex off the topography border: where it should be
    // (x, y of its projection on the border, its own z), its plan-view
    // distance to the border, and its unique vertex.
    struct PointTooFarIssue
    {
        Point3D point;
        double distance{ 0 };
        std::uint32_t unique_vertex{ 0 };

        [[nodiscard]] bool operator==( const PointTooFarIssue& other ) const =
            default;
    };

    // Side-boundary vertices that do not stand on the topography border.
    struct VARNHOLT_PILLAR_EXPORT
        PointsTooFarFromTopographyBoundaryInspectionResult
    {
        PointsTooFarFromTopographyBoundaryInspectionResult();
        PointsTooFarFromTopographyBoundaryInspectionResult(
            const PointsTooFarFromTopographyBoundaryInspectionResult& other );
        PointsTooFarFromTopographyBoundaryInspectionResult(
            PointsTooFarFromTopographyBoundaryInspectionResult&& other ) noexcept;
        PointsTooFarFromTopographyBoundaryInspectionResult& operator=(
            const PointsTooFarFromTopographyBoundaryInspectionResult& other );
        PointsTooFarFromTopographyBoundaryInspectionResult& operator=(
            PointsTooFarFromTopographyBoundaryInspectionResult&& other ) noexcept;
        ~PointsTooFarFromTopographyBoundaryInspectionResult();

        [[nodiscard]] std::uint32_t nb_issues() const;
        [[nodiscard]] std::string string() const;
        [[nodiscard]] std::string inspection_type() const;

        std::string description;
        std::vector< PointTooFarIssue > issues;
        std::vector< std::string > messages;
    };

    // Surfaces tagged neither as horizon, fault nor model boundary.
    struct VARNHOLT_PILLAR_EXPORT SurfacesCollectionInspectionResult
    {
        SurfacesCollectionInspectionResult();
        SurfacesCollectionInspectionResult(
            const SurfacesCollectionInspectionResult& other );
        SurfacesCollectionInspectionResult(
            SurfacesCollectionInspectionResult&& other ) noexcept;
        SurfacesCollectionInspectionResult& operator=(
            const SurfacesCollectionInspectionResult& other );
        SurfacesCollectionInspectionResult& operator=(
            SurfacesCollectionInspectionResult&& other ) noexcept;
        ~SurfacesCollectionInspectionResult();

        [[nodiscard]] std::uint32_t nb_issues() const;
        [[nodiscard]] std::string string() const;
        [[nodiscard]] std::string inspection_type() const;

        std::string description;
        std::vector< uuid > issues;
        std::vector< std::string > messages;
    };

    // The four inspection records of one inspection.
    struct PillarStructuralModelInspectionResult
    {
        MultiZInspectionResult multi_z;
        LinesInspectionResult lines;
        PointsTooFarFromTopographyBoundaryInspectionResult points_too_far;
        SurfacesCollectionInspectionResult surfaces_collection;
        // A digest of the geometry the inspection saw, so that the repair
        // can refuse an inspection of the model as it was before a change;
        // 0 for a record no inspection made.
        std::uint64_t model_fingerprint{ 0 };
        // What makes the model unusable by any build as the builder was
        // given it (a wrong top or bottom list, points that are not finite
        // or not shared...), one line each; a build refuses such a model
        // before anything else, and the repair refuses such an inspection.
        std::vector< std::string > input_problems;

        // The four reports, in member order, each ending with a line break.
        [[nodiscard]] std::string string() const
        {
            return multi_z.string() + lines.string() + points_too_far.string()
                   + surfaces_collection.string();
        }
    };
} // namespace brevane
