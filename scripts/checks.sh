# Shared by the scripts that test a whole product (package, container image, Slurm job): named
# checks that count their failures, and the one verdict line at the end. Source it, then call
# `verdict STATUS "what passed" "what kind of check"` from the EXIT trap with the exit status.
failures=0

# Runs a command as the check named; a failure is counted, not fatal.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

verdict() {
    local status=$1 passed=$2 kind=$3
    if [ "$status" -eq 0 ]; then
        echo "PASS: $passed"
    elif [ "$failures" -gt 0 ]; then
        echo "FAIL: $failures $kind check(s) failed"
    else
        echo "FAIL: stopped by an error before the checks were done (exit status $status)"
    fi
}
