#!/bin/sh
# The manual's pictures of the setup wizard and the uninstaller, taken by an end-to-end run of the real
# download (a clean install into a fresh Wine prefix, then the uninstaller) and written as PNG files.
#   setup-pictures.sh IMAGES_DIR BUILD_DIR DIST_DIR DRIVER
set -u
images=$1 build=$2 dist=$3 driver=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$build/setup-pictures"
"$root/tests/installer/run-end-to-end.sh" "$build" "$dist" "$driver" \
    SetupTest.CleanInstallOfBothComponentsIntoTwoHostDirectoriesThenUninstallEverything >/dev/null || {
    echo "setup-pictures: the end-to-end run failed (see $build/setup-e2e-last.txt)" >&2
    exit 1
}
for pair in setup-step1:setup-step1 setup-step2:setup-step2 setup-step3:setup-step3 setup-step5:setup-step5 \
    uninstall-dialog:uninstall; do
    from=$build/setup-pictures/${pair%%:*}.bmp
    [ -f "$from" ] || { echo "setup-pictures: no ${pair%%:*} picture was taken" >&2; exit 1; }
    convert "$from" -strip "$images/${pair#*:}.png" || exit 1
    echo "wrote ${pair#*:}.png"
done
