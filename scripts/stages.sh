# Sourced by the build and CI scripts: runs one stage and prints how long it
# took, so that a slow stage shows in every log.
stage() {
    local name=$1
    shift
    local started=$SECONDS
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - started)) s"
}

# Runs a command with its standard output thrown away (a stage's own lines
# still show).
quietly() {
    "$@" >/dev/null
}

# A build folder made by another generator (the presets once used Unix
# Makefiles) cannot be reused: it is removed so that the preset makes it anew.
drop_other_generator_build() {
    local cache=build/$1/CMakeCache.txt
    if [ -f "$cache" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
        rm -rf "build/$1"
    fi
}
