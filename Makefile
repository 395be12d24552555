# Drives CMake; the two commands a fresh machine needs are `make run` and `make test`.
BUILD      ?= build
JOBS       ?= $(shell nproc)
PACKAGES   := $(shell grep -v '^\#' deps/debian-packages.txt)
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build data run test test-slow sanitize tsan fuzz bench clean

deps:
	@missing=$$(dpkg-query -W -f='$${Package} $${Status}\n' $(PACKAGES) 2>/dev/null \
	    | awk '$$NF == "installed" {print $$1}' | sort > .deps-ok; \
	    for p in $(PACKAGES); do grep -qx "$$p" .deps-ok || echo $$p; done); rm -f .deps-ok; \
	if [ -n "$$missing" ]; then \
	    echo "installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The sample data: written afresh into run/app/native/data/ (the save folder run/data/ is kept).
DATA_DIR := run/app/native/data
data: build
	rm -rf $(DATA_DIR)
	$(BUILD)/bin/quendrax-data run
	touch $(DATA_DIR)

# Rebuilds the data only when it is missing or older than the builder.
run: build
	@if [ ! -d $(DATA_DIR) ] || [ $(BUILD)/bin/quendrax-data -nt $(DATA_DIR) ]; then \
	    $(MAKE) --no-print-directory data; fi
	mkdir -p run/data
	cd run && ../$(BUILD)/bin/quendrax

# Headless: tests never open a window or a sound device of their own accord.
test: build
	cd $(BUILD) && QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null \
	    ctest -j $(JOBS) --output-on-failure --timeout 300 -E Slow

test-slow: build
	cd $(BUILD) && QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null \
	    ctest -j $(JOBS) --output-on-failure --timeout 1800 -R Slow

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, or ThreadSanitizer.
# Mesa's driver stays loaded: eglTerminate unloads it, and the blocks its statics held would
# then be reported as leaks that no suppression can name (their frames are gone with it).
MESA_DRI   := $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDRAX_SANITIZE=address,undefined
	cmake --build build-asan -j $(JOBS)
	cd build-asan && UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QUENDRAX_VIDEO=headless \
	    QUENDRAX_AUDIO=null ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=$(MESA_DRI) \
	    ctest -j $(JOBS) --output-on-failure --timeout 1800 $(CTEST_ARGS)

tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDRAX_SANITIZE=thread
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null \
	    ctest -j $(JOBS) --output-on-failure --timeout 1800 $(CTEST_ARGS)

# Every fuzz target under libFuzzer (clang, with the address and undefined-behaviour sanitizers)
# for FUZZ_SECONDS each, FUZZ_JOBS at a time; `make test` replays their seeds and the findings.
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 1
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	    -DCMAKE_CXX_COMPILER=clang++ -DQUENDRAX_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzz-targets
	QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null ASAN_OPTIONS=detect_leaks=1 \
	    fuzz/run.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_JOBS)

bench: build
	@if [ -x $(BUILD)/bin/quendrax-bench ]; then $(BUILD)/bin/quendrax-bench $(BENCH_ARGS); \
	else echo "no benchmarks yet"; fi

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
