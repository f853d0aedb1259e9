#include <pillar/varnholt_pillar_library.h>

#include <halven/background/background_surface_library.h>
#include <halven/conversion/model_conversion_library.h>
#include <halven/modifier/model_modifier_library.h>
#include <tessark/inspection/inspection_library.h>
#include <tessark/model/model_libraries.h>

namespace brevane
{
    namespace
    {
        // Registers one object of the type under the registration lock, then
        // initialises it outside the lock.
        template < typename LibraryType >
        void register_and_initialize( std::string_view name )
        {
            Library* library{ nullptr };
            {
                std::lock_guard< std::mutex > guard{ Singleton::lock() };
                library = static_cast< Library* >(
                    Singleton::instance( typeid( LibraryType ) ) );
                if( library == nullptr )
                {
                    auto created = std::make_unique< LibraryType >();
                    library = created.get();
                    Singleton::set_instance(
                        typeid( LibraryType ), std::move( created ) );
                }
            }
            library->call_initialize( name );
        }
    } // namespace

    VarnholtPillarLibrary::VarnholtPillarLibrary() = default;
    VarnholtPillarLibrary::~VarnholtPillarLibrary() = default;

    void VarnholtPillarLibrary::initialize()
    {
        register_and_initialize< VarnholtPillarLibrary >( "VarnholtPillar" );
    }

    void VarnholtPillarLibrary::do_initialize()
    {
        TessarkModelLibrary::initialize();
        TessarkStructuralModelLibrary::initialize();
        TessarkInspectionLibrary::initialize();
        HalvenCoreLibrary::initialize();
        ModelModifierLibrary::initialize();
        ModelConversionLibrary::initialize();
        BackgroundSurfaceLibrary::initialize();
    }

    HalvenCoreLibrary::HalvenCoreLibrary() = default;
    HalvenCoreLibrary::~HalvenCoreLibrary() = default;

    void HalvenCoreLibrary::initialize()
    {
        register_and_initialize< HalvenCoreLibrary >( "HalvenCore" );
    }

    void HalvenCoreLibrary::do_initialize() {}
} // namespace brevane
