# The two commands a new machine needs: `make run` and `make test`. Both install what is missing.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-sanitize bench format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) > /dev/null

build: configure
	@ninja -C $(BUILD)

run: build
	@bash scripts/run.sh $(BUILD)

# Unit, integration and desktop tests, then the unit and integration tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory test-sanitize

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE=ON -DQN_DESKTOP=OFF > /dev/null
	@ninja -C $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L 'unit|integration' --timeout 600

bench: build
	@bash bench/run.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
