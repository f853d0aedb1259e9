#pragma once

#include <tessark/basic/library.h>

#include <pillar/varnholt_pillar_export.h>

namespace brevane
{
    // Registration object of this library. Hosts call initialize() once
    // before building models; it registers the library (one object per
    // process, even under concurrent first calls) and initialises, in order,
    // the framework's model, structural-model and inspection libraries, the
    // companion core, model-modifier, model-conversion and background-surface
    // libraries.
    class VARNHOLT_PILLAR_EXPORT VarnholtPillarLibrary : public Library
    {
    public:
        VarnholtPillarLibrary();
        ~VarnholtPillarLibrary() override;

        static void initialize();

    private:
        void do_initialize() override;
    };

    // Registration object of the companion core library; it has nothing of
    // its own to initialise.
    class VARNHOLT_PILLAR_EXPORT HalvenCoreLibrary : public Library
    {
    public:
        HalvenCoreLibrary();
        ~HalvenCoreLibrary() override;

        static void initialize();

    private:
        void do_initialize() override;
    };
} // namespace brevane
