#pragma once

#include <filesystem>

#include <io/safe_files.h>

#include "model_file_layout.h"

namespace brevane::internal
{
    // The folder "<stem>_files" of a model being saved: the files are
    // written into a fresh folder beside it, which replaces the folder of
    // the previous model (if any) only once every file is complete. The
    // previous folder is checked first: it must be a folder holding
    // regular files only, so that nothing is written through or over a
    // symbolic link or a special file. Destroyed without commit (after an
    // error), the fresh folder is removed and the previous model is left as
    // it was.
    class ModelFolderReplacement
    {
    public:
        explicit ModelFolderReplacement( const ModelFileLayout& layout );
        ModelFolderReplacement( const ModelFolderReplacement& ) = delete;
        ModelFolderReplacement& operator=(
            const ModelFolderReplacement& ) = delete;
        ~ModelFolderReplacement();

        // Where the files go until commit.
        [[nodiscard]] const std::filesystem::path& staging() const
        {
            return staging_;
        }

        // Puts the fresh folder in place of the previous one, then the
        // multiblock file (written completely beforehand) in place of the
        // previous one; when that last step fails, the previous folder is
        // put back.
        void commit( FileReplacement& multiblock );

    private:
        const ModelFileLayout& layout_;
        std::filesystem::path staging_;
        bool committed_{ false };
    };
} // namespace brevane::internal
