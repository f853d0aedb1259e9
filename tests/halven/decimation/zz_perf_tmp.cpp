#include <chrono>
#include <iostream>
#include <random>
#include <gtest/gtest.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <halven/background/background_surface_inserter.h>
#include <halven/decimation/background_surface_decimator.h>
#include <halven/decimation/background_surface_all_non_macro_vertex.h>
#include <halven/decimation/optimize_background_surface_elements.h>
#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>
#include <halven/metric/grid_metric.h>
#include "halven/background/background_fixture.h"
#include "support/mesh_fixtures.h"
namespace brevane::internal {
class MetricOp : public BackgroundSurfaceAllNonMacroVertex {
public:
  MetricOp(const BackgroundSurface& b, const GridMetric2D& m) : BackgroundSurfaceAllNonMacroVertex(b), m_(m) {}
  bool skip_edge(const TriangulatedSurface2D& s, const PolygonEdge& e) const override {
    return BackgroundSurfaceAllNonMacroVertex::skip_edge(s, e) || s.edge_length(e) > m_.metric(s.edge_barycenter(e), Vector2D{});
  }
  const GridMetric2D& m_;
};
double secs(std::chrono::steady_clock::time_point a) { return std::chrono::duration<double>(std::chrono::steady_clock::now()-a).count(); }
TEST( DISABLED_Perf, regular )
{
  for (index_t n : {707u}) {
    test::BackgroundFixture fixture{ brevane::test::grid_surface< 2 >( n, n ) };
    const auto& mesh = fixture.mesh();
    for (index_t v = 0; v < mesh.nb_vertices(); v++) fixture.background_builder->add_macro_vertex_info({fixture.top, v}, v);
    double shortest = 1e30, total = 0;
    for (index_t e = 0; e < mesh.edges().nb_edges(); e++) { auto& ends = mesh.edges().edge_vertices(e); double l = Segment2D{mesh.point(ends[0]), mesh.point(ends[1])}.length(); shortest = std::min(shortest, l); total += l; }
    const auto grid = build_grid_from_bbox_target_length_and_maximum_cell_number(mesh.bounding_box(), shortest, 10000000);
    GridMetric2D metric{grid, total / mesh.edges().nb_edges()};
    for (index_t e = 0; e < mesh.edges().nb_edges(); e++) { auto& ends = mesh.edges().edge_vertices(e); Segment2D s{mesh.point(ends[0]), mesh.point(ends[1])}; metric.paint_segment(s, s.length(), 0); }
    metric.optimize(1.2, 0);
    {
      BackgroundSurfaceInserter inserter{ { *fixture.background, *fixture.modifier }, *fixture.background_builder };
      std::mt19937 random{3};
      std::uniform_real_distribution<double> c{0.3, n - 0.3};
      for (int t = 0; t < 20; t++) {
        auto curve = EdgedCurve2D::create(); auto b = EdgedCurveBuilder2D::create(*curve);
        b->create_point(Point2D{{c(random), c(random)}}); b->create_point(Point2D{{c(random), c(random)}}); b->create_edge(0, 1);
        inserter.insert_curve(*curve, uuid{});
      }
    }
    fixture.modifier->clean();
    BackgroundSurfaceConstraintModifier constraints{ { *fixture.background, *fixture.modifier }, *fixture.background_builder, 2 };
    std::cerr << "triangles " << mesh.nb_polygons() << "\n";
    auto t2 = std::chrono::steady_clock::now();
    const MetricOp op{ *fixture.background, metric };
    std::vector< SurfaceEdge2D > edges;
    for( index_t p = 0; p < mesh.nb_polygons(); p++ ) for( local_index_t k = 0; k < 3; k++ ) edges.emplace_back( mesh, PolygonEdge{ p, k } );
    { BackgroundSurfaceDecimator d{ constraints, op }; d.apply( edges ); }
    std::cerr << "  decimation " << secs(t2) << " s\n";
    auto t3 = std::chrono::steady_clock::now();
    TriangulatedSurfaceInternalDistanceImprovementSimulator2D sim;
    optimize_background_surface_elements( constraints, sim, 0 );
    std::cerr << "  optimisation " << secs(t3) << " s\n";
  }
}
}
