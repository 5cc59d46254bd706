# Front door: `make run` starts the game, `make test` builds and runs every test headless.
JOBS    ?= $(shell nproc)
BUILD   ?= build
SANBUILD ?= build-sanitize
CMAKE_FLAGS ?=
PREFIX  ?= /usr/local
DESTDIR ?=

.PHONY: run test test-sanitize bench skin-sheet deps build clean install package

deps:
	@bash tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DQUENDREL_SANITIZE=ON -DQUENDREL_BENCH=OFF $(CMAKE_FLAGS)
	ASAN_OPTIONS=detect_leaks=0 cmake --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The game runs in its own folder: quendrel.ini is written there, beside default.jpg and the themes.
run: build
	cd $(BUILD)/app && ./quendrel

# Installed, the `quendrel` command runs the game in ~/.local/share/quendrel, where its settings then live.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB
	@echo "Package: $$(ls $(BUILD)/quendrel_*.deb)"

skin-sheet: build
	cmake --build $(BUILD) --target skin_sheet
	@echo "Contact sheet: $(BUILD)/skin-sheet.png"

clean:
	rm -rf $(BUILD) $(SANBUILD)
