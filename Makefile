# Entry points. `make test` installs what is missing, builds with the
# sanitizers and runs every test; `make sample` builds the sample project.
JOBS ?= $(shell nproc)

.PHONY: deps test build-test release bench fuzz sample clean format format-check

deps:
	bash scripts/install-deps.sh

build-test: deps
	cmake --preset test
	cmake --build --preset test -j $(JOBS)

test: build-test
	ctest --preset test -j $(JOBS)

release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

bench: release
	bash bench/run-all.sh build/release

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	bash tests/fuzz/run-all.sh build/fuzz $(or $(FUZZ_SECONDS),60)

sample: release
	bash scripts/build-sample.sh build/release out/sample

clean:
	rm -rf build out

format:
	git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' | xargs -0 clang-format -i

format-check:
	bash scripts/check-format.sh
