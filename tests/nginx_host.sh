#!/usr/bin/env bash
# The tests' own update host on 127.0.0.1:80, the port the program asks: an nginx with its own
# configuration, pid file and logs in a folder, serving that folder's www/ (www/datas/NAME.up,
# www/datas/NAME.exe). Never the system's nginx service.
#
#   tests/nginx_host.sh start DIR   stops a host of ours left running in DIR, waits for port 80
#                                   to be free, starts nginx and waits until it answers
#   tests/nginx_host.sh stop DIR    stops it and waits until it has ended
set -uo pipefail
action=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
nginx=$(command -v nginx || echo /usr/sbin/nginx)

stop_host() {
    local pid
    pid=$(cat "$dir/nginx.pid" 2>/dev/null) || return 0
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -QUIT "$pid" 2>/dev/null
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    fi
    rm -f "$dir/nginx.pid"
}

port_taken() {
    (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null
}

case $action in
stop)
    stop_host
    if port_taken; then
        echo "port 80 is still answering after our update host stopped:"
        ss -ltnp 'sport = :80' 2>/dev/null
        exit 1
    fi
    ;;
start)
    if [ ! -x "$nginx" ]; then
        echo "nginx is not installed (scripts/install-deps nginx)"
        exit 1
    fi
    stop_host
    # Another test run's host goes away by itself; anything else is reported.
    for _ in $(seq 60); do
        port_taken || break
        sleep 1
    done
    if port_taken; then
        echo "port 80 of 127.0.0.1 is taken, the update host cannot start:"
        ss -ltnp 'sport = :80' 2>/dev/null
        exit 1
    fi
    mkdir -p "$dir/www/datas" "$dir/temp"
    # nginx's workers run as another user.
    chmod 755 "$dir" "$dir/www" "$dir/www/datas"
    chmod 644 "$dir/www/datas/"* 2>/dev/null
    cat >"$dir/nginx.conf" <<CONF
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log;
events { worker_connections 64; }
http {
    access_log $dir/access.log;
    client_body_temp_path $dir/temp/body;
    proxy_temp_path $dir/temp/proxy;
    fastcgi_temp_path $dir/temp/fastcgi;
    uwsgi_temp_path $dir/temp/uwsgi;
    scgi_temp_path $dir/temp/scgi;
    types { application/octet-stream up exe; }
    server {
        listen 127.0.0.1:80;
        root $dir/www;
        # Served without its Content-Length header: a filter that may change the body drops it,
        # and the reply ends when the connection closes.
        location = /datas/nolength.up {
            sub_filter_types *;
            sub_filter 'never-in-a-body' '';
        }
    }
}
CONF
    : >"$dir/access.log"
    if ! "$nginx" -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log"; then
        echo "nginx did not start:"
        cat "$dir/error.log" 2>/dev/null
        exit 1
    fi
    for _ in $(seq 50); do
        port_taken && exit 0
        sleep 0.1
    done
    echo "nginx started but does not answer on 127.0.0.1:80"
    stop_host
    exit 1
    ;;
*)
    echo "usage: tests/nginx_host.sh start|stop DIR"
    exit 2
    ;;
esac
