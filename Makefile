# Thin wrapper over CMake. `make run` builds and starts the program,
# `make test` builds and runs every test; both install missing packages first.
# `make bench` runs the benchmarks, `make lint` runs clang-tidy.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench lint clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/veltrane

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/run-benchmarks.sh $(BUILD)

lint: configure
	@bash scripts/install-deps.sh lint
	@bash scripts/lint.sh $(BUILD)

clean:
	rm -rf $(BUILD)
