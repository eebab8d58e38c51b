# Fizzgrid: thin wrapper around CMake.
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

PACKAGES := build-essential cmake qt6-base-dev qt6-multimedia-dev
FUZZ_PACKAGES := clang libclang-rt-14-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test bench tournament run fuzz lint clean

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

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && echo "== $$b" && "$$b"; done
	@echo "== $(BUILD)/bench/tournament 8" && $(BUILD)/bench/tournament 8

# Whole games between the computer's levels, TOURNAMENT_GAMES per pairing.
TOURNAMENT_GAMES ?= 200
tournament: build
	$(BUILD)/bench/tournament $(TOURNAMENT_GAMES)

FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 60

fuzz:
	$(call install-missing,$(FUZZ_PACKAGES) $(PACKAGES))
	cmake -S . -B $(FUZZ_BUILD) -DFIZZGRID_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) --target fuzz_receive -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/fuzz/fuzz_receive -max_total_time=$(FUZZ_TIME) -print_final_stats=1 $(FUZZ_BUILD)/corpus fuzz/seeds

# Every C++ source must be formatted as .clang-format says.
lint:
	$(call install-missing,clang-format)
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

run: build
	$(BUILD)/app/fizzgrid

clean:
	rm -rf $(BUILD)
