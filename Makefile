# make         build the optimised engine with CXX (default g++): build/engine-<compiler>/marrowby,
#              copied to EXE when given (make -j EXE=<path> CXX=<compiler>); ARCH=native optimises
#              for this machine's processor (any -march value works), the default runs anywhere;
#              PROFILE=off skips the profile run of its bench that guides the optimisation
# make run    build the engine (Release) and start it
# make test   build and run every test
# make bench  print perft, evaluation and search speed, start-up time and peak memory
# make perft-suite  run the perft suites to their full depths
# make format  format the sources as .clang-format says (make test checks it)
# make fuzz   run each fuzz target of fuzz/ for a fixed number of inputs
# make valgrind  a short engine session under valgrind's memcheck
# make install   install the build of make (the engine), its polyglot configuration and manual page under
#                PREFIX (default /usr/local)
# make uninstall remove what make install puts under PREFIX, and the folders it created there
# make package   build a Debian package in build/package (the engine in /usr/games) with CXX and ARCH as make
# make web     build the engine as WebAssembly and the page that plays it into build/web (static files)
# make serve   serve build/web on localhost with cross-origin isolation (WEB_PORT, default 8080) and print the address
# make bench-web  print the page's start-up in headless Chromium (page start to the engine's first line, median of loads)
#                 and the time its analysis board takes to review a 40-move game at the default setting
# make static    build the engine for x86-64 Linux linked statically: build/static/marrowby
# make windows   build the engine for 64-bit Windows: build/windows/marrowby.exe, one file without DLLs;
#                optimised as make's, the profile recorded under wine64 (PROFILE=off skips it)
# make arm64     build the engine for 64-bit ARM Linux and Android, linked statically: build/arm64/marrowby;
#                optimised as make's, the profile recorded under qemu-aarch64
# make armhf     the same for 32-bit ARM (ARMv7 with hardware floating point): build/armhf/marrowby,
#                optimised at link time only
# make package-arm64  build the Debian package of architecture arm64 in build/package-arm64
# make dist      write the release archives to build/dist: Windows .zip, Linux x86-64, arm64 and armhf
#                tarballs, the page's .zip and SHA256SUMS
# make test-cross  build the cross builds and test them under wine64, qemu-aarch64 and qemu-arm
#                (scripts/check-cross.sh)
# make test-release  write the archives and check each as its README tells a user to use it
#                (scripts/check-release.sh)

CMAKE_GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
RELEASE_DIR := build/release
TEST_DIR := build/test
SANITIZE_DIR := build/sanitize
THREADS_DIR := build/threads
FUZZ_DIR := build/fuzz
PACKAGE_DIR := build/package
PREFIX ?= /usr/local
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
ARCH ?=
EXE ?=
# One build directory per compiler and instruction set, so that builds with
# g++ and clang++ do not share one.
ENGINE_DIR := build/engine-$(notdir $(lastword $(CXX)))$(if $(ARCH),-$(ARCH))

.DEFAULT_GOAL := engine
.PHONY: engine run test bench perft-suite release format format-check test-checked test-sanitize test-threads fuzz \
	valgrind install-build install uninstall package

# The build engine-testing frameworks and packagers run: only a C++20 compiler,
# CMake and make are needed, and a warning of their compiler does not stop it.
# make install and make package install from the same build directory, the
# binary in bin/ and in games/ (configuring the other one compiles nothing).
# It is optimised at link time and with a profile of its bench where the
# compiler offers them: an instrumented engine in $(ENGINE_DIR)-profile runs
# "marrowby bench" once, and again after a change of the sources. PROFILE=off
# leaves the profile out.
PROFILE ?= on
# $(call optimised_cmake,DIRECTORY,RECORD DIRECTORY,CMAKE ARGUMENTS,TOOLCHAIN FILE) configures one
# Release build, the toolchain file given only to a new build directory (CMake keeps it).
optimised_cmake = cmake -S . -B $(1) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	$(if $(4),$(if $(wildcard $(1)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=$(4))) \
	-DMARROWBY_PROFILE_DIR=$(abspath $(2))-profile/record $(3) >/dev/null
# $(call optimised_configure,DIRECTORY,CMAKE ARGUMENTS[,TESTS[,TOOLCHAIN FILE]]) configures a
# Release engine build so, the instrumented build in DIRECTORY-profile recorded first; TESTS (ON or
# OFF, the default) adds the unit tests to the optimised build.
optimised_configure = $(if $(filter on,$(PROFILE)),\
	$(call optimised_cmake,$(1)-profile,$(1),$(2) -DMARROWBY_TESTS=OFF -DMARROWBY_PROFILE=GENERATE,$(4)) && \
	MAKEFLAGS= cmake --build $(1)-profile -j $(JOBS) --target profile &&) \
	$(call optimised_cmake,$(1),$(1),$(2) -DMARROWBY_TESTS=$(or $(3),OFF) -DMARROWBY_LTO=ON \
		-DMARROWBY_PROFILE=$(if $(filter on,$(PROFILE)),USE),$(4))
engine_configure = $(call optimised_configure,$(ENGINE_DIR),-DCMAKE_CXX_COMPILER="$(CXX)" -DMARROWBY_ARCH="$(ARCH)" \
	-DMARROWBY_WERROR=OFF -DMARROWBY_INSTALL_BINDIR=$(1) -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)

# The sub-build gets its own job count rather than this make's job server.
engine:
	@CXX="$(CXX)" scripts/ensure-deps.sh engine
	@$(call engine_configure,bin)
	@MAKEFLAGS= cmake --build $(ENGINE_DIR) -j $(JOBS) --target marrowby
ifneq ($(EXE),)
	@mkdir -p "$(dir $(abspath $(EXE)))" && cp $(ENGINE_DIR)/marrowby "$(abspath $(EXE))"
	@echo "Engine: $(abspath $(EXE))"
else
	@echo "Engine: $(ENGINE_DIR)/marrowby"
endif

RELEASE_CONFIGURE = cmake -S . -B $(RELEASE_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DMARROWBY_TESTS=OFF >/dev/null

release:
	@scripts/ensure-deps.sh engine
	@$(RELEASE_CONFIGURE)
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

# The sources follow .clang-format; the tests fail on code that does not.
# Listed without git, so that a tree from an archive checks them too.
SOURCES = $(shell find . -path ./build -prune -o -path './.*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print)

format:
	@scripts/ensure-deps.sh format
	@clang-format -i $(or $(SOURCES),$(error no sources found))

format-check:
	@scripts/ensure-deps.sh format
	@clang-format --dry-run -Werror $(or $(SOURCES),$(error no sources found))

run: release
	@$(RELEASE_DIR)/marrowby

# Everything the tests need is named (or installed) at once, before the first of them.
test:
	@scripts/ensure-deps.sh test
	@$(MAKE) --no-print-directory format-check test-checked test-sanitize test-threads

test-checked:
	@scripts/ensure-deps.sh test
	@cmake -S . -B $(TEST_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Checked >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)
	@ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer over the same tests; the
# perft suites stop at smaller counts there to keep the run short.
test-sanitize:
	@scripts/ensure-deps.sh test
	@cmake -S . -B $(SANITIZE_DIR) -G "$(CMAKE_GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DMARROWBY_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@MARROWBY_PERFT_LIMIT=20000 ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# ThreadSanitizer over the tests that run searches on their own thread.
test-threads:
	@scripts/ensure-deps.sh test
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

# The build of make (the same CXX and ARCH), the binary in bin/. Directories
# are removed only when the install created them (scripts/install.sh).
install-build:
	@CXX="$(CXX)" scripts/ensure-deps.sh engine
	@$(call engine_configure,bin)
	@MAKEFLAGS= cmake --build $(ENGINE_DIR) -j $(JOBS) --target marrowby manual_page

install: install-build
	@scripts/install.sh install $(ENGINE_DIR) "$(abspath $(PREFIX))"

uninstall: install-build
	@scripts/install.sh uninstall $(ENGINE_DIR) "$(abspath $(PREFIX))"

# A Debian package: the engine in /usr/games as Debian places its engines, the
# polyglot configuration in /usr/share/marrowby, the manual page marrowby(6).
package:
	@CXX="$(CXX)" scripts/ensure-deps.sh package
	@$(call engine_configure,games)
	@MAKEFLAGS= cmake --build $(ENGINE_DIR) -j $(JOBS) --target marrowby manual_page
	@cpack -G DEB --config $(ENGINE_DIR)/CPackConfig.cmake -B $(PACKAGE_DIR)

# The browser build: the WebAssembly module (emscripten) and the page, in one
# folder of static files that any server can serve (the page's service worker
# adds the two cross-origin isolation headers when the host does not send
# them); make serve sends them itself.
WEB_DIR := build/web
WEB_PORT ?= 8080
.PHONY: web serve bench-web

web:
	@scripts/ensure-deps.sh web
	@JOBS=$(JOBS) scripts/build-web.sh $(WEB_DIR)

serve: web
	@node web/serve.js $(WEB_DIR) $(WEB_PORT)

bench-web: web
	@MARROWBY_WEB=$(WEB_DIR) node bench/web_startup.js
	@MARROWBY_WEB=$(WEB_DIR) node bench/web_review.js

# Builds for other systems with Debian's cross compilers, each in its own
# directory with the toolchain file of cmake/: the engine, the perft suite
# runner and the bench (CROSS_TESTS=ON adds the unit tests, as
# scripts/check-cross.sh builds them). The engine is optimised as make's, its
# profile recorded under the target's runner (wine64, qemu-aarch64; armhf has
# none); PROFILE=off leaves the profile out. The ARM engines are linked
# statically, so that they run on any Linux of their processor and on Android.
CROSS_TARGETS := windows arm64 armhf
STATIC_TARGETS := arm64 armhf
# The armhf engine ran its bench no faster under qemu-arm with a profile than
# without one, and the instrumented bench takes minutes there.
armhf: PROFILE = off
CROSS_TESTS ?= OFF
CROSS_CONFIGURE = $(call optimised_configure,build/$(1),\
	-DMARROWBY_STATIC=$(if $(filter $(STATIC_TARGETS),$(1)),ON,OFF) $(2),$(CROSS_TESTS),cmake/$(1).cmake)
.PHONY: static $(CROSS_TARGETS) package-arm64 dist test-cross test-release

# The x86-64 Linux engine of the release: portable code, linked statically,
# optimised as make's.
static:
	@scripts/ensure-deps.sh engine
	@$(call optimised_configure,build/static,-DMARROWBY_STATIC=ON)
	@MAKEFLAGS= cmake --build build/static -j $(JOBS) --target marrowby manual_page
	@echo "Engine: build/static/marrowby"

$(CROSS_TARGETS):
	@scripts/ensure-deps.sh $@
	@$(call CROSS_CONFIGURE,$@)
	@MAKEFLAGS= cmake --build build/$@ -j $(JOBS) --target marrowby perft_suite marrowby_bench
	@echo "Engine: build/$@/marrowby$(if $(filter windows,$@),.exe)"

# The arm64 package as make package builds the native one. dpkg-shlibdeps
# reads only the libraries of the machine's own architecture, so the package
# names its dependencies itself (packaging/install.cmake).
package-arm64:
	@scripts/ensure-deps.sh arm64 package
	@$(call CROSS_CONFIGURE,arm64,-DMARROWBY_INSTALL_BINDIR=games)
	@MAKEFLAGS= cmake --build build/arm64 -j $(JOBS) --target marrowby manual_page
	@cpack -G DEB --config build/arm64/CPackConfig.cmake -B build/package-arm64
	@echo "Package: $$(ls build/package-arm64/*.deb)"

# The static x86-64 engine, the cross builds and the page.
dist:
	@$(MAKE) --no-print-directory static $(CROSS_TARGETS) web
	@scripts/ensure-deps.sh dist
	@scripts/make-dist.sh build/dist

test-cross:
	@scripts/check-cross.sh

test-release:
	@scripts/check-release.sh
