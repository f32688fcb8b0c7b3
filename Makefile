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

# Every fuzz target for FUZZ_SECONDS each, from a copy of its committed corpus; fails on
# any finding, which is left in $(FUZZ_BUILD)/findings. See fuzz/README.md.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS      := typed_value conversions drag_inputs drag_table command_line
.PHONY: fuzz
fuzz:
	@scripts/install-deps fuzz
	@CXX=clang++ cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAJECTRIX_FUZZ=ON -DTRAJECTRIX_WERROR=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@failed=; for t in $(FUZZERS); do \
	    rm -rf $(FUZZ_BUILD)/scratch/$$t $(FUZZ_BUILD)/findings/$$t; \
	    mkdir -p $(FUZZ_BUILD)/scratch/$$t $(FUZZ_BUILD)/findings/$$t; \
	    cp fuzz/corpus/$$t/* $(FUZZ_BUILD)/scratch/$$t/; \
	    echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	    $(FUZZ_BUILD)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=5 -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_BUILD)/findings/$$t/ $(FUZZ_BUILD)/scratch/$$t >$(FUZZ_BUILD)/findings/$$t/log 2>&1 \
	        && grep -h -E '^stat::(number_of_executed_units|average_exec_per_sec)' $(FUZZ_BUILD)/findings/$$t/log \
	        || { failed="$$failed $$t"; tail -n 40 $(FUZZ_BUILD)/findings/$$t/log; }; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: findings in$$failed, see $(FUZZ_BUILD)/findings" >&2; exit 1; fi

# clang-tidy with the checks of .clang-tidy over the project's sources.
lint: deps
	@scripts/install-deps tools
	@scripts/lint

# The Debian packages, built from the committed tree in a copy under $(DEBBUILD)
# and checked by lintian; test-deb installs them here, tries the installed
# program and purges them again.
DEBBUILD ?= build-deb
.PHONY: deb test-deb
deb:
	@scripts/install-deps deb
	@scripts/build-deb $(DEBBUILD) $(JOBS)

test-deb:
	@scripts/install-deps test
	@scripts/test-deb $(DEBBUILD)

clean:
	@rm -rf $(BUILD) $(SANBUILD)
