# Thin front end over CMake presets. `make run` and `make test` do the whole set-up on a
# fresh Debian 12 / Ubuntu machine, installing missing packages with apt-get.

# Build, test and run-time packages (Debian 12 names); pulseaudio for the beat tone benchmark.
PACKAGES := g++ cmake make pkg-config \
	qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev libpulse-dev \
	libbenchmark-dev fonts-ipafont-gothic \
	desktop-file-utils appstream dpkg-dev \
	clang-format clang-tidy \
	libqt6sql6-sqlite qt6-translations-l10n libqt6opengl6-dev qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools \
	qt6-websockets-dev qt6-httpserver-dev libqrencode-dev chromium \
	xvfb xauth pulseaudio pulseaudio-utils \
	lintian man-db groff-base bash-completion python3 \
	python3-jsonschema

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)
JOBS ?= $(shell nproc)
CTEST_ARGS ?=
# Extra CMake cache settings, e.g. CMAKE_ARGS=-DPULSAVO_WERROR=ON as CI uses.
CMAKE_ARGS ?=
# The project's own C++ sources, for make format and make lint.
SOURCE_DIRS := simulation catalogue practice progress display report scenario classroom app tools tests bench
LINT_DIRS := simulation catalogue practice progress display report scenario classroom app tools
# Quoted, so that git matches the files in subfolders too and not the shell.
SOURCE_PATHSPECS := $(foreach d,$(SOURCE_DIRS),'$(d)/*.cpp' '$(d)/*.h')

.PHONY: all deps configure build run test test-asan fuzz bench package install format format-check lint clean translations

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake --preset debug $(CMAKE_ARGS)

build: configure
	cmake --build --preset debug -j $(JOBS)

run: build
	./build/debug/app/pulsavo

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset debug -j $(JOBS) $(CTEST_ARGS)

# pulsavo-strip on 1,000 command lines and the trainer on 300, from fresh random seeds printed so
# that a failure can be rerun.
fuzz: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir build/debug -L fuzz-random --output-on-failure

test-asan: deps
	cmake --preset asan $(CMAKE_ARGS)
	cmake --build --preset asan -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --preset asan -j $(JOBS) $(CTEST_ARGS)

bench: deps
	cmake --preset bench $(CMAKE_ARGS)
	cmake --build --preset bench -j $(JOBS)
	cmake --build --preset bench --target run-benchmarks

release: deps
	cmake --preset release $(CMAKE_ARGS)
	cmake --build --preset release -j $(JOBS)

package: release
	cd build/release && cpack -G DEB

install: release
	cmake --install build/release

# Rewrites every source file in the house style.
format: deps
	git ls-files -z -- $(SOURCE_PATHSPECS) | xargs -0 clang-format -i

# Fails when a file is not in the house style (CI).
format-check: deps
	git ls-files -z -- $(SOURCE_PATHSPECS) | xargs -0 clang-format --dry-run --Werror

# clang-tidy over the project's sources with the checked-in .clang-tidy; any finding fails.
lint: configure
	run-clang-tidy -quiet -p build/debug -j $(JOBS) \
		'$(CURDIR)/($(shell echo $(LINT_DIRS) | tr ' ' '|'))/.*\.cpp$$'

# Refreshes translations/*.ts from the sources' tr() strings; then fill in the new entries
# (linguist translations/pulsavo_en.ts, or by hand) and commit.
translations: configure
	cmake --build --preset debug --target update_translations

clean:
	rm -rf build
