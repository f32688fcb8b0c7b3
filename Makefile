# The two everyday commands are `make run` and `make test`.
BUILD      ?= build
SANBUILD   ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
# xvfb-run's own default is a 640x480, 8-bit screen: too small for the windows.
XVFB_RUN   ?= xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset"

.PHONY: deps test-deps configure build run test test-plain test-sanitize bench screenshots lint clean

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

# Solvers and screen handlers headless, start-up and the session's peak
# memory on a private X display with the real platform plugin.
bench: test-deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks bench_screens bench_startup bench_session
	@$(BUILD)/benchmarks/benchmarks $(BENCH_ARGS)
	@$(BUILD)/benchmarks/bench_screens $(BENCH_ARGS)
	@$(XVFB_RUN) $(BUILD)/benchmarks/bench_startup $(BENCH_ARGS)
	@QT_QPA_PLATFORM=xcb $(XVFB_RUN) $(BUILD)/benchmarks/bench_session

# The README's pictures of every screen, rendered under Xvfb.
screenshots: test-deps
	@scripts/screenshots $(BUILD)

# clang-tidy with the checks of .clang-tidy over the project's sources.
lint: deps
	@scripts/install-deps tools
	@scripts/lint

clean:
	@rm -rf $(BUILD) $(SANBUILD)
