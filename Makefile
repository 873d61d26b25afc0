# Common commands. Every target installs missing system packages first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
RELEASE_BUILD ?= build-release
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
DEMO_PORT  ?= 8080

.PHONY: deps configure build test asan bench fuzz demo install clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-benchmarks $(BUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The demo needs the CGI program, tessaro-admin (which imports its
# definitions and accounts), the note plug-in and the picture generator, not
# the tests and benchmarks.
demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tessaro_cgi_exe tessaro_admin note_action_plugin demo_pictures
	@scripts/serve-demo $(BUILD) $(DEMO_PORT)

# A release build of the programs alone, installed stripped under
# $(DESTDIR)$(PREFIX): lib/tessaro/tessaro.cgi, bin/tessaro-admin,
# share/tessaro/odbc/odbcinst.ini and share/tessaro/deploy/ (the web servers'
# configuration templates).
install: deps
	@cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF -DTESSARO_BENCH=OFF >/dev/null
	@cmake --build $(RELEASE_BUILD) -j $(JOBS)
	@DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_BUILD) --strip --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
