# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
SAMPLE ?= samples/sales.csv
SECONDS ?= 10

.PHONY: all deps build run test sanitize fuzz bench clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Opens Tabulon on the sample (listed on the first run); without a display, prints the sample's
# cross tabulation instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  TABULON_SAMPLE="$(abspath $(SAMPLE))" $(BUILD)/app/tabulon; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the sample's cross tabulation follows."; \
	  $(BUILD)/cli/tabulon-cli import $(SAMPLE) && \
	  $(BUILD)/cli/tabulon-cli tab $(SAMPLE) --row 店舗 --col 地域 --value 金額; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON -DTABULON_BENCH=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Every fuzz target for SECONDS seconds (clang's libFuzzer, with the address and undefined
# behaviour sanitizers).
fuzz:
	@scripts/deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTABULON_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run.sh $(FUZZ_BUILD) $(SECONDS)

bench: build
	bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
