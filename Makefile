# Front door: make deps | make | make check | make windows | make demo | make bench
#             | make install [PREFIX=/usr/local] [DESTDIR=] | make deb
BUILD   ?= build
ASAN    ?= $(BUILD)/asan
WINDOWS ?= $(BUILD)/windows
DEB     ?= $(BUILD)/deb
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local
DESTDIR ?=

MAKEFLAGS += --no-print-directory

LINUX_CONFIG = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/i386-linux.cmake

.PHONY: all deps linux asan windows windows-check include-check check test test-asan demo bench install clean \
        fuzz fuzz-check torture torture-check deb deb-check samba-check

all: linux

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(LINUX_CONFIG)

$(ASAN)/CMakeCache.txt:
	cmake -S . -B $(ASAN) $(LINUX_CONFIG) -DMORVEX_SANITIZE=ON

$(WINDOWS)/CMakeCache.txt:
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=Release

linux: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

asan: $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)

windows: $(WINDOWS)/CMakeCache.txt
	cmake --build $(WINDOWS) -j $(JOBS)

test: linux
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The DLL's tables and the smoke test under Wine, on what `make windows` built.
windows-check:
	scripts/check-windows.sh $(WINDOWS)

# Every include goes downward in the folder order (README, "How the code is laid out").
include-check:
	scripts/check-includes.py

check: deps include-check
	$(MAKE) linux asan windows
	$(MAKE) windows-check
	$(MAKE) test test-asan
	scripts/check-install.sh $(BUILD)
	$(MAKE) deb-check
	$(MAKE) torture-check
	$(MAKE) fuzz-check
	$(MAKE) samba-check

demo: deps
	$(MAKE) $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target morvex morvex_cli
	scripts/demo.sh $(BUILD)

bench: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) \
	  --target bench_commands bench_open_panel bench_extract bench_ntfs_stream bench_scan \
	  bench_registry
	scripts/bench.sh $(BUILD)

# The program, the module and its layer, the message texts, the manual page
# and the bash completion, under $(DESTDIR)$(PREFIX).
install: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target morvex morvex_cli
	cmake --build $(BUILD) --target preinstall
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package morvex_VERSION_i386.deb in $(DEB), built by debhelper
# from a copy of the tree; deb-check lints it, installs it with apt, tries it
# and purges it.
deb: deps
	scripts/build-deb.sh $(DEB) $(JOBS)

deb-check: deb
	scripts/check-deb.sh $(DEB)

# Each fuzz target for FUZZ_SECONDS on its corpus; fuzz-check runs each for a
# bounded number of inputs, as make check does.
FUZZ         ?= $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS    ?= 3000
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh $(FUZZ)

fuzz-check:
	JOBS=$(JOBS) scripts/fuzz.sh $(FUZZ) --runs $(FUZZ_RUNS)

# Kills morvex at random moments while it writes, on tmpfs, ext4 and NTFS
# (both stream interfaces), and checks that nothing is lost or left behind:
# TRIALS per operation and volume. make check runs a bounded number.
TRIALS ?= 200
torture: linux
	tests/torture/kill_harness.py $(BUILD) --trials $(TRIALS)

torture-check:
	tests/torture/kill_harness.py $(BUILD) --trials 10 --seconds 55

# morvex against a private smbd (streams_xattr, acl_xattr) in a network
# namespace of its own, checked through smbclient, smbcacls and python3-samba.
samba-check: linux
	tests/samba/samba_check.py $(BUILD)

clean:
	rm -rf $(BUILD)
