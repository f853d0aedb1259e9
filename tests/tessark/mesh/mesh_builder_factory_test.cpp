#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/graph_builder.h>
#include <tessark/mesh/mesh_builder_factory.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane
{
    namespace
    {
        // A triangle surface claiming another implementation key.
        class RelabelledSurface : public TriangulatedSurface3D
        {
        public:
            explicit RelabelledSurface( std::string key )
                : key_( std::move( key ) )
            {
            }

            [[nodiscard]] std::string_view impl_name() const override
            {
                return key_;
            }

        private:
            std::string key_;
        };

        template < typename Call >
        std::string error_message( const Call& call )
        {
            try
            {
                call();
            }
            catch( const TessarkException& error )
            {
                return error.what();
            }
            return "no error";
        }
    } // namespace

    TEST( MeshBuilderFactory, builds_the_registered_builder_of_each_mesh )
    {
        auto triangles = TriangulatedSurface3D::create();
        EXPECT_NE(
            TriangulatedSurfaceBuilder3D::create( *triangles ), nullptr );
        EXPECT_NE( dynamic_cast< TriangulatedSurfaceBuilder3D* >(
                       SurfaceMeshBuilder3D::create( *triangles ).get() ),
            nullptr );
        auto polygons = PolygonalSurface2D::create();
        EXPECT_NE( PolygonalSurfaceBuilder2D::create( *polygons ), nullptr );
        auto curve = EdgedCurve3D::create();
        EXPECT_NE( dynamic_cast< EdgedCurveBuilder3D* >(
                       GraphBuilder::create( *curve ).get() ),
            nullptr );
        EXPECT_TRUE(
            MeshBuilderFactory::has_creator( "TessarkTriangulatedSurface2D" ) );
    }

    TEST(
        MeshBuilderFactory, names_the_key_when_the_builder_kind_does_not_match )
    {
        RelabelledSurface surface{ "TessarkPolygonalSurface3D" };
        EXPECT_EQ(
            error_message(
                [&surface]
                {
                    static_cast< void >(
                        TriangulatedSurfaceBuilder3D::create( surface ) );
                } ),
            "Cannot create mesh builder with key: TessarkPolygonalSurface3D" );
        auto curve = EdgedCurve2D::create();
        RelabelledSurface curve_key{ std::string{ curve->impl_name() } };
        EXPECT_EQ( error_message(
                       [&curve_key]
                       {
                           static_cast< void >(
                               SurfaceMeshBuilder3D::create( curve_key ) );
                       } ),
            "Cannot create mesh builder with key: TessarkEdgedCurve2D" );
    }

    TEST( MeshBuilderFactory, names_the_key_when_no_builder_is_registered )
    {
        RelabelledSurface surface{ "UnknownSurface" };
        EXPECT_FALSE( MeshBuilderFactory::has_creator( "UnknownSurface" ) );
        EXPECT_EQ(
            error_message(
                [&surface]
                {
                    static_cast< void >(
                        TriangulatedSurfaceBuilder3D::create( surface ) );
                } ),
            "Cannot create mesh builder with key: UnknownSurface" );
    }

    TEST( MeshBuilderFactory, accepts_builders_registered_for_new_keys )
    {
        RelabelledSurface surface{ "RelabelledTriangles" };
        MeshBuilderFactory::register_creator( "RelabelledTriangles",
            MeshBuilderFactory::creator< TriangulatedSurface3D,
                TriangulatedSurfaceBuilder3D >() );
        auto builder = TriangulatedSurfaceBuilder3D::create( surface );
        builder->create_point( Point3D{ { 0, 0, 0 } } );
        EXPECT_EQ( surface.nb_vertices(), 1 );
    }
} // namespace brevane
