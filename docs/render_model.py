#!/usr/bin/python3
"""Renders a model file written by brevane as a PNG picture.

The picture has two views of the model's surfaces, coloured by the surface
collection they belong to (a pillar build makes one collection per slice,
from the top down): a 3D view of those surfaces, and a vertical section
across the model at a given y (the middle of the model by default), where
the surfaces in no collection, such as the side walls, are drawn in grey.

    /usr/bin/python3 docs/render_model.py brevane_output/pillar_model.vtm \
        docs/images/pillar_model.png

The model file is read with VTK (Debian's python3-vtk9): the multiblock file
gives the meshes, and the description "<stem>_files/model.json" beside it
gives the collections. The picture is drawn with matplotlib, without a
display.
"""

import argparse
import json
import pathlib
import sys

import matplotlib

matplotlib.use("Agg")

import matplotlib.pyplot as plt  # noqa: E402
import matplotlib.ticker  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.collections import LineCollection  # noqa: E402
from mpl_toolkits.mplot3d.art3d import Poly3DCollection  # noqa: E402
from vtkmodules.util.numpy_support import vtk_to_numpy  # noqa: E402
from vtkmodules.vtkCommonDataModel import vtkCompositeDataSet  # noqa: E402
from vtkmodules.vtkIOXML import vtkXMLMultiBlockDataReader  # noqa: E402


class Surface:
    """The points and polygons of one surface, and its slice (None when it
    is in no surface collection)."""

    def __init__(self, name, points, polygons, slice_index):
        self.name = name
        self.points = points
        self.polygons = polygons
        self.slice_index = slice_index

    def triangles(self):
        """The polygons split into fans of triangles, as point triples."""
        triangles = []
        for polygon in self.polygons:
            for corner in range(1, len(polygon) - 1):
                triangles.append(
                    (polygon[0], polygon[corner], polygon[corner + 1]))
        return self.points[np.array(triangles, dtype=np.int64)]


def read_polygons(poly_data):
    """The polygons of a vtkPolyData as lists of point indices."""
    cells = poly_data.GetPolys()
    offsets = vtk_to_numpy(cells.GetOffsetsArray())
    connectivity = vtk_to_numpy(cells.GetConnectivityArray())
    return [connectivity[offsets[cell]:offsets[cell + 1]]
            for cell in range(len(offsets) - 1)]


def slice_of_surfaces(description):
    """Surface uuid to the index of the first surface collection holding
    it, collections taken in model order."""
    slices = [collection["uuid"]
              for collection in description["collections"]
              if collection["kind"] == "SurfaceCollection"]
    position = {uuid: index for index, uuid in enumerate(slices)}
    surface_slice = {}
    for relation in description["relations"]:
        if relation["kind"] == "item" and relation["to"] in position:
            index = position[relation["to"]]
            previous = surface_slice.get(relation["from"], index)
            surface_slice[relation["from"]] = min(previous, index)
    return surface_slice, len(slices)


def read_surfaces(model_file):
    """The surfaces of the model file, in model order, and the number of
    surface collections."""
    description_file = (model_file.parent / (model_file.stem + "_files")
                        / "model.json")
    with open(description_file, encoding="utf-8") as file:
        description = json.load(file)
    surface_slice, nb_slices = slice_of_surfaces(description)
    components = [component for component in description["components"]
                  if component["kind"] == "Surface"]

    reader = vtkXMLMultiBlockDataReader()
    reader.SetFileName(str(model_file))
    reader.Update()
    multiblock = reader.GetOutput()
    blocks = {
        multiblock.GetMetaData(index).Get(vtkCompositeDataSet.NAME()): index
        for index in range(multiblock.GetNumberOfBlocks())
    }
    meshes = multiblock.GetBlock(blocks["Surfaces"])
    if meshes.GetNumberOfBlocks() != len(components):
        sys.exit(f"{model_file}: {meshes.GetNumberOfBlocks()} surface meshes "
                 f"for {len(components)} surfaces in {description_file}")

    surfaces = []
    for index, component in enumerate(components):
        mesh = meshes.GetBlock(index)
        points = vtk_to_numpy(mesh.GetPoints().GetData()).astype(float)
        surfaces.append(Surface(component["name"] or component["uuid"],
                                points, read_polygons(mesh),
                                surface_slice.get(component["uuid"])))
    return surfaces, nb_slices


def section_segments(surface, y):
    """The segments where the surface's triangles cross the plane at y."""
    segments = []
    for triangle in surface.triangles():
        side = triangle[:, 1] - y
        crossings = []
        for start, end in ((0, 1), (1, 2), (2, 0)):
            if (side[start] < 0) != (side[end] < 0):
                weight = side[start] / (side[start] - side[end])
                point = triangle[start] + weight * (triangle[end]
                                                    - triangle[start])
                crossings.append((point[0], point[2]))
        if len(crossings) == 2:
            segments.append(crossings)
    return segments


def render(surfaces, nb_slices, section_y, picture):
    colours = plt.get_cmap("viridis")
    colour_of = [colours(index / max(nb_slices - 1, 1))
                 for index in range(nb_slices)]
    all_points = np.concatenate([surface.points for surface in surfaces])
    low, high = all_points.min(axis=0), all_points.max(axis=0)
    if section_y is None:
        section_y = (low[1] + high[1]) / 2

    figure = plt.figure(figsize=(14, 6.5), dpi=100)
    view = figure.add_subplot(1, 2, 1, projection="3d")
    # Bottom slices first, so that upper ones are drawn over them.
    in_slices = sorted((surface for surface in surfaces
                        if surface.slice_index is not None),
                       key=lambda surface: -surface.slice_index)
    for surface in in_slices:
        # The first slice (the topography) is see-through, so that the
        # slices under it show.
        alpha = 0.3 if surface.slice_index == 0 else 1.0
        view.add_collection3d(Poly3DCollection(
            surface.triangles(), facecolor=colour_of[surface.slice_index],
            edgecolor=(0, 0, 0, 0.15 * alpha), linewidth=0.1, alpha=alpha))
    view.set_xlim(low[0], high[0])
    view.set_ylim(low[1], high[1])
    view.set_zlim(low[2], high[2])
    view.set_box_aspect(high - low)
    view.view_init(elev=25, azim=-60)
    view.set_xlabel("x")
    view.set_ylabel("y")
    view.set_zlabel("z")
    view.set_title("Surfaces of the slices")

    section = figure.add_subplot(1, 2, 2)
    for surface in surfaces:
        segments = section_segments(surface, section_y)
        if not segments:
            continue
        in_slice = surface.slice_index is not None
        section.add_collection(LineCollection(
            segments,
            colors=[colour_of[surface.slice_index] if in_slice
                    else (0.6, 0.6, 0.6, 1)],
            linewidths=1.6 if in_slice else 0.8))
    section.set_xlim(low[0], high[0])
    section.set_ylim(low[2], high[2])
    section.set_aspect("equal")
    section.set_xlabel("x")
    section.set_ylabel("z")
    section.set_title(f"Vertical section at y = {section_y:g}")

    scale = plt.cm.ScalarMappable(
        cmap=colours, norm=plt.Normalize(1, max(nb_slices, 1)))
    bar = figure.colorbar(scale, ax=[view, section], shrink=0.7,
                          pad=0.02)
    bar.set_label("slice, from the top down")
    bar.locator = matplotlib.ticker.MaxNLocator(integer=True)
    bar.update_ticks()
    figure.savefig(picture, bbox_inches="tight")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("model", type=pathlib.Path,
                        help="model file (.vtm) written by brevane")
    parser.add_argument("picture", type=pathlib.Path,
                        help="PNG picture to write")
    parser.add_argument("--section-y", type=float, default=None,
                        help="y of the vertical section (default: middle)")
    arguments = parser.parse_args()
    surfaces, nb_slices = read_surfaces(arguments.model)
    render(surfaces, nb_slices, arguments.section_y, arguments.picture)


if __name__ == "__main__":
    main()
