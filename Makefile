# The way in: `make run` and `make test` set up everything they need.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
DATABASE ?= $(BUILD_DIR)/src/TBDB.MDB
DEMO ?= $(BUILD_DIR)/demo/TBDB.MDB
CLAVARO := $(BUILD_DIR)/src/clavaro
PREFIX ?= /usr/local

.PHONY: all deps configure build database run demo test bench install package format clean

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
