#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the boundary-representation model library.
    class TessarkModelLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };

    // Registration object of the structural-model library.
    class TessarkStructuralModelLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
