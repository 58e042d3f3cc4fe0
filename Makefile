# The two commands of the README are `make run` and `make test`; both set up what they need.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all run test build configure deps deps-test clean bench fuzz stress package

all: build

deps:
	@bash scripts/ensure-deps.sh build

deps-test:
	@bash scripts/ensure-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/app/harkenwire

test: deps-test configure
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: deps
	@bash bench/run.sh

fuzz:
	@bash fuzz/run.sh

stress: deps-test
	@bash stress/run.sh

package: deps-test
	@bash packaging/package.sh

clean:
	rm -rf $(BUILD)
