# Sarvanta's front door. Every target installs what it needs first.
#   make deps    install the Debian packages (scripts/install-deps)
#   make build   configure and build everything into build/
#   make test    build and run every test
#   make run     the program's main job on the bundled example
#   make bench   build and run the benchmarks
#   make asan    the core tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   make tsan    the parallel-evaluation tests and short runs under ThreadSanitizer
#   make fuzz    build the fuzz targets with clang and run each briefly

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10
CMAKE_FLAGS ?=

CORE_TESTS = test_base test_expr test_model test_ga test_task

.PHONY: deps configure build test run bench asan tsan fuzz clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSARVANTA_WERROR=ON $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-example $(BUILD)

bench: build
	@scripts/run-benchmarks $(BUILD)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSARVANTA_SANITIZE=ON \
	  -DSARVANTA_WERROR=ON -DSARVANTA_BUILD_GUI=OFF -DSARVANTA_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target $$(scripts/existing-targets $(ASAN_BUILD) $(CORE_TESTS))
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -R '^(base|expr|model|ga|task)$$'

tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSARVANTA_TSAN=ON \
	  -DSARVANTA_WERROR=ON -DSARVANTA_BUILD_GUI=OFF -DSARVANTA_BUILD_BENCH=OFF -DSARVANTA_MPI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_ga test_task sarvanta-cli
	@scripts/run-tsan $(TSAN_BUILD)

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSARVANTA_BUILD_FUZZ=ON -DSARVANTA_BUILD_GUI=OFF -DSARVANTA_BUILD_TESTS=OFF -DSARVANTA_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link"
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
