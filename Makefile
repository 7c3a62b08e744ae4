# The two everyday commands: `make run` and `make test`. Both install what they need first.
GENERATOR := -G Ninja
BUILD     := build
ASAN      := build-asan
BENCH     := build-bench
FUZZ      := build-fuzz
FUZZ_SECONDS ?= 60
JOBS      ?= $(shell nproc)

.PHONY: run test asan bench fuzz package deps configure build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-program $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The Debian package (CPack, in build/package/) and the check of its contents list.
package: build
	@cmake --build $(BUILD) --target package
	scripts/check-package $(BUILD)/package/pictog_*.deb

asan: deps
	@cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DPICTOG_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

bench: deps
	@scripts/install-bench-deps
	@cmake -S . -B $(BENCH) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DPICTOG_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS)
	scripts/run-benchmarks $(BENCH)

# Every fuzz target for FUZZ_SECONDS each (clang, libFuzzer, ASan + UBSan), one after the other.
fuzz: deps
	@cmake -S . -B $(FUZZ) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DPICTOG_BUILD_FUZZ=ON -DPICTOG_BUILD_GUI=OFF -DPICTOG_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ) --target pictog-fuzzers -j $(JOBS)
	fuzz/run-fuzzers $(FUZZ) $(FUZZ_SECONDS)
