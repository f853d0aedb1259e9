#pragma once

#include <halven/metric/grid_metric.h>
#include <tessark/mesh/surface_mesh.h>
#include <tessark/search/regular_grid.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane::internal
{
    // The plan view's size field: a regular grid over the top surface and
    // the target edge length in each of its cells. Move-only.
    struct Metric
    {
        Metric( LightRegularGrid< 2 > grid_in, double default_value )
            : grid( std::move( grid_in ) ), grid_metric( grid, default_value )
        {
        }
        Metric( Metric&& ) = default;
        Metric& operator=( Metric&& ) = default;
        Metric( const Metric& ) = delete;
        Metric& operator=( const Metric& ) = delete;

        LightRegularGrid< 2 > grid;
        GridMetric< 2 > grid_metric;
    };

    // The size field of a plan view, from its own edges: a grid of cells of
    // the shortest edge length (at most 10,000,000 cells), every cell at the
    // mean edge length, then each edge painted with its length (the
    // smallest value wins), then graded so that the target length grows by
    // at most 1.2 from cell to cell. Throws a TessarkException when the
    // surface has no edge.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT Metric create_top_surface_metric(
        const SurfaceMesh< 2 >& surface );
} // namespace brevane::internal
