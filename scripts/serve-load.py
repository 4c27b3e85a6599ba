#!/usr/bin/env python3
"""Load for `platix serve`: C clients post the images of a folder in turn for
a number of seconds, each on its own kept-alive connection; prints images
per second and the median and 99th-percentile latency.

usage: serve-load.py HOST:PORT FOLDER SECONDS CLIENTS...
"""
import http.client
import pathlib
import sys
import threading
import time


def run(address, images, seconds, clients):
    host, port = address.rsplit(":", 1)
    latencies, errors = [], [0]
    lock = threading.Lock()
    end = time.monotonic() + seconds

    def client(k):
        conn = http.client.HTTPConnection(host, int(port), timeout=60)
        i = k
        while time.monotonic() < end:
            body = images[i % len(images)]
            i += clients
            t = time.monotonic()
            try:
                conn.request("POST", "/v1/read", body, {"Content-Type": "image/jpeg"})
                resp = conn.getresponse()
                resp.read()
                ok = resp.status == 200
            except OSError:
                conn.close()
                conn = http.client.HTTPConnection(host, int(port), timeout=60)
                ok = False
            with lock:
                if ok:
                    latencies.append(time.monotonic() - t)
                else:
                    errors[0] += 1

    start = time.monotonic()
    threads = [threading.Thread(target=client, args=(k,)) for k in range(clients)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    elapsed = time.monotonic() - start
    latencies.sort()
    n = len(latencies)
    median = latencies[n // 2] if n else 0
    p99 = latencies[min(n - 1, int(n * 0.99))] if n else 0
    print(f"clients {clients:3d}: {n / elapsed:6.1f} images/s, median {median * 1000:6.1f} ms, "
          f"p99 {p99 * 1000:6.1f} ms, {n} read, {errors[0]} errors")


def main():
    address, folder, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    images = [p.read_bytes() for p in sorted(pathlib.Path(folder).glob("*.jpg"))]
    for clients in map(int, sys.argv[4:]):
        run(address, images, seconds, clients)


if __name__ == "__main__":
    main()
