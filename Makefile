# make run    build the engine (Release) and start it
# make test   build and run every test
# make bench  print perft, evaluation and search speed figures
# make perft-suite  run the perft suites to their full depths
# make format  format the sources as .clang-format says (make test checks it)

CMAKE_GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
RELEASE_DIR := build/release
TEST_DIR := build/test
SANITIZE_DIR := build/sanitize
THREADS_DIR := build/threads
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test bench perft-suite release deps format format-check test-checked test-sanitize test-threads

deps:
	@scripts/ensure-deps.sh

release: deps
	@cmake -S . -B $(RELEASE_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DMARROWBY_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

# The sources follow .clang-format; the tests fail on code that does not.
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

format: deps
	@clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run -Werror $(SOURCES)

run: release
	@$(RELEASE_DIR)/marrowby

test: format-check test-checked test-sanitize test-threads

test-checked: deps
	@cmake -S . -B $(TEST_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Checked >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)
	@ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer over the same tests; the
# perft suites stop at smaller counts there to keep the run short.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DMARROWBY_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@MARROWBY_PERFT_LIMIT=20000 ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# ThreadSanitizer over the tests that run searches on their own thread.
test-threads: deps
	@cmake -S . -B $(THREADS_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DMARROWBY_TSAN=ON >/dev/null
	@cmake --build $(THREADS_DIR) -j $(JOBS)
	@TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(THREADS_DIR) --output-on-failure -R '^Pipes\.|Transcript'

bench: release
	@$(RELEASE_DIR)/marrowby_bench

perft-suite: release
	@$(RELEASE_DIR)/perft_suite tests/data/perftsuite.epd
	@$(RELEASE_DIR)/perft_suite tests/data/perft-edge.epd
