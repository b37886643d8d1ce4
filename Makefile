# The two commands a newcomer needs: `make run` and `make test`.
# Both install what is missing first (Debian 12, as root), then build.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
BENCH := build/bench

.PHONY: all setup native win32 test unit e2e run bench clean format

all: native win32

setup:
	@bash tools/setup-debian.sh

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

native: $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

win32: $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

unit: setup native
	ctest --test-dir $(NATIVE) --output-on-failure

e2e: setup win32
	ctest --test-dir $(WIN32) --output-on-failure

test: setup
	@$(MAKE) --no-print-directory all
	ctest --test-dir $(NATIVE) --output-on-failure
	ctest --test-dir $(WIN32) --output-on-failure

run: setup
	@$(MAKE) --no-print-directory win32
	@bash tools/run-pikora.sh $(WIN32)/Pikora.exe

bench: setup
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DPIKORA_SANITIZE=OFF -DPIKORA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)
	@for b in $(BENCH)/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done
	@if [ -x tools/latency-probe.sh ]; then $(MAKE) --no-print-directory win32 && bash tools/latency-probe.sh; fi

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
