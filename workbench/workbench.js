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
const timings = { chosen: null, opened: null, rendered: null, edited: null, importing: null, searched: null };

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
  keepEdit(path, index, key, before, textValue);
  applied([topRecord(path, index)], changeEntry(path, index, `${path} ${index}`, `  ${key}: ${before} → ${textValue}`));
  return null;
}

// An edit that stands among the edits (a cell set back to the image's value
// is no edit).
function keepEdit(path, index, key, before, textValue) {
  const id = cellId(path, index, key);
  const known = opened.edits.get(id);
  const original = known ? known.original : before;
  if (textValue === original) opened.edits.delete(id);
  else opened.edits.set(id, { path, index, key, original, text: textValue });
}

// Sets cells as one step ([{ path, index, key, before, after }], to after or
// to before when back): all of them, or, with any refusal, none. The
// refusals ([{ table, index, key, value, message }]), empty when all stand.
function changeAll(steps, back) {
  const value = (s) => (back ? s.before : s.after);
  let refusals;
  const start = performance.now();
  try {
    refusals = opened.session.setAll(steps.map((s) => [s.path, s.index, s.key, value(s)]));
  } catch (error) {
    return [{ table: "", index: "", key: "", value: "", message: wordsOf(error) }];
  } finally {
    timings.importing = performance.now() - start;
  }
  if (refusals.length) return refusals;
  const entries = steps.map((s) => {
    keepEdit(s.path, s.index, s.key, back ? s.after : s.before, value(s));
    return changeEntry(s.path, s.index, `${s.path} ${s.index}`, `  ${s.key}: ${back ? s.after : s.before} → ${value(s)}`);
  });
  const keys = new Map(steps.map((s) => topRecord(s.path, s.index)).map((k) => [k.join("\n"), k]));
  applied([...keys.values()], entries.reverse().flat());
  return [];
}

// The top-level table and position of a cell's record.
function topRecord(path, index) {
  const key = path.split(".")[0];
  const first = String(index).split("/")[0];
  const records = opened.doc.tables[key] || [];
  return [key, Math.max(0, records.findIndex((r, i) => String(indexOf(r, i)) === first))];
}

// An undo step is one edit, or the edits of one action (a bulk edit, a
// merge: steps).
function undo() {
  const step = opened && opened.done.pop();
  if (!step) return false;
  message("");
  if (step.steps) changeAll([...step.steps].reverse(), true);
  else change(step.path, step.index, step.key, step.before);
  opened.undone.push(step);
  updateButtons();
  return true;
}

function redo() {
  const step = opened && opened.undone.pop();
  if (!step) return false;
  message("");
  if (step.steps) changeAll(step.steps, false);
  else change(step.path, step.index, step.key, step.after);
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
  return [element("a", { href: recordHref(table, index), textContent: record }), `\n${line}\n`];
}

// The address of a cell's record: its top-level record's, for a nested row.
function recordHref(table, index) {
  return `#${encodeURIComponent(table.split(".")[0])}/${encodeURIComponent(String(index).split("/")[0])}`;
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
  refocus();
}

// The focus back on the selected cell when its row was made again under it
// (the focus fell to the page).
function refocus() {
  if (!selection || (document.activeElement && document.activeElement !== document.body)) return;
  const { grid, focus } = selection;
  const td = findCell(grid.path, grid.rowIndex(focus.position), focus.key);
  if (td) td.focus({ preventScroll: true });
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
  $("edit-count").textContent = words("cells edited", opened.edits.size);
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
// an earlier visit that were neither restored nor discarded yet, and those
// another tab of the same image keeps that this one has not taken yet.
function save() {
  const key = STORE + opened.rom.rom_crc32;
  const edits = [...opened.edits.values()].map((e) => [e.path, e.index, e.key, e.text]);
  const mine = new Set(edits.map((e) => cellId(e[0], e[1], e[2])));
  const others = new Map();
  for (const e of [...(opened.kept ? opened.kept.edits : []), ...othersEdits()]) {
    const id = cellId(e[0], String(e[1]), e[2]);
    if (!mine.has(id)) others.set(id, e);
  }
  const all = [...others.values(), ...edits];
  try {
    if (!all.length) localStorage.removeItem(key);
    else localStorage.setItem(key, JSON.stringify({ file: opened.name, saved: new Date().toISOString(), edits: all }));
    opened.written = new Set(all.map(entryId));
  } catch (error) {
    message(`The edits could not be kept in the browser's storage (${wordsOf(error)}): ` +
            "save the BPS patch to keep them, or free some of the storage.", "refusal");
  }
}

const entryId = (e) => JSON.stringify([e[0], String(e[1]), e[2], String(e[3])]);

// The kept edits that neither this tab wrote nor an earlier visit left:
// another tab's of the same image.
function othersEdits() {
  const kept = saved();
  return kept ? kept.edits.filter((e) => !opened.written.has(entryId(e))) : [];
}

// Another tab kept edits of this image: they are offered as a visit's kept
// edits are (Restore joins them to this tab's), and kept with this tab's.
function otherTab(event) {
  if (!opened || event.key !== STORE + opened.rom.rom_crc32) return;
  const theirs = othersEdits();
  if (!theirs.length) return;
  const known = new Set((opened.kept ? opened.kept.edits : []).map(entryId));
  const edits = [...(opened.kept ? opened.kept.edits : []), ...theirs.filter((e) => !known.has(entryId(e)))];
  opened.kept = { edits, saved: new Date().toISOString(), other: true };
  $("offer").hidden = false;
  $("offer-text").textContent = `${edits.length} edits of this image were made in another tab and are kept beside these:`;
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
    if (opened.edits.has(id)) {  // edited since: that edit stands, and says so
      if (opened.edits.get(id).text !== String(value)) {
        refused.push(`${path} ${index} ${key}: kept as edited here (${opened.edits.get(id).text}), not ${value}`);
      }
      continue;
    }
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
  const kept = saved();
  if (kept) for (const e of kept.edits) opened.written.add(entryId(e));  // dropped knowingly
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
  if (opened.selected && opened.selected.has(id)) td.classList.add("selected");
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
  // Whole on the screen: moved left where it would stand out on the right.
  const over = note.getBoundingClientRect().right - (document.documentElement.clientWidth - 4);
  if (over > 0) note.style.left = `${Math.max(4, r.left + scrollX - over)}px`;
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

// Edits a cell in place: with the text typed (starts, the first character
// typed on the selected cell: the arrows then end the edit too), else with
// its text. Enter ends it a row down, Tab a cell sideways, Escape drops it.
function openEditor(td, starts) {
  const cell = cellOf(td);
  if (!cell || td.querySelector("input")) return;
  if (!writable(cell.path, cell.key)) {
    message(notWritten(cell.path, cell.key), "refusal");
    return;
  }
  clearRefusal();
  const typed = starts !== undefined;
  const input = Object.assign(document.createElement("input"),
                              { value: typed ? starts : cellText(cell.path, cell.index, cell.key) });
  input.className = "editor";
  input.setAttribute("aria-label", `${headingOf(cell.path, cell.key)} ${cell.index}`);
  const grid = td.closest("table.grid").grid;
  const shown = [...td.childNodes];
  td.replaceChildren(input);
  td.classList.add("editing");
  input.focus();
  if (!typed) input.select();
  let done = false;
  const close = (commit, move) => {
    if (done) return;
    done = true;
    td.classList.remove("editing");
    td.replaceChildren(...shown);
    const refusal = commit ? edit(cell.path, cell.index, cell.key, input.value) : null;
    if (refusal) showRefusal(cell.path, cell.index, cell.key, refusal);
    const at = placeOf(grid, cell);
    const step = refusal || !move ? [0, 0] : move;
    // Left for another control (blur): the focus stays where it went.
    if (at && (move || !left)) goTo(grid, at.row + step[0], at.col + step[1], false, step);
  };
  let left = false;
  const ends = { Enter: [1, 0], Tab: [0, 1] };
  const arrows = { ArrowDown: [1, 0], ArrowUp: [-1, 0], ArrowRight: [0, 1], ArrowLeft: [0, -1] };
  input.addEventListener("keydown", (event) => {
    if (event.isComposing) return;
    if (event.key === "Escape") close(false, null);
    else if (ends[event.key]) close(true, ends[event.key].map((d) => (event.shiftKey ? -d : d)));
    else if (typed && arrows[event.key]) close(true, arrows[event.key]);
    else return;
    event.preventDefault();
    event.stopPropagation();
  });
  input.addEventListener("blur", () => {
    left = !done;  // not the blur of the editor's own ending
    close(true, null);
  });
}

// --- moving and selecting ----------------------------------------------------
//
// The selected cells are a block of one grid: the cells between the anchor
// and the focus ({ position, key } each), rows in the order shown (sorted,
// filtered), columns of the cells that can be edited. The focus is the cell
// the keys act on.

let selection = null;  // { grid, anchor, focus }

// The columns that can be edited, in the grid's order.
function keysOf(grid) {
  return grid.columns.filter((c) => writable(grid.path, c.key)).map((c) => c.key);
}

// A cell's row (in the order shown) and column (in keysOf), or null.
function placeOf(grid, cell) {
  const row = grid.order.findIndex((p) => grid.rowIndex(p) === String(cell.index));
  const col = keysOf(grid).indexOf(cell.key);
  return row < 0 || col < 0 ? null : { row, col };
}

// Scrolls a virtual grid so that a row of its order is drawn and in view.
function bringIntoView(grid, row) {
  if (grid.virtual) {
    let y = 0;
    for (let i = 0; i < row; ++i) y += grid.heightOf(grid.order[i]);
    const wrap = grid.wrap, head = grid.table.tHead ? grid.table.tHead.offsetHeight : 0;
    if (y < wrap.scrollTop) wrap.scrollTop = y;
    else if (y + ROW_HEIGHT > wrap.scrollTop + wrap.clientHeight - head) wrap.scrollTop = y + ROW_HEIGHT - wrap.clientHeight + head;
    grid.draw();
  }
  return grid.row(grid.order[row]);
}

// Moves the focus to a cell (row and column clamped; a row past the last
// column goes on to the next row when wrap asks it), the selection to it,
// or grown to it (extend).
function goTo(grid, row, col, extend, wrap) {
  const keys = keysOf(grid);
  if (!grid.order.length || !keys.length) return null;
  if (wrap && wrap[1] && (col < 0 || col >= keys.length)) {
    row += col < 0 ? -1 : 1;
    col = col < 0 ? keys.length - 1 : 0;
  }
  row = Math.max(0, Math.min(grid.order.length - 1, row));
  col = Math.max(0, Math.min(keys.length - 1, col));
  const position = grid.order[row];
  const tr = bringIntoView(grid, row);
  const td = tr.querySelector(`:scope > td[data-key="${CSS.escape(keys[col])}"]`);
  const focus = { position, key: keys[col] };
  const keep = extend && selection && selection.grid === grid;
  selection = { grid, anchor: keep ? selection.anchor : focus, focus };
  paintSelection();
  if (td) {
    td.focus({ preventScroll: true });
    td.scrollIntoView({ block: "nearest", inline: "nearest" });
    // Out from under the columns that stay in view sideways (index, name).
    const sticky = [...tr.children].filter((c) => c !== td && getComputedStyle(c).position === "sticky");
    const edge = Math.max(...sticky.map((c) => c.getBoundingClientRect().right), -Infinity);
    const left = td.getBoundingClientRect().left;
    if (getComputedStyle(td).position !== "sticky" && left < edge) grid.wrap.scrollLeft -= edge - left;
    if (col === 0) grid.wrap.scrollLeft = 0;
  }
  return td;
}

// Selects a cell drawn (extend: the block up to it); its td focused, or null
// for a cell that cannot be edited.
function selectCell(td, extend) {
  const grid = td.closest("table.grid").grid;
  const at = placeOf(grid, cellOf(td));
  return at ? goTo(grid, at.row, at.col, extend) : null;
}

// The selected cells, row by row: [{ path, index, key, position }].
function selectedCells() {
  if (!selection) return [];
  const { grid, anchor, focus } = selection;
  const keys = keysOf(grid);
  const rowOf = (p) => grid.order.indexOf(p);
  let rows = [rowOf(anchor.position), rowOf(focus.position)];
  let cols = [keys.indexOf(anchor.key), keys.indexOf(focus.key)];
  if (rows[1] < 0 || cols[1] < 0) return [];
  if (rows[0] < 0 || cols[0] < 0) rows = [rows[1], rows[1]], cols = [cols[1], cols[1]];
  const cells = [];
  for (let r = Math.min(...rows); r <= Math.max(...rows); ++r) {
    const position = grid.order[r];
    for (let c = Math.min(...cols); c <= Math.max(...cols); ++c) {
      cells.push({ path: grid.path, index: grid.rowIndex(position), key: keys[c], position });
    }
  }
  return cells;
}

// Marks the selected cells of the rows made (rows made later are marked as
// they are made: decorate), and counts them in the toolbar.
function paintSelection() {
  const cells = selectedCells();
  const ids = new Set(cells.map((c) => cellId(c.path, c.index, c.key)));
  opened.selected = ids;
  for (const td of document.querySelectorAll("td.selected")) td.classList.remove("selected");
  if (selection) {
    for (const tr of selection.grid.rows.values()) {
      for (const td of tr.querySelectorAll(":scope > td[data-key]")) {
        if (ids.has(cellId(selection.grid.path, tr.dataset.index, td.dataset.key))) td.classList.add("selected");
      }
    }
  }
  $("selection-count").textContent = cells.length > 1 ? words("cells selected", cells.length) : "";
}

// The keys of the grid (on a cell that has the focus).
function onGridKey(event) {
  if (event.target.matches && event.target.matches("tr.r") && /^(Arrow|Enter|F2|Tab)/.test(event.key)) {
    // A row shown by its address: the keys start at its first cell.
    const grid = event.target.closest("table.grid").grid;
    const row = grid.order.indexOf(Number(event.target.dataset.record));
    if (row >= 0 && goTo(grid, row, 0, false)) event.preventDefault();
    return;
  }
  const td = event.target.closest && event.target.closest("td[data-key]");
  if (!td || event.target !== td || event.isComposing) return;
  const grid = td.closest("table.grid").grid;
  const at = placeOf(grid, cellOf(td));
  if (!at) return;
  const page = Math.max(1, Math.floor((grid.virtual ? grid.wrap.clientHeight : innerHeight) / ROW_HEIGHT) - 2);
  const ctrl = event.ctrlKey || event.metaKey;
  const moves = {
    ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [-1, 0], ArrowDown: [1, 0], PageUp: [-page, 0], PageDown: [page, 0],
    Home: ctrl ? [-at.row, -at.col] : [0, -at.col], End: ctrl ? [grid.order.length, keysOf(grid).length] : [0, keysOf(grid).length],
  };
  const move = moves[event.key];
  if (move && !(ctrl && event.key.startsWith("Arrow"))) {
    goTo(grid, at.row + move[0], at.col + move[1], event.shiftKey);
  } else if (event.key === "Tab") {
    goTo(grid, at.row, at.col + (event.shiftKey ? -1 : 1), false, [0, 1]);
  } else if (event.key === "Enter") {
    goTo(grid, at.row + (event.shiftKey ? -1 : 1), at.col, false);
  } else if (event.key === "F2") {
    openEditor(td);
  } else if (event.key === " " && (ctrl || event.shiftKey)) {
    // Ctrl+Space: the column (of the rows shown); Shift+Space: the row.
    const last = [grid.order.length - 1, keysOf(grid).length - 1];
    goTo(grid, ctrl ? 0 : at.row, event.shiftKey ? 0 : at.col, false);
    goTo(grid, ctrl ? last[0] : at.row, event.shiftKey ? last[1] : at.col, true);
  } else if (ctrl && event.key.toLowerCase() === "a") {
    goTo(grid, 0, 0, false);
    goTo(grid, grid.order.length - 1, keysOf(grid).length - 1, true);
  } else if (ctrl && event.key.toLowerCase() === "d") {
    bulk("fill");
  } else if (event.key.length === 1 && !ctrl && !event.altKey) {
    openEditor(td, event.key);
  } else {
    return;
  }
  event.preventDefault();
}

// --- words -------------------------------------------------------------------
//
// Column headings in Japanese (the reports' and the viewer's) or in English
// (the export's keys as words); the page's own words in English or
// Japanese. Each choice is one click and kept. The session's and the tools'
// words (refusals, comparisons) stay as the tools print them.

const LANGUAGES = STORE + "languages";
const languages = (() => {
  try {
    return { headings: "ja", page: "en", ...JSON.parse(localStorage.getItem(LANGUAGES) || "{}") };
  } catch {
    return { headings: "ja", page: "en" };
  }
})();

const PAGE_WORDS = {
  en: {
    "cells edited": (n) => `${n} cells edited`,
    "cells selected": (n) => `${n} cells selected`,
    hits: (n) => `${n} ${n === 1 ? "hit" : "hits"}${n >= 200 ? " (the first 200)" : ""}`,
    "refused cells": (n) => `Nothing of the step was applied: ${n} ${n === 1 ? "cell was" : "cells were"} refused.`,
    "no cells are selected": () => "no cells are selected: click a cell, Shift+click or Shift+arrows for more",
    "several in the ZIP file": () => "The ZIP file holds several images or patches: open",
    "all hashes…": () => "all hashes…",
    fewer: () => "fewer",
    filter: () => "filter: name or any cell",
  },
  ja: {
    "cells edited": (n) => `${n} セル編集済み`,
    "cells selected": (n) => `${n} セル選択中`,
    hits: (n) => `${n} 件${n >= 200 ? "（最初の 200 件）" : ""}`,
    "refused cells": (n) => `この操作は何も適用されていません: ${n} セルが拒否されました。`,
    "no cells are selected": () => "セルが選択されていません: セルをクリックし、Shift+クリックか Shift+矢印で広げます",
    "all hashes…": () => "全ハッシュ…",
    "several in the ZIP file": () => "ZIP ファイルに複数のイメージやパッチがあります。開くもの:",
    fewer: () => "閉じる",
    filter: () => "絞り込み: 名前や任意のセル",
    "Open image…": "イメージを開く…",
    "or drop an image of either game (with or without a copier header) on the page":
      "またはどちらかのゲームのイメージ（コピアヘッダーの有無は問わない）をページにドロップ",
    Restore: "復元", Discard: "破棄", Undo: "元に戻す", Redo: "やり直し", "Save:": "保存:", image: "イメージ",
    "with the copier header": "コピアヘッダー付き", "Save export file": "エクスポートファイルを保存",
    "Apply or merge…": "適用・マージ…", "Compare with an image or patch…": "イメージやパッチと比較…",
    Changes: "変更", Comparison: "比較", Search: "検索", "set to": "値にする", add: "加える", "multiply by": "掛ける",
    "fill down": "下へコピー", Apply: "適用", "search every table": "全テーブルを検索",
    value: "値",
  },
};

// One of the page's words: a text, or a function of a count.
function pageWords(key) {
  const w = (PAGE_WORDS[languages.page] || {})[key];
  if (w !== undefined) return w;
  return PAGE_WORDS.en[key] !== undefined ? PAGE_WORDS.en[key] : key;
}

function words(key, n) {
  const w = pageWords(key);
  return typeof w === "function" ? w(n) : w;
}

// The page's own words in the language chosen: each element marked
// data-w holds its English words (text, placeholder or title).
function translatePage() {
  document.documentElement.lang = languages.page;
  for (const e of document.querySelectorAll("[data-w]")) {
    if (!e.dataset.en) e.dataset.en = e.dataset.w === "placeholder" ? e.placeholder : e.textContent;
    const said = words(e.dataset.en);
    if (e.dataset.w === "placeholder") e.placeholder = said;
    else e.textContent = said;
  }
  for (const box of document.querySelectorAll("#views .bar input[type=search]")) box.placeholder = words("filter");
  $("language-headings").textContent = languages.headings === "ja" ? "English headings" : "日本語の見出し";
  const more = $("rom-more");
  if (more) more.textContent = words(more.getAttribute("aria-expanded") === "true" ? "fewer" : "all hashes…");
  if (opened) {
    $("edit-count").textContent = words("cells edited", opened.edits.size);
    paintSelection();
  }
  $("language-page").textContent = languages.page === "en" ? "ページを日本語で" : "Page in English";
}

// A key as English words: "magic_power" "Magic power", "hp_up" "HP up".
function englishOf(key) {
  const said = key.split("_").map((w) => (/^(hp|lp|wp|jp|lv|bp|id|sp|mp)$/.test(w) ? w.toUpperCase() : w)).join(" ");
  return said.charAt(0).toUpperCase() + said.slice(1);
}

// The headings of one table's columns in the language chosen: an index
// column and its name column share one; any other two that would read the
// same are told apart by the words of their keys that differ.
function headingsOf(description) {
  const columns = (description && description.columns) || [];
  const byKey = new Map(columns.map((c) => [c.key, c]));
  const unitOf = (c) => {
    const index = c.key.endsWith("_name") ? byKey.get(c.key.slice(0, -5)) : null;
    return index && index.label === c.label ? index.key : c.key;
  };
  const heading = new Map();
  for (const c of columns) {
    heading.set(c.key, languages.headings === "en" ? englishOf(unitOf(c)) : (byKey.get(unitOf(c)).label || englishOf(unitOf(c))));
  }
  const groups = new Map();
  for (const c of columns) {
    if (unitOf(c) !== c.key) continue;
    const h = heading.get(c.key);
    groups.set(h, [...(groups.get(h) || []), c.key]);
  }
  for (const [h, keys] of groups) {
    if (keys.length < 2) continue;
    const parts = keys.map((k) => k.split("_"));
    const common = parts[0].filter((w) => parts.every((p) => p.includes(w)));
    keys.forEach((k, i) => {
      const own = parts[i].filter((w) => !common.includes(w)).join(" ");
      if (own) heading.set(k, `${h} (${own})`);
    });
  }
  for (const c of columns) if (unitOf(c) !== c.key) heading.set(c.key, heading.get(unitOf(c)));
  return heading;
}

// The descriptions of a game with the headings of the language chosen, the
// whole heading and the key on hover.
function labelled(game) {
  const relabel = (description) => {
    if (!description) return description;
    const heading = headingsOf(description);
    const columns = (description.columns || []).map((c) => ({ ...c, label: heading.get(c.key), title: `${heading.get(c.key)} (${c.key})` }));
    const children = description.children &&
      Object.fromEntries(Object.entries(description.children).map(([k, d]) => [k, relabel(d)]));
    return { ...description, columns, ...(children ? { children } : {}) };
  };
  const d = described[game];
  return { ...d, tables: Object.fromEntries(Object.entries(d.tables).map(([k, t]) => [k, relabel(t)])) };
}

// A column's heading as the grid shows it now.
function headingOf(path, key) {
  const [top, ...nested] = path.split(".");
  let d = opened && opened.described.tables[top];
  for (const k of nested) d = d && d.children && d.children[k];
  const c = d && (d.columns || []).find((o) => o.key === key);
  return c ? c.label : key;
}

// Switches the headings' or the page's language, and keeps the choice.
function switchLanguage(which) {
  if (which === "headings") languages.headings = languages.headings === "ja" ? "en" : "ja";
  else languages.page = languages.page === "en" ? "ja" : "en";
  try {
    localStorage.setItem(LANGUAGES, JSON.stringify(languages));
  } catch {
    // not kept: the page still switches
  }
  if (which === "headings" && opened) showTables();
  translatePage();
}

// --- bulk edits --------------------------------------------------------------

// The new text of a cell in a bulk edit: set to the value, add it, multiply
// by it (rounded), or fill down (the top cell's text of its column); or
// { refused } when the cell's text or the value is no number.
const BULK = {
  set: (before, value) => value,
  add: (before, value) => numeric(before, value, (a, b) => a + b),
  multiply: (before, value) => numeric(before, value, (a, b) => Math.round(a * b)),
};

function numeric(before, value, f) {
  const a = Number(before), b = Number(String(value).trim());
  if (before === "" || !Number.isFinite(a)) return { refused: `${before}: not a number` };
  if (String(value).trim() === "" || !Number.isFinite(b)) return { refused: `${value}: not a number` };
  return String(f(a, b));
}

// Edits the selected cells as one step (op: set, add, multiply, fill; value
// the bulk box's, when not given). Each value goes through the session's
// checks; with any cell refused, nothing of the step is applied and the
// refused cells are named. Returns the refusals' words, or null.
function bulk(op, value) {
  if (!opened) return "no image is open";
  op = op || $("bulk-op").value;
  value = value === undefined ? $("bulk-value").value : String(value);
  const cells = selectedCells();
  if (!cells.length) return refuseBulk(words("no cells are selected"), []);
  const top = new Map();
  for (const c of cells) if (!top.has(c.key)) top.set(c.key, cellText(c.path, c.index, c.key));
  const refused = [], steps = [];
  for (const c of cells) {
    const before = cellText(c.path, c.index, c.key);
    const after = op === "fill" ? top.get(c.key) : BULK[op](before, value);
    if (after && after.refused) refused.push({ table: c.path, index: c.index, key: c.key, message: `${headingOf(c.path, c.key)} ${after.refused}` });
    else if (after !== before) steps.push({ path: c.path, index: c.index, key: c.key, before, after });
  }
  if (!refused.length && !steps.length) return null;
  const refusals = refused.length ? refused : changeAll(steps, false);
  if (refusals.length) return refuseBulk(null, refusals);
  message("");
  clearRefusal();
  opened.done.push({ steps });
  opened.undone = [];
  updateButtons();
  if (selection) {  // back to the grid: the keys (Ctrl+Z) act on it again
    const td = findCell(selection.grid.path, selection.grid.rowIndex(selection.focus.position), selection.focus.key);
    if (td) td.focus({ preventScroll: true });
  }
  return null;
}

// A bulk edit refused: each refused cell named and marked.
function refuseBulk(said, refusals) {
  clearRefusal();
  const lines = refusals.map((r) => `${r.table} ${r.index}: ${r.message}`);
  said = said || `${pageWords("refused cells")(refusals.length)}\n${lines.join("\n")}`;
  message(said, "refusal");
  for (const r of refusals) {
    const td = findCell(r.table, r.index, r.key);
    if (td) td.classList.add("refused");
  }
  return said;
}

// --- search ------------------------------------------------------------------

// Every cell of every table whose text holds the words (in any width of kana
// or letters, any case): [{ table, index, key, text }], at most limit.
function search(needle, limit = 200) {
  const fold = (t) => t.normalize("NFKC").toLowerCase();
  const wanted = fold(String(needle).trim());
  const hits = [];
  if (!opened || !wanted) return hits;
  const visit = (path, records, parent) => {
    const table = opened.columns.get(path);
    records.forEach((record, position) => {
      const own = String(indexOf(record, position));
      const index = parent === undefined ? own : `${parent}/${own}`;
      for (const [key, value] of Object.entries(record)) {
        if (isNested(value)) visit(`${path}.${key}`, value, own);
        else if (hits.length < limit && table && table.has(key) && fold(textOf(value)).includes(wanted)) {
          hits.push({ table: path, index, key, text: textOf(value) });
        }
      }
    });
  };
  for (const [key, records] of Object.entries(opened.doc.tables)) visit(key, records);
  return hits;
}

// The hits in the side panel, each a link to its cell.
function showHits() {
  const needle = $("search").value;
  const hits = search(needle);
  timings.searched = performance.now();
  const list = hits.map((h) => {
    const a = element("a", { href: recordHref(h.table, h.index), textContent: `${h.table} ${h.index} ${headingOf(h.table, h.key)}: ${h.text}` });
    a.dataset.table = h.table;
    a.dataset.index = h.index;
    a.dataset.key = h.key;
    return element("li", {}, a);
  });
  $("hits").replaceChildren(...list);
  $("hit-count").textContent = needle.trim() ? words("hits", hits.length) : "";
  return hits;
}

// A hit followed: its record shown (at its address), the focus on its cell.
function followHit(a) {
  if (location.hash !== a.getAttribute("href")) history.pushState(null, "", a.getAttribute("href"));
  tables.route();
  const td = findCell(a.dataset.table, a.dataset.index, a.dataset.key);
  if (td && !selectCell(td, false)) td.scrollIntoView({ block: "nearest", inline: "nearest" });
}

// --- opening ---------------------------------------------------------------

function message(words, kind) {
  const box = $("message");
  if (!words && box.hidden) return;  // nothing shown, nothing to take away
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
             done: [], undone: [], compared: null, conflicts: null, kept: null, changes: [], written: new Set(),
             selected: null, described: null };
  message("");
  clearRefusal();
  showImage();
  showTables();
  showChosen($("file"), name, bytes);
  timings.opened = performance.now();
  requestAnimationFrame(() => setTimeout(() => { timings.rendered = performance.now(); }));
  const kept = saved();
  opened.kept = kept;
  opened.written = new Set(kept ? kept.edits.map(entryId) : []);
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
// The tables of what is open, with the headings of the language chosen, at
// the address's table and record.
function showTables() {
  opened.described = labelled(opened.game);
  selection = null;
  const shown = (view) => { view.filter.placeholder = words("filter"); };
  tables = new Tables(opened.doc, opened.described, $("views"), $("tables"), { decorate, shown });
  window.workbench.tables = tables;
  tables.route();
}

// The file picker shows the file that is open, also when it came by a drop,
// from inside a ZIP file or from a script.
function showChosen(input, name, bytes) {
  const shown = input.files && input.files[0];
  if (shown && shown.name === name && shown.size === bytes.length) return;
  try {
    const chosen = new DataTransfer();
    chosen.items.add(new File([bytes], name));
    input.files = chosen.files;
  } catch {
    // a browser without DataTransfer: the picker shows what it shows
  }
}

function identificationLine() {
  const rom = $("rom");
  const more = element("button", { type: "button", id: "rom-more", textContent: words("all hashes…") });
  more.setAttribute("aria-expanded", "false");
  more.addEventListener("click", () => {
    const all = rom.classList.toggle("all");
    more.setAttribute("aria-expanded", String(all));
    more.textContent = words(all ? "fewer" : "all hashes…");
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
  $("edit-count").textContent = words("cells edited", 0);
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
  showChosen($("compare-file"), other.name, other.bytes);
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

// --- ZIP files ---------------------------------------------------------------
//
// An image or a patch inside a ZIP file opens as itself. The archive's
// directory is read here; its members are inflated by the browser's own
// DecompressionStream ("deflate-raw"), or taken as stored.

const CANDIDATE = /\.(smc|sfc|swc|fig|bin|bps|ips|ups)$/i;
const MEMBER_LIMIT = 64 * 1024 * 1024;  // as the tools' file size limit

const isZip = (bytes) => bytes.length >= 4 && bytes[0] === 0x50 && bytes[1] === 0x4b && bytes[2] === 3 && bytes[3] === 4;

// The members of a ZIP file that may be images or patches: [{ name, method,
// size, packed, at (the local header's offset) }]; refused in words when it
// is no ZIP file that can be read.
function zipMembers(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  let end = -1;
  for (let i = bytes.length - 22; i >= Math.max(0, bytes.length - 22 - 65535); --i) {
    if (view.getUint32(i, true) === 0x06054b50) {
      end = i;
      break;
    }
  }
  if (end < 0) throw new Error("the ZIP file has no directory at its end (cut short?)");
  const count = view.getUint16(end + 10, true);
  let at = view.getUint32(end + 16, true);
  const members = [];
  const names = new TextDecoder("utf-8");
  for (let n = 0; n < count; ++n) {
    if (at + 46 > bytes.length || view.getUint32(at, true) !== 0x02014b50) throw new Error("the ZIP file's directory is damaged");
    const nameLength = view.getUint16(at + 28, true);
    const name = names.decode(bytes.subarray(at + 46, at + 46 + nameLength));
    const member = { name, method: view.getUint16(at + 10, true), packed: view.getUint32(at + 20, true),
                     size: view.getUint32(at + 24, true), at: view.getUint32(at + 42, true) };
    const base = name.split("/").pop();
    if (CANDIDATE.test(base) && !name.startsWith("__MACOSX/") && !base.startsWith("._")) members.push(member);
    at += 46 + nameLength + view.getUint16(at + 30, true) + view.getUint16(at + 32, true);
  }
  return members;
}

// A member's bytes.
async function unzip(bytes, member) {
  if (member.size > MEMBER_LIMIT) throw new Error(`${member.name} in the ZIP file: File too large`);
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const at = member.at;
  if (at + 30 > bytes.length || view.getUint32(at, true) !== 0x04034b50) throw new Error(`${member.name}: the ZIP file is damaged`);
  const from = at + 30 + view.getUint16(at + 26, true) + view.getUint16(at + 28, true);
  const packed = bytes.subarray(from, from + member.packed);
  if (member.method === 0) return packed.slice();
  if (member.method !== 8) throw new Error(`${member.name}: packed in a way this page cannot unpack (method ${member.method})`);
  const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream("deflate-raw"));
  let out;
  try {
    out = new Uint8Array(await new Response(stream).arrayBuffer());
  } catch {
    throw new Error(`${member.name}: the ZIP file is damaged`);
  }
  if (out.length !== member.size) throw new Error(`${member.name}: the ZIP file is damaged`);
  return out;
}

// The image or patch a ZIP file holds: { name, bytes }; with several, the
// one the person chooses (chooser: names -> a promise of the name chosen).
async function fromZip(bytes, zipName, chooser) {
  const members = zipMembers(bytes);
  if (!members.length) throw new Error(`${zipName} holds no image or patch (.smc, .sfc, .bps, .ips, .ups…)`);
  const chosen = members.length === 1 ? members[0].name : await chooser(members.map((m) => m.name));
  const member = members.find((m) => m.name === chosen);
  if (!member) return null;
  return { name: member.name.split("/").pop(), bytes: await unzip(bytes, member) };
}

// Several candidates: a button each in the message box; the name chosen.
function chooseMember(names) {
  return new Promise((resolve) => {
    const box = $("message");
    box.replaceChildren(`${words("several in the ZIP file")} `, ...names.map((name) => {
      const b = element("button", { type: "button", className: "member", textContent: name });
      b.addEventListener("click", () => {
        message("");
        resolve(name);
      });
      return b;
    }));
    box.className = "";
    box.hidden = false;
  });
}

// --- the page ----------------------------------------------------------------

// A file chosen or dropped as { name, bytes }: a ZIP file's image or patch
// as itself; null (the refusal shown) when there is none to take.
async function unpacked(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (!isZip(bytes)) return { name: file.name, bytes };
  try {
    return await fromZip(bytes, file.name, chooseMember);
  } catch (error) {
    message(wordsOf(error), "refusal");
    return null;
  }
}

async function openChosen(file) {
  if (!file) return;
  timings.chosen = performance.now();
  timings.rendered = null;
  const chosen = await unpacked(file);
  if (!chosen) return;
  const { name, bytes } = chosen;
  if (opened && /\.(bps|ips|ups)$/i.test(name)) {
    compare(bytes, name);
    return;
  }
  try {
    await open(bytes, name);
  } catch {
    // the refusal is on the page
  }
}

function wire() {
  $("file").addEventListener("change", (event) => openChosen(event.target.files[0]));
  const mergeChosen = async (chosen) => {
    if (!chosen.length || !opened) return;
    const inputs = [];
    for (const f of chosen) inputs.push(await unpacked(f));
    if (inputs.every((i) => i)) merge(inputs).catch(() => {});  // the refusal is on the page
  };
  $("merge-file").addEventListener("change", (event) => mergeChosen([...event.target.files]));
  $("compare-file").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    const chosen = file && await unpacked(file);
    if (chosen) compare(chosen.bytes, chosen.name);
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
  // A click selects a cell (Shift+click: the block up to it); a tap on the
  // selected cell edits it.
  let pointer = "mouse", before = null;  // what had the focus before the press
  views.addEventListener("pointerdown", (event) => {
    pointer = event.pointerType;
    before = document.activeElement;
  });
  views.addEventListener("click", (event) => {
    const td = event.target.closest("td[data-key]");
    if (!td || td.tabIndex !== -1 || event.target.closest("a, input")) return;
    const again = pointer === "touch" && before === td && !event.shiftKey;
    selectCell(td, event.shiftKey);
    if (again) openEditor(td);
  });
  $("bulk-apply").addEventListener("click", () => bulk());
  $("bulk-value").addEventListener("keydown", (event) => {
    if (event.key !== "Enter") return;
    event.preventDefault();
    bulk();
  });
  $("bulk-op").addEventListener("change", () => { $("bulk-value").disabled = $("bulk-op").value === "fill"; });
  $("search").addEventListener("input", showHits);
  $("hits").addEventListener("click", (event) => {
    const a = event.target.closest("a");
    if (!a) return;
    event.preventDefault();
    followHit(a);
  });
  $("language-headings").addEventListener("click", () => switchLanguage("headings"));
  $("language-page").addEventListener("click", () => switchLanguage("page"));
  window.addEventListener("storage", otherTab);
  translatePage();
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

// Served over HTTP(S), the page installs as an offline app: its manifest
// and service worker (workbench-sw.js) beside it. An image or patch the
// system hands to the installed app opens as one chosen. From the disk it
// asks for nothing.
function offlineApp() {
  if (!/^https?:$/.test(location.protocol)) return;
  document.head.append(element("link", { rel: "manifest", href: "workbench.webmanifest" }));
  if (navigator.serviceWorker) navigator.serviceWorker.register("workbench-sw.js").catch(() => {});
  if (window.launchQueue) {
    window.launchQueue.setConsumer(async (launch) => {
      if (launch.files && launch.files.length) openChosen(await launch.files[0].getFile());
    });
  }
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
  bulk,
  search,
  selected: () => selectedCells().map((c) => [c.path, c.index, c.key]),
  // Selects the block from one cell to another of a table shown (as a
  // click and a Shift+click do); the number of cells selected.
  select: (table, from, fromKey, to, toKey) => {
    const view = tables && tables.views.get(table);
    if (!view) return 0;
    const grid = view.grid;
    const at = (index, key) => placeOf(grid, { index: String(index), key });
    const a = at(from, fromKey), b = at(to, toKey);
    if (!a || !b) return 0;
    goTo(grid, a.row, a.col, false);
    goTo(grid, b.row, b.col, true);
    return selectedCells().length;
  },
  timings,
  tables: null,
};
wire();
offlineApp();
