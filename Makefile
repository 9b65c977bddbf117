# The way in: `make run` and `make test` set up everything they need.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
DATABASE ?= $(BUILD_DIR)/src/TBDB.MDB
DEMO ?= $(BUILD_DIR)/demo/TBDB.MDB
CLAVARO := $(BUILD_DIR)/src/clavaro
PREFIX ?= /usr/local

.PHONY: all deps configure build database run demo test bench soak asan fuzz install package format clean

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

# A register filled with made-up data, written afresh each time so its dates end today.
demo: build
	@mkdir -p $(dir $(DEMO)) && rm -f $(DEMO)
	$(CLAVARO) --create-demo $(DEMO)
	$(CLAVARO) --database $(DEMO)

test: database
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done; true

# The program, its menu entry, icons and metainfo under PREFIX (DESTDIR is honoured for staging).
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR), installing under /usr.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build directory.
ASAN_DIR ?= build-asan
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE= -DCLAVARO_BENCH=OFF \
	    -DCMAKE_CXX_FLAGS="$(SANITIZE) -O1 -g1"
	cmake --build $(ASAN_DIR)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure

# The fuzz target under libFuzzer for FUZZ_SECONDS, seeded with the checked-in corpus; new inputs go to
# $(FUZZ_DIR)/corpus (copy a finding into tests/fuzz/corpus once it is fixed).
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 300
fuzz:
	@scripts/install-deps clang libclang-rt-14-dev
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DCLAVARO_FUZZ=ON -DCMAKE_CXX_FLAGS="$(SANITIZE) -fsanitize=fuzzer-no-link"
	cmake --build $(FUZZ_DIR) --target fuzz_store
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/tests/fuzz_store -max_total_time=$(FUZZ_SECONDS) $(FUZZ_DIR)/corpus tests/fuzz/corpus

# The crash-safety test with many more kills than the suite's fifty.
SOAK_CYCLES ?= 600
soak: build
	cd $(BUILD_DIR) && CLAVARO_CRASH_CYCLES=$(SOAK_CYCLES) QT_QPA_PLATFORM=offscreen tests/test_crash

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
