#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the framework's core (basic services, geometry,
    // meshes and search structures). Hosts call initialize() once before
    // using the framework; later calls do nothing.
    class TessarkCoreLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
