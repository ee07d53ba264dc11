#!/usr/bin/env bash
# Checks that every C++ file of the player, its tests, tools, measuring
# programs and fuzz targets is formatted as .clang-format says; lists the
# places that are not and fails. To format them instead:
#   git ls-files 'src/*' 'tests/*' 'tools/*' 'bench/*' 'fuzz/*' | grep -E '\.(cpp|h)$' | xargs clang-format -i
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
git ls-files src tests tools bench fuzz | grep -E '\.(cpp|h)$' | xargs clang-format --dry-run --Werror
