#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/model/structural_model_builder.h>

namespace brevane
{
    namespace
    {
        // One kind of component or collection that can be created under a
        // given uuid, with the queries that find it.
        struct Kind
        {
            std::string name;
            std::function< const uuid&( StructuralModelBuilder&, const uuid& ) >
                add;
            std::function< bool( const StructuralModel&, const uuid& ) > has;
            std::function< index_t( const StructuralModel& ) > count;
        };

        std::vector< Kind > kinds()
        {
            return {
                { "Corner",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_corner( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_corner( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_corners();
                    } },
                { "Line",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_line( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_line( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_lines();
                    } },
                { "Surface",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_surface( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_surface( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_surfaces();
                    } },
                { "Surface",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_surface(
                            id, PolygonalSurface< 3 >::create() );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_surface( id )
                               && model.surface( id ).mesh().impl_name()
                                      == "TessarkPolygonalSurface3D";
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_surfaces();
                    } },
                { "Block",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_block( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_block( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_blocks();
                    } },
                { "Block",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_block(
                            id, std::unique_ptr< SolidMesh< 3 > >{
                                    HybridSolid< 3 >::create() } );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_block( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_blocks();
                    } },
                { "ModelBoundary",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_model_boundary( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_model_boundary( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.model_boundaries().size();
                    } },
                { "SurfaceCollection",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_surface_collection( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.surface_collections().contains( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.surface_collections().size();
                    } },
                { "Horizon",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_horizon( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_horizon( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_horizons();
                    } },
                { "Fault",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_fault( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.has_fault( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_faults();
                    } },
                { "FaultBlock",
                    []( StructuralModelBuilder& builder,
                        const uuid& id ) -> const uuid&
                    {
                        return builder.add_fault_block( id );
                    },
                    []( const StructuralModel& model, const uuid& id )
                    {
                        return model.fault_blocks().contains( id );
                    },
                    []( const StructuralModel& model )
                    {
                        return model.nb_fault_blocks();
                    } },
            };
        }

        // The number of components and collections of every kind.
        std::vector< index_t > counts( const StructuralModel& model )
        {
            std::vector< index_t > result;
            for( const auto& kind : kinds() )
            {
                result.push_back( kind.count( model ) );
            }
            return result;
        }
    } // namespace

    TEST( BRepBuilderUuid, creates_every_kind_under_the_given_uuid )
    {
        for( const auto& kind : kinds() )
        {
            SCOPED_TRACE( kind.name );
            StructuralModel model;
            StructuralModelBuilder builder{ model };
            const uuid id{ "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9" };
            const auto& added = kind.add( builder, id );
            EXPECT_EQ( added, id );
            EXPECT_TRUE( kind.has( model, id ) );
            EXPECT_EQ( kind.count( model ), 1u );
            EXPECT_EQ(
                model.relationships().component( id ).type().get(), kind.name );
            builder.set_name( id, "named" );
        }
    }

    // Every kind holding the uuid against every kind reusing it: refused
    // with a message naming the uuid and its holder, the model unchanged.
    TEST( BRepBuilderUuid, refuses_a_uuid_already_in_use )
    {
        for( const auto& holder : kinds() )
        {
            for( const auto& reuser : kinds() )
            {
                SCOPED_TRACE( holder.name + " reused by " + reuser.name );
                StructuralModel model;
                StructuralModelBuilder builder{ model };
                const uuid id;
                holder.add( builder, id );
                builder.set_name( id, "first_holder" );
                const auto before = counts( model );
                try
                {
                    reuser.add( builder, id );
                    FAIL() << "the uuid was accepted twice";
                }
                catch( const TessarkException& error )
                {
                    const std::string message{ error.what() };
                    EXPECT_NE( message.find( id.string() ), std::string::npos )
                        << message;
                    EXPECT_NE( message.find( holder.name + " " + id.string() ),
                        std::string::npos )
                        << message;
                    EXPECT_NE(
                        message.find( "first_holder" ), std::string::npos )
                        << message;
                }
                EXPECT_EQ( counts( model ), before );
                EXPECT_TRUE( holder.has( model, id ) );
                EXPECT_EQ( model.relationships().component( id ).type().get(),
                    holder.name );
            }
        }
    }

    TEST( BRepBuilderUuid, components_under_given_uuids_take_relations )
    {
        StructuralModel model;
        StructuralModelBuilder builder{ model };
        const uuid line_id;
        const uuid surface_id;
        const uuid horizon_id;
        builder.add_line( line_id );
        builder.add_surface( surface_id );
        builder.add_horizon( horizon_id );
        builder.add_line_surface_boundary_relationship(
            model.line( line_id ), model.surface( surface_id ) );
        builder.add_surface_in_horizon(
            model.surface( surface_id ), model.horizon( horizon_id ) );
        ASSERT_EQ( model.boundaries( surface_id ).size(), 1u );
        EXPECT_EQ( model.boundaries( surface_id )[0].id(), line_id );
        ASSERT_EQ( model.collections( surface_id ).size(), 1u );
        EXPECT_EQ( model.collections( surface_id )[0].id(), horizon_id );

        // A removed component frees its uuid.
        builder.remove_line( model.line( line_id ) );
        EXPECT_EQ( builder.add_line( line_id ), line_id );
        EXPECT_EQ( model.nb_boundaries( surface_id ), 0u );
    }

    TEST( BRepBuilderUuid, overloads_without_uuid_still_draw_fresh_ones )
    {
        StructuralModel model;
        StructuralModelBuilder builder{ model };
        const auto first = builder.add_surface();
        const auto second = builder.add_surface();
        const auto horizon = builder.add_horizon();
        EXPECT_NE( first, second );
        EXPECT_NE( first, horizon );
        EXPECT_EQ( model.nb_surfaces(), 2u );
        EXPECT_EQ( model.surface( first ).mesh().impl_name(),
            "TessarkTriangulatedSurface3D" );
    }
} // namespace brevane
