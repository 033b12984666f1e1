# The two commands of the README: `make run` builds and starts Kelvane, `make test` builds
# and runs every test. Both install what they need first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_BENCH=ON

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/kelvane

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
