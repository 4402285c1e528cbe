# Two entry points: `make play` runs the game, `make test` runs every test.
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
# Tests wait on sockets, servers and time-outs as much as they compute: twice as many at once
# as there are cores keeps both busy.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: play test deps configure build bench clean install package test-asan fuzz fuzz-setup soak load-test verify-replays

# The game and its content only: no test, tool or benchmark is compiled before it starts.
play: configure
	cmake --build $(BUILD) --target vrumbal content -j $(JOBS)
	cd $(BUILD) && ./vrumbal

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The score server under load on loopback (not part of `make test`): see the README.
load-test: build
	bash scripts/load-test.sh $(BUILD)

bench: build
	$(BUILD)/bench/vrumbal-bench

# The player's install (under $(DESTDIR)$(PREFIX)) and the Debian package of it.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --component game --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)

# `make fuzz` runs every fuzz target for FUZZ_SECONDS each (`make -j2 fuzz` runs two at once).
# The fuzzers are built by clang++ in their own folder; the seed corpus is made from this
# build's content. Crashing inputs land in fuzz/artifacts/.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS := picture_library wave_library options_file high_score_file score_record replay

fuzz: $(addprefix fuzz-,$(FUZZERS))

fuzz-setup: configure
	bash scripts/install-deps.sh --fuzz
	$(SANITIZER_ENV) cmake --build $(BUILD) --target content vrumbal-tool -j $(JOBS)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DVRUMBAL_FUZZ=ON -DVRUMBAL_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target vrumbal-fuzzers -j $(JOBS)
	python3 fuzz/make_corpus.py --tool $(BUILD)/tools/vrumbal-tool --data $(BUILD)/Data \
		--out fuzz/corpus
	mkdir -p fuzz/artifacts

fuzz-%: fuzz-setup
	$(FUZZ_BUILD)/fuzz/fuzz_$* -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
		-artifact_prefix=fuzz/artifacts/$*- fuzz/corpus/$*

# `make test-asan` runs every test once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer in its own folder. Leak reports are suppressed only for outside
# libraries (scripts/lsan-suppressions.txt), never for the game's own code.
ASAN_BUILD ?= build-asan
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0

test-asan:
	$(SANITIZER_ENV) $(MAKE) build BUILD=$(ASAN_BUILD) BUILD_TYPE=Debug \
		CMAKE_FLAGS="-DVRUMBAL_SANITIZE=ON -DVRUMBAL_BENCH=OFF $(CMAKE_FLAGS)"
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# `make verify-replays` re-runs the games the Release build's tests recorded (build/replays/)
# with the sanitizer build's verify: the same replay must reach the same result on every build.
verify-replays:
	@test -n "$$(ls $(BUILD)/replays/*.vrr 2>/dev/null)" || \
		{ echo "no replays in $(BUILD)/replays: run make test first"; exit 1; }
	@for f in $(BUILD)/replays/*.vrr; do \
		printf '%s: ' "$$f"; \
		$(SANITIZER_ENV) $(ASAN_BUILD)/tools/vrumbal-tool verify "$$f" --data $(ASAN_BUILD) || exit 1; \
	done

# `make soak` plays SOAK_FRAMES frames of a random but seeded player under the sanitizers, then
# on the Release build, and fails on any report, on a leak, or when the memory keeps growing
# after the first minute.
SOAK_FRAMES ?= 200000
SOAK_SEED ?= 1

soak:
	$(SANITIZER_ENV) $(MAKE) configure BUILD=$(ASAN_BUILD) BUILD_TYPE=Debug \
		CMAKE_FLAGS="-DVRUMBAL_SANITIZE=ON -DVRUMBAL_BENCH=OFF $(CMAKE_FLAGS)"
	$(SANITIZER_ENV) cmake --build $(ASAN_BUILD) --target content vrumbal-tool -j $(JOBS)
	# Under the sanitizers the resident set also holds their own bookkeeping, which keeps
	# growing for a while as new code paths are taken (a store of allocation call stacks):
	# there it gets a wider margin, while the live heap is held as tight as ever.
	$(SANITIZER_ENV) python3 scripts/soak.py run --tool $(ASAN_BUILD)/tools/vrumbal-tool \
		--data $(ASAN_BUILD) --frames $(SOAK_FRAMES) --seed $(SOAK_SEED) --rss-growth 10
	# The same player on the Release build, whose resident set is the game's own: no shadow
	# memory, quarantine or store of allocation call stacks.
	$(MAKE) configure
	cmake --build $(BUILD) --target content vrumbal-tool -j $(JOBS)
	python3 scripts/soak.py run --tool $(BUILD)/tools/vrumbal-tool --data $(BUILD) \
		--frames $(SOAK_FRAMES) --seed $(SOAK_SEED)
