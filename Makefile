# Two commands set up a fresh Debian machine:
#   make run    installs what is needed, builds and starts Lurebook
#   make test   installs what is needed, builds and runs every test
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
PACKAGE_BUILD_DIR ?= build-package
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-asan bench fuzz package package-check format \
  format-check screenshots clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The log lives in the user's data folder, as with the installed program, never in the build
# tree: `make clean` must not take anyone's trips with it.  ARGS='--program-dir DIR' overrides.
run: build
	./scripts/lurebook-launcher-dev $(BUILD_DIR) $(ARGS)

test: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DLUREBOOK_ASAN=ON -DLUREBOOK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: build
	./scripts/run-benchmarks $(BUILD_DIR)

fuzz:
	LUREBOOK_FUZZ_DEPS=1 ./scripts/install-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -DLUREBOOK_FUZZ=ON -DLUREBOOK_BUILD_TESTS=OFF \
	  -DLUREBOOK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers
	./scripts/run-fuzzers $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# The Debian package, built apart from the developer's tree: an optimised build for /usr (-O2,
# as the tests run it; CPack strips it) with Debian's hardening flags, without tests or
# benchmarks.  The packaging tools are installed only here, so `make test` on a fresh machine
# stays lean.
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package:
	LUREBOOK_PACKAGE_DEPS=1 ./scripts/install-deps
	CFLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DLUREBOOK_BUILD_TESTS=OFF -DLUREBOOK_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD_DIR) -j $(JOBS)
	rm -f $(PACKAGE_BUILD_DIR)/package/*.deb
	cd $(PACKAGE_BUILD_DIR) && cpack
	ls -l $(PACKAGE_BUILD_DIR)/package/*.deb

# Checks the package as a user's machine would see it: lintian, the desktop entry, the AppStream
# metadata, the manual page, and the program run from the unpacked package.
package-check: package
	./scripts/check-package $(PACKAGE_BUILD_DIR)/package/lurebook_*.deb

SOURCES_TO_FORMAT = find src tests bench fuzz -name '*.cpp' -o -name '*.h'

format:
	$(SOURCES_TO_FORMAT) | xargs clang-format -i

format-check: deps
	$(SOURCES_TO_FORMAT) | xargs clang-format --dry-run --Werror

screenshots: build
	./scripts/make-screenshots $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(PACKAGE_BUILD_DIR)
