"""What the browser tests share: headless Chromium driven over the WebDriver protocol by
chromedriver, a page served from an origin of the test's choosing, tarn-sim's ports, and small
HTTP helpers."""
import json
import re
import socket
import subprocess
import sys
import threading
import time
import urllib.error
import urllib.request
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHROMIUM_ARGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=1000,820"]
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"


def wait_for(what, check, seconds=20.0):
    deadline = time.monotonic() + seconds
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            sys.exit(f"timed out waiting for {what}")
        time.sleep(0.05)


def http(method, url, body=None, timeout=10):
    data = None if body is None else json.dumps(body).encode()
    request = urllib.request.Request(url, data=data, method=method,
                                     headers={"Content-Type": "application/json"})
    try:
        with urllib.request.urlopen(request, timeout=timeout) as response:
            return response.status, response.read().decode()
    except urllib.error.HTTPError as error:
        return error.code, error.read().decode()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def sim_ports(log_path):
    """tarn-sim's printer port and its page's URL, once its output at `log_path` names both."""
    text = open(log_path).read()
    printer, web = re.search(r"tcp:127\.0\.0\.1:(\d+)", text), re.search(r"(http://\S+)/", text)
    return printer and web and (printer[1], web[1])


class Page:
    """One HTML page, served at every path of 127.0.0.1:port (and so of localhost:port, another
    origin), until closed; a thread per connection, so that a connection the browser opens ahead
    and leaves idle holds up neither the others nor the close."""

    def __init__(self, html=""):
        self.html = html
        page = self

        class Handler(BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.end_headers()
                self.wfile.write(page.html.encode())

            def log_message(self, *args):
                pass

        self.server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_port
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Browser:
    def __init__(self, work):
        port = free_port()
        self.driver = subprocess.Popen(["chromedriver", f"--port={port}"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = f"http://127.0.0.1:{port}"
        wait_for("chromedriver", lambda: self._ready())
        options = {"binary": "/usr/bin/chromium",
                   "args": CHROMIUM_ARGS + [f"--user-data-dir={work}/profile"]}
        status, body = http("POST", self.base + "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome", "goog:chromeOptions": options}}}, timeout=60)
        assert status == 200, body
        self.session = self.base + "/session/" + json.loads(body)["value"]["sessionId"]

    def _ready(self):
        try:
            return json.loads(http("GET", self.base + "/status", timeout=1)[1])["value"]["ready"]
        except OSError:
            return False

    def call(self, method, path, body=None):
        status, text = http(method, self.session + path, body, timeout=30)
        assert status == 200, f"{path}: {text}"
        return json.loads(text)["value"]

    def script(self, source):
        return self.call("POST", "/execute/sync", {"script": source, "args": []})

    def script_async(self, source, *args):
        """Runs `source` as an async function of `args` in the page; its result is returned."""
        wrapped = ("const done = arguments[arguments.length - 1];"
                   f"(async (...args) => {{ {source} }})(...[...arguments].slice(0, -1))"
                   ".then(done, e => done({thrown: String(e)}));")
        return self.call("POST", "/execute/async", {"script": wrapped, "args": list(args)})

    def text(self, element_id):
        return self.script(f"return document.getElementById('{element_id}').innerText")

    def click(self, element_id):
        element = self.call("POST", "/element", {"using": "css selector", "value": "#" + element_id})
        self.call("POST", f"/element/{element[ELEMENT]}/click", {})

    def quit(self):
        http("DELETE", self.session)
        self.driver.terminate()
        self.driver.wait(10)
