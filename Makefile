# make test   installs what is missing, builds, runs every test
# make demo   installs what is missing, builds, renders the demo groove through
#             each factory program into out/NN-Name.wav and draws the editor
#             into out/editor.png
# make bank   regenerates resources/FactoryBank.fxb from resources/factory-bank.txt
# make voices renders a few hits of each voice into out/voices
# make pictures redraws the editor's pictures in resources/pictures (and a
#             still of the whole editor, build/editor-preview.png)
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all bootstrap configure build test demo voices bank pictures bench clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@mkdir -p out
	@$(BUILD)/tamborik-render --each-program out
	@$(BUILD)/editor/tamborik-editor-snapshot out/editor.png
	@echo "out/editor.png: the editor with program Tamborik loaded"

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
	rm -rf $(BUILD) out
