# Set-up, build and tests in one command each; see README.md.
BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
THREAD_DIR   ?= build-thread
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS         ?= $(shell nproc)
CMAKE_FLAGS  := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build run test test-sanitize test-thread fuzz bench format clean

deps:
	scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Without a display the application says so and exits instead of starting.
run: build
	$(BUILD_DIR)/src/app/orbin-combine

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# intercept_tls_get_addr=0: Debian 12's sanitizer runtime guesses the size of a thread-local
# block of a library loaded later (Qt's image plugins) from the heap bytes before it, sometimes
# wrongly, and the leak checker then crashes at exit; without the interception it does not.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) $(CMAKE_FLAGS) -DORBIN_SANITIZE=ON -DORBIN_BUILD_BENCHMARKS=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:print_suppressions=0 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# The tests of the libraries that run work on several threads, under ThreadSanitizer; the
# Qt widget tests stay out.
THREAD_TESTS := platform_dispatch_tests platform_reactive_tests reactive_tests utility_tests \
	eventbus_tests platform_http_tests network_tests LxOrbinDocument_tests \
	LxOrbinDocument_manager_tests orbin_combine_engine_tests zip_tests
space := $(subst ,, )

test-thread: deps
	cmake -S . -B $(THREAD_DIR) $(CMAKE_FLAGS) -DORBIN_THREAD_SANITIZE=ON -DORBIN_BUILD_BENCHMARKS=OFF
	cmake --build $(THREAD_DIR) -j $(JOBS) --target $(THREAD_TESTS)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/support/tsan.supp \
		ctest --test-dir $(THREAD_DIR) --output-on-failure -j $(JOBS) \
		-L '^($(subst $(space),|,$(strip $(THREAD_TESTS))))$$'

# clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer: replays the committed
# seeds and past findings of tests/fuzz/, then fuzzes each target for FUZZ_SECONDS.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) $(CMAKE_FLAGS) -DORBIN_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD_DIR)/bench/*_bench; do echo "== $$b"; $$b; done

format:
	find src tests bench -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(THREAD_DIR) $(FUZZ_DIR)
