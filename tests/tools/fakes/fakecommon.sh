# Shared part of the fake help compilers (sourced, not run). Each fake sets
# FAKE_NAME and FAKE_MODE before sourcing this file.
#
# Switches (environment):
#   FAKE_<NAME>_MODE   ok (default): does its work and exits 0
#                      fail:  writes an error to its log, produces nothing, exits 1
#                      empty: writes nothing at all and exits 0
#                      zero:  produces its output file with 0 bytes and exits 0
#                      crash: ends by SIGSEGV before producing anything
#                      hang:  never ends (until it is killed)
#                      hog:   takes ever more memory and never ends
#                      escape: first starts a sleeper that leaves its process
#                             group and session and loses its parent (setsid
#                             in a subshell that ends), then hangs
#                      escapehog: the same with a process that takes ever
#                             more memory instead of the sleeper
#   FAKE_COMPILER_RECORD  when set, every call appends one line:
#                      NAME|working folder|arg1|arg2|...
#   FAKE_COMPILER_PID  when set, hang and hog write their process id there
#                      once they run (escape and escapehog once the escaped
#                      process runs)
#   FAKE_COMPILER_CHILD_PID  when set, escape and escapehog write the escaped
#                      process's id there

fake_record() {
    if [ -n "${FAKE_COMPILER_RECORD:-}" ]; then
        line="$FAKE_NAME|$(pwd)"
        for a in "$@"; do
            line="$line|$a"
        done
        printf '%s\n' "$line" >>"$FAKE_COMPILER_RECORD"
    fi
}

# fake_option FILE NAME: the value of NAME= in FILE (names ignore case).
fake_option() {
    awk -v want="$2" '
        { sub(/\r$/, "") }
        index($0, "=") > 1 {
            name = substr($0, 1, index($0, "=") - 1)
            if (toupper(name) == toupper(want)) { print substr($0, index($0, "=") + 1); exit }
        }' "$1"
}

# fake_section FILE SECTION: the non-empty lines of [SECTION].
fake_section() {
    awk -v want="[$2]" '
        { sub(/\r$/, "") }
        /^\[/ { inside = (toupper($0) == toupper(want)); next }
        inside && $0 != "" && $0 !~ /^;/ { print }' "$1"
}

# Writes to the log named by ERRORLOG=, or to stdout when there is none.
fake_log() {
    if [ -n "$fake_errorlog" ]; then
        printf '%s\r\n' "$1" >>"$fake_errorlog"
    else
        printf '%s\n' "$1"
    fi
}

fake_before_work() {
    case "$FAKE_MODE" in
    ok | fail | empty | zero | crash | hang | hog | escape | escapehog) ;;
    *)
        echo "$FAKE_NAME: unknown mode $FAKE_MODE" >&2
        exit 3
        ;;
    esac
    if [ "$FAKE_MODE" = crash ]; then
        kill -SEGV $$
        sleep 1
        exit 139
    fi
    if [ "$FAKE_MODE" = escape ] || [ "$FAKE_MODE" = escapehog ]; then
        fake_child=${FAKE_COMPILER_CHILD_PID:-}
        fake_work='exec sleep 3600'
        [ "$FAKE_MODE" = escape ] || fake_work='exec tail /dev/zero'
        (setsid sh -c '[ -z "$0" ] || { echo $$ >"$0.tmp" && mv "$0.tmp" "$0"; }; '"$fake_work" \
            "$fake_child" </dev/null >/dev/null 2>&1 &)
        if [ -n "$fake_child" ]; then
            while [ ! -s "$fake_child" ]; do sleep 0.01; done
        fi
        FAKE_MODE=hang
    fi
    if [ "$FAKE_MODE" = hang ] || [ "$FAKE_MODE" = hog ]; then
        if [ -n "${FAKE_COMPILER_PID:-}" ]; then
            echo $$ >"$FAKE_COMPILER_PID.tmp" && mv "$FAKE_COMPILER_PID.tmp" "$FAKE_COMPILER_PID"
        fi
        if [ "$FAKE_MODE" = hog ]; then
            # A line that never ends: tail keeps all of it.
            exec tail /dev/zero
        fi
        exec sleep 3600
    fi
    if [ "$FAKE_MODE" = empty ]; then
        exit 0
    fi
}

# fake_compile HPJ OUTPUT BITS: the work of both WinHelp compilers.
fake_compile() {
    hpj=$1
    out=$2
    fake_errorlog=""
    if [ ! -r "$hpj" ]; then
        echo "$FAKE_NAME: cannot open the help project $hpj" >&2
        exit 2
    fi
    fake_errorlog=$(fake_option "$hpj" ERRORLOG)
    fake_before_work
    if [ -n "$fake_errorlog" ]; then
        : >"$fake_errorlog"
    fi
    fake_log "Fake help compiler ($3-bit)"
    fake_log "Compiling $hpj"
    if [ "$FAKE_MODE" = fail ]; then
        fake_log "HC1001: Error: the fake compiler was told to fail."
        fake_log "1 error(s), 0 warning(s)"
        exit 1
    fi
    root=$(fake_option "$hpj" ROOT)
    [ -n "$root" ] || root=$(dirname "$hpj")
    topics=0
    files=$(fake_section "$hpj" FILES)
    while IFS= read -r rtf; do
        [ -n "$rtf" ] || continue
        case "$rtf" in
        /*) path=$rtf ;;
        *) path="$root/$rtf" ;;
        esac
        if [ ! -r "$path" ]; then
            fake_log "HC1002: Error: cannot open the topic file $rtf."
            fake_log "1 error(s), 0 warning(s)"
            exit 1
        fi
        fake_log "Processing $rtf"
        n=$(grep -o '{\\footnote {\\up #}' "$path" | wc -l)
        topics=$((topics + n))
    done <<FILES
$files
FILES
    if [ "$FAKE_MODE" = zero ]; then
        : >"$out"
    else
        {
            printf 'FAKE WINHELP %s\r\n' "$3"
            printf 'TITLE=%s\r\n' "$(fake_option "$hpj" TITLE)"
            printf 'TOPICS=%s\r\n' "$topics"
        } >"$out"
    fi
    fake_log "$topics topic(s)"
    fake_log "Created $out"
    fake_log "0 error(s), 0 warning(s)"
    exit 0
}
