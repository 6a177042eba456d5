"""The web panel in a real browser: tarn-sim serves a printer on a TCP port and its page on
another; headless Chromium shows the page (driven over the WebDriver protocol by chromedriver),
a sale goes through libtarn.so, and the page shows it; "Paper out" makes the next sale line
fail, "Paper in" lets the sale be made again. The HTTP interface is checked directly too.

usage: web_test.py TARN_SIM LIBTARN SCREENSHOT
"""
import base64
import ctypes
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

SIM, LIBRARY, SCREENSHOT = sys.argv[1:4]
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


LETTERS = {"T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
           "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
           "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
           "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"]}


def write_logo(path):
    """The shop's logo file: a title line, then 64 rows of 192 dots ("X" black): TARN."""
    rows = [" " * 192] * 64
    for y in range(56):
        dots = "    ".join("".join(c * 6 for c in LETTERS[ch][y // 8]) for ch in "TARN")
        rows[4 + y] = dots.center(192).replace("#", "X")
    with open(path, "w") as f:
        f.write("TARN\n" + "\n".join(rows) + "\n")


def check_http_interface(web):
    """Answers to scripts: the state as JSON, a fault by POST, and the refusals."""
    rows = [  # method, path, body, status
        ("GET", "/nothing", None, 404),
        ("POST", "/state", "", 405),
        ("GET", "/faults/paper-out", None, 405),
        ("POST", "/faults/fire", "", 404),
        ("POST", "/faults/busy?seconds=0", "", 400),
        ("POST", "/faults/refuse-next?status=0B08", "", 400),
        ("POST", "/faults/lose-ack", "x" * 4096, 413),
        ("POST", "/faults/busy?seconds=1", "", 200),
    ]
    for method, path, body, status in rows:
        request = urllib.request.Request(web + path, method=method,
                                         data=None if body is None else body.encode())
        try:
            got = urllib.request.urlopen(request, timeout=5).status
        except urllib.error.HTTPError as error:
            got = error.code
        assert got == status, f"{method} {path}: {got}, not {status}"
    state = json.loads(http("GET", web + "/state")[1])
    for key in ("roll", "display", "drawers", "status", "faults", "counters", "printer", "trace"):
        assert key in state, f"/state has no {key}"
    assert state["status"]["busy"] and state["faults"]["busyForMs"] > 0, state
    assert state["printer"]["type"] == 8 and len(state["display"]) == 2, state


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

    def text(self, element_id):
        return self.script(f"return document.getElementById('{element_id}').innerText")

    def click(self, element_id):
        element = self.call("POST", "/element", {"using": "css selector", "value": "#" + element_id})
        self.call("POST", f"/element/{element[ELEMENT]}/click", {})

    def quit(self):
        http("DELETE", self.session)
        self.driver.terminate()
        self.driver.wait(10)


def main():
    work = tempfile.mkdtemp(prefix="tarn-web-")
    log = open(os.path.join(work, "sim.txt"), "w+")
    sim = subprocess.Popen([SIM, "--tcp", "0", "--web", "0"], stdout=log, stderr=subprocess.STDOUT)
    browser = None
    try:
        started = time.monotonic()
        def ports():
            text = open(log.name).read()
            printer, web = re.search(r"tcp:127\.0\.0\.1:(\d+)", text), re.search(r"(http://\S+)/", text)
            return printer and web and (printer[1], web[1])

        printer, web = wait_for("tarn-sim's ports", ports)
        check_http_interface(web)

        browser = Browser(work)
        browser.call("POST", "/url", {"url": web + "/"})
        wait_for("the page's event stream", lambda: browser.text("link") == "live")

        os.environ["TARN_COM1"] = "tcp:127.0.0.1:" + printer
        os.chdir(work)  # the library writes its log where it runs
        tarn = ctypes.CDLL(LIBRARY)

        def text(s):
            return s.encode("cp852")

        def line(name, price):
            return tarn.mfLineTicket(0, text(name), ord("B"), b"szt", price, 1000, 0)

        def end(paid):
            return tarn.mfEndTicket(0, 0, 0, paid, text("Gotówka"), 0, b"", 0, b"", 0, b"", 0, b"",
                                    b"", text("Dziękujemy"))

        write_logo("logo.txt")
        assert tarn.mfDefConfigParam(11, 0, b"logo.txt") == 0, tarn.mfError()
        assert tarn.mfStart(0, 1) == 0, tarn.mfError()
        assert tarn.mfBeginTicket(-1) == 0, tarn.mfError()
        assert line("Chleb żytni", 549) == 0 and line("Masło extra", 899) == 0, tarn.mfError()
        assert end(2000) == 0, tarn.mfError()
        wait_for("the sale on the page", lambda: all(
            s in browser.text("paper") for s in ("Chleb żytni", "Masło extra", "SUMA PLN")))
        assert browser.script("return document.querySelectorAll('#paper .logo').length") >= 16

        # Out of paper in the middle of a receipt: the printer cancels it and names its reason,
        # which the library reports as no paper (784) on every printer type; a new receipt is
        # refused with the same code until the paper is back.
        assert tarn.mfBeginTicket(-1) == 0, tarn.mfError()
        assert line("Żurek", 1250) == 0, tarn.mfError()
        browser.click("paper-out")
        wait_for("paper out on the page", lambda: browser.text("st-paper") == "OUT")
        assert (line("Śledź", 990), tarn.mfError()) == (-2, 784)
        assert (tarn.mfBeginTicket(-1), tarn.mfError()) == (-2, 784)
        browser.click("paper-in")
        wait_for("paper in on the page", lambda: browser.text("st-paper") == "present")
        assert tarn.mfBeginTicket(-1) == 0, tarn.mfError()
        assert line("Żurek", 1250) == 0 and line("Śledź", 990) == 0, tarn.mfError()
        assert end(3000) == 0, tarn.mfError()
        assert tarn.mfDispSummary(text("Razem"), 2240, text("Reszta"), 760) == 0, tarn.mfError()
        tarn.mfStop()
        wait_for("the cancelled receipt and the one made again", lambda: (
            lambda roll: "PARAGON ANULOWANY" in roll and roll.count("SUMA PLN") == 2 and
            "Śledź" in roll)(browser.text("paper")))
        wait_for("the summary on the customer display", lambda: "22,40" in browser.text("display"))
        wait_for("the wire trace", lambda: "1B" in browser.script(
            "return document.getElementById('trace-lines').textContent"))
        browser.script("document.getElementById('trace').open = false")
        with open(SCREENSHOT, "wb") as f:
            f.write(base64.b64decode(browser.call("GET", "/screenshot")))

        # A second tab sees the same roll from its own stream.
        handle = browser.call("POST", "/window/new", {"type": "tab"})["handle"]
        browser.call("POST", "/window", {"handle": handle})
        browser.call("POST", "/url", {"url": web + "/"})
        wait_for("the roll in a second tab", lambda: browser.text("paper").count("SUMA PLN") == 2)

        # tarn-sim stops promptly with the pages' streams open.
        stopping = time.monotonic()
        sim.send_signal(signal.SIGTERM)
        assert sim.wait(5) == 0
        print(f"tarn-sim stopped in {time.monotonic() - stopping:.2f} s with two pages open")
        print(f"the web panel's test took {time.monotonic() - started:.1f} s")
    except BaseException:
        log.seek(0)
        print("tarn-sim said:\n" + log.read())
        raise
    finally:
        if browser:
            browser.quit()
        if sim.poll() is None:
            sim.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
