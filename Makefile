# Thin wrapper over CMake. `make run` builds and starts the program,
# `make test` builds and runs every test; both install missing packages first
# (on a machine without make: `bash scripts/make.sh run` / `test`).
# `make bench` runs the benchmarks, `make lint` runs clang-tidy, `make format`
# rewrites the sources in the house style and `make format-check` lists those
# that differ from it.
# `make fuzz` builds the fuzz targets with clang and runs each for FUZZ_TIME
# seconds; `make fuzz-seeds` writes their seed inputs again.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60

.PHONY: all deps configure build run test bench lint format format-check fuzz fuzz-seeds clean

all: build

deps:
	@bash scripts/install-deps.sh

CONFIGURE_ARGS = -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

# Configures only a build folder not yet configured with these arguments;
# after that `cmake --build` configures again by itself when a CMakeLists.txt
# changes.
configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ] || \
	    [ "$$(cat $(BUILD)/.configure-args 2>/dev/null)" != "$(CONFIGURE_ARGS)" ]; then \
	    echo "cmake -S . -B $(BUILD) $(CONFIGURE_ARGS)"; \
	    cmake -S . -B $(BUILD) $(CONFIGURE_ARGS) && echo "$(CONFIGURE_ARGS)" >$(BUILD)/.configure-args; \
	fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/veltrane

# A test program that skipped tests (and failed none) counts as skipped; the
# skipped tests and their reasons follow ctest's summary.
test: build
	@cd $(BUILD) && status=0 && \
	    { QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) || status=$$?; } && \
	    { ! grep -q '^skipped: ' Testing/Temporary/LastTest.log || \
	      { echo "Skipped tests, and why:"; grep -h '^skipped: ' Testing/Temporary/LastTest.log; }; } && \
	    exit $$status

bench: build
	@bash scripts/run-benchmarks.sh $(BUILD)

lint: configure
	@bash scripts/install-deps.sh lint
	@JOBS=$(JOBS) bash scripts/lint.sh $(BUILD)

format:
	@bash scripts/install-deps.sh format
	@bash scripts/format.sh

format-check:
	@bash scripts/install-deps.sh format
	@bash scripts/format.sh --check

fuzz:
	@bash scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVELTRANE_FUZZ=ON -DVELTRANE_TESTS=OFF -DVELTRANE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_TIME)

fuzz-seeds: build
	$(BUILD)/bin/veltrane_fuzz_seeds fuzz/corpus

clean:
	rm -rf $(BUILD)
