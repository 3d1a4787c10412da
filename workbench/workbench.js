// The workbench: an image opened in the page as a session of the core module
// (meridian-core.js), its tables shown as the viewer page shows them
// (tables.js), edited a cell at a time, saved as patches and a new image,
// compared with another image or a patch. The session does every check:
// which cells can be edited comes from its schema, an edit is one set, and
// what it refuses is shown at the cell in its words.
"use strict";

const described = JSON.parse(document.getElementById("mt-columns").textContent);  // game -> descriptions
const $ = (id) => document.getElementById(id);
const STORE = "meridian-workbench:";
let core = null;

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

// What is open: null, or { name, bytes, rom, game, session, columns: table
// path -> key -> schema column, doc (the tables as the session gives them),
// edits: cell -> { path, index, key, original, text }, done, undone,
// compared, kept (edits kept from an earlier visit, not yet restored) }.
let opened = null;
let tables = null;
// Figures for the benchmark: when the last open and edit reached the screen.
const timings = { chosen: null, opened: null, rendered: null, edited: null, importing: null };

const cellId = (path, index, key) => `${path}\n${index}\n${key}`;

// What the module threw, in its words (an Error's message; anything else
// thrown is a fault of the module, said as such).
function wordsOf(error) {
  return error instanceof Error ? error.message : `the module failed: ${String(error)}`;
}

// A value as a cell's text: labels joined by a blank, null empty.
function textOf(value) {
  if (value === null || value === undefined) return "";
  return Array.isArray(value) ? value.join(" ") : String(value);
}

const indexOf = (record, position) => (record && "index" in record ? record.index : position);

// The record of a cell in the tables shown: by its index, or "parent/index"
// in a nested table.
function recordOf(path, index) {
  const [key, child] = path.split(".");
  const records = opened.doc.tables[key];
  if (!records) return null;
  const find = (list, wanted) => list.find((r, i) => String(indexOf(r, i)) === wanted) || null;
  if (!child) return find(records, String(index));
  const [parent, own] = String(index).split("/");
  const record = find(records, parent);
  return record ? find(record[child] || [], own) : null;
}

// A cell's text now, or null for a cell that is not there.
function cellText(path, index, key) {
  const record = recordOf(path, index);
  return record && key in record ? textOf(record[key]) : null;
}

function writable(path, key) {
  const table = opened && opened.columns.get(path);
  const column = table && table.get(key);
  return !!column && column.stored;
}

// Edits a cell through the session: null, or the session's refusal.
function edit(path, index, key, value) {
  if (!opened) return "no image is open";
  const after = textOf(value);
  const before = cellText(path, index, String(key));
  if (before !== null && after === before) return null;
  message("");  // the words of an earlier action go with this one
  const refusal = change(path, String(index), String(key), after);
  if (refusal) {
    showRefusal(path, index, key, refusal);
    return refusal;
  }
  opened.done.push({ path, index: String(index), key: String(key), before, after });
  opened.undone = [];
  updateButtons();
  return null;
}

// Sets a cell to a text; the refusal, or null when the edit stands.
function change(path, index, key, textValue) {
  const before = cellText(path, index, key);
  let refusal;
  const start = performance.now();
  try {
    refusal = opened.session.set(path, index, key, textValue);
  } catch (error) {
    return wordsOf(error);
  } finally {
    timings.importing = performance.now() - start;
  }
  if (refusal) return refusal.message;
  const id = cellId(path, index, key);
  const known = opened.edits.get(id);
  const original = known ? known.original : before;
  if (textValue === original) opened.edits.delete(id);
  else opened.edits.set(id, { path, index, key, original, text: textValue });
  applied([topRecord(path, index)], changeEntry(path, index, `${path} ${index}`, `  ${key}: ${before} → ${textValue}`));
  return null;
}

// The top-level table and position of a cell's record.
function topRecord(path, index) {
  const key = path.split(".")[0];
  const first = String(index).split("/")[0];
  const records = opened.doc.tables[key] || [];
  return [key, Math.max(0, records.findIndex((r, i) => String(indexOf(r, i)) === first))];
}

// An undo step is one edit, or the edits of one action (a merge: steps).
function undo() {
  const step = opened && opened.done.pop();
  if (!step) return false;
  message("");
  for (const s of [...(step.steps || [step])].reverse()) change(s.path, s.index, s.key, s.before);
  opened.undone.push(step);
  updateButtons();
  return true;
}

function redo() {
  const step = opened && opened.undone.pop();
  if (!step) return false;
  message("");
  for (const s of step.steps || [step]) change(s.path, s.index, s.key, s.after);
  opened.done.push(step);
  updateButtons();
  return true;
}

// A change as the changes panel lists it: the record (a link to it), then
// the field's old and new value (with the names of a reference).
function changeNodes(c) {
  const index = c.parent === undefined ? c.index : `${c.parent}/${c.index}`;
  const value = (v, name) => (name === undefined || name === null ? text(v) : `${text(v)} ${text(name)}`);
  return changeEntry(c.table, index, `${c.table} ${index} ${text(c.name)}`,
                     `  ${c.key}: ${value(c.old, c.old_name)} → ${value(c.new, c.new_name)}`);
}

// An entry of the changes panel: the record's words as a link to its row
// (a nested row's: its top-level record's), then the change's line.
function changeEntry(table, index, record, line) {
  const href = `#${encodeURIComponent(table.split(".")[0])}/${encodeURIComponent(String(index).split("/")[0])}`;
  return [element("a", { href, textContent: record }), `\n${line}\n`];
}

// The top-level records (table, position) of changes: a nested row's is its
// parent's.
function recordsOf(changes) {
  return changes.map((c) => [c.table.split(".")[0], c.parent === undefined ? c.index : c.parent]);
}

// Reads records of the tables shown again from the session ([table,
// position] each) and draws their rows again (their nested rows too); the
// rows move when the table is sorted by a column.
function refresh(records) {
  const views = new Set();
  for (const [key, position] of records) {
    const list = opened.doc.tables[key];
    if (!list || position < 0 || position >= list.length) continue;
    list[position] = opened.session.record(key, position);
    const view = tables.views.get(key);
    if (!view) continue;
    const grid = view.grid;
    grid.redraw(position);  // in place, when drawn
    view.texts = null;
    if (grid.opened.has(position)) {
      grid.opened.set(position, grid.nested(position));
      views.add(view);
    }
    if (grid.sortKey) views.add(view);
  }
  for (const view of views) {
    if (view.grid.sortKey) view.grid.arrange();
    else view.grid.draw();
  }
}

// Each changed top-level record with the text of its changes.
function signatures(changes) {
  const out = new Map();
  recordsOf(changes).forEach((record, i) => {
    const id = `${record[0]}\n${record[1]}`;
    const entry = out.get(id) || { record, text: "" };
    entry.text += JSON.stringify(changes[i]);
    out.set(id, entry);
  });
  return out;
}

// An edit that stands: its record drawn again and the edit at the top of the
// changes panel within the frame, the kept edits saved; then, once the page
// is idle, the session's changes (the panel, and every other record the edit
// changed: a record that several monsters share, a name that follows a
// number; the records changed since the last edit are among those changed
// from the image now or before). keys: [table, position] of the edited
// records; edited: the edit's entry (changeEntry), or null.
function applied(keys, edited) {
  refresh(keys);
  if (edited) $("changes").prepend(...edited);
  $("edit-count").textContent = `${opened.edits.size} cells edited`;
  save();
  updateButtons();
  timings.edited = performance.now();
  const step = (opened.step || 0) + 1;
  opened.step = step;
  if (!edited) {
    showChanges(keys);
    return;
  }
  // Once the frame that shows the edit is drawn and the page is idle.
  const later = window.requestIdleCallback || ((f) => setTimeout(f, 50));
  const session = opened.session;
  requestAnimationFrame(() => later(() => {
    if (opened && opened.session === session && opened.step === step) showChanges(keys);
  }));
}

// The session's changes in the panel, and every record they show changed
// since the last time drawn again (keys: those drawn already). A record whose
// changes are the same as before has not changed since.
function showChanges(keys) {
  const changes = opened.session.changes();
  const before = signatures(opened.changes), now = signatures(changes);
  for (const [key, position] of keys) before.delete(`${key}\n${position}`), now.delete(`${key}\n${position}`);
  const touched = new Map();
  for (const [id, entry] of [...before, ...now]) {
    if (!before.has(id) || !now.has(id) || before.get(id).text !== now.get(id).text) touched.set(id, entry.record);
  }
  refresh([...touched.values()]);
  opened.changes = changes;
  $("changes").replaceChildren(...changes.flatMap(changeNodes));
}

// The edits so far, kept under the image's ROM CRC32, with the kept ones of
// an earlier visit that were neither restored nor discarded yet.
function save() {
  const key = STORE + opened.rom.rom_crc32;
  const edits = [...opened.edits.values()].map((e) => [e.path, e.index, e.key, e.text]);
  const mine = new Set(edits.map((e) => cellId(e[0], e[1], e[2])));
  const kept = opened.kept ? opened.kept.edits.filter((e) => !mine.has(cellId(e[0], e[1], e[2]))) : [];
  if (!edits.length && !kept.length) {
    localStorage.removeItem(key);
    return;
  }
  try {
    localStorage.setItem(key, JSON.stringify({ file: opened.name, saved: new Date().toISOString(),
                                               edits: [...kept, ...edits] }));
  } catch (error) {
    message(`The edits could not be kept in the browser's storage (${wordsOf(error)}): ` +
            "save the BPS patch to keep them, or free some of the storage.", "refusal");
  }
}

function saved() {
  try {
    const kept = JSON.parse(localStorage.getItem(STORE + opened.rom.rom_crc32) || "null");
    return kept && Array.isArray(kept.edits) && kept.edits.length ? kept : null;
  } catch {
    return null;
  }
}

// Takes back the kept edits, joined to those made since, one undo step
// each; the refusals, or null.
function restore() {
  const kept = opened && (opened.kept || saved());
  $("offer").hidden = true;
  if (!kept) return "no edits kept for this image";
  opened.kept = null;
  const refused = [];
  const keys = [];
  for (const [path, index, key, value] of kept.edits) {
    const id = cellId(path, String(index), key);
    if (opened.edits.has(id)) continue;  // edited since: that edit stands
    const before = cellText(path, index, key);
    let refusal;
    try {
      refusal = opened.session.set(path, String(index), key, String(value));
    } catch (error) {
      refusal = { message: wordsOf(error) };
    }
    if (refusal) {
      refused.push(`${path} ${index} ${key}: ${refusal.message}`);
      continue;
    }
    if (before !== String(value)) {
      opened.edits.set(id, { path, index: String(index), key, original: before, text: String(value) });
      opened.done.push({ path, index: String(index), key, before, after: String(value) });
    }
    keys.push(topRecord(path, index));
  }
  opened.undone = [];
  applied(keys, null);
  tables.redraw();
  if (refused.length) {
    message(refused.join("\n"), "refusal");
    return refused.join("\n");
  }
  return null;
}

function discard() {
  if (!opened) return;
  opened.kept = null;
  $("offer").hidden = true;
  save();
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
  const conflict = opened.conflicts && opened.conflicts.get(id);
  if (conflict) {
    td.classList.add("conflict");
    td.title = `conflict: ${conflict.values.map((v, i) => `${i + 1}: ${text(v)}`).join(", ")} (type the value to take)`;
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

// Why a cell cannot be edited, in the schema's words.
function notWritten(path, key) {
  const table = opened.columns.get(path);
  const column = table && table.get(key);
  if (!column) return `${key} cannot be edited`;
  const heading = column.heading;
  if (column.from.length) {
    const headings = column.from.map((k) => (table.get(k) ? table.get(k).heading : k));
    return `${heading} follows from ${headings.join(", ")}: edit ${headings.length > 1 ? "those" : "that"} instead`;
  }
  return `${heading} cannot be edited: ${column.why}`;
}

function openEditor(td) {
  const cell = cellOf(td);
  if (!cell || td.querySelector("input")) return;
  if (!writable(cell.path, cell.key)) {
    message(notWritten(cell.path, cell.key), "refusal");
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

// Opens an image into a session of the module, its tables shown. Refused
// (the tools' words) when it is no image of either game; what was open stays
// open then.
async function open(value, fileName) {
  await ready;
  const bytes = bytesOf(value);
  const name = fileName || "image.smc";
  let session;
  try {
    session = core.open({ name, bytes });
  } catch (error) {
    message(wordsOf(error), "refusal");
    throw error instanceof Error ? error : new Error(wordsOf(error));
  }
  const schema = session.schema;
  const doc = { game: session.game, rom: session.rom, tables: {} };
  for (const t of schema.tables) if (t.parent === null) doc.tables[t.name] = session.records(t.name);
  const columns = new Map(schema.tables.map((t) => [t.name, new Map(t.columns.map((c) => [c.key, c]))]));
  if (opened) opened.session.close();
  opened = { name, bytes, rom: session.rom, game: session.game, session, schema, columns, doc, edits: new Map(),
             done: [], undone: [], compared: null, conflicts: null, kept: null, changes: [] };
  message("");
  clearRefusal();
  showImage();
  tables = new Tables(doc, described[doc.game], $("views"), $("tables"), { decorate });
  window.workbench.tables = tables;
  tables.route();
  timings.opened = performance.now();
  requestAnimationFrame(() => setTimeout(() => { timings.rendered = performance.now(); }));
  const kept = saved();
  opened.kept = kept;
  $("offer").hidden = !kept;
  if (kept) {
    $("offer-text").textContent = `${kept.edits.length} edits of this image (ROM CRC32 ${opened.rom.rom_crc32}) were kept ` +
        `on ${kept.saved.replace("T", " ").slice(0, 16)}:`;
  }
  return opened.rom;
}

// The identification in one line (the file's and the ROM's CRC32s, whether
// the checksum is valid; the game and the file stand in the heading), the
// rest on demand.
function identificationLine() {
  const rom = $("rom");
  const more = element("button", { type: "button", id: "rom-more", textContent: "all hashes…" });
  more.setAttribute("aria-expanded", "false");
  more.addEventListener("click", () => {
    const all = rom.classList.toggle("all");
    more.setAttribute("aria-expanded", String(all));
    more.textContent = all ? "fewer" : "all hashes…";
  });
  rom.append(more);
}

function showImage() {
  const title = text(opened.rom.title).trim() || "MERIDIAN TALES";
  $("game").textContent = `${title} (game ${opened.game}): ${opened.name}`;
  document.title = `${opened.name} - workbench`;
  romBlock($("rom"), opened.rom, described[opened.game].rom);
  identificationLine();
  $("changes").textContent = "";
  $("edit-count").textContent = "0 cells edited";
  $("compared").textContent = "";
  $("compare-file").value = "";
  const select = $("export-file");
  const prefix = opened.schema.prefix;
  const names = [`${prefix}.json`, `${prefix}.sql`, `${prefix}-rom.csv`,
                 ...opened.schema.tables.map((t) => `${prefix}-${t.file}.csv`)];
  select.replaceChildren(...names.sort().map((f) => new Option(f, f)));
  document.body.classList.add("opened");
  updateButtons();
}

function updateButtons() {
  $("undo").disabled = !opened || !opened.done.length;
  $("redo").disabled = !opened || !opened.undone.length;
  for (const id of ["save-bps", "save-ips", "save-image", "save-export", "compare-file", "merge-file"]) $(id).disabled = !opened;
}

// --- saving ------------------------------------------------------------------

// The image, BPS and IPS patches of the edits so far, the importer's bytes.
function files() {
  if (!opened) return null;
  return opened.session.files({ headered: $("headered").checked });
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
  if (kind === "ips" && !made.ips) message(made.refusals.join("\n"), "refusal");
  else if (kind === "ips") download(`${baseName()}.ips`, made.ips);
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
    // The marks of an earlier comparison go with its text.
    $("compared").textContent = "";
    if (opened.compared) {
      opened.compared = null;
      tables.redraw();
    }
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

// --- merging -----------------------------------------------------------------

// Merges images or patches of the opened image ([{ name, bytes }]) as
// mtNmerge does: the merged fields become edits (one undo step), the
// conflicts are listed and marked at their cells with each input's value.
async function merge(inputs) {
  await ready;
  if (!opened) throw new Error("no image is open");
  let report;
  try {
    report = JSON.parse(core.merge({ name: opened.name, bytes: opened.bytes },
                                   inputs.map((f) => ({ name: f.name, bytes: bytesOf(f.bytes) })),
                                   { json: true }, opened.game).text);
  } catch (error) {
    message(wordsOf(error), "refusal");
    throw error instanceof Error ? error : new Error(wordsOf(error));
  }
  const indexOfChange = (c) => (c.parent === undefined ? String(c.index) : `${c.parent}/${c.index}`);
  const steps = [], refused = [], keys = [];
  for (const c of report.changes) {
    const index = indexOfChange(c);
    if (!writable(c.table, c.key)) continue;  // it follows from the stored fields
    const before = cellText(c.table, index, c.key);
    const after = textOf(c.new);
    const refusal = change(c.table, index, c.key, after);
    if (refusal) refused.push(`${c.table} ${index} ${c.key}: ${refusal}`);
    else if (before !== after) steps.push({ path: c.table, index, key: c.key, before, after });
    keys.push(topRecord(c.table, index));
  }
  if (steps.length) {
    opened.done.push({ steps });
    opened.undone = [];
  }
  opened.conflicts = new Map(report.conflicts.map((c) => [cellId(c.table, indexOfChange(c), c.key), c]));
  tables.redraw();
  updateButtons();
  const conflicts = report.conflicts.map((c) => ({ table: c.table, index: indexOfChange(c), key: c.key, values: c.values }));
  const words = [`${steps.length} fields merged from ${inputs.length} ${inputs.length === 1 ? "input" : "inputs"}`,
                 ...conflicts.map((c) => `conflict: ${c.table} ${c.index} ${c.key}: ` +
                                  c.values.map((v, i) => `${i + 1}: ${text(v)}`).join(", ")),
                 ...refused,
                 ...report.unmapped_conflicts.map((b) => `conflict outside the tables at 0x${b.offset.toString(16)}, ${b.length} bytes`)];
  message(words.join("\n"), conflicts.length || refused.length ? "refusal" : "");
  return { changes: report.changes, conflicts };
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
  const mergeChosen = async (chosen) => {
    if (!chosen.length || !opened) return;
    const inputs = await Promise.all(chosen.map(async (f) => ({ name: f.name, bytes: new Uint8Array(await f.arrayBuffer()) })));
    merge(inputs).catch(() => {});  // the refusal is on the page
  };
  $("merge-file").addEventListener("change", (event) => mergeChosen([...event.target.files]));
  $("compare-file").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    if (file) compare(new Uint8Array(await file.arrayBuffer()), file.name);
  });
  document.addEventListener("dragover", (event) => {
    event.preventDefault();
    document.body.classList.add("dropping");
  });
  document.addEventListener("dragleave", () => document.body.classList.remove("dropping"));
  // Files dropped on Apply or merge… are merged; elsewhere one is opened (a
  // patch compared).
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("dropping");
    if (event.target.closest && event.target.closest("#merge-drop")) mergeChosen([...event.dataTransfer.files]);
    else openChosen(event.dataTransfer.files[0]);
  });
  // The side panel sticks below the toolbar.
  const toolbar = $("toolbar");
  new ResizeObserver(() => document.documentElement.style.setProperty("--toolbar-height", `${toolbar.offsetHeight}px`))
    .observe(toolbar);
  $("undo").addEventListener("click", undo);
  $("redo").addEventListener("click", redo);
  $("save-bps").addEventListener("click", () => saveFile("bps"));
  $("save-ips").addEventListener("click", () => saveFile("ips"));
  $("save-image").addEventListener("click", () => saveFile("image"));
  $("save-export").addEventListener("click", saveExport);
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
  merge,
  restore,
  discard,
  cellText: (table, index, key) => (opened ? cellText(table, String(index), key) : null),
  timings,
  tables: null,
};
wire();
