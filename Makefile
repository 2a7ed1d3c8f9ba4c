# Thin wrapper over the scripts and CMake. `make run` and `make test` are the README's two
# commands (scripts/play, scripts/test): they set everything up from scratch.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps deps-dev build run test bench install fresh-machine-check clean

deps:
	./scripts/install-deps --tests

deps-dev:
	./scripts/install-deps --dev

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run:
	./scripts/play

test:
	./scripts/test

bench: build
	./scripts/run-benchmarks $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

# Root only: the README's commands on pristine Debian 12 roots (see the README).
fresh-machine-check:
	./scripts/fresh-machine-check

clean:
	rm -rf $(BUILD) build-asan
