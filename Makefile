# Two entry points: `make play` runs the game, `make test` runs every test.
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: play test deps configure build bench clean

play: build
	cd $(BUILD) && ./vrumbal

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

bench: build
	$(BUILD)/bench/vrumbal-bench

clean:
	rm -rf $(BUILD)
