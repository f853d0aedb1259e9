#include <iostream>

#include <tessark/basic/core_library.h>
#include <tessark/basic/singleton.h>
#include <tessark/basic/version.h>

// The main job. For now it initialises the framework and reports its state.
int main()
{
    brevane::TessarkCoreLibrary::initialize();
    bool ready{ false };
    {
        std::lock_guard< std::mutex > guard{ brevane::Singleton::lock() };
        const auto* library = brevane::Singleton::instance(
            typeid( brevane::TessarkCoreLibrary ) );
        ready = library != nullptr
                && static_cast< const brevane::TessarkCoreLibrary* >( library )
                       ->is_initialized();
    }
    std::cout << "brevane " << brevane::tessark_version() << "\n"
              << "tessark core: " << ( ready ? "ready" : "not initialised" )
              << "\n";
    return ready ? 0 : 1;
}
