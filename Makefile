# make run    build the engine (Release) and start it
# make test   build and run every test
# make bench  print perft, evaluation and search speed, start-up time and peak memory
# make perft-suite  run the perft suites to their full depths
# make format  format the sources as .clang-format says (make test checks it)
# make fuzz   run each fuzz target of fuzz/ for a fixed number of inputs
# make valgrind  a short engine session under valgrind's memcheck
# make install   install the engine binary under PREFIX (default /usr/local)

CMAKE_GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
RELEASE_DIR := build/release
TEST_DIR := build/test
SANITIZE_DIR := build/sanitize
THREADS_DIR := build/threads
FUZZ_DIR := build/fuzz
PREFIX ?= /usr/local
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test bench perft-suite release deps format format-check test-checked test-sanitize test-threads fuzz \
	valgrind install

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

# The fuzz targets, built with clang's libFuzzer under AddressSanitizer and
# UBSan. Each runs FUZZ_ARGS: by default 20,000 inputs; for a longer hunt, for
# example  nice make fuzz FUZZ_ARGS=-max_total_time=3600  (an hour each). New
# inputs go to build/fuzz/corpus, a failing input to build/fuzz/crash-*; the
# seeds in fuzz/corpus stay as they are.
FUZZ_TARGETS := fen commands moves
FUZZ_ARGS ?= -runs=20000
fuzz:
	@scripts/ensure-deps.sh fuzz
	@cmake -S . -B $(FUZZ_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Checked -DCMAKE_CXX_COMPILER=clang++ \
		-DMARROWBY_FUZZ=ON -DMARROWBY_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for target in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$target && \
		echo "fuzz_$$target: $(FUZZ_ARGS)" && \
		$(FUZZ_DIR)/fuzz_$$target -timeout=30 -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_ARGS) \
			$(FUZZ_DIR)/corpus/$$target fuzz/corpus/$$target 2>$(FUZZ_DIR)/$$target.log || \
			{ tail -n 60 $(FUZZ_DIR)/$$target.log; exit 1; }; \
		grep -E 'DONE|^Done' $(FUZZ_DIR)/$$target.log; \
	done

# A short engine session under valgrind's memcheck: search, console game,
# perft and quit must end without a memory error or leak.
valgrind:
	@scripts/ensure-deps.sh valgrind
	@cmake -S . -B $(TEST_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Checked >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS) --target marrowby
	@scripts/valgrind-session.sh $(TEST_DIR)/marrowby

install: release
	@cmake --install $(RELEASE_DIR) --prefix $(PREFIX)
