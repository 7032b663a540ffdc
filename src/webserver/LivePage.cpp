#include "webserver/LivePage.h"

namespace LivePage {

namespace {

const char kPage[] = R"HTML(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Lintrove 5A</title>
<style>
body { font-family: sans-serif; margin: 0; padding: 8px; color: #222; background: #f6f6f6; }
main { max-width: 960px; margin: 0 auto; }
h1 { font-size: 1.3em; margin: 4px 0 8px; }
h2 { font-size: 1.05em; margin: 16px 0 6px; }
section { background: #fff; border: 1px solid #ddd; border-radius: 4px; padding: 8px;
          margin-bottom: 8px; }
#state { font-weight: bold; }
.down { color: #a00000; }
.up { color: #006000; }
.values { display: grid; grid-template-columns: repeat(auto-fit, minmax(150px, 1fr)); gap: 4px; }
.values div { padding: 2px 0; }
.navy { color: navy; }
.maroon { color: maroon; font-weight: bold; }
img { display: block; max-width: 100%; height: auto; margin: 0 auto; }
.scroll { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; font-size: 0.9em; }
th, td { border-bottom: 1px solid #ddd; padding: 3px 6px; text-align: left; white-space: nowrap; }
small { color: #666; }
</style>
</head>
<body>
<main>
<h1>Lintrove 5A</h1>
<section>
<div id="state">Waiting for the program...</div>
<div><small>Last sample: <span id="time">-</span></small></div>
<div class="values" id="values"></div>
</section>
<section><img id="noise" src="noise.jpg" alt="Noise margin graph"></section>
<section>
<h2>Drops</h2>
<div id="summary">-</div>
<div class="scroll"><table>
<thead><tr><th>Start</th><th>Length</th><th>Kind</th><th>Margin down before / after</th>
<th>Sync down before / after</th></tr></thead>
<tbody id="drops"></tbody>
</table></div>
</section>
</main>
<script>
"use strict";
var refreshSeconds = 30, timer = null;
function text(id, t) { document.getElementById(id).textContent = t; }
function duration(s) {
  if (s < 60) return s + " s";
  if (s < 3600) return Math.floor(s / 60) + " min " + (s % 60) + " s";
  if (s < 86400) return Math.floor(s / 3600) + " h " + Math.floor(s % 3600 / 60) + " min";
  return Math.floor(s / 86400) + " d " + Math.floor(s % 86400 / 3600) + " h";
}
function when(iso) { return iso ? String(iso).replace("T", " ").substring(0, 19) : "-"; }
function num(v) { return Math.round(v * 10) / 10; }
function range(lost) {
  var least = duration(lost.min), most = duration(lost.max);
  return least === most ? "about " + least : "between " + least + " and " + most;
}
function lost(w) {
  if (!w.lostSeconds) return duration(w.secondsLost);
  return w.lostSeconds.max === 0 ? "0 s" : range(w.lostSeconds);
}
// An event's length as the record words it, else its duration and uncertainty.
function lengthOf(d) {
  if (d.lengthText) return d.lengthText;
  return duration(d.durationSeconds) + " \u00b1 " + d.uncertaintySeconds + " s";
}
function beforeAfter(d, key, unit, round) {
  function one(side) {
    return side && side[key] && typeof side[key].down === "number"
      ? (round ? num(side[key].down) : side[key].down) : "-";
  }
  return one(d.before) + " / " + one(d.after) + " " + unit;
}
var kinds = { drop: "Drop", retrain: "Retrain", router_restart: "Router restart",
  no_reading: "Router not read" };
var states = { reading: "Reading the line", connecting: "Connecting to the Home Hub",
  not_reachable: "Home Hub not reachable", not_responding: "Home Hub not responding",
  password_rejected: "Password rejected", no_statistics: "No statistics page",
  paused: "Paused", stopped: "Stopped" };
function cell(row, t) { var td = document.createElement("td"); td.textContent = t; row.appendChild(td); }
function show(s) {
  var state = document.getElementById("state");
  // The program's own state line: while the router is not read it ends with the last reading
  // that was, so nothing here shows an unread reading's zeros.
  var head = s.stateText || states[s.router] || s.router;
  var line = s.drop ? "Line down since " + when(s.drop.since) : (s.lineUp === true ? "Line up" : "");
  state.textContent = head + (line ? " - " + line : "");
  state.className = s.lineUp === true && !s.drop ? "up" : "down";
  var v = document.getElementById("values");
  v.textContent = "";
  function add(label, pair, unit) {
    if (!pair) return;
    var up = document.createElement("div"), down = document.createElement("div");
    up.className = "navy"; down.className = "maroon";
    up.textContent = label + " up: " + num(pair.up) + " " + unit;
    down.textContent = label + " down: " + num(pair.down) + " " + unit;
    v.appendChild(up); v.appendChild(down);
  }
  if (s.sample) {
    text("time", when(s.sample.time));
    // A reading that did not read the line has no values, only its time.
    add("Noise margin", s.sample.noiseMarginDb, "dB");
    add("Sync rate", s.sample.syncRateKbps, "Kbps");
    add("Max data rate", s.sample.maxDataRateKbps, "Kbps");
    add("Line attenuation", s.sample.lineAttenuationDb, "dB");
    add("Signal attenuation", s.sample.signalAttenuationDb, "dB");
    if (s.sample.uptime) {
      var u = document.createElement("div");
      u.textContent = "Router uptime: " + s.sample.uptime;
      v.appendChild(u);
    }
  }
  if (s.summary) {
    var m = s.summary;
    text("summary", "Today " + m.today.count + " (" + lost(m.today) + " lost)"
      + ", 7 days " + m.last7Days.count + " (" + lost(m.last7Days) + ")"
      + ", 30 days " + m.last30Days.count + " (" + lost(m.last30Days) + ")"
      + (m.longest ? ", longest " + (m.longest.lostSeconds ? range(m.longest.lostSeconds) : lengthOf(m.longest)) : "")
      + (m.meanSecondsBetween !== null ? ", mean time between drops "
         + duration(m.meanSecondsBetween) : "")
      + (m.unreadPeriods ? ", router not read " + m.unreadPeriods
         + (m.unreadPeriods === 1 ? " time" : " times") + " (not counted)" : ""));
  }
  var body = document.getElementById("drops");
  body.textContent = "";
  (s.lastDrops || []).forEach(function (d) {
    var row = document.createElement("tr");
    cell(row, when(d.start || d.startLatest));
    cell(row, lengthOf(d));
    cell(row, d.kindText || kinds[d.kind] || d.kind);
    cell(row, beforeAfter(d, "noiseMarginDb", "dB", true));
    cell(row, beforeAfter(d, "syncRateKbps", "Kbps", false));
    body.appendChild(row);
  });
  if (s.sampleSeconds && s.sampleSeconds !== refreshSeconds) {
    refreshSeconds = s.sampleSeconds;
    start();
  }
}
function refresh() {
  document.getElementById("noise").src = "noise.jpg?t=" + Date.now();
  fetch("status.json", { cache: "no-store" })
    .then(function (r) { return r.json(); })
    .then(show)
    .catch(function () { text("state", "The program does not answer"); });
}
function start() {
  if (timer) clearInterval(timer);
  timer = setInterval(refresh, refreshSeconds * 1000);
}
refresh();
start();
</script>
</body>
</html>
)HTML";

} // namespace

const char* html() {
    return kPage;
}

} // namespace LivePage
