"""The web panel in a real browser: tarn-sim serves a printer on a TCP port and its page on
another; headless Chromium shows the page (driven over the WebDriver protocol by chromedriver),
a sale goes through libtarn.so, and the page shows it; "Paper out" makes the next sale line
fail, "Paper in" lets the sale be made again. The HTTP interface is checked directly too, and
against hostile clients: a page on another site that presses the faults, requests for another
host name, bodies and heads too large, slow clients while the page is used and tarn-sim stops.

usage: web_test.py TARN_SIM LIBTARN SCREENSHOT
"""
import base64
import ctypes
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

from browser import Browser, Page, http, sim_ports, wait_for

SIM, LIBRARY, SCREENSHOT = sys.argv[1:4]
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


def raw_status(web, request):
    """The status tarn-sim answers to `request`, bytes sent as they are."""
    with socket.create_connection(web[len("http://"):].split(":"), timeout=5) as s:
        s.sendall(request)
        return int(s.makefile("rb").readline().split()[1])


def check_http_interface(web):
    """Answers to scripts: the state as JSON, a fault by POST, and the refusals, also of hostile
    requests: another host name (DNS rebinding), another page, a body or a head too large."""
    chunks = iter([b"x" * (1 << 20)] * 2)
    rows = [  # method, path, body, headers, status
        ("GET", "/nothing", None, {}, 404),
        ("POST", "/state", "", {}, 405),
        ("GET", "/faults/paper-out", None, {}, 405),
        ("POST", "/faults/fire", "", {}, 404),
        ("POST", "/faults/busy?seconds=0", "", {}, 400),
        ("POST", "/faults/refuse-next?status=0B08", "", {}, 400),
        ("POST", "/faults/lose-ack", "x" * 4096, {}, 413),
        ("POST", "/faults/lose-ack", chunks, {"Content-Type": "text/plain"}, 413),
        ("GET", "/state", None, {"Host": "attacker.example"}, 421),
        ("GET", "/state", None, {"Host": "localhost:" + web.split(":")[-1]}, 200),
        ("GET", "/state", None, {f"X-{i}": "y" for i in range(2000)}, 431),
        ("POST", "/faults/unplug", "", {"Origin": "http://attacker.example"}, 403),
        ("POST", "/faults/unplug", "", {"Sec-Fetch-Site": "cross-site"}, 403),
        ("POST", "/faults/busy?seconds=1", "", {}, 200),
    ]
    for method, path, body, headers, status in rows:
        request = urllib.request.Request(web + path, method=method, headers=headers,
                                         data=body.encode() if isinstance(body, str) else body)
        try:
            got = urllib.request.urlopen(request, timeout=5).status
        except urllib.error.HTTPError as error:
            got = error.code
        assert got == status, f"{method} {path} {list(headers)[:1]}: {got}, not {status}"
    host = b"Host: " + web[len("http://"):].encode()
    assert raw_status(web, b"POST /faults/lose-ack HTTP/1.1\r\n" + host + b"\r\n\r\n") == 411
    assert raw_status(web, b"GET /state HTTP/1.1\r\nX: " + b"y" * (1 << 20)) == 431
    state = json.loads(http("GET", web + "/state")[1])
    for key in ("roll", "display", "drawers", "status", "faults", "counters", "printer", "trace"):
        assert key in state, f"/state has no {key}"
    assert state["status"]["busy"] and state["faults"]["busyForMs"] > 0, state
    assert state["printer"]["type"] == 8 and len(state["display"]) == 2, state


def check_another_site(browser, web):
    """A page on another site auto-submits a text/plain form to /faults/unplug after a no-cors
    fetch to /faults/paper-out: the printer does neither."""
    action = web + "/faults/unplug"
    page = (f'<form id="f" method="POST" enctype="text/plain" action="{action}">'
            '<input name="x" value="y"></form><script>'
            f'fetch("{web}/faults/paper-out", {{method: "POST", mode: "no-cors", body: "x"}})'
            '.finally(() => document.getElementById("f").submit());</script>')

    attacker = Page(page)
    try:
        browser.call("POST", "/url", {"url": f"http://localhost:{attacker.port}/"})
        wait_for("the form sent", lambda: browser.call("GET", "/url") == action)
    finally:
        attacker.close()
    faults = json.loads(http("GET", web + "/state")[1])["faults"]
    assert not faults["unplugged"] and not faults["paperOut"], faults


def check_slow_clients(web, sim):
    """16 clients that send a header byte now and then: the page answers at once meanwhile, and
    tarn-sim stops at once on SIGTERM."""
    host, port = web[len("http://"):].split(":")
    slow = [socket.create_connection((host, int(port))) for _ in range(16)]
    for s in slow:
        s.sendall(b"GET /state HTTP/1.1\r\n")
    stop = threading.Event()

    def drip():
        while not stop.wait(0.5):
            for s in slow:
                try:
                    s.send(b"X")
                except OSError:
                    pass
    dripping = threading.Thread(target=drip)
    dripping.start()
    try:
        for _ in range(3):
            asked = time.monotonic()
            assert http("GET", web + "/state", timeout=5)[0] == 200
            assert time.monotonic() - asked < 2, f"the state took {time.monotonic() - asked:.1f} s"
            time.sleep(0.5)
        stopping = time.monotonic()
        sim.send_signal(signal.SIGTERM)
        assert sim.wait(5) == 0
        print(f"tarn-sim stopped in {time.monotonic() - stopping:.2f} s with two pages open and "
              "16 slow clients")
    finally:
        stop.set()
        dripping.join()
        for s in slow:
            s.close()


def main():
    work = tempfile.mkdtemp(prefix="tarn-web-")
    log = open(os.path.join(work, "sim.txt"), "w+")
    sim = subprocess.Popen([SIM, "--tcp", "0", "--web", "0"], stdout=log, stderr=subprocess.STDOUT)
    browser = None
    try:
        started = time.monotonic()
        printer, web = wait_for("tarn-sim's ports", lambda: sim_ports(log.name))
        check_http_interface(web)

        browser = Browser(work)
        check_another_site(browser, web)
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
        assert tarn.mfDispSum(b"RAZEM", 7501) == 0, tarn.mfError()  # both lines whole
        wait_for("the sum in /state", lambda: json.loads(http("GET", web + "/state")[1])[
            "display"] == ["RAZEM".ljust(20), "75.01".ljust(20)])
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

        # tarn-sim stops promptly with the pages' streams open and slow clients at it.
        check_slow_clients(web, sim)
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
