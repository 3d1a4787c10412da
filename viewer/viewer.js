// The viewer page: every table of an export, one at a time, from the JSON
// document and the column descriptions the exporter put into the page.
// Nothing here knows a table or a key by name: the headers come from the
// column descriptions (label, else key), references from their "references".
"use strict";

const data = JSON.parse(document.getElementById("mt-export").textContent);
const described = JSON.parse(document.getElementById("mt-columns").textContent);
const collator = new Intl.Collator("ja", { numeric: true });
const views = new Map();  // table key -> its view, made when first shown
// When the first table was laid out, and when the frame that shows it was
// rendered (ms since the page began loading), for the tests' figures.
const timings = { firstTable: null, firstTableRendered: null };
window.mtViewer = { timings };
let shown = null;   // the view on screen
let marked = null;  // the marked row

function element(tag, props, ...children) {
  const e = document.createElement(tag);
  Object.assign(e, props);
  for (const child of children) e.append(child);
  return e;
}

// --- cells ----------------------------------------------------------------

function text(value) {
  if (value === null || value === undefined) return "";
  if (Array.isArray(value)) return value.join(" ");
  return String(value);
}

// The columns of a table: the described ones in their order, each with its
// label, and the companion name column of a reference knowing its target.
function columnsOf(description, records) {
  const list = (description && description.columns) ||
      Object.keys(records[0] || {}).map((key) => ({ key }));
  const byKey = new Map(list.map((c) => [c.key, c]));
  return list.map((c) => {
    const index = c.key.endsWith("_name") ? byKey.get(c.key.slice(0, -5)) : null;
    return { key: c.key, label: c.label || c.key, linkTo: index ? index.references : null,
             indexKey: index ? index.key : null };
  });
}

function childKeys(description, records) {
  if (description && description.children) return Object.keys(description.children);
  const first = records[0] || {};
  return Object.keys(first).filter((k) => Array.isArray(first[k]) && typeof first[k][0] === "object");
}

function cell(record, column) {
  const value = record[column.key];
  const td = element("td");
  if (typeof value === "number") td.className = "num";
  if (value === null) td.className = "none";
  if (column.linkTo && value !== null && record[column.indexKey] !== null) {
    td.append(element("a", { href: `#${column.linkTo}/${record[column.indexKey]}` }, text(value)));
  } else {
    td.textContent = typeof value === "boolean" ? (value ? "✓" : "·") : text(value);
  }
  return td;
}

// --- one table --------------------------------------------------------------

// Cell widths in ch: wide (Japanese) characters count two, at most 28.
function widthOf(s) {
  let w = 0;
  for (const c of s) w += c.codePointAt(0) >= 0x2E80 ? 2 : 1;
  return Math.min(w, 28);
}

// Every column as wide as its widest cell or header, in a style sheet of the
// table's own: the rows need no layout of one another (see viewer.css).
let grids = 0;
function fixWidths(columns, records, toggle) {
  const name = `g${++grids}`;
  const widths = columns.map((c) => records.reduce(
    (w, r) => Math.max(w, widthOf(typeof r[c.key] === "boolean" ? "✓" : text(r[c.key]))), widthOf(c.label) + 2));
  if (toggle) widths.unshift(5);
  const rules = widths.map((w, i) => `.${name}>*>tr>:nth-child(${i + 1}){width:calc(${w}ch + 0.9rem)}`);
  document.head.append(element("style", {}, rules.join("\n")));
  return name;
}

// A table of records with sortable headers; the rows of a record with nested
// tables get a button that opens them under it.
class Grid {
  constructor(records, description) {
    this.records = records;
    this.description = description || {};
    this.columns = columnsOf(description, records);
    this.children = childKeys(description, records);
    this.sortKey = null;
    this.rows = records.map((record, i) => this.row(record, i));
    this.headers = this.columns.map((c) => this.header(c));
    const head = element("tr");
    if (this.children.length) head.append(element("th", { scope: "col" }));
    head.append(...this.headers);
    this.body = element("tbody");
    this.body.append(...this.rows);
    const widths = fixWidths(this.columns, records, this.children.length > 0);
    this.table = element("table", { className: `grid ${widths}` }, element("thead", {}, head), this.body);
  }

  header(column) {
    const th = element("th", { scope: "col", title: column.key });
    const button = element("button", { type: "button" }, column.label);
    button.addEventListener("click", () => this.sort(column.key, th));
    th.append(button);
    return th;
  }

  row(record, i) {
    const tr = element("tr", { tabIndex: -1 });
    tr.dataset.record = i;
    if (this.children.length) {
      const td = element("td");
      const count = this.children.reduce((n, k) => n + (record[k] || []).length, 0);
      const button = element("button", { type: "button", className: "open", title: this.children.join(", ") },
                             `+${count}`);
      button.setAttribute("aria-expanded", "false");
      button.addEventListener("click", () => this.toggle(tr, record, button));
      td.append(button);
      tr.append(td);
    }
    for (const column of this.columns) tr.append(cell(record, column));
    return tr;
  }

  toggle(tr, record, button) {
    const open = button.getAttribute("aria-expanded") === "true";
    button.setAttribute("aria-expanded", String(!open));
    if (open) {
      tr.nested.remove();
      tr.nested = null;
      return;
    }
    const td = element("td", { className: "nested" });
    for (const key of this.children) {
      const grid = new Grid(record[key] || [], (this.description.children || {})[key]);
      td.append(element("h3", {}, `${key} (${grid.records.length})`),
                element("div", { className: "wrap" }, grid.table));
    }
    tr.nested = element("tr", { className: "nested-row" }, td);
    tr.after(tr.nested);
  }

  // Numbers as numbers, texts in Japanese order, empty cells last; the same
  // header again reverses the order.
  sort(key, th) {
    const descending = this.sortKey === key && !this.descending;
    const keyed = this.rows.map((tr) => [this.records[tr.dataset.record][key], tr]);
    const sign = descending ? -1 : 1;
    keyed.sort(([a], [b]) => {
      if (a === null || a === undefined) return b === null || b === undefined ? 0 : 1;
      if (b === null || b === undefined) return -1;
      if (typeof a === "number" && typeof b === "number") return sign * (a - b);
      if (typeof a === "boolean" && typeof b === "boolean") return sign * (a - b);
      return sign * collator.compare(text(a), text(b));
    });
    this.rows = keyed.map(([, tr]) => tr);
    const fragment = document.createDocumentFragment();
    for (const tr of this.rows) fragment.append(...(tr.nested ? [tr, tr.nested] : [tr]));
    this.body.append(fragment);
    for (const h of this.headers) h.removeAttribute("aria-sort");
    th.setAttribute("aria-sort", descending ? "descending" : "ascending");
    this.sortKey = key;
    this.descending = descending;
  }
}

// A table of the export with its filter box and row count.
class View {
  constructor(key) {
    this.key = key;
    const records = data.tables[key];
    this.grid = new Grid(records, described.tables[key]);
    // Each row's text, for the filter: every cell of the row.
    this.texts = records.map((r) => this.grid.columns.map((c) => text(r[c.key])).join("\n").toLowerCase());
    this.count = element("span", { className: "count", role: "status" });
    this.filter = element("input", { type: "search", placeholder: "filter: name or any cell" });
    this.filter.setAttribute("aria-label", `filter ${key}`);
    this.filter.addEventListener("input", () => this.narrow());
    const bar = element("div", { className: "bar" }, this.filter, this.count);
    this.section = element("section", { id: `table-${key}` },
                           element("h2", {}, key), bar, element("div", { className: "wrap" }, this.grid.table));
    this.index = new Map(records.map((r, i) => ["index" in r ? r.index : i, i]));
    this.narrow();
  }

  narrow() {
    const needle = this.filter.value.trim().toLowerCase();
    let visible = 0;
    for (const tr of this.grid.rows) {
      const hide = needle !== "" && !this.texts[tr.dataset.record].includes(needle);
      tr.hidden = hide;
      if (tr.nested) tr.nested.hidden = hide;
      if (!hide) visible += 1;
    }
    this.count.textContent = `${visible} / ${this.grid.rows.length} rows`;
  }

  // The row of a record by its index, shown even when the filter hid it.
  rowOf(index) {
    const i = this.index.get(Number(index));
    if (i === undefined) return null;
    const tr = this.grid.rows.find((row) => Number(row.dataset.record) === i);
    if (tr.hidden) {
      this.filter.value = "";
      this.narrow();
    }
    return tr;
  }
}

// --- the page -------------------------------------------------------------

function viewOf(key) {
  if (!views.has(key)) {
    const view = new View(key);
    views.set(key, view);
    document.getElementById("views").append(view.section);
  }
  return views.get(key);
}

// Shows what the fragment names: "#table" or "#table/index".
function route() {
  const keys = Object.keys(data.tables);
  let fragment = location.hash.slice(1);
  try {
    fragment = decodeURIComponent(fragment);
  } catch {
    // a malformed escape: the fragment as it stands
  }
  const [key, index] = fragment.split("/");
  const table = keys.includes(key) ? key : keys[0];
  const view = viewOf(table);
  if (shown && shown !== view) shown.section.hidden = true;
  view.section.hidden = false;
  shown = view;
  for (const a of document.querySelectorAll("nav a")) {
    if (a.dataset.table === table) a.setAttribute("aria-current", "page");
    else a.removeAttribute("aria-current");
  }
  if (marked) marked.classList.remove("marked");
  marked = index !== undefined ? view.rowOf(index) : null;
  if (marked) {
    marked.classList.add("marked");
    marked.scrollIntoView({ block: "center" });
    marked.focus({ preventScroll: true });
  }
  if (timings.firstTable === null) {
    void view.section.offsetHeight;  // laid out
    timings.firstTable = performance.now();
    // The next frame's callbacks run before its style, layout and paint; a
    // task queued from them runs after these.
    requestAnimationFrame(() => setTimeout(() => { timings.firstTableRendered = performance.now(); }));
  }
}

function header() {
  const title = text(data.rom && data.rom.title).trim() || "MERIDIAN TALES";
  document.getElementById("game").textContent = `${title} (game ${data.game})`;
  document.title = `${title} data`;
  const rom = document.getElementById("rom");
  // The image's identification: every field of the rom block under its
  // label, the key on hover; a checksum in hexadecimal too.
  const labels = new Map(described.rom.columns.map((c) => [c.key, c.label || c.key]));
  const hex = new Map(described.rom.columns.map((c) => [c.key, c.hex || 0]));
  const shown = (key, value) => {
    if (typeof value === "boolean") return value ? "yes" : "no";
    const digits = hex.get(key);
    if (!digits || typeof value !== "number") return text(value);
    return `${value} (0x${value.toString(16).toUpperCase().padStart(digits, "0")})`;
  };
  for (const [key, value] of Object.entries(data.rom || {})) {
    if (value === null || typeof value === "object") continue;
    const shownValue = shown(key, value);
    rom.append(element("div", { title: key }, element("dt", {}, labels.get(key) || key),
                       element("dd", {}, shownValue)));
  }
  const list = document.getElementById("tables");
  for (const [key, records] of Object.entries(data.tables)) {
    const a = element("a", { href: `#${key}` }, `${key} (${records.length})`);
    a.dataset.table = key;
    list.append(element("li", {}, a));
  }
}

header();
window.addEventListener("hashchange", route);
route();
