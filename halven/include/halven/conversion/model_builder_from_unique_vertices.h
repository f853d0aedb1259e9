#pragma once

#include <memory>
#include <vector>

#include <tessark/model/brep.h>

namespace brevane
{
    struct ModelBuildTopologyParameters
    {
        // false (the default): every existing line and corner is removed and
        // the rebuilt ones are created anew. true: an existing line whose
        // edges (as unique-vertex pairs) are exactly those of a rebuilt line,
        // and an existing corner on the unique vertex of a rebuilt corner,
        // are kept with their uuid, name, collections and mesh; the others
        // are removed.
        bool keep_matching_components{ false };
    };

    // What update_model created.
    struct BRepMappings
    {
        std::vector< uuid > created_lines;
        std::vector< uuid > created_corners;
    };

    // Rebuilds the lines and corners of a model from its surface meshes and
    // their unique vertices. A line is a maximal chain of surface edges
    // shared by the same surfaces, each seeing the edge on its border or
    // inside: every edge on a surface border, or shared by two or more
    // surfaces, belongs to exactly one line. Chains are cut at corners: the
    // unique vertices where the number of line edges is not two, or where
    // two line edges of different surface sets meet. A chain without corner
    // is a closed line. Line and corner meshes are bound to the same unique
    // vertices as the surfaces. Relations: corner-line boundaries at line
    // ends; line-surface boundaries where the surface sees the edges on its
    // border, internal relations where it sees them inside; corner-surface
    // internal relations where the corner is an inner vertex of a surface.
    // Blocks and their relations stay as they are. Results are
    // deterministic: lines and corners are created in the order in which
    // surfaces (model order), polygons and edges first reach them.
    template < typename Model >
    class ModelBuilderFromUniqueVertices
    {
    public:
        ModelBuilderFromUniqueVertices(
            Model& model, ModelBuildTopologyParameters parameters );
        ~ModelBuilderFromUniqueVertices();

        BRepMappings update_model();

    private:
        class Impl;
        std::unique_ptr< Impl > impl_;
    };
} // namespace brevane
