# Sourced by the scripts that run a list of checks. Set check_name first (it begins every
# line); check counts each outcome in passed and failed, and check_summary ends the run.
passed=0
failed=0

# check DESCRIPTION COMMAND...: runs the command and counts it as a passed or a failed check.
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "$check_name: ok   $what"
        passed=$((passed + 1))
    else
        echo "$check_name: FAIL $what" >&2
        failed=$((failed + 1))
    fi
}

# check_summary: the last line, "NAME: N passed, M failed"; true only when none failed.
check_summary() {
    echo "$check_name: $passed passed, $failed failed"
    ((failed == 0))
}
