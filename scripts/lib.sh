# Shared by scripts/run and scripts/test.

# build_tree DIR [CMAKE ARGS...]: configure and build into DIR.
build_tree() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
