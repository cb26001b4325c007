#!/usr/bin/env bash
# Starts hueline.exe under Wine in the project's private prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
echo "hueline.exe reads the installed colours from the private prefix's system.ini;"
echo "its window comes with the main dialog."
wine build/product/hueline.exe
