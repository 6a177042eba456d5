"""tarn serve and web pages in a real browser: pages of other origins (another site, and the
same site on another port) try to sell a receipt through the service with every kind of request
a page can make, and to read its journal; the printer prints nothing, the journal holds no such
job and the pages read no answer. A page of an allowed origin sells its receipt.

usage: serve_test.py TARN_SIM TARN
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from browser import Browser, Page, http, sim_ports, wait_for

SIM, TARN = sys.argv[1:3]
FOREIGN_GOODS = "Towar obcej strony"


def receipt(key, name):
    return {"job_id": key, "lines": [{"name": name, "tax": "B", "quantity": 1, "unit_price": 250}],
            "payments": [{"type": "cash", "amount": "2.50"}]}


# What a page of another origin tries: (its key, the request as the page makes it). Each one is
# a whole, valid receipt that the service would print if it took it.
FETCHES = [
    ("simple-text", "{method: 'POST', headers: {'Content-Type': 'text/plain'}, body}"),
    ("simple-form", "{method: 'POST', headers: "
                    "{'Content-Type': 'application/x-www-form-urlencoded'}, body}"),
    ("no-cors", "{method: 'POST', mode: 'no-cors', headers: {'Content-Type': 'text/plain'}, body}"),
    ("preflighted", "{method: 'POST', headers: {'Content-Type': 'application/json', "
                    "'Idempotency-Key': key}, body}"),
    ("keepalive", "{method: 'POST', keepalive: true, headers: {'Content-Type': 'text/plain'}, body}"),
]
# Each attempt in the page: what the page could read of the answer, or the error it got.
ATTEMPT = """
const [url, key, body] = args;
try {
  const answer = await fetch(url, REQUEST);
  return {type: answer.type, status: answer.status, text: await answer.text()};
} catch (e) {
  return {thrown: String(e)};
}"""


def unread(result):
    """True when the page learned nothing: the fetch failed, or its answer was opaque."""
    return "thrown" in result or (result["type"] == "opaque" and result["status"] == 0 and
                                  result["text"] == "")


def printed(web):
    state = json.loads(http("GET", web + "/state")[1])
    return state["counters"]["receiptsToday"], json.dumps(state["roll"], ensure_ascii=False)


def check_other_origins(browser, service, origins):
    sell = service + "/printers/till/receipts?wait=20000"
    for origin in origins:
        browser.call("POST", "/url", {"url": origin + "/"})
        for key, request in FETCHES:
            key = f"{key}-{origin.rsplit(':', 1)[1]}"  # the service reads the JSON whatever its type
            body = json.dumps(receipt(key, FOREIGN_GOODS))
            result = browser.script_async(ATTEMPT.replace("REQUEST", request), sell, key, body)
            assert unread(result), f"{key}: the page read {result}"
        result = browser.script_async(ATTEMPT.replace("REQUEST", "{}"), service + "/jobs", "", "")
        assert unread(result), f"the journal read from {origin}: {result}"


def check_form_post(browser, service):
    """A form of another site posts a receipt as text/plain, its JSON split across the field's
    name and value: {"…", "footer_line": "=" }."""
    body = json.dumps(receipt("form", FOREIGN_GOODS))
    name = body[:-1] + ', "footer_line": "'
    action = service + "/printers/till/receipts?wait=20000"
    origin = Page(f'<form id="f" method="POST" enctype="text/plain" action="{action}">'
                  f"<input name='{name}' value='\"}}'></form>"
                  '<script>document.getElementById("f").submit()</script>')
    try:
        browser.call("POST", "/url", {"url": f"http://localhost:{origin.port}/"})
        wait_for("the form sent", lambda: browser.call("GET", "/url") == action)
        shown = browser.script("return document.body.innerText")
        assert "not allowed" in shown, shown
    finally:
        origin.close()


def check_allowed_origin(browser, service, origin):
    """The allowed page reads its refusal (the field named) and then its printed receipt."""
    browser.call("POST", "/url", {"url": origin + "/"})
    attempt = ATTEMPT.replace("REQUEST", dict(FETCHES)["preflighted"])
    sell = service + "/printers/till/receipts?wait=20000"
    bad = receipt("allowed-bad", "Chleb z kasy")
    bad["lines"][0]["tax"] = "Z"
    result = browser.script_async(attempt, sell, "allowed-bad", json.dumps(bad))
    assert (result.get("status"), json.loads(result["text"]).get("field")) == (
        422, "/lines/0/tax"), result
    result = browser.script_async(attempt, sell, "allowed-1",
                                  json.dumps(receipt("allowed-1", "Chleb z kasy")))
    assert result.get("status") == 200 and json.loads(result["text"])["outcome"] == "printed", result


def main():
    work = tempfile.mkdtemp(prefix="tarn-serve-web-")
    sim_log, serve_log = (open(os.path.join(work, name), "w+") for name in ("sim", "serve"))
    allowed, same_site = Page(), Page()
    allowed_origin = f"http://127.0.0.1:{allowed.port}"
    sim = subprocess.Popen([SIM, "--tcp", "0", "--web", "0"], stdout=sim_log,
                           stderr=subprocess.STDOUT)
    processes, browser = [sim], None
    try:
        started = time.monotonic()
        printer, web = wait_for("tarn-sim's ports", lambda: sim_ports(sim_log.name))
        processes.append(subprocess.Popen(
            [TARN, "serve", "--listen", "127.0.0.1:0", "--journal", work + "/journal.db",
             "--printer", "till=tcp:127.0.0.1:" + printer, "--allow-origin", allowed_origin],
            stdout=serve_log, stderr=subprocess.STDOUT))
        service = wait_for("the service's URL", lambda: (lambda m: m and m[1])(
            re.search(r"listening on (http://\S+)/", open(serve_log.name).read())))
        before = printed(web)

        browser = Browser(work)
        # The same port as the allowed page under another name is another site's origin.
        check_other_origins(browser, service, [f"http://localhost:{allowed.port}",
                                               f"http://127.0.0.1:{same_site.port}"])
        check_form_post(browser, service)
        assert printed(web) == before, "a page of another origin had a receipt printed"
        jobs = json.loads(http("GET", service + "/jobs")[1])
        assert jobs["jobs"] == [], f"the journal holds jobs of other origins: {jobs}"

        check_allowed_origin(browser, service, allowed_origin)
        count, roll = printed(web)
        assert count == before[0] + 1 and "Chleb z kasy" in roll and FOREIGN_GOODS not in roll
        print(f"the service's browser test took {time.monotonic() - started:.1f} s")
    except BaseException:
        for log in (sim_log, serve_log):
            log.seek(0)
            print(f"{log.name}:\n{log.read()}")
        raise
    finally:
        if browser:
            browser.quit()
        for process in reversed(processes):
            process.terminate()
            process.wait(10)
        allowed.close()
        same_site.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
