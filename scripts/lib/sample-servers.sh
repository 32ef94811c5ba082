# Shared by the demo and the screenshot script: the sample feeds served over
# http and https on 127.0.80.1 (ports 80 and 443, so root), with a demo-only
# test root that only the demo's Wine prefixes trust.

# Makes DIR/root.der, root.pem and the server certificate of 127.0.80.1. The
# root is kept while it is valid: Wine 8 adds no second root of the same name.
make_demo_certificates() { # dir
    mkdir -p "$1"
    (
        cd "$1"
        [ -f root.pem ] && [ -f root.key ] && openssl x509 -in root.pem -noout -checkend 2592000 >/dev/null ||
            openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 3650 \
                -subj "/CN=quillFeed DEMO ROOT $(date -u +%Y%m%d%H%M%S) - demo only" \
                -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
        openssl x509 -in root.pem -outform DER -out root.der
        printf '%s\n' 'basicConstraints=CA:FALSE' 'keyUsage=critical,digitalSignature,keyEncipherment' \
            'extendedKeyUsage=serverAuth' 'subjectAltName=IP:127.0.80.1,DNS:127.0.80.1' > server.ext
        openssl req -new -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.80.1" 2>/dev/null
        openssl x509 -req -in server.csr -CA root.pem -CAkey root.key -set_serial "0x$(openssl rand -hex 8)" \
            -days 30 -extfile server.ext -out server.pem 2>/dev/null
    )
}

# Starts feed-server as http (port 80) and, with a certificate folder, as
# https (port 443) on 127.0.80.1 serving ROOT; waits until both listen.
# Their logs: WORK/http.log and WORK/https.log.
start_sample_servers() { # feeds-root work-dir certificate-dir
    sample_servers=""
    rm -f "$2/http.ready" "$2/https.ready"
    python3 scripts/feed-server --root "$1" --ready-file "$2/http.ready" 2>"$2/http.log" &
    sample_servers=$!
    python3 scripts/feed-server --root "$1" --port 443 --certificate "$3/server.pem" --key "$3/server.key" \
        --ready-file "$2/https.ready" 2>"$2/https.log" &
    sample_servers="$sample_servers $!"
    tries=0
    until [ -s "$2/http.ready" ] && [ -s "$2/https.ready" ]; do
        for server in $sample_servers; do
            kill -0 "$server" 2>/dev/null && continue
            echo "the sample servers did not start:" >&2
            cat "$2/http.log" "$2/https.log" >&2
            return 1
        done
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "the sample servers did not start in time" >&2; return 1; }
        sleep 0.1
    done
}

stop_sample_servers() {
    # shellcheck disable=SC2086
    [ -z "${sample_servers:-}" ] || kill $sample_servers 2>/dev/null || true
    # shellcheck disable=SC2086
    [ -z "${sample_servers:-}" ] || wait $sample_servers 2>/dev/null || true
    sample_servers=""
}
