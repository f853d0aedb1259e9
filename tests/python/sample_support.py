"""Edits of sample models, reads of their unique vertices, and what a
build of them gives."""

import numpy as np

import tessark


def push_side_vertex_off_border(sample, offset=0.5):
    """Moves the vertex of the lowest x-min side surface closest to the
    middle of its bottom edge by offset along x, off the topography border,
    in every component sharing it. Returns its unique vertex and its
    position before the move."""
    model = sample.model
    wall = model.surface(sample.side_x_min.items[-1])
    points = wall.mesh.points
    middle = points[:, 1].max() / 2
    chosen = int(np.argmin(points[:, 2] * 1000 + np.abs(points[:, 1] - middle)))
    unique_vertex = model.unique_vertex(
        tessark.ComponentMeshVertex(wall.component_id, chosen)
    )
    before = points[chosen].copy()
    model.set_unique_vertex_position(unique_vertex, before + [offset, 0, 0])
    return unique_vertex, before


def component_of(model, component_id):
    """The corner, line, surface or block of a ComponentID."""
    find = {
        "Corner": model.corner,
        "Line": model.line,
        "Surface": model.surface,
        "Block": model.block,
    }[component_id.type]
    return find(component_id.id)


def unique_vertex_positions(model, unique_vertex):
    """The position of each component mesh vertex of the unique vertex: an
    array of shape (n, 3)."""
    return np.array(
        [
            component_of(model, vertex.component_id).mesh.points[vertex.vertex]
            for vertex in model.component_mesh_vertices(unique_vertex)
        ]
    )


def nb_slice_collections(nb_horizons, nb_faults):
    """One slice collection per surface group (H x (F + 1) + F), plus the
    top and the bottom ones."""
    return nb_horizons * (nb_faults + 1) + nb_faults + 2
