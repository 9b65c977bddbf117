# The way in: `make run` and `make test` set up everything they need.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
DATABASE ?= $(BUILD_DIR)/src/TBDB.MDB
CLAVARO := $(BUILD_DIR)/src/clavaro

.PHONY: all deps configure build database run test bench soak asan fuzz format clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

# An empty register file beside the program, unless one is there already.
database: build
	@test -f $(DATABASE) || $(CLAVARO) --create-database $(DATABASE)

run: database
	$(CLAVARO) --database $(DATABASE)

test: database
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# The crash-safety test with many more kills than the suite's fifty.
SOAK_CYCLES ?= 600
soak: build
	cd $(BUILD_DIR) && CLAVARO_CRASH_CYCLES=$(SOAK_CYCLES) QT_QPA_PLATFORM=offscreen tests/test_crash

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
