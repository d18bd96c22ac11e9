# The two commands that matter: `make run` and `make test`. Both install missing Debian packages first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench fuzz format install uninstall clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-program $(BUILD_DIR)/Quorzel/quorzel

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# For the current user: the program folder in ~/.local/share/quorzel (your files there are never
# overwritten) and the desktop entry in ~/.local/share/applications. `make uninstall` takes both away
# again but leaves your commands.
install: build
	@scripts/install-user install $(BUILD_DIR)

uninstall:
	@scripts/install-user uninstall

bench: deps
	@scripts/install-deps bench
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@scripts/run-benchmarks $(BUILD_DIR)

fuzz: deps
	@scripts/run-fuzz

# Every C++ file of the tree; `make test` checks that this leaves nothing to change.
format:
	@scripts/check-format --fix

clean:
	rm -rf $(BUILD_DIR)
