# The shell tests' checks, sourced by each: check names what it checks, then runs a command that
# must succeed; passed and failed count them for the test's closing line.
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
