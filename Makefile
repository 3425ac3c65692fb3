# make install copies build/Tamborik.so into ~/.vst (or the first folder of
#             $VST_PATH when it is set), replacing the file rather than
#             writing into it, so a running host keeps the old module
# make test   installs what is missing, builds the Linux module and both
#             Windows modules, runs every test (the Windows ones under wine64)
# make windows cross-compiles build-win32/Tamborik.dll (32-bit hosts) and
#             build-win64/Tamborik.dll (64-bit hosts) with mingw-w64
# make demo   installs what is missing, builds, renders the demo groove through
#             each factory program into out/NN-Name.wav and draws the editor
#             into out/editor.png (and at 200 % into out/editor@2x.png)
# make bank   regenerates resources/FactoryBank.fxb from resources/factory-bank.txt
# make voices renders a few hits of each voice into out/voices
# make pictures redraws the editor's pictures in resources/pictures (and a
#             still of the whole editor, build/editor-preview.png)
# make test-sanitize  builds everything with AddressSanitizer and
#             UndefinedBehaviorSanitizer in build-sanitize and runs every test
# make torture  runs the torture test for TORTURE_SECONDS (default 300)
# make fuzz   builds the libFuzzer targets with clang in build-fuzz and runs
#             each for FUZZ_SECONDS (default 60); failing inputs land in
#             fuzz/regression/<target>/
BUILD ?= build
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SANITIZE_BUILD ?= build-sanitize
# The test that kills its X server with the editor open leaves the test's own
# connection to the dead server behind, which Xlib cannot close cleanly.
SANITIZE_SKIP = X11EditorTest.WithoutAnXServerTheEditorStaysClosedAndThePluginPlays
FUZZ_BUILD ?= build-fuzz
TORTURE_SECONDS ?= 300
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz_fx_files fuzz_text_files fuzz_midi
# The one leak report that is not ours: the C++ runtime's emergency
# exception pool, linked statically into the module, is never freed.
SANITIZER_ENV = TAMBORIK_KEEP_MODULES=1 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-leaks.supp:print_suppressions=0

.PHONY: all bootstrap configure build windows test test-sanitize torture fuzz demo voices bank pictures bench clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

windows: bootstrap
	@cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN32_BUILD) --target Tamborik -j $(JOBS)
	@cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIK_LINUX_BUILD=$(abspath $(BUILD)) >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)

test: build windows
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN32_BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN64_BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: bootstrap
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIK_SANITIZE=ON \
		-DTAMBORIK_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -E "$(SANITIZE_SKIP)"

torture: build
	@mkdir -p $(BUILD)/test-config
	@XDG_CONFIG_HOME=$(CURDIR)/$(BUILD)/test-config $(BUILD)/tests/tamborik_torture $(TORTURE_SECONDS)

fuzz:
	@scripts/bootstrap fuzz
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTAMBORIK_LIBFUZZER=ON -DTAMBORIK_TESTS=OFF -DTAMBORIK_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for target in $(FUZZ_TARGETS); do \
		corpus=$(FUZZ_BUILD)/corpus/$$target; mkdir -p $$corpus fuzz/regression/$$target; \
		TAMBORIK_FUZZ_WRITE_SEEDS=$$corpus $(FUZZ_BUILD)/fuzz/$$target || exit 1; \
		echo "fuzz: $$target for $(FUZZ_SECONDS) s"; \
		$(FUZZ_BUILD)/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=fuzz/regression/$$target/ $$corpus fuzz/regression/$$target \
			2>$(FUZZ_BUILD)/$$target.log || { tail -40 $(FUZZ_BUILD)/$$target.log; exit 1; }; \
		grep -E "^stat::number_of_executed_units|^Done" $(FUZZ_BUILD)/$$target.log; \
	done

demo: build
	@mkdir -p out
	@$(BUILD)/tamborik-render --each-program out
	@$(BUILD)/editor/tamborik-editor-snapshot out/editor.png
	@$(BUILD)/editor/tamborik-editor-snapshot --zoom 200 out/editor@2x.png
	@echo "out/editor.png, out/editor@2x.png: the editor with program Tamborik loaded, at 100 % and 200 %"

voices: build
	@mkdir -p out/voices
	@$(BUILD)/tamborik-voice-demo out/voices

bank: configure
	@cmake --build $(BUILD) --target tamborik-make-bank -j $(JOBS)
	@$(BUILD)/resources/tamborik-make-bank resources/factory-bank.txt resources/FactoryBank.fxb
	@cmake --build $(BUILD) -j $(JOBS)

pictures: configure
	@cmake --build $(BUILD) --target tamborik-make-pictures -j $(JOBS)
	@$(BUILD)/resources/tamborik-make-pictures resources/pictures $(BUILD)/editor-preview.png
	@cmake --build $(BUILD) -j $(JOBS)

bench: build
	@$(BUILD)/bench/tamborik_entry_bench

clean:
	rm -rf $(BUILD) $(WIN32_BUILD) $(WIN64_BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) out

.PHONY: install
install: build
	@dest="$${VST_PATH%%:*}"; [ -n "$$dest" ] || dest="$$HOME/.vst"; \
	install -D -m 755 $(BUILD)/Tamborik.so "$$dest/Tamborik.so" && echo "installed $$dest/Tamborik.so"
