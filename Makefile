# make test  installs what is missing, builds, runs every test
# make demo  installs what is missing, builds, renders the voices into out/
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all bootstrap configure build test demo bench clean

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
	@mkdir -p out/voices
	@$(BUILD)/tamborik-voice-demo out/voices

bench: build
	@$(BUILD)/bench/tamborik_bench

clean:
	rm -rf $(BUILD) out
