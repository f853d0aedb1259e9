#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the background-surface library (background
    // surfaces, their modifier and inserter, grid metrics).
    class BackgroundSurfaceLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane

namespace brevane::internal
{
    using BackgroundSurfaceLibrary = brevane::BackgroundSurfaceLibrary;
} // namespace brevane::internal
