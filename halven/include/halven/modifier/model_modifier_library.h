#pragma once

#include <tessark/basic/library.h>

namespace brevane
{
    // Registration object of the model-modifier library.
    class ModelModifierLibrary : public Library
    {
    public:
        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
