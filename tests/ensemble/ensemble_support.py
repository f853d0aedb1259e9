"""Small factory bases of the ensemble tests."""

import brevane_ensemble as ensemble

# Two horizons cut by one fault, a few hundred top triangles: a build takes
# a fraction of a second.
SMALL_FACTORY = ensemble.FactoryModel(nb_horizons=2, nb_faults=1, target_top_triangles=600)

# Perturbations every realisation of the small base survives.
MILD_PERTURBATIONS = ensemble.Perturbations(
    every_horizon=ensemble.RandomShift(std=5.0, correlation_length=300.0),
    every_fault=ensemble.ThrowChange(std=3.0),
)
