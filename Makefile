# The two commands a user needs: `make test` and `make run`; `make install` and `make uninstall` put Vellaro in
# the desktop's menus for the current user and take it out again.
# All but uninstall install any missing Debian packages first (scripts/install-deps.sh).

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
PROGRAM_DIR := $(CURDIR)/Vellaro
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLARO_WERROR=ON

.PHONY: all deps configure build test sanitize run install uninstall bench format clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD_DIR) --parallel 2

test: build
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --output-on-failure --parallel 2

# The tests (and the program some of them start) built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a one-minute run of the fuzz target over tests/fuzz/corpus.
# Warnings stop `make test`; clang's own extra ones are shown here but do not stop the run.
sanitize:
	@./scripts/install-deps.sh sanitize
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLARO_WERROR=OFF \
		-DCMAKE_CXX_COMPILER=clang++ -DVELLARO_SANITIZE=ON -DVELLARO_FUZZ=ON -DVELLARO_BUILD_BENCHMARKS=OFF
	@cmake --build $(SANITIZE_DIR) --parallel 2
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(SANITIZE_DIR) --output-on-failure --parallel 2

# The program folder lives beside the sources, never inside the build folder, so
# deleting or rebuilding the build cannot touch the user's catalogue.
run: build
	@cmake --install $(BUILD_DIR) --prefix $(PROGRAM_DIR) >/dev/null
	@$(PROGRAM_DIR)/Vellaro

# For the current user, no root needed: the program folder under ${XDG_DATA_HOME:-~/.local/share}/Vellaro, the
# launcher ~/.local/bin/vellaro, the menu entry, icons and software-centre description. Uninstall removes what
# install put there, except the catalogue.
install: build
	@./scripts/user-install.sh install $(BUILD_DIR)

uninstall:
	@./scripts/user-install.sh uninstall

# Every benchmark runs even when an earlier one misses its target; the command fails if any missed.
bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks
	@status=0; for name in engine records startup viewer photos browse lists explorer explorer_thumbs labels inventory import backup exif csv; do \
		$(BUILD_DIR)/bench/bench_$$name || status=1; \
	done; exit $$status

format:
	@cmake --build $(BUILD_DIR) --target format

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
