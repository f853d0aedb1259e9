#include <tessark/model/brep.h>

namespace brevane
{
    BRep::BRep() = default;
    BRep::~BRep() = default;
    BRep::BRep( BRep&& ) noexcept = default;
    BRep& BRep::operator=( BRep&& ) noexcept = default;

    const Corner< 3 >& BRep::corner( const uuid& id ) const
    {
        return corners_.get( id );
    }
    const Line< 3 >& BRep::line( const uuid& id ) const
    {
        return lines_.get( id );
    }
    const Surface< 3 >& BRep::surface( const uuid& id ) const
    {
        return surfaces_.get( id );
    }
    const Block< 3 >& BRep::block( const uuid& id ) const
    {
        return blocks_.get( id );
    }
    const Collection& BRep::model_boundary( const uuid& id ) const
    {
        return model_boundaries_.get( id );
    }
    const Collection& BRep::surface_collection( const uuid& id ) const
    {
        return surface_collections_.get( id );
    }

    std::vector< ComponentID > BRep::embedding_surfaces( const uuid& id ) const
    {
        auto result = relationships_.embeddings( id );
        std::erase_if( result, []( const ComponentID& embedding ) {
            return embedding.type() != component_types::surface();
        } );
        return result;
    }

    index_t BRep::nb_embedding_surfaces( const uuid& id ) const
    {
        return static_cast< index_t >( embedding_surfaces( id ).size() );
    }

    bool BRep::is_closed( const Line< 3 >& line ) const
    {
        const auto& mesh = line.mesh();
        if( mesh.nb_edges() == 0 )
        {
            return false;
        }
        for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            if( mesh.edges_around_vertex( vertex ).size() != 2 )
            {
                return false;
            }
        }
        return true;
    }

    Identifier* BRep::find_identifier( const uuid& id )
    {
        if( auto* corner = corners_.find( id ) )
        {
            return corner;
        }
        if( auto* line = lines_.find( id ) )
        {
            return line;
        }
        if( auto* surface = surfaces_.find( id ) )
        {
            return surface;
        }
        if( auto* block = blocks_.find( id ) )
        {
            return block;
        }
        if( auto* boundary = model_boundaries_.find( id ) )
        {
            return boundary;
        }
        return surface_collections_.find( id );
    }

    BoundingBox3D BRep::bounding_box() const
    {
        BoundingBox3D box;
        for( const auto& corner : corners() )
        {
            box.add_box( corner.mesh().bounding_box() );
        }
        for( const auto& line : lines() )
        {
            box.add_box( line.mesh().bounding_box() );
        }
        for( const auto& surface : surfaces() )
        {
            box.add_box( surface.mesh().bounding_box() );
        }
        for( const auto& block : blocks() )
        {
            box.add_box( block.mesh().bounding_box() );
        }
        return box;
    }
} // namespace brevane

#include <tessark/basic/identifier.h>
#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/polygonal_surface.h>
#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    namespace
    {
        template < typename Mesh, typename Kind >
        std::unique_ptr< Mesh > clone_as( const Mesh& mesh )
        {
            if( const auto* kind = dynamic_cast< const Kind* >( &mesh ) )
            {
                return kind->clone();
            }
            return nullptr;
        }

        std::unique_ptr< SurfaceMesh< 3 > > clone_mesh(
            const SurfaceMesh< 3 >& mesh )
        {
            if( auto clone =
                    clone_as< SurfaceMesh< 3 >, TriangulatedSurface< 3 > >( mesh ) )
            {
                return clone;
            }
            return clone_as< SurfaceMesh< 3 >, PolygonalSurface< 3 > >( mesh );
        }

        std::unique_ptr< SolidMesh< 3 > > clone_mesh( const SolidMesh< 3 >& mesh )
        {
            return clone_as< SolidMesh< 3 >, HybridSolid< 3 > >( mesh );
        }

        std::unique_ptr< PointSet< 3 > > clone_mesh( const PointSet< 3 >& mesh )
        {
            return mesh.clone();
        }

        std::unique_ptr< EdgedCurve< 3 > > clone_mesh( const EdgedCurve< 3 >& mesh )
        {
            return mesh.clone();
        }

        template < typename Component >
        std::unique_ptr< Component > clone_component( const Component& component )
        {
            auto mesh = clone_mesh( component.mesh() );
            TESSARK_EXCEPTION( mesh != nullptr, "[BRep] Cannot copy ",
                component.component_id().string(), " \"",
                std::string{ component.name() }, "\": its mesh is a ",
                std::string{ component.mesh().impl_name() },
                ", which has no copy" );
            auto copy = std::make_unique< Component >( std::move( mesh ) );
            IdentifierBuilder identifier{ *copy };
            identifier.set_id( component.id() );
            identifier.set_name( component.name() );
            return copy;
        }
    } // namespace

    std::unique_ptr< Collection > BRep::clone_collection(
        const Collection& collection )
    {
        auto copy = std::make_unique< Collection >( collection.component_type() );
        IdentifierBuilder identifier{ *copy };
        identifier.set_id( collection.id() );
        identifier.set_name( collection.name() );
        return copy;
    }

    void BRep::copy_into( BRep& copy ) const
    {
        copy.corners_ = corners_.copy( clone_component< Corner< 3 > > );
        copy.lines_ = lines_.copy( clone_component< Line< 3 > > );
        copy.surfaces_ = surfaces_.copy( clone_component< Surface< 3 > > );
        copy.blocks_ = blocks_.copy( clone_component< Block< 3 > > );
        copy.model_boundaries_ = model_boundaries_.copy( clone_collection );
        copy.surface_collections_ = surface_collections_.copy( clone_collection );
        copy.relationships_ = relationships_;
        copy.vertex_identifier_ = vertex_identifier_;
    }
} // namespace brevane
