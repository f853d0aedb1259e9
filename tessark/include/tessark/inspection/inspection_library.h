#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the model inspection library.
    class TessarkInspectionLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
