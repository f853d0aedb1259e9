#!/bin/sh
# Runs every fuzzer for a bounded time, one process each, from seeds made
# from the sample model (its model files, and its surfaces exported as a
# TSurf set) and the seeds kept in fuzz/corpus. Inputs that crash, leak or
# take more than a second are written to <build>/work/artifacts; keep them
# in tests/io/fuzz_regressions/<fuzzer> so that io_tests replays them.
#
# usage: run_fuzzers.sh <brevane tool> <fuzz build folder> <seconds per fuzzer>
set -eu
tool=$(realpath "$1")
build=$(realpath "$2")
seconds=$3
source=$(dirname "$(realpath "$0")")
work=$build/work
fuzzers="tsurf_reader tsurf_description model_description vtk_mesh"

rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/artifacts"
cd "$work/seeds"
"$tool" sample --horizons 1 --faults 0 --top-triangles 30 -o sample.vtm > /dev/null
"$build/fuzz_seeds" sample.vtm tsurf
for fuzzer in $fuzzers; do
	mkdir -p "$fuzzer" "$work/corpus/$fuzzer"
	if [ -d "$source/corpus/$fuzzer" ]; then
		cp "$source/corpus/$fuzzer/"* "$fuzzer/"
	fi
	regressions="$source/../tests/io/fuzz_regressions/$fuzzer"
	if [ -d "$regressions" ]; then
		cp "$regressions/"* "$fuzzer/"
	fi
done
cp tsurf/*.ts tsurf_reader/
cp tsurf/model.json tsurf_description/
cp sample_files/model.json model_description/
cp sample_files/corner_0.vtp sample_files/line_0.vtp \
	sample_files/surface_0.vtp sample_files/block_0.vtu vtk_mesh/

status=0
for fuzzer in $fuzzers; do
	echo "== $fuzzer: $seconds s"
	cd "$work"
	rm -f fuzz-0.log
	"$build/${fuzzer}_fuzzer" -jobs=1 -workers=1 -max_total_time="$seconds" \
		-timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
		-artifact_prefix="$work/artifacts/$fuzzer-" \
		"$work/corpus/$fuzzer" "$work/seeds/$fuzzer" > /dev/null 2>&1 || status=1
	grep -E "^#[0-9]+.*(DONE|pulse|REDUCE|NEW)" fuzz-0.log | tail -n 1
	grep -E "stat::number_of_executed_units|stat::peak_rss_mb" fuzz-0.log || true
	if grep -qE "ERROR|Timeout|crash-|leak-|timeout-|oom-" fuzz-0.log; then
		grep -E "ERROR|Timeout|artifact" fuzz-0.log | head -n 5
		status=1
	fi
	mv fuzz-0.log "$fuzzer.log"
done
exit $status
