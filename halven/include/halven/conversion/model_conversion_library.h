#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the model-conversion library.
    class ModelConversionLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
