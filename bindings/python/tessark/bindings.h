#pragma once

#include <pybind11/pybind11.h>

#include "model_handles.h"

// The pieces of the tessark Python module, one function per topic, called in
// this order when the module is imported: a topic only uses the types of the
// topics before it.
namespace brevane::python
{
    // The exception classes and the translation of the library's errors.
    void bind_errors( pybind11::module_& module );
    // uuid, ComponentID and ComponentMeshVertex.
    void bind_identifiers( pybind11::module_& module );
    // The mesh handles and their numpy arrays.
    void bind_meshes( pybind11::module_& module );
    // StructuralModel, its components and collections.
    void bind_model( pybind11::module_& module );
    // Unique vertices, one at a time and in bulk, and block volumes.
    void bind_model_geometry(
        pybind11::class_< StructuralModel, ModelPointer >& model_class );
    // The sample-model factory.
    void bind_factory( pybind11::module_& module );
    // The model validator, model files, model comparison and TSurf files.
    void bind_files( pybind11::module_& module );
    // to_meshio of surface and solid meshes and of whole models.
    void bind_meshio( pybind11::module_& module );

    // The position of a component mesh vertex.
    [[nodiscard]] const Point3D& component_point(
        const StructuralModel& model, const ComponentMeshVertex& vertex );

    // The Python object of the component's mesh: the handle of the most
    // derived mesh kind it has now.
    [[nodiscard]] pybind11::object mesh_object(
        const ModelPointer& model, const ComponentID& component );
} // namespace brevane::python
