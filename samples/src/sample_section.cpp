#include "sample_section.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include <tessark/basic/string_concatenation.h>
#include <tessark/basic/tessark_exception.h>

#include "sample_parameter_checks.h"

namespace brevane
{
    namespace
    {
        // Distinct lines stay this far apart, relative to the box size;
        // closer ones would give slivers.
        constexpr double GAP_RATIO{ 1e-3 };
        // Lines meeting a fault closer than this, relative to the box height,
        // meet it at the same point.
        constexpr double MERGE_RATIO{ 1e-9 };

        enum struct EventRole : std::uint8_t
        {
            top,
            bottom,
            horizon
        };

        // A line of the section meeting a fault or an x side.
        struct BoundaryEvent
        {
            double z{ 0 };
            std::string name;
            EventRole role{ EventRole::top };
            index_t horizon{ NO_ID };
            index_t block{ NO_ID };
            // 0 when the event's block is on the right of the boundary (the
            // boundary is its left side), 1 otherwise.
            index_t side{ 0 };
        };

        class SectionBuilder
        {
        public:
            SectionBuilder( const SampleModelParameters& parameters,
                const SurfaceEdgeLengths& edge_lengths )
                : parameters_( parameters ), box_( parameters.box ),
                  edge_lengths_( edge_lengths ),
                  nb_faults_(
                      static_cast< index_t >( parameters.faults.size() ) ),
                  nb_horizons_( nb_sample_horizons( parameters ) ),
                  gap_z_( GAP_RATIO * ( box_.top_z - box_.bottom_z ) ),
                  gap_x_( GAP_RATIO * box_.length_x ),
                  merge_z_( MERGE_RATIO * ( box_.top_z - box_.bottom_z ) )
            {
                section_.nb_blocks = nb_faults_ + 1;
                section_.nb_layers = nb_horizons_ + 1;
            }

            Section build()
            {
                check_faults();
                compute_block_offsets();
                compute_horizon_heights();
                check_horizons_in_blocks();
                build_boundaries();
                build_horizontal_edges();
                build_faces();
                return std::move( section_ );
            }

        private:
            index_t nb_boundaries() const
            {
                return nb_faults_ + 2;
            }

            double fault_x( index_t fault, double z ) const
            {
                const auto& fault_parameters = parameters_.faults[fault];
                const auto dip =
                    fault_parameters.dip_degrees * std::numbers::pi / 180;
                const auto reference_z =
                    box_.top_z - fault_parameters.reference_depth;
                const auto direction =
                    fault_parameters.dips_towards_x_max ? 1. : -1.;
                return fault_parameters.x_at_reference_depth
                       + direction * ( reference_z - z ) * std::cos( dip )
                             / std::sin( dip );
            }

            // Boundary 0 is the x min side, boundary f + 1 fault f, the last
            // one the x max side: fault block b lies between boundaries b and
            // b + 1.
            double boundary_x( index_t boundary, double z ) const
            {
                if( boundary == 0 )
                {
                    return 0;
                }
                if( boundary == nb_boundaries() - 1 )
                {
                    return box_.length_x;
                }
                return fault_x( boundary - 1, z );
            }

            std::string boundary_name( index_t boundary ) const
            {
                if( boundary == 0 )
                {
                    return "x_min";
                }
                if( boundary == nb_boundaries() - 1 )
                {
                    return "x_max";
                }
                return concatenate( "fault_", boundary );
            }

            void check_faults() const
            {
                for( index_t fault = 0; fault < nb_faults_; fault++ )
                {
                    for( const auto z : { box_.top_z, box_.bottom_z } )
                    {
                        const auto x = fault_x( fault, z );
                        TESSARK_EXCEPTION(
                            x >= gap_x_ && x <= box_.length_x - gap_x_,
                            "[build_sample_model] Fault ", fault + 1,
                            " is at x = ", x, " at height ", z,
                            ", outside the box [0, ", box_.length_x,
                            "] or too close to its sides" );
                        if( fault > 0 )
                        {
                            const auto previous = fault_x( fault - 1, z );
                            TESSARK_EXCEPTION( x - previous >= gap_x_,
                                "[build_sample_model] Fault ", fault + 1,
                                " (x = ", x, ") is not clearly after fault ",
                                fault, " (x = ", previous, ") at height ", z,
                                ": faults must be ordered from x min to x max "
                                "and must not cross" );
                        }
                    }
                }
            }

            void compute_block_offsets()
            {
                offsets_.assign( nb_faults_ + 1, 0 );
                for( index_t fault = 0; fault < nb_faults_; fault++ )
                {
                    const auto& values = parameters_.faults[fault];
                    offsets_[fault + 1] =
                        offsets_[fault]
                        + ( values.dips_towards_x_max ? -values.vertical_throw
                                                      : values.vertical_throw );
                }
            }

            void compute_horizon_heights()
            {
                const auto& depths = parameters_.horizon_depths;
                if( !depths.empty() )
                {
                    for( const auto depth : depths )
                    {
                        horizon_z_.push_back( box_.top_z - depth );
                    }
                    return;
                }
                if( nb_horizons_ == 0 )
                {
                    return;
                }
                const auto [lowest, highest] =
                    std::minmax_element( offsets_.begin(), offsets_.end() );
                const auto low = box_.bottom_z - *lowest;
                const auto high = box_.top_z - *highest;
                TESSARK_EXCEPTION( high - low > 2 * gap_z_,
                    "[build_sample_model] Throws offsetting the fault blocks "
                    "from ",
                    *lowest, " to ", *highest,
                    " leave no room for horizons in a box of height ",
                    box_.top_z - box_.bottom_z );
                for( index_t horizon = 0; horizon < nb_horizons_; horizon++ )
                {
                    horizon_z_.push_back( high
                                          - ( high - low ) * ( horizon + 1 )
                                                / ( nb_horizons_ + 1 ) );
                }
            }

            double horizon_z( index_t horizon, index_t block ) const
            {
                return horizon_z_[horizon] + offsets_[block];
            }

            void check_horizons_in_blocks() const
            {
                for( index_t horizon = 1; horizon < nb_horizons_; horizon++ )
                {
                    const auto spacing =
                        horizon_z_[horizon - 1] - horizon_z_[horizon];
                    TESSARK_EXCEPTION( spacing >= gap_z_,
                        "[build_sample_model] Horizons ", horizon, " and ",
                        horizon + 1, " are only ", spacing,
                        " apart: horizons must be at least ", gap_z_,
                        " apart" );
                }
                for( index_t horizon = 0; horizon < nb_horizons_; horizon++ )
                {
                    for( index_t block = 0; block <= nb_faults_; block++ )
                    {
                        const auto z = horizon_z( horizon, block );
                        TESSARK_EXCEPTION( z >= box_.bottom_z + gap_z_
                                               && z <= box_.top_z - gap_z_,
                            "[build_sample_model] Horizon ", horizon + 1,
                            " lies at z = ", z, " in fault block ", block,
                            ", not clearly inside the box (", box_.bottom_z,
                            ", ", box_.top_z, ")" );
                    }
                }
            }

            std::vector< BoundaryEvent > boundary_events(
                index_t boundary ) const
            {
                const auto name = boundary_name( boundary );
                std::vector< BoundaryEvent > events;
                events.push_back( { box_.top_z, concatenate( "top_", name ),
                    EventRole::top } );
                // The block on the left of the boundary, then the one on its
                // right.
                for( index_t side = 0; side < 2; side++ )
                {
                    if( ( side == 0 && boundary == 0 )
                        || ( side == 1 && boundary == nb_boundaries() - 1 ) )
                    {
                        continue;
                    }
                    const auto block = side == 0 ? boundary - 1 : boundary;
                    for( index_t horizon = 0; horizon < nb_horizons_;
                         horizon++ )
                    {
                        events.push_back( { horizon_z( horizon, block ),
                            concatenate( "horizon_", horizon + 1, "_block_",
                                block, "_", name ),
                            EventRole::horizon, horizon, block,
                            side == 0 ? index_t{ 1 } : index_t{ 0 } } );
                    }
                }
                events.push_back( { box_.bottom_z,
                    concatenate( "bottom_", name ), EventRole::bottom } );
                std::stable_sort( events.begin(), events.end(),
                    []( const BoundaryEvent& first,
                        const BoundaryEvent& second )
                    {
                        return first.z > second.z;
                    } );
                return events;
            }

            void record_event_node(
                index_t boundary, const BoundaryEvent& event, index_t node )
            {
                switch( event.role )
                {
                case EventRole::top:
                    top_nodes_[boundary] = node;
                    break;
                case EventRole::bottom:
                    bottom_nodes_[boundary] = node;
                    break;
                case EventRole::horizon:
                    horizon_nodes_[event.horizon][event.block][event.side] =
                        node;
                    break;
                }
            }

            SectionEdgeKind boundary_kind( index_t boundary ) const
            {
                if( boundary == 0 )
                {
                    return SectionEdgeKind::side_x_min;
                }
                if( boundary == nb_boundaries() - 1 )
                {
                    return SectionEdgeKind::side_x_max;
                }
                return SectionEdgeKind::fault;
            }

            void build_boundaries()
            {
                top_nodes_.assign( nb_boundaries(), NO_ID );
                bottom_nodes_.assign( nb_boundaries(), NO_ID );
                horizon_nodes_.assign(
                    nb_horizons_, std::vector< std::array< index_t, 2 > >(
                                      nb_faults_ + 1, { NO_ID, NO_ID } ) );
                boundary_nodes_.resize( nb_boundaries() );
                boundary_edges_.resize( nb_boundaries() );
                node_rank_.clear();
                section_.fault_edges.resize( nb_faults_ );
                for( index_t boundary = 0; boundary < nb_boundaries();
                     boundary++ )
                {
                    const auto events = boundary_events( boundary );
                    for( std::size_t event = 0; event < events.size(); event++ )
                    {
                        const auto& current = events[event];
                        if( event > 0 )
                        {
                            const auto& previous = events[event - 1];
                            const auto gap = previous.z - current.z;
                            if( gap <= merge_z_ )
                            {
                                auto& node = section_.nodes.back();
                                append( &node.name, "_and_", current.name );
                                record_event_node( boundary, current,
                                    static_cast< index_t >(
                                        section_.nodes.size() - 1 ) );
                                continue;
                            }
                            TESSARK_EXCEPTION( gap >= gap_z_,
                                "[build_sample_model] ", previous.name, " and ",
                                current.name, " meet ",
                                boundary_name( boundary ), " only ", gap,
                                " apart: lines on a fault or side must "
                                "coincide or be at least ",
                                gap_z_, " apart" );
                        }
                        const auto node =
                            static_cast< index_t >( section_.nodes.size() );
                        section_.nodes.push_back(
                            { boundary_x( boundary, current.z ), current.z,
                                current.name } );
                        node_rank_.push_back( static_cast< index_t >(
                            boundary_nodes_[boundary].size() ) );
                        boundary_nodes_[boundary].push_back( node );
                        record_event_node( boundary, current, node );
                    }
                    build_boundary_edges( boundary );
                }
            }

            void build_boundary_edges( index_t boundary )
            {
                const auto& nodes = boundary_nodes_[boundary];
                const auto kind = boundary_kind( boundary );
                for( index_t rank = 0; rank + 1 < nodes.size(); rank++ )
                {
                    SectionEdge edge;
                    edge.from = nodes[rank];
                    edge.to = nodes[rank + 1];
                    edge.kind = kind;
                    if( kind == SectionEdgeKind::fault )
                    {
                        edge.edge_length = edge_lengths_.faults[boundary - 1];
                        edge.name =
                            concatenate( "fault_", boundary, "_piece_", rank );
                    }
                    else
                    {
                        edge.edge_length = edge_lengths_.sides;
                        edge.name = concatenate( "side_",
                            boundary_name( boundary ), "_layer_", rank );
                    }
                    const auto id = add_edge( std::move( edge ) );
                    boundary_edges_[boundary].push_back( id );
                    if( kind == SectionEdgeKind::fault )
                    {
                        section_.fault_edges[boundary - 1].push_back( id );
                    }
                    else if( kind == SectionEdgeKind::side_x_min )
                    {
                        section_.side_x_min_edges.push_back( id );
                    }
                    else
                    {
                        section_.side_x_max_edges.push_back( id );
                    }
                }
            }

            index_t add_edge( SectionEdge edge )
            {
                section_.edges.push_back( std::move( edge ) );
                return static_cast< index_t >( section_.edges.size() - 1 );
            }

            index_t add_horizontal_edge( index_t from, index_t to,
                SectionEdgeKind kind, double edge_length, std::string name )
            {
                SectionEdge edge;
                edge.from = from;
                edge.to = to;
                edge.kind = kind;
                edge.edge_length = edge_length;
                edge.name = std::move( name );
                return add_edge( std::move( edge ) );
            }

            void build_horizontal_edges()
            {
                section_.horizon_edges.resize( nb_horizons_ );
                for( index_t block = 0; block <= nb_faults_; block++ )
                {
                    section_.top_edges.push_back( add_horizontal_edge(
                        top_nodes_[block], top_nodes_[block + 1],
                        SectionEdgeKind::top, edge_lengths_.topography,
                        concatenate( "top_block_", block ) ) );
                }
                for( index_t horizon = 0; horizon < nb_horizons_; horizon++ )
                {
                    for( index_t block = 0; block <= nb_faults_; block++ )
                    {
                        const auto& ends = horizon_nodes_[horizon][block];
                        section_.horizon_edges[horizon].push_back(
                            add_horizontal_edge( ends[0], ends[1],
                                SectionEdgeKind::horizon,
                                edge_lengths_.horizons[horizon],
                                concatenate( "horizon_", horizon + 1, "_block_",
                                    block ) ) );
                    }
                }
                for( index_t block = 0; block <= nb_faults_; block++ )
                {
                    section_.bottom_edges.push_back( add_horizontal_edge(
                        bottom_nodes_[block], bottom_nodes_[block + 1],
                        SectionEdgeKind::bottom, edge_lengths_.bottom,
                        concatenate( "bottom_block_", block ) ) );
                }
            }

            // The boundary edges between two of its nodes, from the top down.
            std::vector< index_t > edges_between(
                index_t boundary, index_t upper, index_t lower ) const
            {
                const auto& edges = boundary_edges_[boundary];
                return { edges.begin() + node_rank_[upper],
                    edges.begin() + node_rank_[lower] };
            }

            void build_faces()
            {
                for( index_t block = 0; block <= nb_faults_; block++ )
                {
                    for( index_t layer = 0; layer <= nb_horizons_; layer++ )
                    {
                        SectionFace face;
                        face.block = block;
                        face.layer = layer;
                        face.top_edge =
                            layer == 0
                                ? section_.top_edges[block]
                                : section_.horizon_edges[layer - 1][block];
                        face.bottom_edge =
                            layer == nb_horizons_
                                ? section_.bottom_edges[block]
                                : section_.horizon_edges[layer][block];
                        const auto& top = section_.edges[face.top_edge];
                        const auto& bottom = section_.edges[face.bottom_edge];
                        face.left_edges =
                            edges_between( block, top.from, bottom.from );
                        face.right_edges =
                            edges_between( block + 1, top.to, bottom.to );
                        section_.faces.push_back( std::move( face ) );
                    }
                }
            }

            const SampleModelParameters& parameters_;
            const SampleBox& box_;
            const SurfaceEdgeLengths& edge_lengths_;
            index_t nb_faults_;
            index_t nb_horizons_;
            double gap_z_;
            double gap_x_;
            double merge_z_;
            std::vector< double > offsets_;
            std::vector< double > horizon_z_;
            std::vector< index_t > top_nodes_;
            std::vector< index_t > bottom_nodes_;
            std::vector< std::vector< std::array< index_t, 2 > > >
                horizon_nodes_;
            std::vector< std::vector< index_t > > boundary_nodes_;
            std::vector< std::vector< index_t > > boundary_edges_;
            std::vector< index_t > node_rank_;
            Section section_;
        };
    } // namespace

    Section build_section( const SampleModelParameters& parameters,
        const SurfaceEdgeLengths& edge_lengths )
    {
        return SectionBuilder{ parameters, edge_lengths }.build();
    }
} // namespace brevane
