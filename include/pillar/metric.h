#pragma once

#include <memory>

#include <tessark/search/regular_grid.h>

namespace brevane::internal
{
    // The plan view's size field: a regular grid over the top surface and
    // the target edge length in each of its cells. Move-only; the grid is
    // held by pointer so that the field defined on it stays valid when the
    // record moves.
    struct Metric
    {
        std::unique_ptr< LightRegularGrid< 2 > > grid;
    };
} // namespace brevane::internal
