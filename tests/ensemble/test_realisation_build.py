"""One realisation built in the test's own process, stage by stage."""

import math
import os

import pytest

import tessark
import brevane_ensemble as ensemble
from brevane_ensemble.realisation_build import (
    build_realisation,
    describe_base,
    inspection_finds_problems,
)
from brevane_ensemble.records import STAGES

from ensemble_support import MILD_PERTURBATIONS, SMALL_FACTORY

# Pushes the upper horizon through the lower one: the build fails.
FOLDING = ensemble.Perturbations(horizon_shifts={"horizon_1": ensemble.ConstantShift(300.0)})


def realisation(perturbations, index=0, seed=5):
    return ensemble.Realisation(ensemble.EnsembleBase(SMALL_FACTORY, perturbations), index, seed)


def test_a_built_realisation_has_every_stage_cells_and_volumes(tmp_path):
    record = build_realisation(realisation(MILD_PERTURBATIONS, index=3), str(tmp_path))
    assert record["status"] == "built", record["message"]
    assert record["message"] == ""
    assert all(record["times"][stage] >= 0 for stage in STAGES)
    # H x (F + 1) + F surface groups, plus the top and the bottom.
    assert record["nb_slices"] == 2 * 2 + 1 + 2
    assert record["cells"]["prism"] > 0 and record["cells"]["hexahedron"] == 0
    assert record["nb_inverted_cells"] == 0
    blocks = describe_base(realisation(MILD_PERTURBATIONS).base)["blocks"]
    assert sorted(record["volumes"]) == blocks
    assert all(volume > 0 for volume in record["volumes"].values())
    saved = tmp_path / ensemble.realisation_file_name(3)
    assert saved.exists()
    model = tessark.load_model(str(saved))
    assert model.nb_blocks() == len(record["volumes"])


def test_the_box_volume_is_kept_whatever_the_perturbation():
    # Horizons move inside the model; its outer boundary does not.
    records = [build_realisation(realisation(MILD_PERTURBATIONS, seed=s), None) for s in (1, 2)]
    totals = [sum(record["volumes"].values()) for record in records]
    assert totals[0] == pytest.approx(totals[1], rel=1e-6)


def test_a_folded_horizon_fails_in_the_build_with_its_message():
    record = build_realisation(realisation(FOLDING), None)
    assert record["status"] == "failed"
    assert record["message"].startswith("build: ")
    assert record["times"]["perturb"] >= 0 and math.isnan(record["times"]["summarise"])
    assert record["volumes"] == {} and record["nb_slices"] == 0


def test_a_missing_model_file_fails_in_the_load_stage(tmp_path):
    missing = ensemble.EnsembleBase(ensemble.ModelFile(str(tmp_path / "missing.vtm")))
    record = build_realisation(ensemble.Realisation(missing, 0, 1), None)
    assert record["status"] == "failed"
    assert record["message"].startswith("load: ") and "missing.vtm" in record["message"]


def test_the_save_stage_is_skipped_without_an_output_folder(tmp_path):
    record = build_realisation(realisation(MILD_PERTURBATIONS), None)
    assert record["status"] == "built" and math.isnan(record["times"]["save"])
    assert os.listdir(tmp_path) == []


@pytest.mark.parametrize(
    "report, finds_problems",
    [
        ("no issues with A.\nno issues with B.\n", False),
        ("no issues with A.\n2 issues with B.\n\tfirst\n\tsecond\n", True),
        ("1 issues with A.\n\tvertex 4\nno issues with B.\n", True),
        ("", False),
    ],
)
def test_inspection_reports_with_a_problem_refuse_the_build(report, finds_problems):
    assert inspection_finds_problems(report) == finds_problems


def test_the_base_description_names_blocks_and_horizons():
    description = describe_base(realisation(FOLDING).base)
    assert description["horizons"] == ["horizon_1", "horizon_2"]
    assert description["nb_faults"] == 1
    # Two fault blocks of three layers each.
    assert len(description["blocks"]) == 6
