#pragma once

#include <halven/metric/grid_metric.h>
#include <tessark/search/regular_grid.h>

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
} // namespace brevane::internal
