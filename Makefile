# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
PKG_BUILD ?= build-package
JOBS ?= $(shell nproc)
SAMPLE ?= samples/sales.csv
SECONDS ?= 10
# Warnings are errors under CI (CI=true, as CI services set it; .ci/run says WERROR=ON), so none
# lands; elsewhere they stay warnings, so a newer compiler's new warning breaks no one's build.
WERROR ?= $(if $(filter true,$(CI)),ON,OFF)

.PHONY: all deps build run test sanitize fuzz bench package windows-check clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_WERROR=$(WERROR)

# Builds with what is installed, on any system; `make deps` installs what is missing on Debian.
# A build folder configured with another WERROR is configured again.
build: $(BUILD)/CMakeCache.txt
	@grep -qx 'TABULON_WERROR:BOOL=$(WERROR)' $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DTABULON_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

# Opens Tabulon on the sample (listed on the first run); without a display, prints the sample's
# cross tabulation instead.
run: deps
	@$(MAKE) --no-print-directory build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  TABULON_SAMPLE="$(abspath $(SAMPLE))" $(BUILD)/app/tabulon; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the sample's cross tabulation follows."; \
	  $(BUILD)/cli/tabulon-cli import $(SAMPLE) && \
	  $(BUILD)/cli/tabulon-cli tab $(SAMPLE) --row 店舗 --col 地域 --value 金額; \
	fi

test: deps
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON -DTABULON_BENCH=OFF \
	  -DTABULON_WERROR=$(WERROR)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Every fuzz target for SECONDS seconds (clang's libFuzzer, with the address and undefined
# behaviour sanitizers).
fuzz:
	@scripts/deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTABULON_FUZZ=ON \
	  -DTABULON_WERROR=$(WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run.sh $(FUZZ_BUILD) $(SECONDS)

bench: build
	bench/run.sh $(BUILD)

# The Debian package build-package/tabulon_VERSION_ARCH.deb, of programs built for /usr (the
# window looks for its help page under the prefix it was built for); install it with
# `sudo apt install ./build-package/tabulon_*.deb`.
package:
	@scripts/deps.sh --package
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTABULON_TESTS=OFF -DTABULON_BENCH=OFF -DTABULON_WERROR=$(WERROR)
	cmake --build $(PKG_BUILD) -j $(JOBS) --target package

# Every source of the core and the command line compiled for Windows (objects only).
windows-check:
	@scripts/deps.sh --windows
	JOBS=$(JOBS) scripts/check-windows.sh build-windows

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) build-windows
