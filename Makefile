# Everyday steps. `make test` and `make demo` install what is missing on a Debian 12 machine.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build test demo clean

deps:
	@./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@echo "make demo will start the virtual chip, point COM1 at it and download a sample image to RAM and to the EEPROM."

clean:
	rm -rf $(BUILD)
