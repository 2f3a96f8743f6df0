#!/usr/bin/env bash
# Fails when a C++ file of the repository is not clang-format clean.
set -euo pipefail
cd "$(dirname "$0")/../.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
clang-format --dry-run -Werror $files
