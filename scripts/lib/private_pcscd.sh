# A pcscd of the script's own beside the system's: sourced by the demos, not run.
#
# pcscd always keeps its socket in /run/pcscd, but its clients follow PCSCLITE_CSOCK_NAME. So the
# private one runs (as root) in a mount namespace of its own where a folder of ours is bound
# over /run/pcscd, with a vpcd port that the system's vpcd entry (0x8C7B) does not use. The
# system's pcscd, if any, keeps serving its readers untouched.

# free_vpcd_port FIRST: the first even port from FIRST on with it and the next one unused.
free_vpcd_port() {
    local port="$1" used
    used="$(ss -Htan 2>/dev/null | awk '{ n = split($4, a, ":"); print a[n] }')"
    while grep -qx "$port" <<<"$used" || grep -qx "$((port + 1))" <<<"$used"; do
        port=$((port + 2))
    done
    echo "$port"
}

# start_private_pcscd WORK PORT READER: writes WORK/conf and WORK/run, starts pcscd with vpcd's
# reader READER on PORT, sets pcscd_pid and exports PCSCLITE_CSOCK_NAME for the clients. The
# caller stops it by pcscd_pid. Fails with the reason when this machine cannot run one.
start_private_pcscd() {
    local work="$1" port="$2" reader="$3" hex
    if [ "$(id -u)" -ne 0 ]; then
        echo "a pcscd of our own needs root: it runs in a mount namespace over /run/pcscd" >&2
        return 1
    fi
    if ! unshare --mount --propagation private true 2>/dev/null; then
        echo "this machine does not allow mount namespaces (unshare --mount), which a pcscd of our own needs" >&2
        return 1
    fi
    hex="$(printf '0x%04X' "$port")"
    mkdir -p /run/pcscd "$work/conf" "$work/run"
    cat > "$work/conf/vpcd" <<CONF
FRIENDLYNAME "$reader"
DEVICENAME /dev/null:$hex
LIBPATH /usr/lib/pcsc/drivers/serial/libifdvpcd.so
CHANNELID $hex
CONF
    # unshare and sh exec into pcscd: the pid is pcscd's own.
    unshare --mount --propagation private \
        sh -c 'mount --bind "$1" /run/pcscd && exec pcscd -f -c "$2"' sh "$work/run" "$work/conf" \
        >"$work/pcscd.log" 2>&1 &
    pcscd_pid=$!
    export PCSCLITE_CSOCK_NAME="$work/run/pcscd.comm"
}
