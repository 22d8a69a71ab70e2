# The two set-up commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test clean

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The corvane executable has no window yet (it runs only its start-up paths),
# so `run` shows the command line's help until the window is built.
run: build
	@$(BUILD)/cli/corvane-cli help

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
