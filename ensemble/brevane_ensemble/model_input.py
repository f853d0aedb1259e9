"""Loading or generating the base model of a realisation, with the top and
bottom surfaces its pillar builder needs. Runs where the realisation is
built, never in the client."""

from __future__ import annotations

import pathlib
from dataclasses import dataclass
from typing import List, Sequence, Set

import tessark

from .description import (
    FAULT_THROW_STREAM,
    BaseModel,
    FactoryModel,
    ModelFile,
    Perturbations,
    draw_generator,
)


@dataclass
class LoadedModel:
    model: tessark.StructuralModel
    top_surfaces: List[tessark.uuid]
    bottom_surfaces: List[tessark.uuid]


def factory_parameters(
    factory: FactoryModel, perturbations: Perturbations, seed: int
) -> tessark.SampleModelParameters:
    """The factory's parameters, with the throw changes of the realisation
    of this seed applied (none when perturbations has no throw change)."""
    parameters = tessark.SampleModelParameters()
    parameters.nb_horizons = factory.nb_horizons
    parameters.horizon_depths = [float(depth) for depth in factory.horizon_depths]
    parameters.resolution.target_top_triangles = factory.target_top_triangles
    parameters.seed = factory.seed
    faults = tessark.spread_faults(parameters.box, factory.nb_faults)
    for index, fault in enumerate(faults):
        if factory.fault_throws:
            fault.vertical_throw = float(factory.fault_throws[index])
        change = perturbations.throw_change_of(index)
        if change is not None:
            rng = draw_generator(seed, FAULT_THROW_STREAM, index)
            fault.vertical_throw += change.draw(rng)
    parameters.faults = faults
    return parameters


def load_base_model(base: BaseModel, perturbations: Perturbations, seed: int) -> LoadedModel:
    if isinstance(base, FactoryModel):
        sample = tessark.build_sample_model(factory_parameters(base, perturbations, seed))
        return LoadedModel(sample.model, list(sample.top_surfaces), list(sample.bottom_surfaces))
    if isinstance(base, ModelFile):
        model = tessark.load_model(pathlib.Path(base.path))
        return LoadedModel(
            model,
            surfaces_named_or_boundary(model, base.top, "top", base.path),
            surfaces_named_or_boundary(model, base.bottom, "bottom", base.path),
        )
    raise TypeError(f"Not a base model: {base!r} (a FactoryModel or a ModelFile)")


def _surface_collections(model: tessark.StructuralModel) -> List[tessark.Collection]:
    """The collections that may hold surfaces, in a fixed order."""
    return (
        model.model_boundaries()
        + model.horizons()
        + model.faults()
        + model.surface_collections()
    )


def _append_surfaces(
    collection: tessark.Collection, taken: Set[tessark.uuid], surfaces: List[tessark.uuid]
) -> int:
    """Appends the surface items not yet taken; returns the number of
    surface items of the collection."""
    nb_surfaces = 0
    for item in collection.items:
        if item.type != "Surface":
            continue
        nb_surfaces += 1
        if item.id not in taken:
            taken.add(item.id)
            surfaces.append(item.id)
    return nb_surfaces


def _available_names(model: tessark.StructuralModel) -> str:
    collections = sorted({collection.name for collection in _surface_collections(model)})
    surfaces = sorted({surface.name for surface in model.surfaces()})
    return (
        f"collections: {', '.join(collections) or 'none'}; "
        f"surfaces: {', '.join(surfaces) or 'none'}"
    )


def surfaces_named_or_boundary(
    model: tessark.StructuralModel, names: Sequence[str], side: str, origin: str
) -> List[tessark.uuid]:
    """The surfaces of the names (a collection name stands for its surfaces,
    otherwise every surface of that name), in the order of the names, each
    once; without names, the surfaces of the model boundary named side."""
    surfaces: List[tessark.uuid] = []
    taken: Set[tessark.uuid] = set()
    if not names:
        for boundary in model.model_boundaries():
            if boundary.name == side:
                _append_surfaces(boundary, taken, surfaces)
        if not surfaces:
            raise ValueError(
                f"{origin}: no model boundary named \"{side}\" with surfaces; "
                f"name the {side} surfaces ({_available_names(model)})"
            )
        return surfaces
    for name in names:
        matching = [c for c in _surface_collections(model) if c.name == name]
        nb_matches = sum(_append_surfaces(c, taken, surfaces) for c in matching)
        if not matching:
            for surface in model.surfaces():
                if surface.name == name:
                    nb_matches += 1
                    if surface.id not in taken:
                        taken.add(surface.id)
                        surfaces.append(surface.id)
        if nb_matches == 0:
            raise ValueError(
                f"{origin}: no collection or surface named \"{name}\" holds a "
                f"{side} surface ({_available_names(model)})"
            )
    return surfaces
