# Two entry points: `make demo` and `make test`. Both install what is missing first.
# JOBS: parallel jobs of the builds and test runs (default: every core).
# FUZZ_SECONDS: how long `make test` and `make fuzz` run each fuzz target.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 10

.PHONY: deps configure build build-asan demo test test-release test-asan check-moto fuzz bench clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESK_SANITIZE=ON -DTESK_BENCH=OFF
	cmake --build build-asan -j $(JOBS)

# The demo needs the library and the example host only.
demo: configure
	cmake --build build -j $(JOBS) --target tesk_example
	./build/examples/tesk_example data build

# The cloud tests run against the moto AWS emulator on loopback.
check-moto:
	@python3 -c 'import moto, moto.server, boto3' 2>/dev/null || { \
		echo "make test needs the AWS emulator: python3 cannot import moto and boto3 (pip install 'moto[server]' boto3)" >&2; \
		exit 1; }

test-release: check-moto build
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: check-moto build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

# Each fuzz target's output goes to build-fuzz/logs/<target>.log, shown when the target fails.
fuzz: deps
	JOBS=$(JOBS) bash scripts/run-fuzzers.sh $(FUZZ_SECONDS)

# Runs every stage, even after a failed one, and ends with one line per stage and
# "N passed, N failed"; fails when any stage failed.
test: deps check-moto
	@JOBS=$(JOBS) FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/run-tests.sh

bench: build
	./build/bench/tesk_bench

clean:
	rm -rf build build-asan build-fuzz
