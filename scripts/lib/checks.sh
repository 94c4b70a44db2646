# A script's checks, each one line, PASS or FAIL, counted for its closing line. Source it.
failed=0 passed=0
check() { # DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}
