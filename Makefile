# Set-up in two commands on a fresh Debian 12 machine:
#   make run    install what is missing, build, open the window (without a display: write a
#               demo pattern with the command-line tool)
#   make test   install what is missing, build, run every test, then again under
#               AddressSanitizer and UndefinedBehaviorSanitizer
# Other targets: make deps, make build, make bench, make format,
#   make package   build the Debian package into build-rel/packages/ and check it with lintian
#   make fuzz      run every fuzz target for FUZZ_SECONDS seconds (clang's libFuzzer)

# Wind and current from forecast files (fields/): ecCodes reads GRIB and netCDF-C reads NetCDF;
# the tests make their small files with grib_filter (libeccodes-tools, on the samples of
# libeccodes-data) and ncgen (netcdf-bin), and read the real GFS file python-grib-doc ships.
FORECAST_PACKAGES := libeccodes-dev libeccodes-tools libeccodes-data libnetcdf-dev netcdf-bin \
                     python-grib-doc
# Land: the GSHHG shorelines as Debian ships them for GMT (crude, low and intermediate; the larger
# gmt-gshhg-high and gmt-gshhg-full are optional and used when installed), read from their binned
# netCDF files with netCDF-C (libnetcdf-dev, above). GMT itself (libgmt-dev) is not needed: see
# the README.
LAND_PACKAGES := gmt-gshhg-low
# Everything make test installs. qt6-base-dev only recommends libqt6opengl6-dev, which the
# UiTools configuration needs, and the install runs without recommendations: it is named here.
PACKAGES := cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev \
            qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-qpa-plugins \
            libgl-dev libxml2-utils libxml2-dev fonts-dejavu-core poppler-utils locales \
            $(FORECAST_PACKAGES) gpsbabel socat $(LAND_PACKAGES)
# gpsbabel reads the NMEA sentences back in the tests, as a reader written by others; socat
# makes the pseudo-terminal pair that stands for a plotter's serial port.
# Needed only by make package: dpkg-shlibdeps finds the package's dependencies and
# dpkg-buildflags gives Debian's hardening flags (dpkg-dev, file); lintian checks the package and
# appstream its software-centre metadata.
PACKAGE_TOOLS := dpkg-dev file lintian appstream
# Needed only by make fuzz. Under clang, libstdc++'s parallel algorithms take TBB's headers when
# they are there: named, so that every machine builds the targets alike.
FUZZ_TOOLS := clang libclang-rt-14-dev libtbb-dev
# Needed only by make bench: the NumPy version of the drift simulation that drift_bench runs
# beside its own, with Debian's /usr/bin/python3.
BENCH_TOOLS := python3-numpy
FUZZ_SECONDS ?= 20
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)
DEMO_DIR ?= $(CURDIR)/build/demo

.PHONY: run test deps deps-list deps-list-fuzz deps-list-package deps-list-bench build build-sanitize bench screenshots \
        format package fuzz

# The lists the install steps use, one line each, for the check that a fresh machine gets
# everything the build touches (.ci/run).
deps-list:
	@echo $(PACKAGES)
deps-list-fuzz:
	@echo $(PACKAGES) $(FUZZ_TOOLS)
deps-list-package:
	@echo $(PACKAGES) $(PACKAGE_TOOLS)
deps-list-bench:
	@echo $(PACKAGES) $(BENCH_TOOLS)

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x build/app/vestrand ]; then \
	  cd build && exec ./app/vestrand; \
	else \
	  mkdir -p "$(DEMO_DIR)" && \
	  echo "No display: writing a demo sector search with vestrand-cli instead of opening the window." && \
	  ./build/cli/vestrand-cli sector --lat 43:30N --lon 003:45W --course 30 --leg 2 --dir "$(DEMO_DIR)"; \
	fi

test: build build-sanitize
	ctest --preset default -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

bench: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(BENCH_TOOLS)"
	./build/bench/gpx_bench --benchmark_counters_tabular=true
	./build/bench/drift_bench
	./build/bench/svg_bench
	./build/bench/fields_bench
	./build/bench/land_bench --benchmark_counters_tabular=true
	QT_QPA_PLATFORM=offscreen ./build/bench/window/window_bench

# Pictures of the window with each pattern drawn, into build/screenshots.
screenshots: build
	QT_QPA_PLATFORM=offscreen ./build/bench/window/screenshots build/screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

package:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(PACKAGE_TOOLS)"
	cmake --preset package
	cmake --build --preset package -j $(JOBS)
	cpack --preset package
	dpkg-deb --info build-rel/packages/vestrand_*.deb
	appstreamcli validate --no-net --strict --pedantic build-rel/packaging/*.metainfo.xml
	lintian -I -E --pedantic --fail-on error,warning build-rel/packages/vestrand_*.deb

fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_TOOLS)"
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run_fuzzers.sh build-fuzz/fuzz
