# Sourced by the benchmarks: the build they measure. A sanitized or unoptimised build's figures
# say nothing of the program (the test command's build/ is sanitized), so without a directory the
# benchmarks make and use an optimised, unsanitized build of their own, build-bench/ beside
# build/; a directory that is given must hold such a build, or they refuse it before measuring.
#
# measured_build ROOT [BUILD_DIR] TARGET...: sets build (the directory) and measured (what it is,
# for the output), and builds the targets there; exits with status 2 on a build it refuses.

measured_build() {
    local root="$1" given="$2"
    shift 2
    refuse() {
        echo "bench: refusing $build: it is $1; its figures would not be the program's." >&2
        echo "bench: leave BUILD_DIR out to measure the bench's own optimised build" >&2
        echo "bench: ($root/build-bench), or give a build made with" >&2
        echo "bench: -DCMAKE_BUILD_TYPE=Release -DVANTREL_SANITIZE=OFF." >&2
        exit 2
    }
    cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
    build="${given:-$root/build-bench}"
    if [[ -z "$given" ]]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_SANITIZE=OFF \
            -DVANTREL_BUILD_TESTS=ON >/dev/null
    fi
    [[ -f "$build/CMakeCache.txt" ]] || refuse "no CMake build"
    [[ "$(cached VANTREL_SANITIZE)" != ON ]] || refuse "sanitized (VANTREL_SANITIZE=ON)"
    case "$(cached CMAKE_BUILD_TYPE)" in
        Release | RelWithDebInfo | MinSizeRel) ;;
        *) refuse "not optimised (CMAKE_BUILD_TYPE=$(cached CMAKE_BUILD_TYPE))" ;;
    esac
    cmake --build "$build" -j2 --target "$@" >/dev/null
    # The flags aside, the program itself must not carry a sanitizer's run time.
    if ldd "$build/src/app/vantrel" | grep -qE 'lib(a|ub|t)san'; then
        refuse "sanitized (its program links a sanitizer)"
    fi
    measured="$build (CMAKE_BUILD_TYPE=$(cached CMAKE_BUILD_TYPE), not sanitized)"
}
