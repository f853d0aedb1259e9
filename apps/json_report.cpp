#include "json_report.h"

#include <iostream>

#include <tessark/basic/version.h>

#include "inspection_report.h"

namespace brevane::cli
{
    namespace
    {
        using Json = nlohmann::ordered_json;

        Json item_json( const NamedItem& item )
        {
            return { { "type", item.type }, { "id", item.id.string() },
                { "name", item.name } };
        }

        Json items_json( const std::vector< NamedItem >& items )
        {
            auto result = Json::array();
            for( const auto& item : items )
            {
                result.push_back( item_json( item ) );
            }
            return result;
        }

        std::string component_name(
            const StructuralModel& model, const ComponentID& component )
        {
            const auto type = component.type().get();
            const auto& id = component.id();
            if( type == "Surface" && model.has_surface( id ) )
            {
                return std::string{ model.surface( id ).name() };
            }
            if( type == "Line" && model.has_line( id ) )
            {
                return std::string{ model.line( id ).name() };
            }
            if( type == "Corner" && model.has_corner( id ) )
            {
                return std::string{ model.corner( id ).name() };
            }
            if( type == "Block" && model.has_block( id ) )
            {
                return std::string{ model.block( id ).name() };
            }
            return {};
        }

        Json component_json(
            const StructuralModel& model, const ComponentID& component )
        {
            return item_json( { std::string{ component.type().get() },
                component.id(), component_name( model, component ) } );
        }

        // A check whose issues are components of one type.
        template < typename Record >
        Json component_check_json( const StructuralModel& model,
            std::string_view kind, std::string_view type, const Record& record )
        {
            Json check{ { "kind", kind }, { "description", record.description },
                { "nb_issues", record.nb_issues() },
                { "issues", Json::array() } };
            for( std::size_t issue = 0; issue < record.issues.size(); issue++ )
            {
                const ComponentID component{ ComponentType{ type },
                    record.issues[issue] };
                check["issues"].push_back(
                    { { "message", issue < record.messages.size()
                                       ? record.messages[issue]
                                       : std::string{} },
                        { "components", Json::array( { component_json(
                                            model, component ) } ) } } );
            }
            return check;
        }

        // Side vertices off the topography border: each issue is a unique
        // vertex, with the component vertices bound to it.
        Json points_check_json( const StructuralModel& model,
            const PointsTooFarFromTopographyBoundaryInspectionResult& record )
        {
            Json check{ { "kind", "points_too_far" },
                { "description", record.description },
                { "nb_issues", record.nb_issues() },
                { "issues", Json::array() } };
            for( std::size_t index = 0; index < record.issues.size(); index++ )
            {
                const auto& issue = record.issues[index];
                auto components = Json::array();
                if( issue.unique_vertex < model.nb_unique_vertices() )
                {
                    for( const auto& vertex :
                        model.component_mesh_vertices( issue.unique_vertex ) )
                    {
                        components.push_back(
                            component_json( model, vertex.component_id ) );
                    }
                }
                check["issues"].push_back(
                    { { "message", index < record.messages.size()
                                       ? record.messages[index]
                                       : std::string{} },
                        { "components", std::move( components ) },
                        { "unique_vertex", issue.unique_vertex },
                        { "point",
                            { issue.point.value( 0 ), issue.point.value( 1 ),
                                issue.point.value( 2 ) } },
                        { "distance", issue.distance } } );
            }
            return check;
        }

        Json counts_json( const ModelCounts& counts )
        {
            return { { "surfaces", counts.surfaces },
                { "triangles", counts.polygons.triangles },
                { "quadrangles", counts.polygons.quadrangles },
                { "other_polygons", counts.polygons.others },
                { "lines", counts.lines }, { "corners", counts.corners },
                { "blocks", counts.blocks }, { "horizons", counts.horizons },
                { "faults", counts.faults } };
        }

        Json cells_json( const BlockCells& cells )
        {
            return { { "block", cells.block },
                { "tetrahedra", cells.tetrahedra },
                { "pyramids", cells.pyramids }, { "prisms", cells.prisms },
                { "hexahedra", cells.hexahedra }, { "volume", cells.volume } };
        }

        Json rebuilt_json( const BuildReport& report )
        {
            Json summary{ { "slices", report.nb_slices },
                { "pillars", report.nb_pillars },
                { "plan_view_triangles",
                    { { "before_decimation",
                          report.plan_view_triangles_before },
                        { "after_decimation",
                            report.plan_view_triangles_after } } },
                { "input_triangles", report.input_polygons.triangles },
                { "rebuilt_model", counts_json( report.rebuilt_model ) } };
            if( report.with_cells )
            {
                auto cells = Json::array();
                for( const auto& block : report.block_cells )
                {
                    cells.push_back( cells_json( block ) );
                }
                summary["block_cells"] = std::move( cells );
            }
            return summary;
        }
    } // namespace

    Json json_document( std::string_view command, std::string_view origin )
    {
        return { { "command", command }, { "version", tessark_version() },
            { "model", origin } };
    }

    Json inspection_json( const StructuralModel& model,
        const PillarStructuralModelInspectionResult& result )
    {
        const auto issues = nb_issues( result );
        return { { "nb_issues", issues }, { "buildable", issues == 0 },
            { "checks",
                { component_check_json(
                      model, "multi_z", "Surface", result.multi_z ),
                    component_check_json(
                        model, "lines", "Line", result.lines ),
                    points_check_json( model, result.points_too_far ),
                    component_check_json( model, "surfaces_collection",
                        "Surface", result.surfaces_collection ) } } };
    }

    Json repair_json( const StructuralModel& model, const RepairReport& report )
    {
        return { { "inspection_before", inspection_json( model, report.before ) },
            { "moved_vertices", report.nb_moved },
            { "inspection_after", inspection_json( model, report.after ) } };
    }

    Json build_json( const StructuralModel& model, const BuildReport& report )
    {
        Json document{ { "inspection",
                           inspection_json( model, report.inspection ) },
            { "built", report.built },
            { "failure",
                report.failure ? Json( *report.failure ) : Json( nullptr ) },
            { "build_milliseconds", report.build_milliseconds },
            { "stages", Json::array() } };
        for( const auto& stage : report.stages )
        {
            document["stages"].push_back( { { "name", stage.name },
                { "milliseconds", stage.milliseconds } } );
        }
        if( !report.built )
        {
            return document;
        }
        document["summary"] = rebuilt_json( report );
        document["validation"] = { { "valid", report.validation.is_valid() },
            { "problems", report.validation.problems } };
        auto distances = Json::array();
        for( const auto& distance : report.horizon_distances )
        {
            distances.push_back( { { "horizon", distance.horizon },
                { "largest_vertical_distance", distance.largest } } );
        }
        document["horizon_distances"] = std::move( distances );
        auto slices = Json::array();
        for( const auto& slice : report.slices )
        {
            auto entry = item_json( slice.collection );
            entry["surfaces"] = items_json( slice.surfaces );
            slices.push_back( std::move( entry ) );
        }
        document["slice_collections"] = std::move( slices );
        auto groups = Json::array();
        for( const auto& group : report.surface_groups_order )
        {
            groups.push_back( items_json( group ) );
        }
        document["surface_groups_order"] = std::move( groups );
        auto files = Json::array();
        for( const auto& file : report.files )
        {
            files.push_back(
                { { "role", file.role }, { "path", file.path.string() } } );
        }
        document["files"] = std::move( files );
        return document;
    }

    void print_json( Json document, int exit_code )
    {
        document["exit_code"] = exit_code;
        std::cout << document.dump( 2 ) << std::endl;
    }
} // namespace brevane::cli
