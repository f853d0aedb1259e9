# Set-up, build and run on a Debian 12 machine. Every target installs the
# missing system packages first, then configures and builds with two jobs.

PACKAGES := build-essential cmake ninja-build libabsl-dev libtbb-dev \
	pybind11-dev python3.11-dev python3-pytest python3-numpy \
	libgtest-dev libgmock-dev libbenchmark-dev \
	nlohmann-json3-dev libpugixml-dev libcli11-dev \
	python3-vtk9 mypy python3-dask python3-distributed python3-matplotlib python3-meshio \
	clang libfuzzer-14-dev libembree-dev
JOBS ?= 2
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
# Seconds each fuzzer runs for.
FUZZ_SECONDS ?= 300
# Builds share the machine: one at a time.
BUILD_LOCK := flock /tmp/brevane-build.lock
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: all deps configure build run test test-asan fuzz bench clean

all: build

deps:
	@missing=""; \
	for package in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$package 2>/dev/null | grep -q "install ok installed" \
			|| missing="$$missing $$package"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DBREVANE_WARNINGS_AS_ERRORS=$(WERROR)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target brevane
	./$(BUILD_DIR)/apps/brevane

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DBREVANE_SANITIZE=ON -DBREVANE_BUILD_BENCHMARKS=OFF \
		-DBREVANE_WARNINGS_AS_ERRORS=$(WERROR)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

# The file readers fuzzed with libFuzzer (clang, address and undefined-
# behaviour sanitizers), each for FUZZ_SECONDS; not part of test.
fuzz: configure
	$(BUILD_LOCK) cmake --build $(BUILD_DIR) -j $(JOBS) --target brevane
	$(BUILD_LOCK) cmake -S fuzz -B $(FUZZ_BUILD_DIR) -G Ninja \
		-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(BUILD_LOCK) cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)
	fuzz/run_fuzzers.sh $(BUILD_DIR)/apps/brevane $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

bench: build
	@for program in $(BUILD_DIR)/bench/bench_*; do echo "== $$program"; $$program; done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)
