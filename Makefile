# The two commands a newcomer needs: `make run` and `make test`.
# Both install what is missing first (Debian 12, as root), then build.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
BENCH := build/bench
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
DIST := build/dist

.PHONY: all setup native win32 win64 dist test unit e2e run bench clean format

# The 32-bit Pikora.exe is the program as it ships; the 64-bit tree builds the
# same sources for 64-bit Windows, and its Wine tests run on every machine
# (some machines cannot execute 32-bit programs at all).
all: native win32 win64

setup:
	@bash tools/setup-debian.sh

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

native: $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

$(WIN64)/CMakeCache.txt:
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

win32: $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

win64: $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

# The release zip, $(DIST)/Pikora-<version>.zip: both programs (stripped
# copies), the read-me, the sound, LICENSE and SHA256SUMS. Same commit, same
# bytes. Only the programs are built: the zip does not wait for the test ones.
dist: $(WIN32)/CMakeCache.txt $(WIN64)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS) --target Pikora
	cmake --build $(WIN64) -j $(JOBS) --target Pikora
	@python3 tools/make-dist.py $(WIN32) $(WIN64) $(DIST)

unit: setup
	@$(MAKE) --no-print-directory all dist
	@DIST_DIR=$(DIST) bash tools/run-tests.sh unit

e2e: setup
	@$(MAKE) --no-print-directory win32 win64
	@bash tools/run-tests.sh wine

test: setup
	@$(MAKE) --no-print-directory all dist
	@DIST_DIR=$(DIST) bash tools/run-tests.sh all

# The 32-bit program where this machine can run it, otherwise the 64-bit one.
run: setup
	@if bash tools/can-run-32bit.sh --wine; then \
	    $(MAKE) --no-print-directory win32 && bash tools/run-pikora.sh $(WIN32)/Pikora.exe; \
	else \
	    $(MAKE) --no-print-directory win64 && bash tools/run-pikora.sh $(WIN64)/Pikora.exe; \
	fi

# Soak runs of the 64-bit program under Wine (a copy storm in history mode,
# popup-and-paste rounds into notepad): figures, not part of `make test`.
.PHONY: soak
soak: setup
	@$(MAKE) --no-print-directory win64
	@bash tools/soak.sh $(WIN64)

bench: setup
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DPIKORA_SANITIZE=OFF -DPIKORA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)
	@for b in $(BENCH)/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done
	@if bash tools/can-run-32bit.sh --wine; then tree=$(WIN32); else tree=$(WIN64); fi; \
	    $(MAKE) --no-print-directory $$(basename $$tree) && bash tools/latency-probe.sh $$tree

# The read-me's pictures (docs/images/*.png), taken under Wine from the 64-bit
# build, which runs on every machine.
.PHONY: screenshots
screenshots: setup
	@$(MAKE) --no-print-directory win64
	@bash tools/screenshots.sh $(WIN64) docs/images

# The core's libFuzzer targets (clang), each for FUZZ_SECONDS; not part of
# `make test`. Needs only clang and GoogleTest, not the Windows tool chain.
.PHONY: fuzz
fuzz:
	@bash tools/setup-debian.sh fuzz
	@FUZZ_TREE=$(FUZZ) JOBS=$(JOBS) bash tools/run-fuzz.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
