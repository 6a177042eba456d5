# Thin wrapper over CMake: `make demo` runs the demo, `make test` runs every test.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD := build
DEMO_BUILD := build-demo
WIN_BUILD := build-win
WIN64_BUILD := build-win64
ASAN_BUILD := build-asan
TSAN_BUILD := build-tsan
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS ?= 12

.PHONY: demo test deps build windows windows32 windows64 sanitize tsan fuzz lint format format-check clean bench

# The demo installs and builds only what it runs: the tool with the library, the virtual printer
# and its web page, in a build of its own without the tests.
demo:
	@tools/install-deps.sh demo
	cmake -S . -B $(DEMO_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	    -DTARN_UNITY_TOOL=ON
	cmake --build $(DEMO_BUILD) -j$(JOBS) --target tarn-cli
	cd $(DEMO_BUILD) && ./tarn demo

# A skipped test says why in its output; the reasons are shown after the run. The sanitizers'
# run leaves out the tool's command-line tests (a minute of the same code the main run covers).
test: windows build sanitize tsan fuzz format-check lint
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	@grep -h '^skipped: ' $(BUILD)/Testing/Temporary/LastTest.log || true
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) -E '^CliTest\.'

deps:
	@tools/install-deps.sh

# The Linux build knows where the Windows builds are, for the DLLs' export and Wine tests.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTARN_WINDOWS_BUILD=$(abspath $(WIN_BUILD)) -DTARN_WINDOWS64_BUILD=$(abspath $(WIN64_BUILD))
	cmake --build $(BUILD) -j$(JOBS)

# TARN.dll for 32-bit processes (build-win) and for 64-bit processes (build-win64).
windows: windows32 windows64

windows32: deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WIN_BUILD) -j$(JOBS)

windows64: deps
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WIN64_BUILD) -j$(JOBS)

sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARN_SANITIZE=ON -DTARN_BENCHMARKS=OFF \
	    -DTARN_UNITY_TOOL=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

# The suite that runs in-process, threads included, under ThreadSanitizer.
tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARN_TSAN=ON -DTARN_BENCHMARKS=OFF
	cmake --build $(TSAN_BUILD) -j$(JOBS) --target tarn_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/tarn_tests --gtest_brief=1

# libFuzzer (clang) on each fuzz target, FUZZ_SECONDS each.
fuzz: deps
	tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Static analysis of everything built, the Windows-only files through the 64-bit Windows build:
# clang-tidy with the checks in .clang-tidy, then cppcheck; any finding fails.
lint: build windows64
	tools/lint.sh $(BUILD) $(WIN64_BUILD)

SOURCES = $(shell git ls-files --cached --others --exclude-standard '*.cpp' '*.h')

format:
	clang-format -i $(SOURCES)

format-check: deps
	clang-format --dry-run -Werror $(SOURCES)

# Benchmarks are not tests: they measure, they do not pass or fail.
bench: windows64 build
	tools/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(DEMO_BUILD) $(WIN_BUILD) $(WIN64_BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
