# The two everyday commands are `make run` and `make test`.
BUILD      ?= build
SANBUILD   ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: deps test-deps configure build run test test-plain test-sanitize bench clean

deps:
	@scripts/install-deps build

test-deps:
	@scripts/install-deps test

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAJECTRIX_WERROR=ON $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/app/trajectrix

# Every test twice: as built for use, and under the address, leak and
# undefined-behaviour sanitizers.
test: test-plain test-sanitize

test-plain: test-deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAJECTRIX_WERROR=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: test-deps
	@cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DTRAJECTRIX_SANITIZE=ON -DTRAJECTRIX_WERROR=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SANBUILD) -j $(JOBS)
	@cd $(SANBUILD) && ctest --output-on-failure -j $(JOBS)

bench: test-deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@$(BUILD)/benchmarks/benchmarks

clean:
	@rm -rf $(BUILD) $(SANBUILD)
