# make install copies build/Tamborik.so into ~/.vst (or the first folder of
#             $VST_PATH when it is set), replacing the file rather than
#             writing into it, so a running host keeps the old module; and
#             the bundle build/Tamborik.lv2 into ~/.lv2 (or the first folder
#             of $LV2_PATH) the same way
# make test   installs what is missing, builds the Linux module and both
#             Windows modules, runs every test (the Windows ones under wine64)
# make windows cross-compiles build-win32/Tamborik.dll (32-bit hosts) and
#             build-win64/Tamborik.dll (64-bit hosts) with mingw-w64
# make demo   installs what is missing, builds, renders the demo groove through
#             each factory program into out/NN-Name.wav and draws the editor
#             into out/editor.png (and at 200 % into out/editor@2x.png)
# make dist   builds and packages into dist/: tamborik_<version>_amd64.deb,
#             Tamborik-<version>-win64.zip and -win32.zip, and the Windows
#             installer Tamborik-<version>-setup.exe; the same tree gives the
#             same bytes; a tree with uncommitted changes is marked +dirty
# make check-dist  make dist, then checks the packages (lintian, paths, the
#             packaged renderer, a second make gives the same bytes) and runs
#             the installer under wine64; make test runs it last
# make bank   regenerates resources/FactoryBank.fxb from resources/factory-bank.txt
# make voices renders a few hits of each voice into out/voices
# make pictures redraws the editor's pictures in resources/pictures (and a
#             still of the whole editor, build/editor-preview.png)
# make test-sanitize  builds everything with AddressSanitizer and
#             UndefinedBehaviorSanitizer in build-sanitize and runs every test
# make test-tsan  builds the threaded tests with ThreadSanitizer in
#             build-tsan and runs them: the threads tests, the torture test
#             (briefly), the editor's updates from other threads
# make torture  runs the torture test for TORTURE_SECONDS (default 300)
# make bench-compare REV=<revision>  builds that revision's module (default
#             main) and measures it beside the current tree's: instructions
#             per frame and real-time factor, full load and each voice alone
# make fuzz   builds the libFuzzer targets with clang in build-fuzz and runs
#             each for FUZZ_SECONDS (default 60); failing inputs land in
#             fuzz/regression/<target>/
BUILD ?= build
# A build from a tree with uncommitted changes says so in its version
# ("1.2+dirty"): in the about box, the renderer's --version and the packages.
VERSION_SUFFIX := $(shell [ -n "$$(git status --porcelain --untracked-files=no 2>/dev/null)" ] && echo +dirty)
VERSION_OPTION = -DTAMBORIK_VERSION_SUFFIX=$(VERSION_SUFFIX)
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SANITIZE_BUILD ?= build-sanitize
# The test that kills its X server with the editor open leaves the test's own
# connection to the dead server behind, which Xlib cannot close cleanly.
SANITIZE_SKIP = X11EditorTest.WithoutAnXServerTheEditorStaysClosedAndThePluginPlays
TSAN_BUILD ?= build-tsan
TSAN_TARGETS = tamborik_plugin_tests tamborik_editor_tests tamborik_torture
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 XDG_CONFIG_HOME=$(CURDIR)/$(TSAN_BUILD)/test-config
FUZZ_BUILD ?= build-fuzz
WINE ?= /usr/lib/wine/wine64
TORTURE_SECONDS ?= 300
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz_fx_files fuzz_text_files fuzz_midi
# The one leak report that is not ours: the C++ runtime's emergency
# exception pool, linked statically into the module, is never freed.
SANITIZER_ENV = TAMBORIK_KEEP_MODULES=1 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-leaks.supp:print_suppressions=0

.PHONY: all bootstrap configure build windows dist check-dist test test-sanitize test-tsan torture fuzz demo voices bank pictures bench bench-compare clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(VERSION_OPTION) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

windows: bootstrap
	@cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo $(VERSION_OPTION) >/dev/null
	@cmake --build $(WIN32_BUILD) --target Tamborik -j $(JOBS)
	@cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo $(VERSION_OPTION) -DTAMBORIK_LINUX_BUILD=$(abspath $(BUILD)) >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)

test: build windows
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN32_BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN64_BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory check-dist

dist: build windows
	@scripts/make-dist $(BUILD) $(WIN32_BUILD) $(WIN64_BUILD) dist

check-dist: dist
	@scripts/check-dist $(BUILD) $(WIN32_BUILD) $(WIN64_BUILD) dist
	@scripts/check-installer $(WINE) $(WIN64_BUILD)/wine dist $(WIN64_BUILD)/tamborik_module_tests.exe

test-sanitize: bootstrap
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIK_SANITIZE=ON \
		-DTAMBORIK_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) $(CURDIR)/scripts/ctest-sanitized --output-on-failure -j $(JOBS) -E "$(SANITIZE_SKIP)"

test-tsan: bootstrap
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIK_TSAN=ON -DTAMBORIK_BENCH=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	@mkdir -p $(TSAN_BUILD)/test-config
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/tamborik_plugin_tests --gtest_filter='Threads.*:Stability.Another*:Stability.Automation*'
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/tamborik_editor_tests --gtest_filter='*Thread*'
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/tamborik_torture 20

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

bench-compare: configure
	@scripts/bench-compare $(BUILD) $(or $(REV),main)

clean:
	rm -rf $(BUILD) $(WIN32_BUILD) $(WIN64_BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) out dist

.PHONY: install
install: build
	@dest="$${VST_PATH%%:*}"; [ -n "$$dest" ] || dest="$$HOME/.vst"; \
	install -D -m 755 $(BUILD)/Tamborik.so "$$dest/Tamborik.so" && echo "installed $$dest/Tamborik.so" && \
	dest="$${LV2_PATH%%:*}"; [ -n "$$dest" ] || dest="$$HOME/.lv2"; dest="$$dest/Tamborik.lv2"; \
	for file in $(BUILD)/Tamborik.lv2/*; do \
	    mode=644; case $$file in *.so) mode=755 ;; esac; \
	    install -D -m $$mode "$$file" "$$dest/$$(basename "$$file")" || exit 1; \
	done && echo "installed $$dest"
