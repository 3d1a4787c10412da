// The workbench: an image opened in the page, its tables shown as the viewer
// page shows them (tables.js), edited through the importer of the core module
// (meridian-core.js), saved as patches and a new image, compared with another
// image or a patch. The module does every check: an edit is the export's CSV
// file with the changed cells, and what the importer refuses is shown in its
// words.
"use strict";

const described = JSON.parse(document.getElementById("mt-columns").textContent);  // game -> descriptions
const $ = (id) => document.getElementById(id);
const STORE = "meridian-workbench:";
let core = null;
// The module's size tells one build of it from another (see probe).
const moduleSize = document.getElementById("core").text.length;

// The module would fetch its own WebAssembly (a data: URL), which the content
// security policy refuses (connect-src 'none'), and only then decode the
// base64 itself; without fetch it decodes it at once. Its factory asks for
// fetch while it runs, so fetch is hidden for that call alone.
function startCore() {
  const fetchOf = window.fetch;
  window.fetch = undefined;
  try {
    return MeridianCore();
  } finally {
    window.fetch = fetchOf;
  }
}

const ready = startCore().then((c) => {
  core = c;
  window.meridian = c;
  return c;
});

// What is open: null, or { name, bytes, rom, game, prefix, files, doc,
// csv: file -> {bom, lines, rows}, places: path -> where its rows are,
// edits: cell -> edit, done, undone, result, writable: file -> Set|null }.
let opened = null;
let tables = null;
// Figures for the benchmark: when the last open and edit reached the screen.
const timings = { chosen: null, opened: null, rendered: null, edited: null, importing: null };

// --- CSV files -------------------------------------------------------------

// A CSV file as the exporter writes it: its lines (CR LF) and each line's
// fields.
function parseCsv(textValue) {
  const bom = textValue.startsWith("\ufeff") ? "\ufeff" : "";
  const body = textValue.slice(bom.length);
  const rows = [], lines = [];
  let fields = [], field = "", quoted = false, start = 0;
  for (let i = 0; i < body.length; ++i) {
    const c = body[i];
    if (quoted) {
      if (c === '"' && body[i + 1] === '"') { field += '"'; ++i; }
      else if (c === '"') quoted = false;
      else field += c;
    } else if (c === '"') {
      quoted = true;
    } else if (c === ",") {
      fields.push(field);
      field = "";
    } else if (c === "\r" || c === "\n") {
      fields.push(field);
      rows.push(fields);
      lines.push(body.slice(start, i));
      if (c === "\r" && body[i + 1] === "\n") ++i;
      fields = [];
      field = "";
      start = i + 1;
    } else {
      field += c;
    }
  }
  if (start < body.length) {
    fields.push(field);
    rows.push(fields);
    lines.push(body.slice(start));
  }
  return { bom, lines, rows };
}

function csvField(value) {
  return /[",\r\n]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value;
}

// A CSV file with some fields changed: { row: { column: text } }.
function csvWith(csv, changed) {
  const lines = csv.lines.slice();
  for (const [row, columns] of changed) {
    const fields = csv.rows[row].slice();
    for (const [column, value] of columns) fields[column] = value;
    lines[row] = fields.map(csvField).join(",");
  }
  return csv.bom + lines.join("\r\n") + "\r\n";
}

// --- where a table's rows are in its CSV file --------------------------------

// Every table and nested table of the document with its CSV file: a
// top-level table's file by its name, a nested table's by the header that
// ends with its columns and has a row for each nested record.
function placesOf(doc, shapes, prefix, descriptions) {
  const places = new Map();
  for (const [key, records] of Object.entries(doc.tables)) {
    const file = `${prefix}-${key.replace(/_/g, "-")}.csv`;
    if (shapes.has(file) && shapes.get(file).lines === records.length + 1) {
      places.set(key, { file, rowOf: positionRows(records) });
    }
    const children = (descriptions.tables[key] || {}).children || {};
    for (const [child, description] of Object.entries(children)) {
      const columns = description.columns.map((c) => c.key);
      const total = records.reduce((n, r) => n + (r[child] || []).length, 0);
      for (const [name, shape] of shapes) {
        const header = shape.header;
        if (shape.lines !== total + 1 || header.length < columns.length) continue;
        if (header.slice(header.length - columns.length).join(",") !== columns.join(",")) continue;
        places.set(`${key}.${child}`, { file: name, rowOf: nestedRows(records, child) });
        break;
      }
    }
  }
  return places;
}

// A CSV file's header and number of lines, without reading it all.
function shapeOf(textValue) {
  const end = textValue.indexOf("\r\n");
  let lines = 0;
  for (let at = textValue.indexOf("\n"); at >= 0; at = textValue.indexOf("\n", at + 1)) ++lines;
  return { header: parseCsv(textValue.slice(0, end < 0 ? textValue.length : end)).rows[0] || [], lines };
}

// A CSV file of the export, read when first needed.
function csvOf(file) {
  if (!opened.csv.has(file)) opened.csv.set(file, parseCsv(opened.files[file]));
  return opened.csv.get(file);
}

const indexOf = (record, position) => (record && "index" in record ? record.index : position);

// The CSV row of a record by its index, and the record: top-level tables.
function positionRows(records) {
  const rows = new Map(records.map((r, i) => [String(indexOf(r, i)), i]));
  return (index) => {
    const i = rows.get(String(index));
    return i === undefined ? null : { row: i + 1, position: i };
  };
}

// Nested tables: "parent/child" indexes, rows in the parents' order.
function nestedRows(records, child) {
  const first = [];
  let n = 0;
  for (const r of records) {
    first.push(n);
    n += (r[child] || []).length;
  }
  const parents = new Map(records.map((r, i) => [String(indexOf(r, i)), i]));
  return (index) => {
    const [parent, own] = String(index).split("/");
    const p = parents.get(parent);
    if (p === undefined) return null;
    const list = records[p][child] || [];
    const j = list.findIndex((r, i) => String(indexOf(r, i)) === own);
    return j < 0 ? null : { row: first[p] + j + 1, parent: p, position: j };
  };
}

// The record shown for a place's row.
function recordAt(path, at) {
  const [key, child] = path.split(".");
  const records = opened.doc.tables[key];
  if (!child) return records[at.row - 1];
  return (records[at.parent][child] || [])[at.position];
}

// --- the importer ----------------------------------------------------------

const cellId = (path, index, key) => `${path}\n${index}\n${key}`;

// What the module threw, in its words (an Error's message; anything else
// thrown is a fault of the module, said as such).
function wordsOf(error) {
  return error instanceof Error ? error.message : `the module failed: ${String(error)}`;
}

// The edited files for a set of edits: each CSV file with its changed cells,
// and the identification file.
function editedFiles(edits) {
  const changed = new Map();  // file -> row -> column -> text
  for (const e of edits.values()) {
    if (!changed.has(e.file)) changed.set(e.file, new Map());
    const rows = changed.get(e.file);
    if (!rows.has(e.row)) rows.set(e.row, new Map());
    rows.get(e.row).set(e.column, e.text);
  }
  const files = {};
  for (const [file, rows] of changed) files[file] = csvWith(csvOf(file), rows);
  const rom = `${opened.prefix}-rom.csv`;
  files[rom] = opened.files[rom];
  return files;
}

function importEdits(edits) {
  return core.importFiles({ name: opened.name, bytes: opened.bytes }, editedFiles(edits),
                          { headered: $("headered").checked }, opened.game);
}

// Where a cell is in its CSV file, or the reason it is not there.
function locate(path, index, key) {
  const place = opened.places.get(path);
  if (!place) return `${path}: no such table`;
  const at = place.rowOf(index);
  if (!at) return `${path}: no record ${index}`;
  const csv = csvOf(place.file);
  const column = csv.rows[0].indexOf(key);
  if (column < 0) return `${place.file}: no column "${key}"`;
  return { path, index: String(index), key, file: place.file, row: at.row, column, at,
           original: csv.rows[at.row][column] };
}

// A cell's text now: its edit, else the export's.
function cellText(path, index, key) {
  const e = opened.edits.get(cellId(path, index, key));
  if (e) return e.text;
  const where = locate(path, index, key);
  return typeof where === "string" ? null : where.original;
}

// Edits a cell through the importer: null, or the importer's refusal.
function edit(path, index, key, value) {
  if (!opened) return "no image is open";
  const where = locate(path, index, String(key));
  if (typeof where === "string") return where;
  const id = cellId(path, where.index, key);
  const before = opened.edits.has(id) ? opened.edits.get(id).text : where.original;
  const after = String(value);
  if (after === before) return null;
  const refusal = change(id, where, after);
  if (refusal) {
    showRefusal(path, where.index, key, refusal);
    return refusal;
  }
  opened.done.push({ id, where, before, after });
  opened.undone = [];
  updateButtons();
  return null;
}

// Sets a cell to a text (its original text: no edit) and imports; the
// refusal, or null when the edit stands.
function change(id, where, textValue) {
  const edits = new Map(opened.edits);
  if (textValue === where.original) edits.delete(id);
  else edits.set(id, { ...where, text: textValue });
  let result;
  const start = performance.now();
  try {
    result = importEdits(edits);
  } catch (error) {
    return wordsOf(error);
  } finally {
    timings.importing = performance.now() - start;
  }
  opened.edits = edits;
  applied(result, [where]);
  return null;
}

function undo() {
  const step = opened && opened.done.pop();
  if (!step) return false;
  change(step.id, step.where, step.before);
  opened.undone.push(step);
  updateButtons();
  return true;
}

function redo() {
  const step = opened && opened.undone.pop();
  if (!step) return false;
  change(step.id, step.where, step.after);
  opened.done.push(step);
  updateButtons();
  return true;
}

// The value a cell shows for its CSV text, as the export would have it.
function valueOf(old, textValue) {
  if (typeof old === "number") return Number.isFinite(Number(textValue)) && textValue.trim() !== "" ? Number(textValue) : textValue;
  if (typeof old === "boolean") return /^(true|1)$/i.test(textValue.trim());
  if (Array.isArray(old)) return textValue.split(/\s+/).filter(Boolean);
  return textValue;
}

// An import that stands: the changes panel, the cells, the saved edits; the
// tables from the new image's export a moment later (names that follow from
// the edited numbers).
function applied(result, cells) {
  opened.result = result;
  $("changes").textContent = result.changes;
  $("edit-count").textContent = `${opened.edits.size} cells edited`;
  for (const where of cells) {
    const record = recordAt(where.path, where.at);
    const e = opened.edits.get(cellId(where.path, where.index, where.key));
    if (record) record[where.key] = valueOf(record[where.key], e ? e.text : where.original);
  }
  for (const where of cells) refreshCell(where);
  save();
  updateButtons();
  timings.edited = performance.now();
  clearTimeout(opened.reexport);
  opened.reexport = setTimeout(reexport, 400);
}

function reexport() {
  if (!opened || !opened.result) return;
  const files = core.exportFiles({ name: opened.name, bytes: opened.result.image }, opened.game);
  const doc = JSON.parse(files[`${opened.prefix}.json`]);
  opened.doc = doc;
  opened.edited = files;
  tables.replace(doc);
}

// Draws an edited cell's row again (its nested rows, for a nested record);
// the rows move when the table is sorted by that column.
function refreshCell(where) {
  const [key, child] = where.path.split(".");
  const view = tables.views.get(key);
  if (!view) return;
  const grid = view.grid;
  const position = child ? where.at.parent : where.at.position;
  grid.redraw(position);
  if (child && grid.opened.has(position)) grid.opened.set(position, grid.nested(position));
  view.texts = null;
  if (!child && grid.sortKey === where.key) grid.arrange();
  else grid.draw();
}

// The edits so far, kept under the image's ROM CRC32.
function save() {
  const key = STORE + opened.rom.rom_crc32;
  if (!opened.edits.size) {
    localStorage.removeItem(key);
    return;
  }
  const edits = [...opened.edits.values()].map((e) => [e.path, e.index, e.key, e.text]);
  localStorage.setItem(key, JSON.stringify({ file: opened.name, saved: new Date().toISOString(), edits }));
}

function saved() {
  try {
    const kept = JSON.parse(localStorage.getItem(STORE + opened.rom.rom_crc32) || "null");
    return kept && Array.isArray(kept.edits) && kept.edits.length ? kept : null;
  } catch {
    return null;
  }
}

// Takes back the kept edits, one step each; the refusal, or null.
function restore() {
  const kept = opened && saved();
  $("offer").hidden = true;
  if (!kept) return "no edits kept for this image";
  const edits = new Map();
  const steps = [];
  for (const [path, index, key, value] of kept.edits) {
    const where = locate(path, index, key);
    if (typeof where === "string") return where;
    const id = cellId(path, where.index, key);
    edits.set(id, { ...where, text: String(value) });
    steps.push({ id, where, before: where.original, after: String(value) });
  }
  let result;
  try {
    result = importEdits(edits);
  } catch (error) {
    message(wordsOf(error), "refusal");
    return wordsOf(error);
  }
  opened.edits = edits;
  opened.done = steps;
  opened.undone = [];
  applied(result, steps.map((s) => s.where));
  tables.redraw();
  return null;
}

function discard() {
  if (opened) localStorage.removeItem(STORE + opened.rom.rom_crc32);
  $("offer").hidden = true;
}

// --- which cells the importer writes -------------------------------------

const NOT_WRITTEN = / is computed from other fields| is not a stored field| comes from /;
const REFUSAL = /: row \d+ \((.*?)\): "((?:[^"]|"")*)"(.*)$/;

function probeValue(value) {
  if (/^-?\d+$/.test(value)) return String(Number(value) + 1);
  if (/^(true|false)$/.test(value)) return value === "true" ? "false" : "true";
  return value === "" ? "1" : `${value}x`;
}

// The columns of a CSV file that the importer writes, found by trying: three
// records (first, middle, last: an item's columns belong to some kinds of
// items only) with their columns changed. A computed column or one that is
// not stored is refused as such; so is a reference's name column (its index
// column is written instead), and the refusals name the rows' key columns.
// The columns are halved while the refusals pass the importer's limit. What
// is found holds for every image of the game and this module: it is kept.
function probe(file) {
  if (opened.writable.has(file)) return opened.writable.get(file);
  const store = `${STORE}columns:${opened.game}:${moduleSize}:${file.slice(3)}`;
  const known = localStorage.getItem(store);
  if (known) {
    opened.writable.set(file, new Set(JSON.parse(known)));
    return opened.writable.get(file);
  }
  const csv = csvOf(file);
  const header = csv.rows[0];
  const closed = new Set(["index"]);
  for (const key of header) {
    if (key.endsWith("_name") && header.includes(key.slice(0, -5))) closed.add(key);
  }
  const last = csv.rows.length - 1;
  const rows = [...new Set([1, Math.max(1, Math.floor(last / 2)), last])].filter((r) => r >= 1 && r <= last);
  const rom = `${opened.prefix}-rom.csv`;
  const tryColumns = (columns) => {
    const lines = [csv.lines[0]];
    for (const r of rows) {
      const fields = csv.rows[r].slice();
      for (const c of columns) fields[c] = probeValue(fields[c]);
      lines.push(fields.map(csvField).join(","));
    }
    const files = { [file]: csv.bom + lines.join("\r\n") + "\r\n", [rom]: opened.files[rom] };
    let said = "";
    try {
      core.importFiles({ name: opened.name, bytes: opened.bytes }, files, {}, opened.game);
    } catch (error) {
      said = wordsOf(error);
    }
    if (/^\.\.\. and \d+ more refusals$/m.test(said) && columns.length > 1) {
      const half = columns.length >> 1;
      tryColumns(columns.slice(0, half));
      tryColumns(columns.slice(half));
      return;
    }
    for (const line of said.split("\n")) {
      const m = REFUSAL.exec(line);
      if (!m) continue;
      for (const part of m[1].split(", ")) closed.add(part.slice(0, part.lastIndexOf(" ")));
      if (NOT_WRITTEN.test(m[3])) closed.add(m[2].replace(/""/g, '"'));
    }
  };
  if (rows.length) tryColumns(header.map((k, c) => c).filter((c) => !closed.has(header[c])));
  const open = new Set(header.filter((k) => !closed.has(k)));
  opened.writable.set(file, open);
  try {
    localStorage.setItem(store, JSON.stringify([...open]));
  } catch {
    // a full storage: found again next time
  }
  return open;
}

function writable(path, key) {
  const place = opened && opened.places.get(path);
  const open = place && opened.writable.get(place.file);
  return !!open && open.has(key);
}

// Probes a table's files once it is shown, after its first frame.
function probeView(view) {
  setTimeout(() => {
    if (!opened) return;
    const paths = [view.key, ...view.grid.children.map((c) => `${view.key}.${c}`)];
    let fresh = false;
    for (const path of paths) {
      const place = opened.places.get(path);
      if (place && !opened.writable.has(place.file)) {
        probe(place.file);
        fresh = true;
      }
    }
    if (fresh) view.replace(view.grid.records);
  }, 100);
}

// --- marks -------------------------------------------------------------------

// Each cell as the page marks it: writable, edited, changed by the
// comparison.
function decorate(td, path, index, key) {
  if (!opened) return;
  const id = cellId(path, index, key);
  if (writable(path, key)) {
    td.classList.add("writable");
    td.tabIndex = -1;
  }
  if (opened.edits.has(id)) {
    td.classList.add("edited");
    td.title = `edited: ${opened.edits.get(id).original} → ${opened.edits.get(id).text}`;
  }
  const compared = opened.compared && opened.compared.get(id);
  if (compared) {
    td.classList.add("changed");
    td.title = `${text(compared.old)} → ${text(compared.new)}`;
  }
}

// --- the cell editor ---------------------------------------------------------

function cellOf(td) {
  const tr = td.closest("tr[data-table]");
  return tr && td.dataset.key ? { path: tr.dataset.table, index: tr.dataset.index, key: td.dataset.key } : null;
}

function findCell(path, index, key) {
  return document.querySelector(`tr[data-table="${CSS.escape(path)}"][data-index="${CSS.escape(String(index))}"]` +
                                ` > td[data-key="${CSS.escape(key)}"]`);
}

function showRefusal(path, index, key, words) {
  clearRefusal();
  const td = findCell(path, index, key);
  message(words, "refusal");
  if (!td) return;
  td.classList.add("refused");
  const r = td.getBoundingClientRect();
  const note = Object.assign(document.createElement("div"), { className: "note", textContent: words });
  note.setAttribute("role", "alert");
  note.style.left = `${Math.max(4, r.left + scrollX)}px`;
  note.style.top = `${r.bottom + scrollY + 2}px`;
  document.body.append(note);
}

function clearRefusal() {
  for (const n of document.querySelectorAll("div.note")) n.remove();
  for (const td of document.querySelectorAll("td.refused")) td.classList.remove("refused");
}

function openEditor(td) {
  const cell = cellOf(td);
  if (!cell || td.querySelector("input")) return;
  const place = opened.places.get(cell.path);
  if (place && !opened.writable.has(place.file)) probe(place.file);
  if (!writable(cell.path, cell.key)) {
    message(`${cell.key} is not written by the importer`, "refusal");
    return;
  }
  clearRefusal();
  const input = Object.assign(document.createElement("input"), { value: cellText(cell.path, cell.index, cell.key) });
  input.className = "editor";
  input.setAttribute("aria-label", `${cell.path} ${cell.index} ${cell.key}`);
  const shown = [...td.childNodes];
  td.replaceChildren(input);
  td.classList.add("editing");
  input.focus();
  input.select();
  let done = false;
  const close = (commit, move) => {
    if (done) return;
    done = true;
    td.classList.remove("editing");
    td.replaceChildren(...shown);
    const refusal = commit ? edit(cell.path, cell.index, cell.key, input.value) : null;
    const now = findCell(cell.path, cell.index, cell.key) || td;
    if (refusal) showRefusal(cell.path, cell.index, cell.key, refusal);
    if (move) {
      const next = neighbour(now, move);
      (next || now).focus();
    } else if (document.activeElement === document.body || !document.activeElement) {
      now.focus();
    }
  };
  input.addEventListener("keydown", (event) => {
    if (event.key === "Enter") close(true, null);
    else if (event.key === "Escape") close(false, null);
    else if (event.key === "Tab") close(true, event.shiftKey ? "left" : "right");
    else return;
    event.preventDefault();
    event.stopPropagation();
  });
  input.addEventListener("blur", () => close(true, null));
}

// The next writable cell sideways, or the cell above or below.
function neighbour(td, way) {
  if (way === "left" || way === "right") {
    let next = way === "right" ? td.nextElementSibling : td.previousElementSibling;
    while (next && !next.classList.contains("writable")) {
      next = way === "right" ? next.nextElementSibling : next.previousElementSibling;
    }
    return next;
  }
  let tr = td.parentElement;
  do tr = way === "down" ? tr.nextElementSibling : tr.previousElementSibling;
  while (tr && !tr.classList.contains("r"));
  return tr ? tr.querySelector(`:scope > td[data-key="${CSS.escape(td.dataset.key)}"]`) : null;
}

function onGridKey(event) {
  const td = event.target.closest && event.target.closest("td[data-key]");
  if (!td || event.target !== td) return;
  const ways = { ArrowLeft: "left", ArrowRight: "right", ArrowUp: "up", ArrowDown: "down" };
  if (event.key === "Enter" || event.key === "F2") {
    openEditor(td);
  } else if (ways[event.key]) {
    const next = neighbour(td, ways[event.key]);
    if (next) {
      next.focus();
      next.scrollIntoView({ block: "nearest", inline: "nearest" });
    }
  } else {
    return;
  }
  event.preventDefault();
}

// --- opening ---------------------------------------------------------------

function message(words, kind) {
  const box = $("message");
  box.textContent = words || "";
  box.className = kind || "";
  box.hidden = !words;
}

function bytesOf(value) {
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
  throw new TypeError("bytes must be a Uint8Array or an ArrayBuffer");
}

// Opens an image: identified and exported by the module, its tables shown.
// Refused (the tools' words) when it is no image of either game; what was
// open stays open then.
async function open(value, fileName) {
  await ready;
  const bytes = bytesOf(value);
  const name = fileName || "image.smc";
  let files;
  try {
    files = core.exportFiles({ name, bytes });  // its JSON's rom block is what identify gives
  } catch (error) {
    message(wordsOf(error), "refusal");
    throw error instanceof Error ? error : new Error(wordsOf(error));
  }
  const json = Object.keys(files).find((f) => /^mt\d\.json$/.test(f));
  const prefix = json.slice(0, 3);
  const doc = JSON.parse(files[json]);
  const rom = doc.rom;
  const shapes = new Map();
  for (const [file, content] of Object.entries(files)) {
    if (file.endsWith(".csv") && file !== `${prefix}-rom.csv`) shapes.set(file, shapeOf(content));
  }
  opened = { name, bytes, rom, game: doc.game, prefix, files, doc, csv: new Map(), edits: new Map(), done: [],
             undone: [], result: null, writable: new Map(), compared: null, edited: null };
  opened.places = placesOf(doc, shapes, prefix, described[doc.game]);
  message("");
  clearRefusal();
  showImage();
  tables = new Tables(doc, described[doc.game], $("views"), $("tables"), { decorate, shown: probeView });
  window.workbench.tables = tables;
  tables.route();
  timings.opened = performance.now();
  requestAnimationFrame(() => setTimeout(() => { timings.rendered = performance.now(); }));
  const kept = saved();
  $("offer").hidden = !kept;
  if (kept) {
    $("offer-text").textContent = `${kept.edits.length} edits of this image (ROM CRC32 ${rom.rom_crc32}) were kept ` +
        `on ${kept.saved.replace("T", " ").slice(0, 16)}:`;
  }
  return rom;
}

function showImage() {
  const title = text(opened.rom.title).trim() || "MERIDIAN TALES";
  $("game").textContent = `${title} (game ${opened.game}): ${opened.name}`;
  document.title = `${opened.name} - workbench`;
  romBlock($("rom"), opened.rom, described[opened.game].rom);
  $("changes").textContent = "";
  $("edit-count").textContent = "0 cells edited";
  $("compared").textContent = "";
  $("compare-file").value = "";
  const select = $("export-file");
  select.replaceChildren(...Object.keys(opened.files).sort().map((f) => new Option(f, f)));
  document.body.classList.add("opened");
  updateButtons();
}

function updateButtons() {
  $("undo").disabled = !opened || !opened.done.length;
  $("redo").disabled = !opened || !opened.undone.length;
  for (const id of ["save-bps", "save-ips", "save-image", "save-export", "compare-file"]) $(id).disabled = !opened;
}

// --- saving ------------------------------------------------------------------

// The image, BPS and IPS patches of the edits so far (no edits: the image as
// it was and empty patches), the importer's bytes.
function files() {
  if (!opened) return null;
  const result = opened.result || importEdits(opened.edits);
  opened.result = result;
  return { image: result.image, bps: result.bps, ips: result.ips };
}

function baseName() {
  const dot = opened.name.lastIndexOf(".");
  return dot > 0 ? opened.name.slice(0, dot) : opened.name;
}

function download(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
  const a = Object.assign(document.createElement("a"), { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

function saveFile(kind) {
  const made = files();
  const dot = opened.name.lastIndexOf(".");
  const extension = dot > 0 ? opened.name.slice(dot) : ".smc";
  if (kind === "bps") download(`${baseName()}.bps`, made.bps);
  if (kind === "ips") download(`${baseName()}.ips`, made.ips);
  if (kind === "image") download(`${baseName()}-edited${extension}`, made.image);
}

// An export file of the edited image, as mtNexport writes it.
function saveExport() {
  const made = files();
  const exported = core.exportFiles({ name: opened.name, bytes: made.image }, opened.game);
  const name = $("export-file").value;
  download(name, new TextEncoder().encode(exported[name]));
}

// --- comparing ---------------------------------------------------------------

// Compares the opened image with another image or a patch: the comparison's
// text, and the changed cells marked. Refused in the tools' words.
function compare(value, fileName) {
  if (!opened) return "no image is open";
  const other = { name: fileName || "other", bytes: bytesOf(value) };
  const old = { name: opened.name, bytes: opened.bytes };
  let made, listed;
  try {
    made = core.compare(old, other, {}, opened.game);
    listed = JSON.parse(core.compare(old, other, { json: true }, opened.game).text);
  } catch (error) {
    $("compared").textContent = "";
    message(wordsOf(error), "refusal");
    return wordsOf(error);
  }
  message("");
  $("compared").textContent = made.text;
  opened.compared = new Map();
  for (const c of listed.changes || []) {
    const index = c.parent === undefined ? c.index : `${c.parent}/${c.index}`;
    opened.compared.set(cellId(c.table, index, c.key), c);
  }
  tables.redraw();
  return null;
}

// --- the page ----------------------------------------------------------------

async function openChosen(file) {
  if (!file) return;
  timings.chosen = performance.now();
  timings.rendered = null;
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (opened && /\.(bps|ips|ups)$/i.test(file.name)) {
    compare(bytes, file.name);
    return;
  }
  try {
    await open(bytes, file.name);
  } catch {
    // the refusal is on the page
  }
}

function wire() {
  $("file").addEventListener("change", (event) => openChosen(event.target.files[0]));
  $("compare-file").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    if (file) compare(new Uint8Array(await file.arrayBuffer()), file.name);
  });
  document.addEventListener("dragover", (event) => {
    event.preventDefault();
    document.body.classList.add("dropping");
  });
  document.addEventListener("dragleave", () => document.body.classList.remove("dropping"));
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("dropping");
    openChosen(event.dataTransfer.files[0]);
  });
  $("undo").addEventListener("click", undo);
  $("redo").addEventListener("click", redo);
  $("save-bps").addEventListener("click", () => saveFile("bps"));
  $("save-ips").addEventListener("click", () => saveFile("ips"));
  $("save-image").addEventListener("click", () => saveFile("image"));
  $("save-export").addEventListener("click", saveExport);
  $("headered").addEventListener("change", () => {
    if (opened) applied(importEdits(opened.edits), []);
  });
  $("restore").addEventListener("click", restore);
  $("discard").addEventListener("click", discard);
  const views = $("views");
  views.addEventListener("keydown", onGridKey);
  views.addEventListener("dblclick", (event) => {
    const td = event.target.closest("td[data-key]");
    if (td && !event.target.closest("a")) openEditor(td);
  });
  views.addEventListener("click", (event) => {
    const td = event.target.closest("td[data-key]");
    if (td && td.tabIndex === -1 && !event.target.closest("a, input")) td.focus();
  });
  document.addEventListener("keydown", (event) => {
    if (!opened || event.target.closest("input")) return;
    if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === "z" && !event.shiftKey) undo();
    else if ((event.ctrlKey || event.metaKey) && (event.key.toLowerCase() === "y" ||
             (event.key.toLowerCase() === "z" && event.shiftKey))) redo();
    else if (event.key === "Escape") clearRefusal();
    else return;
    event.preventDefault();
  });
  document.addEventListener("pointerdown", (event) => {
    if (!event.target.closest("div.note")) clearRefusal();
  });
  window.addEventListener("hashchange", () => tables && tables.route());
  updateButtons();
}

window.workbench = {
  ready,
  open,
  edit: (table, index, key, value) => edit(table, String(index), key, value),
  undo: () => { const r = undo(); return r; },
  redo: () => { const r = redo(); return r; },
  files,
  compare,
  restore,
  discard,
  cellText: (table, index, key) => (opened ? cellText(table, String(index), key) : null),
  timings,
  tables: null,
};
wire();
