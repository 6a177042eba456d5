// The web panel's one page: the paper roll, the customer display, the drawers, the status,
// the fault buttons and the wire trace, kept up to date by the server's event stream.
namespace tarn::web {

extern const char kPage[];

const char kPage[] = R"PAGE(<!DOCTYPE html>
<html lang="pl">
<head>
<meta charset="utf-8">
<title>TARN virtual printer</title>
<style>
body { margin: 0; font: 14px/1.4 system-ui, sans-serif; background: #e8e6e1; color: #222; }
header { background: #2d3a4a; color: #fff; padding: 8px 16px; display: flex; gap: 16px; align-items: baseline; }
header h1 { font-size: 17px; margin: 0; }
#link { margin-left: auto; font-size: 12px; }
#link.down { color: #ffb3b3; }
main { display: flex; gap: 20px; padding: 16px; align-items: flex-start; }
#paper { height: calc(100vh - 90px); overflow-y: auto; padding: 4px 18px 12px; background: #cfcac0; border-radius: 4px; }
.slip { background: #fffef8; box-shadow: 0 1px 3px rgba(0,0,0,.3); padding: 10px 12px 6px; margin: 0 0 14px;
        font: 13px/1.25 "DejaVu Sans Mono", "Liberation Mono", monospace; white-space: pre; width: 40ch;
        border-bottom: 2px dashed #b7b2a8; }
.slip:empty { display: none; }
.slip div { min-height: 1.25em; }
.slip div.logo { line-height: .5em; min-height: .5em; overflow: hidden; color: #111; }
aside { flex: 1; max-width: 560px; display: flex; flex-direction: column; gap: 12px; }
section { background: #fff; border-radius: 4px; padding: 10px 14px; box-shadow: 0 1px 2px rgba(0,0,0,.15); }
h2 { font-size: 13px; text-transform: uppercase; letter-spacing: .05em; color: #667; margin: 0 0 8px; }
#display { background: #0c1a0c; color: #7dff7d; font: 20px/1.3 "DejaVu Sans Mono", monospace; padding: 8px 12px;
           white-space: pre; border-radius: 3px; min-height: 2.6em; text-shadow: 0 0 6px #3f3; }
#display.none { color: #567; text-shadow: none; font-size: 14px; }
table { border-collapse: collapse; width: 100%; }
td { padding: 2px 6px 2px 0; vertical-align: top; }
td:first-child { color: #556; width: 45%; }
.bad { color: #b00020; font-weight: 600; }
.good { color: #186a2c; }
code { font-family: "DejaVu Sans Mono", monospace; }
.buttons { display: flex; flex-wrap: wrap; gap: 6px; align-items: center; margin-bottom: 6px; }
button { font: inherit; padding: 4px 10px; border: 1px solid #8a94a6; border-radius: 3px; background: #f3f5f9; cursor: pointer; }
button:hover { background: #e2e7f0; }
input { font: inherit; width: 7em; padding: 3px; }
input.narrow { width: 3.5em; }
#result { font-size: 12px; color: #556; min-height: 1.2em; }
#trace pre { font: 12px/1.35 "DejaVu Sans Mono", monospace; max-height: 260px; overflow: auto; margin: 6px 0 0; }
</style>
</head>
<body>
<header><h1>TARN virtual printer</h1><span id="model"></span><span id="link" class="down">connecting…</span></header>
<main>
<div id="paper"><div class="slip"></div></div>
<aside>
<section><h2>Customer display</h2><div id="display" class="none"></div></section>
<section><h2>Printer</h2>
<table>
<tr><td>Status bytes</td><td><code id="st-bytes"></code></td></tr>
<tr><td>Paper</td><td id="st-paper"></td></tr>
<tr><td>Document</td><td id="st-document"></td></tr>
<tr><td>Fiscal day</td><td id="st-day"></td></tr>
<tr><td>Busy</td><td id="st-busy"></td></tr>
<tr><td>Cable</td><td id="st-cable"></td></tr>
<tr><td>Power</td><td id="st-power"></td></tr>
<tr><td>Drawer</td><td id="st-drawers"></td></tr>
<tr><td>Armed faults</td><td id="st-armed"></td></tr>
<tr><td>Counters</td><td id="st-counters"></td></tr>
</table>
</section>
<section><h2>Faults (taking effect on the next exchange)</h2>
<div class="buttons"><button id="paper-out">Paper out</button><button id="paper-in">Paper in</button>
<button id="unplug">Unplug cable</button><button id="plug">Plug cable</button></div>
<div class="buttons"><button id="power-loss">Power loss</button> for <input id="power-seconds" class="narrow" type="number" min="1" max="60" value="3"> s
<button id="busy">Busy</button> for <input id="busy-seconds" class="narrow" type="number" min="1" max="3600" value="5"> s</div>
<div class="buttons"><button id="refuse-next">Refuse next command</button> showing status
<input id="refuse-status" value="0B 08 00 00" title="four status bytes in hexadecimal"><button id="lose-ack">Lose next acknowledge</button></div>
<div id="result"></div>
</section>
<section><details id="trace"><summary>Wire trace (last exchanges; → to the printer, ← to the host)</summary><pre id="trace-lines"></pre></details></section>
</aside>
</main>
<script>
"use strict";
const $ = id => document.getElementById(id);
const paper = $("paper");
const cut = "=".repeat(40);
let slip = paper.lastElementChild;

function isLogoRow(line) {
  return line.length === 40 && /^[#+ ]+$/.test(line) && /[#+]/.test(line);
}

function addLine(line) {
  if (line === cut) {
    slip = document.createElement("div");
    slip.className = "slip";
    paper.appendChild(slip);
    return;
  }
  const row = document.createElement("div");
  if (isLogoRow(line)) {
    row.className = "logo";
    row.textContent = line.replace(/#/g, "\u2588").replace(/\+/g, "\u2592");
  } else {
    row.textContent = line;
  }
  slip.appendChild(row);
}

function showRoll(from, lines) {
  if (from === 0) {
    paper.replaceChildren();
    slip = document.createElement("div");
    slip.className = "slip";
    paper.appendChild(slip);
  }
  if (lines.length === 0) return;
  const atBottom = paper.scrollHeight - paper.scrollTop - paper.clientHeight < 40;
  lines.forEach(addLine);
  if (atBottom || from === 0) paper.scrollTop = paper.scrollHeight;
}

function mark(id, text, bad) {
  $(id).textContent = text;
  $(id).className = bad ? "bad" : "good";
}

function showState(s) {
  const p = s.printer;
  $("model").textContent = "type " + p.type + ", version " + p.version + ", display " + p.displayType + ", serial " + p.serialNumber;
  const display = $("display");
  display.className = s.display.length ? "" : "none";
  display.textContent = s.display.length ? s.display.join("\n") : "no customer display";
  const st = s.status, f = s.faults;
  $("st-bytes").textContent = st.bytes;
  mark("st-paper", st.paperOut ? "OUT" : "present", st.paperOut);
  const doc = st.receiptOpen ? "receipt open" : st.formOpen ? "form open" : "none open";
  mark("st-document", doc + (st.documentLeftOpen ? " (left open)" : ""), st.documentLeftOpen);
  mark("st-day", (st.fiscalDayOpen ? "open" : "closed") + (st.dailyReportDue ? ", daily report due" : "") +
       (st.reportMode ? ", report mode" : "") + (st.fiscalised ? "" : ", not fiscalised"), st.dailyReportDue);
  mark("st-busy", st.busy ? "busy (" + (f.busyForMs / 1000).toFixed(1) + " s)" : "ready", st.busy);
  mark("st-cable", f.unplugged ? "UNPLUGGED" : "plugged", f.unplugged);
  mark("st-power", f.powerBackInMs > 0 ? "OFF, starting again" : "on", f.powerBackInMs > 0);
  $("st-drawers").textContent = s.drawers.length ?
      s.drawers.map((open, i) => (s.drawers.length > 1 ? (i + 1) + ": " : "") + (open ? "open" : "closed")).join(", ") : "none";
  const armed = [];
  if (f.refuseNext) armed.push("refuse next (" + f.refuseNext + ")");
  if (f.loseNextAcknowledge) armed.push("lose next acknowledge");
  $("st-armed").textContent = armed.length ? armed.join(", ") : "none";
  const c = s.counters;
  $("st-counters").textContent = "receipts today " + c.receiptsToday + ", cancelled " + c.cancelledToday +
      ", daily reports " + c.dailyReports + ", frames received " + c.framesReceived;
}

function showTrace(trace) {
  $("trace-lines").textContent = trace.map(e =>
      e.at + (e.dir === "in" ? " → " : " ← ") + e.hex + (e.bytes > 64 ? " … (" + e.bytes + " bytes)" : "")).join("\n");
}

function fault(name, query) {
  fetch("/faults/" + name + (query || ""), {method: "POST"})
    .then(r => r.text().then(t => { $("result").textContent = r.ok ? name + ": armed" : name + ": " + t; }))
    .catch(e => { $("result").textContent = name + ": " + e; });
}

["paper-out", "paper-in", "unplug", "plug", "lose-ack"].forEach(n => { $(n).onclick = () => fault(n); });
$("power-loss").onclick = () => fault("power-loss", "?seconds=" + encodeURIComponent($("power-seconds").value));
$("busy").onclick = () => fault("busy", "?seconds=" + encodeURIComponent($("busy-seconds").value));
$("refuse-next").onclick = () => fault("refuse-next", "?status=" + encodeURIComponent($("refuse-status").value));

// The browser reconnects a broken stream by itself; a refused one (the server gone, or too many
// pages open) is tried again after a pause.
function listen() {
  const events = new EventSource("/events");
  events.onopen = () => { $("link").textContent = "live"; $("link").className = ""; };
  events.onerror = () => {
    $("link").textContent = "reconnecting…";
    $("link").className = "down";
    if (events.readyState === EventSource.CLOSED) setTimeout(listen, 3000);
  };
  events.onmessage = e => {
    const s = JSON.parse(e.data);
    showRoll(s.rollFrom, s.roll);
    showState(s);
    if (s.trace) showTrace(s.trace);
  };
}
listen();
</script>
</body>
</html>
)PAGE";

}  // namespace tarn::web
