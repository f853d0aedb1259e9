#pragma once

#include <memory>

namespace brevane
{
    class StructuralModel;

    // What it takes to put a structural model back as it was, taken just
    // before its meshes are rebuilt, without a deep copy of the model.
    //
    // Taking it moves the meshes of the surfaces and blocks out of the model,
    // leaving each component an empty mesh of the same kind and no unique
    // vertices; the corners and lines (small meshes) are left in the model as
    // copies while the snapshot keeps the original objects. `restore` puts
    // back the same corner, line, surface, block and collection objects, with
    // their meshes, names, relations and unique vertices, in their order;
    // what was added since is dropped. Dropping the snapshot without a
    // restore keeps the model as it is, and frees the old meshes.
    class ModelSnapshot
    {
    public:
        explicit ModelSnapshot( StructuralModel& model );
        ~ModelSnapshot();
        ModelSnapshot( const ModelSnapshot& ) = delete;
        ModelSnapshot& operator=( const ModelSnapshot& ) = delete;

        // Puts the model back as it was when the snapshot was taken. A
        // snapshot restores once; a second call throws.
        void restore();

    private:
        struct Impl;
        StructuralModel& model_;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane
