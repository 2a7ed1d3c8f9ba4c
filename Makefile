# Thin wrapper over CMake. `make run` and `make test` set everything up from scratch.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench install clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/kelvane

test: deps
	./scripts/run-tests

bench: build
	./scripts/run-benchmarks $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf $(BUILD) build-asan
