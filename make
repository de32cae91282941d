#!/usr/bin/env bash
# `./make run` and `./make test` work on a fresh Debian, where make itself is not installed yet:
# install what is missing first, then hand over to the real make with the same arguments.
set -euo pipefail
cd "$(dirname "$0")"

if ! type -P make >/dev/null; then
  scripts/install-deps
fi
# With "." early on PATH, "make" is this script again; stop instead of calling itself forever.
if [ "$(type -P make)" -ef ./make ]; then
  echo "./make: the make found on PATH is this script; take \".\" out of PATH" >&2
  exit 1
fi
exec make "$@"
