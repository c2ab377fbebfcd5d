# Thin front end over CMake presets. `make run` and `make test` do the whole set-up on a
# fresh Debian 12 / Ubuntu machine, installing missing packages with apt-get.

# Build, test and run-time packages (Debian 12 names).
PACKAGES := g++ cmake make pkg-config \
	qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev \
	libbenchmark-dev fonts-ipafont-gothic \
	desktop-file-utils appstream dpkg-dev \
	lintian man-db groff-base bash-completion python3

SUDO := $(if $(filter 0,$(shell id -u)),,sudo)
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: all deps configure build run test test-asan bench package install clean

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
	cmake --preset debug

build: configure
	cmake --build --preset debug -j $(JOBS)

run: build
	./build/debug/app/pulsavo

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset debug -j $(JOBS) $(CTEST_ARGS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --preset asan -j $(JOBS) $(CTEST_ARGS)

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	cmake --build --preset release --target run-benchmarks

package: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	cd build/release && cpack -G DEB

install: build
	cmake --install build/debug

clean:
	rm -rf build
