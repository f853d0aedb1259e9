#include <io/tsurf_model_assembly.h>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <utility>

#include <tessark/basic/tessark_exception.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <halven/conversion/model_builder_from_unique_vertices.h>

#include <io/tsurf_closure.h>
#include <io/tsurf_coincident_points.h>

namespace brevane
{
    namespace
    {
        class TSurfModelAssembler
        {
        public:
            explicit TSurfModelAssembler( const TSurfModelParts& parts )
                : parts_( parts ), builder_( result_.model )
            {
            }

            ImportedModel assemble()
            {
                check_parts();
                bind_coincident_points();
                build_surfaces();
                build_lines_and_corners();
                build_blocks();
                build_collections();
                build_fault_blocks();
                report_problems();
                return std::move( result_ );
            }

        private:
            void check_parts() const
            {
                for( const auto& surface : parts_.surfaces )
                {
                    const auto& part = surface.part;
                    for( index_t triangle = 0; triangle < part.triangles.size();
                         triangle++ )
                    {
                        for( const auto point : part.triangles[triangle] )
                        {
                            TESSARK_EXCEPTION( point < part.points.size(),
                                "[TSurf model] Part \"", part.name,
                                "\" triangle ", triangle,
                                " indexes a point past the last one" );
                        }
                    }
                }
                for( const auto& block : parts_.blocks )
                {
                    for( const auto surface : block.surfaces )
                    {
                        TESSARK_EXCEPTION( surface < parts_.surfaces.size(),
                            "[TSurf model] Block \"", block.name,
                            "\" names surface ", surface, " of ",
                            parts_.surfaces.size() );
                    }
                }
            }

            // Phase 1: the unique vertex of every point of every part.
            void bind_coincident_points()
            {
                std::vector< Point3D > points;
                for( const auto& surface : parts_.surfaces )
                {
                    first_point_.push_back(
                        static_cast< index_t >( points.size() ) );
                    points.insert( points.end(), surface.part.points.begin(),
                        surface.part.points.end() );
                }
                groups_ = group_coincident_points( points );
                builder_.create_unique_vertices( groups_.nb_groups );
            }

            // Phase 2: one surface per part, its vertices created as its
            // triangles reach them so that no vertex is left unused.
            void build_surfaces()
            {
                std::vector< index_t > vertex_of_unique(
                    groups_.nb_groups, NO_ID );
                for( index_t index = 0; index < parts_.surfaces.size();
                     index++ )
                {
                    const auto& part = parts_.surfaces[index].part;
                    const auto id = builder_.add_surface();
                    surfaces_.push_back( id );
                    builder_.set_name( id, part.name );
                    const auto component =
                        result_.model.surface( id ).component_id();
                    auto mesh = builder_.surface_mesh_builder<
                        TriangulatedSurfaceBuilder< 3 > >( id );
                    std::vector< index_t > used_uniques;
                    for( index_t triangle = 0; triangle < part.triangles.size();
                         triangle++ )
                    {
                        std::array< index_t, 3 > uniques{};
                        for( local_index_t corner = 0; corner < 3; corner++ )
                        {
                            uniques[corner] =
                                groups_.group_of_point
                                    [first_point_[index]
                                        + part.triangles[triangle][corner]];
                        }
                        if( uniques[0] == uniques[1] || uniques[1] == uniques[2]
                            || uniques[2] == uniques[0] )
                        {
                            result_.problems.push_back( concatenate(
                                "Surface \"", part.name, "\" (", id.string(),
                                "): triangle ", triangle,
                                " is left out, two of its points coincide" ) );
                            continue;
                        }
                        std::array< index_t, 3 > vertices{};
                        for( local_index_t corner = 0; corner < 3; corner++ )
                        {
                            auto& vertex = vertex_of_unique[uniques[corner]];
                            if( vertex == NO_ID )
                            {
                                vertex = mesh->create_point(
                                    part.points[part.triangles[triangle]
                                                              [corner]] );
                                builder_.set_unique_vertex(
                                    { component, vertex }, uniques[corner] );
                                used_uniques.push_back( uniques[corner] );
                            }
                            vertices[corner] = vertex;
                        }
                        mesh->create_triangle( vertices );
                    }
                    mesh->compute_polygon_adjacencies();
                    for( const auto unique : used_uniques )
                    {
                        vertex_of_unique[unique] = NO_ID;
                    }
                }
                // Points used only by left-out triangles.
                static_cast< void >( builder_.delete_isolated_vertices() );
            }

            // Phase 3.
            void build_lines_and_corners()
            {
                try
                {
                    static_cast< void >(
                        ModelBuilderFromUniqueVertices< StructuralModel >{
                            result_.model, {} }
                            .update_model() );
                }
                catch( const TessarkException& error )
                {
                    result_.problems.push_back(
                        concatenate( "Lines and corners could not be built: ",
                            error.what() ) );
                }
            }

            // Phase 4.
            void build_blocks()
            {
                for( const auto& block : parts_.blocks )
                {
                    const auto id = builder_.add_block();
                    blocks_.push_back( id );
                    builder_.set_name( id, block.name );
                    const auto& model_block = result_.model.block( id );
                    for( const auto surface : block.surfaces )
                    {
                        const auto& surface_id = surfaces_[surface];
                        if( !result_.model.is_boundary( surface_id, id ) )
                        {
                            builder_.add_surface_block_boundary_relationship(
                                result_.model.surface( surface_id ),
                                model_block );
                        }
                    }
                }
            }

            // Phase 5.
            void build_collections()
            {
                for( index_t index = 0; index < parts_.surfaces.size();
                     index++ )
                {
                    const auto& surface = parts_.surfaces[index];
                    const auto& model_surface =
                        result_.model.surface( surfaces_[index] );
                    switch( surface.role )
                    {
                    case TSurfRole::topography:
                        builder_.add_surface_in_model_boundary(
                            model_surface, model_boundary( "top" ) );
                        result_.top_surfaces.push_back( surfaces_[index] );
                        break;
                    case TSurfRole::bottom:
                        builder_.add_surface_in_model_boundary(
                            model_surface, model_boundary( "bottom" ) );
                        result_.bottom_surfaces.push_back( surfaces_[index] );
                        break;
                    case TSurfRole::boundary:
                        builder_.add_surface_in_model_boundary( model_surface,
                            model_boundary( surface.collection ) );
                        break;
                    case TSurfRole::horizon:
                        builder_.add_surface_in_horizon(
                            model_surface, horizon( surface.collection ) );
                        break;
                    case TSurfRole::fault:
                        builder_.add_surface_in_fault(
                            model_surface, fault( surface.collection ) );
                        break;
                    }
                }
            }

            // Phase 6: blocks joined across horizon surfaces lie on the
            // same side of every fault; each group is one fault block,
            // numbered in the order of its first block.
            void build_fault_blocks()
            {
                const auto nb_blocks =
                    static_cast< index_t >( parts_.blocks.size() );
                std::vector< index_t > group( nb_blocks );
                std::iota( group.begin(), group.end(), 0 );
                const auto root = [&group]( index_t block )
                {
                    while( group[block] != block )
                    {
                        group[block] = group[group[block]];
                        block = group[block];
                    }
                    return block;
                };
                std::vector< index_t > first_block_of_horizon_surface(
                    parts_.surfaces.size(), NO_ID );
                for( index_t block = 0; block < nb_blocks; block++ )
                {
                    for( const auto surface : parts_.blocks[block].surfaces )
                    {
                        if( parts_.surfaces[surface].role
                            != TSurfRole::horizon )
                        {
                            continue;
                        }
                        auto& first = first_block_of_horizon_surface[surface];
                        if( first == NO_ID )
                        {
                            first = block;
                            continue;
                        }
                        const auto first_root = root( first );
                        const auto block_root = root( block );
                        group[std::max( first_root, block_root )] =
                            std::min( first_root, block_root );
                    }
                }
                std::vector< index_t > fault_block_of_root( nb_blocks, NO_ID );
                for( index_t block = 0; block < nb_blocks; block++ )
                {
                    auto& fault_block = fault_block_of_root[root( block )];
                    if( fault_block == NO_ID )
                    {
                        fault_block =
                            static_cast< index_t >( fault_blocks_.size() );
                        fault_blocks_.push_back( builder_.add_fault_block() );
                        builder_.set_name( fault_blocks_.back(),
                            concatenate( "fault_block_", fault_block ) );
                    }
                    builder_.add_block_in_fault_block(
                        result_.model.block( blocks_[block] ),
                        result_.model.fault_block(
                            fault_blocks_[fault_block] ) );
                }
            }

            // The collection of that name, created on first use by add and
            // found by get.
            template < typename Add, typename Get >
            const Collection& named_collection( const std::string& name,
                std::map< std::string, uuid >& known, const Add& add,
                const Get& get )
            {
                const auto found = known.find( name );
                if( found != known.end() )
                {
                    return get( found->second );
                }
                const uuid id = add();
                builder_.set_name( id, name );
                known.emplace( name, id );
                return get( id );
            }

            const Collection& model_boundary( const std::string& name )
            {
                return named_collection(
                    name, boundaries_,
                    [this]
                    {
                        return builder_.add_model_boundary();
                    },
                    [this]( const uuid& id ) -> const Collection&
                    {
                        return result_.model.model_boundary( id );
                    } );
            }

            const Collection& horizon( const std::string& name )
            {
                return named_collection(
                    name, horizons_,
                    [this]
                    {
                        return builder_.add_horizon();
                    },
                    [this]( const uuid& id ) -> const Collection&
                    {
                        return result_.model.horizon( id );
                    } );
            }

            const Collection& fault( const std::string& name )
            {
                return named_collection(
                    name, faults_,
                    [this]
                    {
                        return builder_.add_fault();
                    },
                    [this]( const uuid& id ) -> const Collection&
                    {
                        return result_.model.fault( id );
                    } );
            }

            // Phase 7.
            void report_problems()
            {
                if( parts_.blocks.empty() )
                {
                    result_.problems.emplace_back(
                        "No block is given: nothing says which surfaces "
                        "enclose each volume" );
                }
                for( auto& problem : unshared_surface_borders( result_.model ) )
                {
                    result_.problems.push_back( std::move( problem ) );
                }
                for( auto& problem : validate_model( result_.model ).problems )
                {
                    result_.problems.push_back( std::move( problem ) );
                }
            }

            const TSurfModelParts& parts_;
            ImportedModel result_;
            StructuralModelBuilder builder_;
            // Index of the first point of each part in the points of all.
            std::vector< index_t > first_point_;
            CoincidentPointGroups groups_;
            std::vector< uuid > surfaces_;
            std::vector< uuid > blocks_;
            std::vector< uuid > fault_blocks_;
            // Collections by name; only looked up, never iterated.
            std::map< std::string, uuid > boundaries_;
            std::map< std::string, uuid > horizons_;
            std::map< std::string, uuid > faults_;
        };
    } // namespace

    ImportedModel assemble_tsurf_model( const TSurfModelParts& parts )
    {
        return TSurfModelAssembler{ parts }.assemble();
    }
} // namespace brevane
