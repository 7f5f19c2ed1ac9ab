# shellcheck shell=bash
# Shared by scripts/run and scripts/test.

# build_tree DIR [CMAKE ARGS...] [-- TARGETS...]: configure DIR and build the
# given targets in it, or everything when none are given.
build_tree() {
    local dir=$1
    shift
    local configure=() targets=()
    while (($#)) && [ "$1" != -- ]; do
        configure+=("$1")
        shift
    done
    (($#)) && shift
    targets=("$@")
    cmake -S . -B "$dir" -G Ninja "${configure[@]}"
    cmake --build "$dir" --parallel "$(nproc)" ${targets[@]+--target "${targets[@]}"}
}
