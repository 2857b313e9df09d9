#!/usr/bin/env bash
# Every C++ source of the tree follows .clang-format: names the files that do not and
# fails. Usage: format_check.sh <repository root> [clang-format program]
set -euo pipefail
root=${1:?usage: format_check.sh <repository root> [clang-format]}
format=${2:-clang-format}
cd "$root"
# xargs fails when any file is off; the file names are what tells which.
bad=$(find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 -P "$(nproc)" -n 50 "$format" --dry-run --Werror 2>&1 |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u || true)
if [ -n "$bad" ]; then
  echo "not formatted as .clang-format says (clang-format -i fixes them):"
  echo "$bad"
  exit 1
fi
