// The viewer page: every table of an export, one at a time (tables.js), from
// the JSON document and the column descriptions the exporter put into the
// page.
"use strict";

const data = JSON.parse(document.getElementById("mt-export").textContent);
const described = JSON.parse(document.getElementById("mt-columns").textContent);
// When the first table was laid out, and when the frame that shows it was
// rendered (ms since the page began loading), for the tests' figures.
const timings = { firstTable: null, firstTableRendered: null };
const tables = new Tables(data, described, document.getElementById("views"), document.getElementById("tables"));
window.mtViewer = { timings, tables };

function route() {
  const view = tables.route();
  if (timings.firstTable === null) {
    void view.section.offsetHeight;  // laid out
    timings.firstTable = performance.now();
    // The next frame's callbacks run before its style, layout and paint; a
    // task queued from them runs after these.
    requestAnimationFrame(() => setTimeout(() => { timings.firstTableRendered = performance.now(); }));
  }
}

const title = text(data.rom && data.rom.title).trim() || "MERIDIAN TALES";
document.getElementById("game").textContent = `${title} (game ${data.game})`;
document.title = `${title} data`;
romBlock(document.getElementById("rom"), data.rom, described.rom);
window.addEventListener("hashchange", route);
route();
