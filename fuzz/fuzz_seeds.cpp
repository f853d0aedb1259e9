// Writes the TSurf files and the TSurf description of a saved model, as
// seeds of the TSurf corpora: fuzz_seeds <model.vtm> <folder>.
#include <iostream>

#include <io/model_file.h>
#include <io/tsurf_model_export.h>

int main( int argc, char** argv )
{
    if( argc != 3 )
    {
        std::cerr << "usage: fuzz_seeds <model.vtm> <folder>\n";
        return 2;
    }
    try
    {
        static_cast< void >( brevane::export_tsurf_model(
            brevane::load_model( argv[1] ), argv[2] ) );
    }
    catch( const std::exception& error )
    {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
