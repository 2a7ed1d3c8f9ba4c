# Thin wrapper over the scripts and CMake. `make run` and `make test` are the README's two
# commands (scripts/play, scripts/test): they set everything up from scratch. The builds are
# CMakePresets.json's default preset; BUILD puts it into another folder.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps deps-dev build game run test bench playtest install fresh-machine-check clean

deps:
	./scripts/install-deps --tests

deps-dev:
	./scripts/install-deps --dev

# Configures and builds only: the packages come from `make deps` (or the two commands).
build:
	cmake --preset default -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

run:
	./scripts/play

test:
	./scripts/test

bench: build
	./scripts/run-benchmarks $(BUILD)

# The pilot with a person's senses over the whole table of seeds and missions (hours).
playtest: build
	./scripts/playtest $(BUILD)

# The game, its tools and install files, with the player's packages only (tests and
# benchmarks are built too where their packages are there): what `make install` needs.
game:
	./scripts/install-deps --player
	cmake --preset default -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

# Install as the owner of the prefix: `make install PREFIX=~/.local`, or build first with
# `make game` and then `sudo cmake --install build --prefix /usr/local`.
install: game
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

# Root only: the README's commands on pristine Debian 12 roots (see the README).
fresh-machine-check:
	./scripts/fresh-machine-check

clean:
	rm -rf $(BUILD) build-asan fuzz-build cov-build
