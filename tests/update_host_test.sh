#!/usr/bin/env bash
# The update host as the tests run it: an nginx of their own on 127.0.0.1, with its own
# configuration and files in a scratch folder, serving the .up body and the program file that
# the publisher's commands write; it is asked the way the program asks (an HTTP/1.0 request
# line with the absolute URI and no Host header) and stopped again. Arguments: the build
# folder, the sample catalogue.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/checks.sh"
export LC_ALL=C # lengths in bytes
bin=$(cd "$1" && pwd)
sample=$(cd "$2" && pwd)
nginx=$(command -v nginx || echo /usr/sbin/nginx)
if [ ! -x "$nginx" ]; then
    echo "nginx is not installed (scripts/install-deps nginx)"
    exit 1
fi
work=$(mktemp -d)
nginx_pid=
stop_nginx() {
    [ -n "$nginx_pid" ] || return 0
    kill -QUIT "$nginx_pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$nginx_pid" 2>/dev/null || break
        sleep 0.1
    done
    nginx_pid=
}
trap 'stop_nginx; rm -rf "$work"' EXIT

mkdir -p "$work/www/datas" "$work/temp"
chmod 755 "$work" "$work/www" "$work/www/datas" # nginx's workers may run as another user
"$bin/kovanta-pack" up --date 2026-12-07 --version 1.4 --description 'new data' -o "$work/www/datas/kovanta-it.up"
# A program image as the packer sees one: some bytes with the update-host slot inside.
{ head -c 4096 /dev/zero; printf 'KovantaHostSlot\0'; head -c 1060 /dev/zero; } > "$work/program-image"
"$bin/kovanta-pack" "$sample" --program "$work/program-image" -o "$work/www/datas/kovanta-it.exe" \
    --update-host 127.0.0.1 > /dev/null
chmod 644 "$work/www/datas/"*

# A free port of our own: nginx is started on one after another until one is not taken.
port=
for _ in $(seq 10); do
    try=$((20000 + RANDOM % 20000))
    cat > "$work/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 16; }
http {
    access_log off;
    client_body_temp_path $work/temp/body;
    proxy_temp_path $work/temp/proxy;
    fastcgi_temp_path $work/temp/fastcgi;
    uwsgi_temp_path $work/temp/uwsgi;
    scgi_temp_path $work/temp/scgi;
    types { application/octet-stream up exe; }
    server {
        listen 127.0.0.1:$try;
        root $work/www;
    }
}
CONF
    if "$nginx" -p "$work" -c "$work/nginx.conf" -e "$work/error.log" 2>> "$work/start.log"; then
        port=$try
        nginx_pid=$(cat "$work/nginx.pid")
        break
    fi
done
if [ -z "$port" ]; then
    echo "nginx did not start:"
    cat "$work/start.log" "$work/error.log" 2>/dev/null
    exit 1
fi

# The program's request; prints the reply's body into $2 and its head into $2.head.
ask() {
    local path=$1 out=$2
    exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
    printf 'GET http://127.0.0.1%s HTTP/1.0\r\n\r\n' "$path" >&3
    cat <&3 > "$out.reply"
    exec 3<&-
    # The head's lines end in CR LF and the head in an empty line.
    local size=0 line
    while IFS= read -r line; do
        size=$((size + ${#line} + 1))
        [ "$line" = $'\r' ] && break
    done < "$out.reply"
    head -c "$size" "$out.reply" | tr -d '\r' > "$out.head"
    tail -c +"$((size + 1))" "$out.reply" > "$out"
}

ask /datas/kovanta-it.up "$work/up"
check "the .up file is served" grep -q '^HTTP/1.1 200 OK' "$work/up.head"
check "with its length" grep -q "^Content-Length: $(stat -c %s "$work/www/datas/kovanta-it.up")" "$work/up.head"
check "the body is the .up file" cmp -s "$work/up" "$work/www/datas/kovanta-it.up"
ask /datas/kovanta-it.exe "$work/exe"
check "the program file is served whole" cmp -s "$work/exe" "$work/www/datas/kovanta-it.exe"
ask /datas/missing.up "$work/missing"
check "a missing file is 404" grep -q '^HTTP/1.1 404' "$work/missing.head"

pid=$nginx_pid
stop_nginx
check "nginx is stopped" bash -c "! kill -0 $pid 2>/dev/null"
check "and its port is closed" bash -c "! exec 3<>/dev/tcp/127.0.0.1/$port" 2>/dev/null

echo "$passed passed, $failed failed"
test "$failed" -eq 0
