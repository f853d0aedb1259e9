#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <tessark/model/component_type.h>

// The description of a saved model, "model.json": what the VTK files do not
// hold (uuids, names, mesh kinds, relations, collections, the number of
// unique vertices).
namespace brevane::internal
{
    inline constexpr std::string_view MODEL_FILE_FORMAT = "brevane-model";
    inline constexpr std::int64_t MODEL_FILE_VERSION = 1;

    // The kinds of component meshes a model file holds.
    enum struct MeshKind : std::uint8_t
    {
        point_set,
        edged_curve,
        triangulated_surface,
        polygonal_surface,
        hybrid_solid
    };

    // "PointSet", "EdgedCurve", "TriangulatedSurface", "PolygonalSurface",
    // "HybridSolid".
    [[nodiscard]] std::string_view mesh_kind_name( MeshKind kind );

    enum struct RelationKind : std::uint8_t
    {
        boundary,
        internal,
        item
    };

    struct ComponentEntry
    {
        ComponentType kind;
        uuid id;
        std::string name;
        MeshKind mesh;
        // The mesh file, in the folder of the description.
        std::string file;
    };

    struct CollectionEntry
    {
        ComponentType kind;
        uuid id;
        std::string name;
    };

    // A boundary bounds, an internal component is embedded in, an item
    // belongs to: from -> to.
    struct RelationEntry
    {
        RelationKind kind;
        uuid from;
        uuid to;
    };

    // Components and collections are listed kind by kind, each kind in the
    // model's order; relations in an order that gives back the order of
    // every relation query of the model (see model_file_relation_order).
    struct ModelDescription
    {
        std::vector< ComponentEntry > components;
        std::vector< CollectionEntry > collections;
        std::vector< RelationEntry > relations;
        index_t nb_unique_vertices{ 0 };
    };

    // Written under a temporary name then renamed (see FileReplacement);
    // throws a TessarkException naming the file when it cannot be written.
    void write_description( const ModelDescription& description,
        const std::filesystem::path& file );

    // Reads and checks a description: format and version, the fields of
    // every entry, kinds and mesh kinds that go together, uuids that are
    // unique and that every relation refers to, relations between kinds a
    // model can relate, plain file names. Throws a TessarkException naming
    // the file and the faulty entry.
    [[nodiscard]] ModelDescription read_description(
        const std::filesystem::path& file );

    // The same, from the text of a description; file stands for it in
    // messages.
    [[nodiscard]] ModelDescription parse_description(
        std::string_view text, const std::filesystem::path& file );
} // namespace brevane::internal
