#pragma once

#include <array>
#include <string_view>

#include <absl/types/span.h>

#include <tessark/geometry/point.h>
#include <tessark/model/structural_model_builder.h>

namespace brevane
{
    // New components with their meshes, under the given uuid and name;
    // binding their vertices to unique vertices is left to the caller.

    // A corner at the point.
    [[nodiscard]] uuid add_point_corner( StructuralModelBuilder& builder,
        const uuid& id, std::string_view name, const Point3D& point );

    // A line through the points, one edge between each two consecutive
    // ones.
    [[nodiscard]] uuid add_polyline( StructuralModelBuilder& builder,
        const uuid& id, std::string_view name,
        absl::Span< const Point3D > points );

    // A triangulated surface, with every triangle reversed when flip is set,
    // and its polygon adjacencies.
    [[nodiscard]] uuid add_triangulated_surface(
        StructuralModelBuilder& builder, const uuid& id, std::string_view name,
        absl::Span< const Point3D > points,
        absl::Span< const std::array< index_t, 3 > > triangles, bool flip );
} // namespace brevane
