# make test: installs what is missing, builds everything and runs every test layer.
# make run:  builds the program and starts it in a Wine desktop with a taskbar.
# make dist: the portable zip, the per-user setup, checksums and winget manifests in build/dist.
SHELL := /bin/bash
NATIVE_CORE_TESTS := $(CURDIR)/build/native/tests/core/zelk_core_tests
NATIVE_LOCAL_INI := $(CURDIR)/build/native/tools/dist/zelk_local_ini
SOURCES = $(shell git ls-files '*.cpp' '*.h')

.PHONY: all deps native cross format format-check tidy test run dist bench clean exercise mutate fuzz \
	test-share

all: cross

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

cross: deps native
	@cmake --preset mingw -DZELK_NATIVE_CORE_TESTS=$(NATIVE_CORE_TESTS) \
		-DZELK_NATIVE_LOCAL_INI=$(NATIVE_LOCAL_INI) >/dev/null
	@cmake --build --preset mingw

format:
	@clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES)
	@echo "format: ok"

test: format-check cross tidy
	@bash scripts/test.sh

# The static-analysis gate (.clang-tidy): part of make test, on its own for a quick look.
tidy: cross
	@bash scripts/tidy.sh

run: cross
	@bash scripts/run.sh

dist: cross
	@cmake --build --preset mingw --target dist

clean:
	@bash scripts/xvfb-stop.sh
	@rm -rf build

# Benchmarks measure; they are not tests. Built without sanitizers so the figures mean something.
bench: deps
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELK_SANITIZE=OFF >/dev/null
	@cmake --build build/bench --target zelk_core_bench
	@build/bench/bench/zelk_core_bench
	@$(MAKE) --no-print-directory cross
	@bash scripts/xvfb-start.sh && bash scripts/wine-prefix.sh
	@bash scripts/wine-run.sh build/mingw/bench/zelk_list_bench.exe
	@bash scripts/wine-run.sh build/mingw/bench/zelk_menu_bench.exe | tr -d '\r' | tee build/bench-menu.txt
	@bash scripts/install-deps.sh bench
	@grep '^plot ' build/bench-menu.txt | cut -d' ' -f2- > build/bench-plot.dat
	@gnuplot bench/bench.gp && echo "wrote docs/bench.png"

# A randomized walk through the menu in the private Wine desktop: make exercise WALK=7 ACTIONS=1000
# Tools that drive this target may name the walk number their own way: the value of any other
# variable given on the command line (ACTIONS aside) is taken as WALK.
other_given := $(filter-out ACTIONS=%,$(MAKEOVERRIDES))
WALK ?= $(or $(word 2,$(subst =, ,$(firstword $(other_given)))),1)
ACTIONS ?= 400
exercise: cross
	@bash scripts/xvfb-start.sh && bash scripts/wine-prefix.sh
	@DISPLAY="$$(cat build/xvfb.display)" EXERCISE_WALKS="$(WALK)" EXERCISE_ACTIONS="$(ACTIONS)" \
		bash tests/e2e/exercise.sh build/mingw/src/ZelkToolBars.exe \
		build/mingw/tests/e2e/e2e_helper.exe build/mingw/tests/e2e/probe.exe

# Plants the faults of tools/mutants.txt in src/core one at a time: which do the core tests catch?
mutate: deps
	@python3 tools/mutate

# Test code against the whole C++: fails above a third.
test-share:
	@python3 tools/test-share --folders

# libFuzzer over every reader of outside data, FUZZ_SECONDS (default 60) per target.
fuzz: deps
	@bash tools/fuzz
