#pragma once

#include <filesystem>
#include <map>
#include <string>

#include <tessark/model/structural_model.h>

// Models and folders for the tests of model files.
namespace brevane::test
{
    // A fresh folder under the system's temporary folder, removed with
    // everything in it when the object goes.
    class TemporaryFolder
    {
    public:
        TemporaryFolder();
        ~TemporaryFolder();
        TemporaryFolder( const TemporaryFolder& ) = delete;
        TemporaryFolder& operator=( const TemporaryFolder& ) = delete;

        [[nodiscard]] const std::filesystem::path& path() const
        {
            return path_;
        }

    private:
        std::filesystem::path path_;
    };

    // A small model with something of everything a file must keep:
    // - two corners, two lines (one of two edges), a triangulated surface,
    //   a polygonal surface (a quadrangle and a pentagon), an empty surface,
    //   a block with one cell of each kind (tetrahedron, pyramid, prism,
    //   hexahedron, all positively oriented) and an empty block; a surface
    //   removed after creation leaves a gap in the order;
    // - collections of every kind, one of them nameless; names with quotes,
    //   "<", "&" and non-ASCII letters;
    // - boundary, internal and item relations added in an order no kind by
    //   kind replay gives back: the two triangulated surfaces list their
    //   collections in opposite orders, the line lists its incidences in the
    //   order opposite to that of the components;
    // - unique vertices bound in an order that is not the component order
    //   (a line vertex before a corner vertex), an unbound vertex, and a
    //   unique vertex bound to nothing.
    [[nodiscard]] StructuralModel every_kind_model();

    // The bytes of a file; empty when it cannot be read.
    [[nodiscard]] std::string read_file( const std::filesystem::path& file );

    // Writes the bytes as the whole content of the file.
    void write_file(
        const std::filesystem::path& file, const std::string& content );

    // What is in a folder and below it, by relative path: the bytes of
    // every regular file, "link to <target>" for a symbolic link, "folder"
    // for a folder and "special file" for anything else.
    [[nodiscard]] std::map< std::string, std::string > folder_contents(
        const std::filesystem::path& folder );

    // Saves the model in the folder as <name>.vtm and loads it back.
    [[nodiscard]] StructuralModel save_and_load( const StructuralModel& model,
        const TemporaryFolder& folder, const std::string& name = "model" );
} // namespace brevane::test
