# SPDX-License-Identifier: GPL-3.0-or-later
# Fizzgrid: thin wrapper around CMake.
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

# The build with its translation tools (qt6-tools-dev, qt6-l10n-tools), and
# what the tests need: the desktop file and metainfo validators, for the
# package dpkg-shlibdeps (dpkg-dev), file and lintian, and a real desktop for
# one test (xvfb, xauth, openbox, x11-utils).
PACKAGES := build-essential cmake qt6-base-dev qt6-multimedia-dev qt6-tools-dev qt6-l10n-tools \
            desktop-file-utils appstream dpkg-dev file lintian xvfb xauth openbox x11-utils
FUZZ_PACKAGES := clang libclang-rt-14-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test package bench tournament run fuzz lint clean

# Installs the Debian packages given as $(1) that are not installed yet.
define install-missing
@missing=""; for p in $(1); do \
  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
fi
endef

deps:
	$(call install-missing,$(PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package, written to this folder: sudo apt install ./fizzgrid_*.deb
package: build
	rm -f fizzgrid_*.deb
	cd $(BUILD) && cpack -D CPACK_OUTPUT_FILE_PREFIX=$(CURDIR)

bench: build
	@# The window's answer is measured on a real X server with a window manager.
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && echo "== $$b" && \
	  case "$$b" in */bench_flow) tests/app/with-desktop.sh "$$b" ;; *) "$$b" ;; esac; done
	@echo "== $(BUILD)/bench/tournament 8 (two pairings)" && $(BUILD)/bench/tournament 8 \
	  --sizes 5,6 --pairing strong:critical --pairing expert:strong

# Whole games between the computer's levels and the peer-style opponents,
# TOURNAMENT_GAMES per pairing; TOURNAMENT_BASE names another build's
# fizzgrid-engine for the new levels to meet.
TOURNAMENT_GAMES ?= 200
TOURNAMENT_BASE ?=
tournament: build
	$(BUILD)/bench/tournament $(TOURNAMENT_GAMES) $(if $(TOURNAMENT_BASE),--base $(TOURNAMENT_BASE))

FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 60
# Each target fuzz/fuzz_<name>.cpp runs for FUZZ_TIME seconds on its own
# corpus, seeded from fuzz/seeds/<name>/ (and fuzz/<name>.dict when there is
# one), with the libFuzzer options in fuzz/<name>.options when there are any
# (settings: inputs up to 512 bytes, where a saved file is about 300).
FUZZ_TARGETS := receive highscores settings position
# ASan keeps 256 MB of freed memory from reuse, so that every allocation of
# these small, allocation-heavy inputs touches fresh pages; 16 MB still
# catches a use of memory freed within the same input many times over. And
# it records 30 frames of the stack at every allocation, for its reports;
# 3 name the allocating function, and an input it stops on can be rerun
# with the defaults for the whole stack.
FUZZ_ASAN_OPTIONS ?= quarantine_size_mb=16:malloc_context_size=3
# Some targets write a file per input; on a RAM disk the sync of every save
# costs nothing, elsewhere it makes them many times slower.
FUZZ_TMPDIR ?= $(if $(wildcard /dev/shm/.),/dev/shm,$(or $(TMPDIR),/tmp))

fuzz:
	$(call install-missing,$(FUZZ_PACKAGES) $(PACKAGES))
	cmake -S . -B $(FUZZ_BUILD) -DFIZZGRID_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t, $(FUZZ_TIME) s"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts/$$t || exit 1; \
	  dict=""; [ -f fuzz/$$t.dict ] && dict="-dict=fuzz/$$t.dict"; \
	  options=""; [ -f fuzz/$$t.options ] && options=$$(cat fuzz/$$t.options); \
	  TMPDIR=$(FUZZ_TMPDIR) ASAN_OPTIONS=$(FUZZ_ASAN_OPTIONS) $(FUZZ_BUILD)/fuzz/fuzz_$$t $$dict $$options \
	    -max_total_time=$(FUZZ_TIME) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t/ \
	    $(FUZZ_BUILD)/corpus/$$t fuzz/seeds/$$t || exit 1; \
	done

# Every C++ source must be formatted as .clang-format says.
# The code style, and the licence line in the header of every source file.
lint:
	$(call install-missing,clang-format)
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
	@missing=$$(git ls-files '*.cpp' '*.h' '*.sh' '*.cmake' '*.py' '*CMakeLists.txt' Makefile .ci/run \
	  | xargs grep -L 'SPDX-License-Identifier: GPL-3.0-or-later'); \
	[ -z "$$missing" ] || { echo "no SPDX licence line in:" $$missing; exit 1; }

run: build
	$(BUILD)/app/fizzgrid

clean:
	rm -rf $(BUILD)
