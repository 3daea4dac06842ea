#!/bin/sh
# ./tools/screenshots/retake-all.sh   retakes every picture of the manual into docs/manual/images:
# the product's windows and the setup wizard's pages from the 64-bit build under Wine, and the
# response charts from the native build. Look at each one before committing them.
cd "$(dirname "$0")/../.." || exit 1
. ./cmake/wine-env.sh
for preset in win64 host; do
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null || exit 1
done
./cmake/wine-prefix.sh build/win64/wine || exit 1
cmake --build build/win64 --target manual-pictures manual-setup-pictures || exit 1
cmake --build build/host --target manual-responses || exit 1
