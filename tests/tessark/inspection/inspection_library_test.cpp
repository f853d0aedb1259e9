#include <gtest/gtest.h>

#include <tessark/basic/core_library.h>
#include <tessark/inspection/inspection_library.h>
#include <tessark/model/model_libraries.h>

namespace brevane
{
    TEST( FrameworkLibraries, initialise_their_dependencies_once )
    {
        TessarkInspectionLibrary::initialize();
        TessarkInspectionLibrary::initialize();
        std::lock_guard< std::mutex > guard{ Singleton::lock() };
        for( const auto& type : { std::type_index{ typeid( TessarkCoreLibrary ) },
                 std::type_index{ typeid( TessarkModelLibrary ) },
                 std::type_index{ typeid( TessarkStructuralModelLibrary ) },
                 std::type_index{ typeid( TessarkInspectionLibrary ) } } )
        {
            const auto* library =
                static_cast< const Library* >( Singleton::instance( type ) );
            ASSERT_NE( library, nullptr ) << type.name();
            EXPECT_TRUE( library->is_initialized() ) << type.name();
        }
    }
} // namespace brevane
