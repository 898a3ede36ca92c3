# Everyday steps. Every target that builds first installs what is missing on a Debian 12 machine.
#   make test    builds, runs every test, then the sanitizer build's tests and the parser fuzzing
#   make demo    downloads a sample image to the virtual chip (or: make demo PORT=1 IMAGE=prog.binary)
#   make bench   times downloads, the handshake, a search, the gang and the terminal
#   make package builds the Debian package $(BUILD)/pellik32_<version>_<arch>.deb
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: deps configure build test unit-test sanitize-test fuzz demo bench package clean

deps:
	@./scripts/install-deps

# CI builds with warnings as errors; a plain "cmake -S . -B build" does not.
configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_COMPILE_WARNING_AS_ERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

unit-test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails it.
sanitize-test: deps
	cmake -S . -B $(ASAN_BUILD) -DPELLIK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/run-fuzz

test: unit-test sanitize-test fuzz

# Only what the demo runs: the program, the virtual chip and the sample-image maker, built
# quietly (the build's output is shown only when it fails), so the demo shows the tool's own.
demo: deps
	@echo "Building Pellik32 and the virtual chip (a few minutes on a fresh clone) ..."
	@mkdir -p $(BUILD)
	@{ cmake -S . -B $(BUILD) -DCMAKE_COMPILE_WARNING_AS_ERROR=ON && \
	   cmake --build $(BUILD) -j $(JOBS) --target Pellik32 virtual_chip make_sample_image; } \
	   > $(BUILD)/demo-build.log 2>&1 || { cat $(BUILD)/demo-build.log; exit 1; }
	@./scripts/demo $(BUILD) "$(PORT)" "$(IMAGE)"

# TERMINAL_SECONDS: how long the chip prints without pause for the terminal's benchmark.
TERMINAL_SECONDS ?= 60
bench: build
	$(BUILD)/bench/pellik_bench
	$(BUILD)/bench/pellik_terminal_bench $(TERMINAL_SECONDS)
	$(BUILD)/bench/pellik_gang_bench

package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
