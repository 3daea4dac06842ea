#!/bin/sh
# Draws the skin into a scratch folder and compares it with the committed files.
# usage: check-reproducible.sh SKINGEN COMMITTED-DIR SCRATCH-DIR
set -e
gen=$1; committed=$2; scratch=$3
rm -rf "$scratch"
"$gen" "$scratch"
if ! diff -r "$committed" "$scratch"; then
    echo "the committed skin differs from a fresh run of skingen; run: cmake --build build/host --target skin" >&2
    exit 1
fi
# A second run must give the same bytes as the first.
"$gen" "$scratch.2"
diff -r "$scratch" "$scratch.2"
rm -rf "$scratch.2"
